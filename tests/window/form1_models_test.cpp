// Colour models in the window: the 色空間 submenu, component captions and values, the
// source view rebuilt from chosen components, and what Ctrl+C copies.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "colour/component_grey.h"
#include "colour/component_look.h"
#include "colour/model_formulas.h"
#include "colour/model_rebuild.h"
#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;
using test::GrabbedColor;

constexpr ColorValue kPixel = RGB(200, 80, 40);  // hue 15°, saturation 80 %, value 78 %

class Form1Models : public test::Form1Views {
 protected:
  // A picture of one colour but for a grey pixel at (3, 2).
  void LoadPlain() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(RedOf(kPixel), GreenOf(kPixel), BlueOf(kPixel)));
    image.setPixel(3, 2, qRgb(90, 90, 90));
    Load(image);
  }
  // Away from the top-left corner, where a caption may be.
  ColorValue Shown(const char* view, int x = 30, int y = 20) {
    return GrabbedColor(*View(view), {PictureBox::kBorder + x, PictureBox::kBorder + y});
  }
  void Click(int x, int y) {
    QTest::mouseClick(View("Picture1"), Qt::LeftButton, {},
                      {PictureBox::kBorder + x, PictureBox::kBorder + y});
  }
};

TEST_F(Form1Models, ChoosingAModelSplitsTheSeparatedPictureAgainAtOnceKeepingTheZoom) {
  LoadPlain();
  Separate();
  Key("Picture1", Qt::Key_Plus);
  const ViewMapping zoomed = View("Picture2")->Mapping();
  ChooseInModelMenu("Picture2", "ModelActionHSV");
  EXPECT_EQ(View("Picture2")->Mapping().scale, zoomed.scale);
  EXPECT_EQ(View("Picture2")->Mapping().originX, zoomed.originX);
  const ComponentLooks hsv(ColourModel::HSV);
  // H: the pure hue; S: that hue at its saturation; V: grey.
  const PictureView& h = View("Picture2")->View();
  const PictureView& s = View("Picture3")->View();
  const PictureView& v = View("Picture4")->View();
  EXPECT_EQ(h.Point(0, 0), hsv.Look(0, h.Plane()->At(0, 0)));
  EXPECT_EQ(s.Point(0, 0), hsv.Look(1, s.Plane()->At(0, 0), h.Plane()->At(0, 0)));
  EXPECT_EQ(v.Point(0, 0), RGB(200, 200, 200));  // V 78.4 % = 200 / 255
  EXPECT_EQ(View("Picture4")->CornerCaption(), QStringLiteral("V"));

  // Back in RGB the channels are exactly as before.
  ChooseInModelMenu("Picture3", "ModelActionRGB");
  EXPECT_EQ(h.Point(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(s.Point(0, 0), RGB(0, 80, 0));
  EXPECT_TRUE(View("Picture2")->CornerCaption().isEmpty());
}

// A large picture is split again on the worker: the window goes on with the planes and the
// model it had until the new ones come, and a later choice supersedes an earlier one.
TEST_F(Form1Models, ALargeSeparatedPictureIsSplitInTheChosenModelOffTheGuiThread) {
  QImage image(1800, 1200, QImage::Format_RGB32);
  image.fill(QColor(RedOf(kPixel), GreenOf(kPixel), BlueOf(kPixel)));
  Load(image);
  Separate();
  const auto choose = [this](const char* entry) {
    auto* action = form.findChild<QAction*>(QString::fromLatin1(entry));
    ASSERT_NE(action, nullptr) << entry;
    action->trigger();
  };
  choose("ModelActionHSV");
  ASSERT_TRUE(form.IsBusy());
  EXPECT_EQ(form.Shown().Views().Model(), ColourModel::RGB);
  EXPECT_EQ(Shown("Picture2"), RGB(200, 0, 0)) << "the red plane until the new ones come";
  choose("ModelActionHSL");
  test::WaitIdle(form);
  EXPECT_EQ(form.Shown().Separated().model, ColourModel::HSL);
  EXPECT_EQ(form.Shown().Views().Model(), ColourModel::HSL);
  EXPECT_EQ(View("Picture4")->CornerCaption(), QStringLiteral("L"));
  const int lightness = (200 + 40) / 2;  // (max + min) / 2
  EXPECT_EQ(Shown("Picture4"), RGB(lightness, lightness, lightness));
}

TEST_F(Form1Models, TheModelStaysForTheNextPictureAndItsSeparation) {
  ChooseInModelMenu("Picture2", "ModelActionCMY");
  // Nothing was separated: the views stay as they were, with no caption.
  EXPECT_EQ(View("Picture2")->View().Plane(), nullptr);
  EXPECT_EQ(Shown("Picture2"), RGB(255, 0, 0));
  EXPECT_TRUE(View("Picture2")->CornerCaption().isEmpty());
  LoadPlain();
  Separate();
  EXPECT_EQ(form.Shown().Separated().model, ColourModel::CMY);
  // Cyan ink 55 alone on white paper.
  EXPECT_EQ(Shown("Picture2"), RGB(200, 255, 255));
  EXPECT_EQ(Shown("Picture4"), RGB(255, 255, 40));
  Key("Picture4", Qt::Key_G);
  EXPECT_EQ(Shown("Picture4"), RGB(215, 215, 215));
}

TEST_F(Form1Models, ChannelViewsNameTheirComponentAndItsValueAtTheReadPixel) {
  LoadPlain();
  ChooseInModelMenu("Picture2", "ModelActionL*a*b*");
  Separate();
  EXPECT_EQ(View("Picture2")->CornerCaption(), QStringLiteral("L*"));
  Click(3, 2);
  EXPECT_EQ(View("Picture2")->CornerCaption(), QStringLiteral("L* 38.24"));
  EXPECT_EQ(View("Picture3")->CornerCaption(), QStringLiteral("a* +0.00"));
  Click(10, 5);
  const QString a = View("Picture3")->CornerCaption();
  EXPECT_TRUE(a.startsWith(QStringLiteral("a* +"))) << a.toStdString();
  // The readout itself is the picture's own colour, as in RGB.
  EXPECT_EQ(Readout()[2], QStringLiteral("200"));
  // A readout on a picture shown since belongs to no separated pixel.
  LoadPlain();
  Click(3, 2);
  EXPECT_EQ(View("Picture2")->CornerCaption(), QStringLiteral("L*"));
}

TEST_F(Form1Models, ValuesInsideThePixelsAreInTheModelsUnits) {
  LoadPlain();
  ChooseInModelMenu("Picture2", "ModelActionHSL");
  Separate();
  EXPECT_EQ(View("Picture2")->ValueText({0, 0}), QStringLiteral("15\u00B0"));
  EXPECT_EQ(View("Picture3")->ValueText({0, 0}), QStringLiteral("67%"));
  EXPECT_EQ(View("Picture4")->ValueText({0, 0}), QStringLiteral("47%"));
  EXPECT_EQ(View("Picture3")->ValueText({3, 2}), QStringLiteral("0%"));
  ChooseInModelMenu("Picture2", "ModelActionRGB");
  EXPECT_EQ(View("Picture3")->ValueText({0, 0}), QStringLiteral("80"));
}

TEST_F(Form1Models, KeysOneToThreeRebuildTheSourceWithoutChangingWhatAPressReads) {
  LoadPlain();
  ChooseInModelMenu("Picture2", "ModelActionYCbCr");
  Key("Picture1", Qt::Key_2);
  Key("Picture1", Qt::Key_3);
  EXPECT_EQ(View("Picture1")->CornerCaption(), QStringLiteral("Y\u2032 \u2212 \u2212"));
  const ColorValue brightness = Rebuild(ColourModel::YCbCr, kPixel, {true, false, false});
  EXPECT_EQ(RedOf(brightness), GreenOf(brightness));  // Y′ alone: the picture without colour
  EXPECT_EQ(Shown("Picture1"), brightness);
  Click(5, 5);
  EXPECT_EQ(Readout()[2], QStringLiteral("200"));
  EXPECT_EQ(Readout()[4], QStringLiteral("40"));
  // 色分解 splits the picture itself, not what the source view shows.
  Separate();
  EXPECT_EQ(View("Picture3")->View().Plane()->At(5, 5),
            GreyLevel(ColourModel::YCbCr, 1, ToModel(ColourModel::YCbCr, kPixel)[1]));
  Key("Picture1", Qt::Key_2);
  Key("Picture1", Qt::Key_3);
  EXPECT_EQ(Shown("Picture1"), kPixel);
  EXPECT_TRUE(View("Picture1")->CornerCaption().isEmpty());
  // Another model, or a new picture, shows the picture whole again.
  Key("Picture1", Qt::Key_1);
  ChooseInModelMenu("Picture2", "ModelActionHSV");
  EXPECT_EQ(Shown("Picture1"), kPixel);
  Key("Picture1", Qt::Key_1);
  LoadPlain();
  EXPECT_EQ(Shown("Picture1"), kPixel);
}

TEST_F(Form1Models, CopyAddsTheModelsFieldToTheReadoutLine) {
  QImage red(4, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  Load(red);
  Click(1, 1);
  QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
  const QString rgb = QGuiApplication::clipboard()->text();
  EXPECT_FALSE(rgb.contains(QLatin1Char('=') + QStringLiteral("255,")));
  for (const auto& [entry, field] : {std::pair{"ModelActionHSV", "HSV=0\u00B0,100%,100%"},
                                     {"ModelActionHSL", "HSL=0\u00B0,100%,50%"},
                                     {"ModelActionYCbCr", "YCbCr=76,85,255"},
                                     {"ModelActionL*a*b*", "Lab=53.24,80.09,67.20"},
                                     {"ModelActionCMY", "CMY=0,255,255"}}) {
    ChooseInModelMenu("Picture3", entry);
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              rgb + QLatin1Char(' ') + QString::fromUtf8(field));
  }
}

}  // namespace
}  // namespace irobunkai
