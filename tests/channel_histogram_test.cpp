#include "analysis/channel_histogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "analysis/channel_separation.h"

namespace irobunkai {
namespace {

constexpr ColorValue kRed = 0x0000FF;

ChannelHistogram FromValues(const std::vector<int>& values) {
  ChannelHistogram histogram;
  for (const int v : values) {
    ++histogram.counts[static_cast<std::size_t>(v)];
  }
  return histogram;
}

// The figures the slow, obvious way: from the sorted list of every value.
ChannelStatistics ReferenceStatistics(std::vector<int> values) {
  std::ranges::sort(values);
  const double sum = std::accumulate(values.begin(), values.end(), 0.0);
  return {.total = values.size(),
          .mean = sum / static_cast<double>(values.size()),
          .median = values[(values.size() - 1) / 2],
          .minimum = values.front(),
          .maximum = values.back()};
}

TEST(HistogramStatistics, AllOneValue) {
  const auto stats = FromValues(std::vector<int>(7, 42)).Statistics();
  ASSERT_TRUE(stats.has_value());
  EXPECT_EQ(*stats, (ChannelStatistics{
                        .total = 7, .mean = 42, .median = 42, .minimum = 42, .maximum = 42}));
}

TEST(HistogramStatistics, TwoValuesTakeTheLowerMedian) {
  const auto stats = FromValues({10, 250}).Statistics();
  ASSERT_TRUE(stats.has_value());
  EXPECT_EQ(stats->median, 10);
  EXPECT_DOUBLE_EQ(stats->mean, 130.0);
  EXPECT_EQ(stats->minimum, 10);
  EXPECT_EQ(stats->maximum, 250);
}

TEST(HistogramStatistics, MedianIsWhereTheCumulativeCountFirstReachesHalf) {
  // Cumulative counts 2, 4, 5 of 5: 4 is the first to reach half (2.5).
  EXPECT_EQ(FromValues({0, 0, 9, 9, 200}).Statistics()->median, 9);
  // 2 of 4 is exactly half: the lower middle value.
  EXPECT_EQ(FromValues({3, 3, 8, 8}).Statistics()->median, 3);
  EXPECT_EQ(FromValues({3, 8, 8, 8}).Statistics()->median, 8);
}

TEST(HistogramStatistics, ExtremesAreValuesThatOccur) {
  const auto stats = FromValues({0, 255}).Statistics();
  EXPECT_EQ(stats->minimum, 0);
  EXPECT_EQ(stats->maximum, 255);
  const auto single = FromValues({1}).Statistics();
  EXPECT_EQ(single->minimum, 1);
  EXPECT_EQ(single->maximum, 1);
  EXPECT_EQ(single->median, 1);
}

TEST(HistogramStatistics, EmptyHistogramHasNoFigures) {
  const ChannelHistogram empty;
  EXPECT_EQ(empty.Total(), 0U);
  EXPECT_FALSE(empty.Statistics().has_value());
}

TEST(HistogramStatistics, MatchTheSortedListOnRandomValues) {
  std::mt19937 rng(5);
  for (const int n : {1, 2, 3, 10, 255, 1000, 4097}) {
    std::uniform_int_distribution<int> value(0, 255);
    std::uniform_int_distribution<int> narrow(60, 70);
    std::vector<int> values(static_cast<std::size_t>(n));
    for (auto& v : values) {
      v = n % 2 == 0 ? value(rng) : narrow(rng);
    }
    const auto stats = FromValues(values).Statistics();
    ASSERT_TRUE(stats.has_value()) << n;
    const ChannelStatistics expected = ReferenceStatistics(values);
    EXPECT_EQ(stats->total, expected.total) << n;
    EXPECT_NEAR(stats->mean, expected.mean, 1e-9) << n;
    EXPECT_EQ(stats->median, expected.median) << n;
    EXPECT_EQ(stats->minimum, expected.minimum) << n;
    EXPECT_EQ(stats->maximum, expected.maximum) << n;
  }
}

TEST(ChannelHistograms, OfPicksTheChannel) {
  ChannelHistograms histograms;
  histograms[Channel::Red].counts[1] = 1;
  histograms[Channel::Green].counts[2] = 1;
  histograms[Channel::Blue].counts[3] = 1;
  EXPECT_EQ(histograms[Channel::Red].counts[1], 1U);
  EXPECT_EQ(histograms[Channel::Green].counts[2], 1U);
  EXPECT_EQ(histograms[Channel::Blue].counts[3], 1U);
}

TEST(CountPlanes, CountsEveryCellOfEachPlane) {
  Separation separation;
  for (const Channel channel : kChannels) {
    auto plane = std::make_shared<ChannelPlane>();
    plane->Resize(5, 3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        // The blue plane's values are the red's turned upside down.
        const int v = x == 4 ? 255 : y;
        plane->Row(y)[x] = static_cast<std::uint8_t>(channel == Channel::Blue ? 255 - v : v);
      }
    }
    separation.planes[channel] = std::move(plane);
  }
  const ChannelHistograms histograms = CountPlanes(separation);
  const ChannelHistogram& histogram = histograms[Channel::Green];
  EXPECT_EQ(histogram.Total(), 15U);
  EXPECT_EQ(histogram.counts[0], 4U);
  EXPECT_EQ(histogram.counts[1], 4U);
  EXPECT_EQ(histogram.counts[2], 4U);
  EXPECT_EQ(histogram.counts[255], 3U);
  EXPECT_EQ(histograms[Channel::Red], histogram);
  EXPECT_EQ(histograms[Channel::Blue].counts[255], 4U);
  EXPECT_EQ(histograms[Channel::Blue].counts[0], 3U);
}

Image RandomImage(int width, int height, std::mt19937& rng, bool withAlpha, bool fewColours) {
  std::uniform_int_distribution<std::uint32_t> any;
  std::vector<RgbaPixel> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (auto& p : pixels) {
    const std::uint32_t bits = any(rng);
    const std::uint32_t colour = fewColours ? (bits & 0x030303u) * 0x40 : bits & 0xFFFFFFu;
    const std::uint32_t alpha = withAlpha ? bits >> 24 : 255;
    p = MakeRgba(static_cast<ColorValue>(colour), alpha);
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

// Every pixel of the picture, read one at a time as the view shows it; the
// background around a smaller picture is not the picture's and is not counted.
ChannelHistograms ReferenceHistograms(const PictureView& source) {
  ChannelHistograms histograms;
  for (int y = 0; y < source.Picture().Height(); ++y) {
    for (int x = 0; x < source.Picture().Width(); ++x) {
      const ColorValue c = source.Point(static_cast<float>(x), static_cast<float>(y));
      ++histograms[Channel::Red].counts[static_cast<std::size_t>(RedOf(c))];
      ++histograms[Channel::Green].counts[static_cast<std::size_t>(GreenOf(c))];
      ++histograms[Channel::Blue].counts[static_cast<std::size_t>(BlueOf(c))];
    }
  }
  return histograms;
}

struct Shape {
  int pictureWidth;
  int pictureHeight;
  bool withAlpha;
  bool fewColours;
};

void PrintTo(const Shape& s, std::ostream* os) {
  *os << s.pictureWidth << "x" << s.pictureHeight << (s.withAlpha ? ", with alpha" : "")
      << (s.fewColours ? ", few colours" : "");
}

class CountingWhileSeparating : public testing::TestWithParam<Shape> {
 protected:
  CountingWhileSeparating() : source_(188, 179, kRed) {
    const Shape& shape = GetParam();
    std::mt19937 rng(static_cast<unsigned>(shape.pictureWidth * 31 + shape.pictureHeight));
    source_.SetPicture(RandomImage(shape.pictureWidth, shape.pictureHeight, rng, shape.withAlpha,
                                   shape.fewColours));
  }

  PictureView source_;
};

TEST_P(CountingWhileSeparating, MatchesTheReferenceAndTheFinishedPlanes) {
  const Separation planes = SeparateChannels(source_, {.countHistograms = true});
  ASSERT_TRUE(planes.histograms.has_value());
  const ChannelHistograms expected = ReferenceHistograms(source_);
  EXPECT_EQ((*planes.histograms)[Channel::Red], expected[Channel::Red]);
  EXPECT_EQ((*planes.histograms)[Channel::Green], expected[Channel::Green]);
  EXPECT_EQ((*planes.histograms)[Channel::Blue], expected[Channel::Blue]);
  const ChannelHistograms recounted = CountPlanes(planes);
  EXPECT_EQ((*planes.histograms)[Channel::Red], recounted[Channel::Red]);
  EXPECT_EQ((*planes.histograms)[Channel::Green], recounted[Channel::Green]);
  EXPECT_EQ((*planes.histograms)[Channel::Blue], recounted[Channel::Blue]);
  const auto pictured = static_cast<std::uint64_t>(source_.Picture().Width()) *
                        static_cast<std::uint64_t>(source_.Picture().Height());
  EXPECT_EQ((*planes.histograms)[Channel::Blue].Total(), pictured);
}

TEST_P(CountingWhileSeparating, LeavesThePlanesAsWithoutCounting) {
  const Separation plain = SeparateChannels(source_);
  EXPECT_FALSE(plain.histograms.has_value());
  const Separation counted = SeparateChannels(source_, {.countHistograms = true});
  for (const Channel channel : kChannels) {
    const ChannelPlane& a = *plain.planes[channel];
    const ChannelPlane& b = *counted.planes[channel];
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    std::vector<std::uint8_t> rowA(static_cast<std::size_t>(a.Width()));
    std::vector<std::uint8_t> rowB(rowA.size());
    for (int y = 0; y < a.Height(); ++y) {
      a.ReadRow(y, 0, rowA);
      b.ReadRow(y, 0, rowB);
      ASSERT_EQ(rowA, rowB) << "row " << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CountingWhileSeparating,
    testing::Values(Shape{1, 1, false, false}, Shape{1, 9, true, false}, Shape{9, 1, false, true},
                    Shape{100, 50, true, false},  // smaller than the area: only the picture counted
                    Shape{188, 179, false, false}, Shape{187, 181, true, true},
                    Shape{401, 263, false, false},  // large enough to run on several threads
                    Shape{640, 321, true, true}));

TEST(CountingWhileSeparating, AnUncountedRunForgetsTheOldHistograms) {
  PictureView source(4, 4, kRed);
  source.SetPicture(Image::FromPixels(4, 4, std::vector<RgbaPixel>(16, MakeRgba(kRed))));
  Separation planes;
  SeparateChannels(source, planes, {.countHistograms = true});
  ASSERT_TRUE(planes.histograms.has_value());
  EXPECT_EQ((*planes.histograms)[Channel::Red].counts[255], 16U);
  EXPECT_EQ((*planes.histograms)[Channel::Green].counts[0], 16U);
  SeparateChannels(source, planes);
  EXPECT_FALSE(planes.histograms.has_value());
}

}  // namespace
}  // namespace irobunkai
