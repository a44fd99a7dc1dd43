// Run with QT_SCALE_FACTOR=2: a high-density screen.
#include <gtest/gtest.h>

#include <QTest>

#include "gui_test_support.h"
#include "window/form1.h"

namespace irobunkai {
namespace {

TEST(PictureBoxOnAHighDensityScreen, EachPicturePixelIsACrispTwoByTwoBlock) {
  Form1 form([](QWidget*) { return QString(); });
  ASSERT_NO_FATAL_FAILURE(test::Show(form));
  const QImage shown = test::Child<QWidget>(form, "Picture1")->grab().toImage();
  ASSERT_EQ(shown.devicePixelRatio(), 2.0);
  ASSERT_EQ(shown.size(), QSize(384, 366));
  const QImage sample = test::SampleImage();
  int mismatches = 0;
  for (int y = 0; y < 179; ++y) {
    for (int x = 0; x < 188; ++x) {
      const QRgb expected = sample.pixel(x, y);
      for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        mismatches += shown.pixel(QPoint(4 + 2 * x, 4 + 2 * y) + d) != expected ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(PictureBoxOnAHighDensityScreen, ZoomedInEachPicturePixelIsACrispBlockOfDevicePixels) {
  Form1 form([](QWidget*) { return QString(); });
  ASSERT_NO_FATAL_FAILURE(test::Show(form));
  auto* source = test::Child<QWidget>(form, "Picture1");
  test::Wheel(*source, {0, 0}, 2, Qt::ControlModifier);  // 3x, anchored at the top-left
  const QImage shown = source->grab().toImage();
  ASSERT_EQ(shown.devicePixelRatio(), 2.0);
  const QImage sample = test::SampleImage();
  int mismatches = 0;
  for (int y = 0; y < 59; ++y) {
    for (int x = 0; x < 62; ++x) {
      // 3 logical pixels a picture pixel: 6 x 6 device pixels, after the 2-pixel frame.
      for (int d = 0; d < 36; ++d) {
        const QPoint at(4 + 6 * x + d % 6, 4 + 6 * y + d / 6);
        mismatches += (shown.pixel(at) & 0xFFFFFFu) != (sample.pixel(x, y) & 0xFFFFFFu) ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace irobunkai
