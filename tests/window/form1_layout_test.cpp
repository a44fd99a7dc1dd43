#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "form1_views_fixture.h"
#include "gui_test_support.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

using test::Child;
using test::GrabbedColor;

struct Placed {
  const char* name;
  QRect geometry;
};

// Positions and sizes in pixels: the layout's twips divided by 15.
const Placed kPlaces[] = {
    {"Picture1", {8, 8, 192, 183}},     {"Picture2", {8, 280, 192, 183}},
    {"Picture3", {208, 280, 192, 183}}, {"Picture4", {408, 280, 192, 183}},
    {"Command3", {216, 24, 81, 33}},    {"Command1", {216, 64, 81, 33}},
    {"Command2", {216, 112, 81, 33}},   {"Label3", {328, 32, 45, 33}},
    {"Label4", {328, 64, 45, 33}},      {"Label5", {328, 96, 45, 33}},
    {"Label1", {384, 40, 113, 33}},     {"Label2", {384, 80, 113, 33}},
};

class Form1Layout : public test::Form1Views {};

TEST_F(Form1Layout, WindowAndControlsStandWhereLaidOut) {
  EXPECT_EQ(form.windowTitle(), "Form1");
  EXPECT_EQ(form.size(), QSize(602, 497));
  for (const auto& [name, geometry] : kPlaces) {
    const auto* control = Child<QWidget>(form, name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), geometry) << name;
  }
  const auto* hint = Child<QLabel>(form, "Label6");
  EXPECT_EQ(hint->pos(), QPoint(32, 200));
  EXPECT_GE(hint->height(), 16);
  EXPECT_LE(hint->height(), 20);
  EXPECT_GE(hint->width(), 133);
  for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    const auto* box = Child<PictureBox>(form, name);
    EXPECT_EQ(box->contentsRect(), QRect(2, 2, 188, 179)) << name;
    EXPECT_EQ(box->View().ScaleWidth(), 188.0F);
    EXPECT_EQ(box->View().ScaleHeight(), 179.0F);
  }
}

TEST_F(Form1Layout, ResizingMovesNothing) {
  form.resize(900, 700);
  QTest::qWait(10);
  for (const auto& [name, geometry] : kPlaces) {
    EXPECT_EQ(Child<QWidget>(form, name)->geometry(), geometry) << name;
  }
}

TEST_F(Form1Layout, CaptionsAtStart) {
  const std::pair<const char*, QString> captions[] = {
      {"Command3", QStringLiteral("画像選択")},
      {"Command1", QStringLiteral("色分解")},
      {"Command2", QStringLiteral("終り")},
      {"Label1", "10"},
      {"Label2", "16"},
      {"Label3", "R"},
      {"Label4", "G"},
      {"Label5", "B"},
      {"Label6", QString::fromUtf8("Click\u3000the\u3000Image")}};
  for (const auto& [name, caption] : captions) {
    const auto* button = form.findChild<QPushButton*>(name);
    const auto* label = form.findChild<QLabel*>(name);
    ASSERT_TRUE(button != nullptr || label != nullptr) << name;
    EXPECT_EQ(button != nullptr ? button->text() : label->text(), caption) << name;
  }
}

TEST_F(Form1Layout, EveryCaptionIsDrawnWholeFromRealGlyphsOfABoldGothic) {
  for (const char* name : {"Command1", "Command2", "Command3", "Label1", "Label2", "Label3",
                           "Label4", "Label5", "Label6"}) {
    const auto* widget = Child<QWidget>(form, name);
    const auto* button = qobject_cast<const QPushButton*>(widget);
    const QString text =
        button != nullptr ? button->text() : qobject_cast<const QLabel*>(widget)->text();
    const QFontInfo info(widget->font());
    EXPECT_TRUE(info.family() == "MS PGothic" || info.family().startsWith("IPAPGothic") ||
                info.family() == QStringLiteral("ＭＳ Ｐゴシック"))
        << name << " resolved to " << info.family().toStdString();
    EXPECT_TRUE(info.bold()) << name;
    EXPECT_EQ(info.pixelSize(), 16) << name;
    // The family the font resolved to, alone: a glyph found only by fallback elsewhere
    // would not count.
    QFont resolved(info.family());
    resolved.setPixelSize(16);
    resolved.setBold(true);
    const QFontMetrics metrics(resolved);
    ASSERT_EQ(QFontInfo(resolved).family(), info.family());
    for (const QChar ch : text) {
      EXPECT_TRUE(metrics.inFont(ch))
          << name << " lacks a glyph for U+" << std::hex << static_cast<int>(ch.unicode());
    }
    EXPECT_LE(metrics.horizontalAdvance(text), widget->contentsRect().width()) << name;
    EXPECT_LE(metrics.height(), widget->contentsRect().height()) << name;
  }
}

TEST_F(Form1Layout, ColoursAsLaidOut) {
  const ColorValue windowColor = RGB(192, 255, 255);
  EXPECT_EQ(GrabbedColor(form, {580, 200}), windowColor);
  EXPECT_EQ(GrabbedColor(form, {4, 4}), windowColor);
  EXPECT_EQ(GrabbedColor(form, {300, 490}), windowColor);
  // Buttons are flat fills of their own colour, sampled off their caption.
  const std::pair<const char*, ColorValue> buttons[] = {{"Command3", RGB(255, 255, 0)},
                                                        {"Command1", RGB(255, 192, 255)},
                                                        {"Command2", RGB(224, 224, 224)}};
  for (const auto& [name, color] : buttons) {
    auto* button = Child<QWidget>(form, name);
    EXPECT_EQ(GrabbedColor(*button, {5, 5}), color) << name;
    EXPECT_EQ(GrabbedColor(*button, {75, 27}), color) << name;
    EXPECT_EQ(GrabbedColor(*button, {5, 27}), color) << name;
  }
  EXPECT_EQ(GrabbedColor(*Child<QWidget>(form, "Label3"), {3, 3}), kWhite);
  EXPECT_EQ(GrabbedColor(*Child<QWidget>(form, "Label1"), {3, 3}), 0);
  EXPECT_EQ(GrabbedColor(*Child<QWidget>(form, "Label6"), {130, 14}), windowColor);
  EXPECT_EQ(GrabbedColor(*Child<QWidget>(form, "Picture2"), {100, 100}), RGB(255, 0, 0));
  EXPECT_EQ(GrabbedColor(*Child<QWidget>(form, "Picture3"), {2, 2}), RGB(0, 255, 0));
  EXPECT_EQ(GrabbedColor(*Child<QWidget>(form, "Picture4"), {189, 180}), RGB(0, 0, 255));
}

TEST_F(Form1Layout, SampleFillsTheSourceViewPixelForPixel) {
  const QImage sample = test::SampleImage();
  const QImage shown = Child<QWidget>(form, "Picture1")->grab().toImage();
  ASSERT_EQ(shown.size(), QSize(192, 183));
  int mismatches = 0;
  for (int y = 0; y < 179; ++y) {
    for (int x = 0; x < 188; ++x) {
      mismatches += shown.pixel(x + 2, y + 2) != sample.pixel(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(Form1Layout, FocusStartsOnTheSourceViewAndTabsInOrderPastTheLabels) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  const char* order[] = {"Picture1", "Command1", "Picture2", "Command2",
                         "Command3", "Picture3", "Picture4", "Picture1"};
  for (const char* name : order) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
    EXPECT_EQ(Child<QWidget>(form, name)->focusPolicy(), Qt::NoFocus) << name;
  }
}

}  // namespace
}  // namespace irobunkai
