#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "form1_views_fixture.h"
#include "gui_test_support.h"
#include "form1_waiting.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

using test::Child;

class Form1Separation : public test::Form1Views {
 protected:
  // The drawable place of a view as it is painted.
  QImage Shown(const char* name) {
    return Child<QWidget>(form, name)
        ->grab()
        .toImage()
        .copy(2, 2, 188, 179)
        .convertToFormat(QImage::Format_RGB32);
  }
};

QImage KeepOnly(const QImage& image, QRgb mask) {
  QImage result = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < result.height(); ++y) {
    for (int x = 0; x < result.width(); ++x) {
      result.setPixel(x, y, result.pixel(x, y) & mask);
    }
  }
  return result;
}

TEST_F(Form1Separation, SeparateButtonPaintsTheSamplesChannelsEverywhere) {
  const QImage sample = test::SampleImage();
  Separate();
  EXPECT_EQ(Shown("Picture2"), KeepOnly(sample, 0xFFFF0000));
  EXPECT_EQ(Shown("Picture3"), KeepOnly(sample, 0xFF00FF00));
  EXPECT_EQ(Shown("Picture4"), KeepOnly(sample, 0xFF0000FF));
  // The source is untouched, and a second press gives the same.
  EXPECT_EQ(Shown("Picture1"), sample);
  Separate();
  EXPECT_EQ(Shown("Picture4"), KeepOnly(sample, 0xFF0000FF));
}

TEST_F(Form1Separation, ASmallPictureSeparatesTogetherWithTheBackgroundAroundIt) {
  QImage image(2, 1, QImage::Format_RGB32);
  image.fill(qRgb(10, 20, 30));
  ASSERT_TRUE(test::Open(form, test::WriteImage(dir, "small.png", image, "png")));
  Separate();
  const QImage red = Shown("Picture2");
  const QImage green = Shown("Picture3");
  EXPECT_EQ(red.pixel(0, 0), qRgb(10, 0, 0));
  EXPECT_EQ(green.pixel(1, 0), qRgb(0, 20, 0));
  EXPECT_EQ(Shown("Picture4").pixel(1, 0), qRgb(0, 0, 30));
  // The source's red background splits into full red, and zero green and blue.
  EXPECT_EQ(red.pixel(100, 100), qRgb(255, 0, 0));
  EXPECT_EQ(green.pixel(0, 1), qRgb(0, 0, 0));
  EXPECT_EQ(Shown("Picture4").pixel(187, 178), qRgb(0, 0, 0));
}

TEST_F(Form1Separation, AGrownPictureGivesGrownChannelViewsShownWholeAndScaled) {
  // Past the old 501 x 301 grid bounds, with known colour in each quarter.
  QImage image(752, 716, QImage::Format_RGB32);
  image.fill(qRgb(200, 100, 50));
  for (int y = 358; y < 716; ++y) {
    for (int x = 376; x < 752; ++x) {
      image.setPixel(x, y, qRgb(20, 40, 240));
    }
  }
  ASSERT_TRUE(test::Open(form, test::WriteImage(dir, "big.png", image, "png")));
  Separate();
  auto* red = Child<PictureBox>(form, "Picture2");
  EXPECT_EQ(red->View().ScaleWidth(), 752.0F);
  EXPECT_EQ(red->View().ScaleHeight(), 716.0F);
  EXPECT_EQ(red->View().Point(751, 715), RGB(20, 0, 0));
  EXPECT_EQ(Child<PictureBox>(form, "Picture4")->View().Point(0, 0), RGB(0, 0, 50));
  // A quarter scale: the picture covers the whole place, each quarter its own colour.
  const QImage shownRed = Shown("Picture2");
  const QImage shownBlue = Shown("Picture4");
  EXPECT_EQ(shownRed.pixel(40, 40), qRgb(200, 0, 0));
  EXPECT_EQ(shownRed.pixel(150, 150), qRgb(20, 0, 0));
  EXPECT_EQ(shownBlue.pixel(150, 150), qRgb(0, 0, 240));
  EXPECT_EQ(Shown("Picture3").pixel(40, 40), qRgb(0, 100, 0));
}

}  // namespace
}  // namespace irobunkai
