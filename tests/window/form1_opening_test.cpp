#include <gtest/gtest.h>

#include <QColorSpace>
#include <memory>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

// A picture that takes the decoder a moment: the window must go on without it.
QImage Large() { return test::CoordinateImage(4000, 3000); }

class Form1Opening : public test::Form1Views {
 protected:
  QString Write(const QImage& image, const char* name) {
    return test::WriteImage(dir, QString::fromLatin1(name), image, "png");
  }
  QImage Grab(const char* name) { return View(name)->grab().toImage(); }
};

TEST_F(Form1Opening, EscapeWhileOpeningKeepsEverythingAsItWas) {
  Load(test::CoordinateImage(300, 200));
  Separate();
  const QImage source = Grab("Picture1");
  const QImage red = Grab("Picture2");
  const int number = form.Shown().PictureNumber();
  const QString large = Write(Large(), "large.png");
  const test::ModalAnswerer answerer;
  form.LoadIntoPicture1(large);
  ASSERT_TRUE(form.IsBusy());
  Key("Picture1", Qt::Key_Escape);
  EXPECT_FALSE(form.IsBusy());
  QTest::qWait(300);  // long enough for an undropped result to arrive
  EXPECT_EQ(form.Shown().PictureNumber(), number);
  EXPECT_EQ(Grab("Picture1"), source);
  EXPECT_EQ(Grab("Picture2"), red);
  EXPECT_TRUE(answerer.Texts().isEmpty()) << "a cancel is no error";
  EXPECT_FALSE(test::Child<QWidget>(form, "WorkProgress")->isVisible());
  EXPECT_TRUE(test::Child<QWidget>(form, "Label6")->isVisible());
}

TEST_F(Form1Opening, WhileAPictureOpensTheOneShownIsReadOutAndSeparated) {
  Load(test::CoordinateImage(300, 200), "shown.png");
  form.LoadIntoPicture1(Write(Large(), "large.png"));
  ASSERT_TRUE(form.IsBusy());
  QTest::mouseClick(View("Picture1"), Qt::LeftButton, {}, QPoint(2 + 10, 2 + 20));
  const ColorValue read = form.Shown().LastReadout()->color;
  EXPECT_EQ(form.Shown().Origin().path, dir.filePath("shown.png").toStdString());
  EXPECT_EQ(Readout().at(0), QString::number(read));
  Separate();
  EXPECT_EQ(form.Shown().SeparatedOrigin().path, dir.filePath("shown.png").toStdString());
  test::WaitIdle(form);
  EXPECT_EQ(form.Shown().Origin().path, dir.filePath("large.png").toStdString());
  EXPECT_EQ(form.Shown().Source().AreaWidth(), 4000);
  // The readout and the separation stay with the picture they were made on.
  EXPECT_EQ(form.Shown().SeparatedOrigin().path, dir.filePath("shown.png").toStdString());
  EXPECT_EQ(Readout().at(0), QString::number(read));
}

TEST_F(Form1Opening, ANewerPictureSupersedesOneStillOpening) {
  const int number = form.Shown().PictureNumber();
  form.LoadIntoPicture1(Write(Large(), "first.png"));
  const QString second = Write(test::CoordinateImage(50, 40), "second.png");
  form.LoadIntoPicture1(second);
  test::WaitIdle(form);
  QTest::qWait(100);
  EXPECT_EQ(form.Shown().PictureNumber(), number + 1) << "only the newer is shown";
  EXPECT_EQ(form.Shown().Origin().path, second.toStdString());
  EXPECT_EQ(View("Picture1")->View().Point(49, 39), test::CoordinateColor(49, 39));
}

TEST_F(Form1Opening, TheWindowCanGoWhileAPictureOpens) {
  const QString large = Write(Large(), "large.png");
  auto window = std::make_unique<Form1>();
  window->LoadIntoPicture1(large);
  ASSERT_TRUE(window->IsBusy());
  window.reset();  // waits at most for the decoder to notice; nothing arrives after
  QTest::qWait(50);
}

TEST_F(Form1Opening, ErrorsAreReportedWhenTheWorkEndsAndLoseNothing) {
  Load(test::CoordinateImage(30, 20));
  const QImage before = Grab("Picture1");
  const test::ModalAnswerer answerer;
  form.LoadIntoPicture1(dir.filePath("missing.png"));
  EXPECT_TRUE(answerer.Texts().isEmpty()) << "not before the work ends";
  test::WaitIdle(form);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.Texts().isEmpty(); }, 5000));
  EXPECT_TRUE(answerer.Texts().front().contains(QStringLiteral("エラー 53")));
  EXPECT_EQ(Grab("Picture1"), before);
}

// The document keeps the picture's colour description with it, for whatever shows its colours.
TEST_F(Form1Opening, APicturesColourProfileIsKeptWithIt) {
  QImage tagged = test::CoordinateImage(64, 48);
  tagged.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
  ASSERT_TRUE(test::Open(form, test::WriteImage(dir, "adobe.jpg", tagged, "jpeg", 95)));
  const std::vector<std::uint8_t>& profile = form.Shown().Origin().colour.icc;
  ASSERT_FALSE(profile.empty());
  const QColorSpace read = QColorSpace::fromIccProfile(
      QByteArray(reinterpret_cast<const char*>(profile.data()), std::ssize(profile)));
  EXPECT_EQ(read.primaries(), QColorSpace::Primaries::AdobeRgb);
  ASSERT_TRUE(test::Open(form, Write(test::CoordinateImage(64, 48), "plain.png")));
  EXPECT_TRUE(form.Shown().Origin().colour.icc.empty()) << "untagged: sRGB, no profile";
}

}  // namespace
}  // namespace irobunkai
