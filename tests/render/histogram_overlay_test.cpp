#include "render/histogram_overlay.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "gui_test_support.h"

namespace irobunkai {
namespace {

constexpr int kWidth = 188;
constexpr int kHeight = 179;
constexpr int kBandTop = kHeight - 60;  // a third of the height

// A picture with a different colour in every pixel, so that any change shows.
QImage Backdrop() {
  QImage image = test::CoordinateImage(kWidth, kHeight);
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Painted(const ChannelHistogram& histogram, Channel channel, HistogramScale scale) {
  QImage image = Backdrop();
  QPainter painter(&image);
  PaintHistogram(painter, QRectF(0, 0, kWidth, kHeight), histogram, channel, scale);
  painter.end();
  return image;
}

// The pixel column where value v's bar stands.
int ColumnOf(int v) { return v * kWidth / ChannelHistogram::kLevels; }

// True when the pixel is clearly the bar colour of `channel`.
bool IsBarColour(QRgb p, Channel channel) {
  const int r = qRed(p);
  const int g = qGreen(p);
  const int b = qBlue(p);
  switch (channel) {
    case Channel::Red:
      return r > 200 && g < 120 && b < 120;
    case Channel::Green:
      return g > 200 && r < 120 && b < 120;
    case Channel::Blue:
      return b > 200 && r < 140 && g < 200;
    case Channel::Black:
      break;
  }
  return false;
}

// How many pixels of a column, from the bottom up, show the bar.
int BarHeight(const QImage& image, int column, Channel channel) {
  int height = 0;
  for (int y = kHeight - 1; y >= kBandTop && IsBarColour(image.pixel(column, y), channel); --y) {
    ++height;
  }
  return height;
}

ChannelHistogram TallAndSmall() {
  ChannelHistogram histogram;
  histogram.counts[100] = 10000;
  histogram.counts[30] = 2;
  return histogram;
}

TEST(HistogramOverlay, ATallBinIsAChannelColouredBarAndAnEmptyOneIsNot) {
  for (const Channel channel : {Channel::Red, Channel::Green, Channel::Blue}) {
    const QImage image = Painted(TallAndSmall(), channel, HistogramScale::Linear);
    const int tall = BarHeight(image, ColumnOf(100), channel);
    EXPECT_GT(tall, 25) << "the largest bin fills the bars' height";
    EXPECT_TRUE(IsBarColour(image.pixel(ColumnOf(100), kHeight - tall), channel));
    EXPECT_EQ(BarHeight(image, ColumnOf(200), channel), 0);
    // The empty bin's column is darkened by the band, not left as it was.
    const QRgb before = Backdrop().pixel(ColumnOf(200), kHeight - 5);
    const QRgb after = image.pixel(ColumnOf(200), kHeight - 5);
    EXPECT_LT(qGray(after), qGray(before));
  }
}

TEST(HistogramOverlay, LogarithmicScaleRaisesSmallBins) {
  const QImage linear = Painted(TallAndSmall(), Channel::Green, HistogramScale::Linear);
  const QImage logarithmic = Painted(TallAndSmall(), Channel::Green, HistogramScale::Logarithmic);
  const int small = BarHeight(linear, ColumnOf(30), Channel::Green);
  const int raised = BarHeight(logarithmic, ColumnOf(30), Channel::Green);
  EXPECT_EQ(small, 0) << "2 of 10000 is too little to see";
  EXPECT_GE(raised, 3);
  EXPECT_EQ(BarHeight(logarithmic, ColumnOf(100), Channel::Green),
            BarHeight(linear, ColumnOf(100), Channel::Green));
}

TEST(HistogramOverlay, EveryBinIsSeenInANarrowPlace) {
  for (int v = 0; v < ChannelHistogram::kLevels; v += 17) {
    ChannelHistogram histogram;
    histogram.counts[static_cast<std::size_t>(v)] = 5;
    const QImage image = Painted(histogram, Channel::Red, HistogramScale::Linear);
    EXPECT_GT(BarHeight(image, ColumnOf(v), Channel::Red), 20) << v;
  }
}

TEST(HistogramOverlay, NothingAboveTheBandChanges) {
  const QImage before = Backdrop();
  for (const HistogramScale scale : {HistogramScale::Linear, HistogramScale::Logarithmic}) {
    const QImage image = Painted(TallAndSmall(), Channel::Blue, scale);
    int changed = 0;
    for (int y = 0; y < kBandTop; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        changed += image.pixel(x, y) != before.pixel(x, y);
      }
    }
    EXPECT_EQ(changed, 0);
    EXPECT_NE(image.pixel(5, kBandTop), before.pixel(5, kBandTop)) << "the band starts here";
  }
}

TEST(HistogramOverlay, CaptionGivesTheFiguresAndFitsTheView) {
  ChannelHistogram histogram;
  histogram.counts[0] = 1;
  histogram.counts[255] = 1;
  histogram.counts[128] = 2;
  const QStringList caption = HistogramCaption(histogram);
  ASSERT_EQ(caption.size(), 2);
  EXPECT_EQ(caption[0], QStringLiteral("平均 127.8  中央 128"));
  EXPECT_EQ(caption[1], QStringLiteral("最小 0  最大 255  4 画素"));
  const QFontMetricsF metrics(HistogramFont());
  for (const QString& line : caption) {
    EXPECT_LT(metrics.horizontalAdvance(line), kWidth - 6) << line.toStdString();
  }
  EXPECT_LT(2 * metrics.height(), 60 / 2) << "the bars keep half the band";
  EXPECT_TRUE(HistogramCaption(ChannelHistogram{}).isEmpty());
  // A 48 megapixel picture's count still fits.
  histogram.counts[7] = 48'000'000;
  const QString large = HistogramCaption(histogram).at(1);
  EXPECT_EQ(large, QStringLiteral("最小 0  最大 255  48,000,004 画素"));
  EXPECT_LT(metrics.horizontalAdvance(large), kWidth - 6);
}

TEST(HistogramOverlay, AModelsFiguresAreInItsUnits) {
  ChannelHistogram histogram;
  histogram.counts[0] = 1;
  histogram.counts[128] = 2;
  histogram.counts[255] = 1;
  // Hue: degrees of the grey levels' 360/255; the mean too.
  EXPECT_EQ(HistogramCaption(histogram, ColourModel::HSV, 0),
            (QStringList{QStringLiteral("平均 180°  中央 181°"),
                         QStringLiteral("最小 0°  最大 0°  4 画素")}));
  // a*: the level less 128, signed, with two decimals.
  EXPECT_EQ(HistogramCaption(histogram, ColourModel::Lab, 1),
            (QStringList{QStringLiteral("平均 -0.25  中央 +0.00"),
                         QStringLiteral("最小 -128.00  最大 +127.00  4 画素")}));
  // Y′CbCr's units are levels, as RGB's.
  EXPECT_EQ(HistogramCaption(histogram, ColourModel::YCbCr, 2), HistogramCaption(histogram));
}

TEST(HistogramOverlay, CaptionIsWrittenInTheBand) {
  ChannelHistogram histogram = TallAndSmall();
  const QImage image = Painted(histogram, Channel::Red, HistogramScale::Linear);
  int light = 0;
  for (int y = kBandTop; y < kBandTop + 12; ++y) {
    for (int x = 0; x < kWidth / 2; ++x) {
      light += qGray(image.pixel(x, y)) > 200;
    }
  }
  EXPECT_GT(light, 10);
}

}  // namespace
}  // namespace irobunkai
