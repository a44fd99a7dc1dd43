// M on the source view: a camera raw picture's sensor mosaic and back, through the real window.
#include <gtest/gtest.h>

#include <QTest>

#include "dng_writer.h"
#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

class Form1Mosaic : public test::Form1Views {
 protected:
  // A raw file of grey at 160 through an RGGB mosaic, at levels of whole steps of 16.
  QString WriteRaw(int width, int height) {
    test::Dng dng;
    dng.width = width;
    dng.height = height;
    dng.black = 64;
    dng.white = 64 + 255 * 16;
    test::Expose(dng, [](int x, int) { return std::array{160, 100 + x % 50, 60}; });
    const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
    return test::WriteBytes(dir, QStringLiteral("camera.dng"),
                            QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qsizetype>(bytes.size())));
  }
  ColorValue Shown(int x, int y) {
    return View("Picture1")->View().Point(static_cast<float>(x), static_cast<float>(y));
  }
};

TEST_F(Form1Mosaic, MShowsThePhotositesWhereTheUserLooksAndMAgainTheDevelopedPicture) {
  ASSERT_TRUE(test::Open(form, WriteRaw(400, 300)));
  const ColorValue developed = Shown(10, 10);
  ASSERT_GT(RedOf(developed), 0);
  ASSERT_GT(BlueOf(developed), 0);
  ZoomTo(8.0);
  const ViewMapping zoomed = View("Picture1")->Mapping();
  Key("Picture1", Qt::Key_M);
  EXPECT_EQ(Shown(10, 10), RGB(160, 0, 0));  // red photosite
  EXPECT_EQ(Shown(11, 10), RGB(0, 111, 0));  // green, its recorded level
  EXPECT_EQ(Shown(11, 11), RGB(0, 0, 60));   // blue
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, zoomed.scale);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originX, zoomed.originX);
  // The mosaic is a picture like any other: read out and split.
  QTest::mouseClick(View("Picture1"), Qt::LeftButton, {}, QPoint(2, 2));
  Separate();
  EXPECT_EQ(View("Picture2")->View().Point(11, 10), 0);  // the red view: green photosites dark
  EXPECT_EQ(View("Picture3")->View().Point(11, 10), RGB(0, 111, 0));
  // The developed picture's levels are made again on the worker; the mosaic stays till then.
  Activate();
  View("Picture1")->setFocus();
  QTest::keyClick(View("Picture1"), Qt::Key_M);
  EXPECT_TRUE(form.IsBusy());
  EXPECT_EQ(Shown(10, 10), RGB(160, 0, 0));
  test::WaitIdle(form);
  EXPECT_EQ(Shown(10, 10), developed);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, zoomed.scale);
}

TEST_F(Form1Mosaic, APictureWithoutAMosaicSaysSoAndStays) {
  Load(test::CoordinateImage(40, 30));
  const ColorValue before = Shown(5, 5);
  const test::ModalAnswerer answerer;
  Key("Picture1", Qt::Key_M);
  ASSERT_EQ(answerer.Texts().size(), 1);
  EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("no sensor mosaic")));
  EXPECT_EQ(Shown(5, 5), before);
}

}  // namespace
}  // namespace irobunkai
