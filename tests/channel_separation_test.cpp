#include "analysis/channel_separation.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace irobunkai {
namespace {

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kGreen = 0x00FF00;
constexpr ColorValue kBlue = 0xFF0000;

struct ChannelViewSet {
  explicit ChannelViewSet(int width = 188, int height = 179)
      : red(width, height, kRed), green(width, height, kGreen), blue(width, height, kBlue) {}
  PictureView red;
  PictureView green;
  PictureView blue;
  // Shows a separation as the window's channel views do.
  void Show(const Separation& separation) {
    for (auto [view, channel] : {std::pair{&red, Channel::Red}, std::pair{&green, Channel::Green},
                                 std::pair{&blue, Channel::Blue}}) {
      view->Cls();
      view->DrawPlane(separation.planes[channel], channel);
    }
  }
};

// The separation written the slow, obvious way: every pixel through Point and PSet,
// column by column from (0, 0), the last row read afresh for each column.
void ReferenceSeparation(const PictureView& source, ChannelViewSet& out) {
  out.red.Cls();
  out.green.Cls();
  out.blue.Cls();
  const float lastColumn = source.ScaleWidth() - 1;
  for (float x = 0; x <= lastColumn; x += 1) {
    const float lastRow = source.ScaleHeight() - 1;
    for (float y = 0; y <= lastRow; y += 1) {
      const ColorValue pixelColor = source.Point(x, y);
      const ColorValue red = pixelColor % 256;
      const ColorValue green = (pixelColor / 256) % 256;
      const ColorValue blue = pixelColor / 65536;
      out.red.PSet(x, y, RGB(red, 0, 0));
      out.green.PSet(x, y, RGB(0, green, 0));
      out.blue.PSet(x, y, RGB(0, 0, blue));
    }
  }
}

Image RandomImage(int width, int height, std::mt19937& rng, bool withAlpha) {
  std::uniform_int_distribution<std::uint32_t> any;
  std::vector<RgbaPixel> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (auto& p : pixels) {
    const std::uint32_t bits = any(rng);
    const std::uint32_t alpha =
        withAlpha ? std::array<std::uint32_t, 4>{0, 255, 255, bits >> 24}[bits & 3] : 255;
    p = MakeRgba(static_cast<ColorValue>(bits & 0xFFFFFFu), alpha);
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

void ExpectSameShown(const PictureView& actual, const PictureView& expected, const char* name) {
  ASSERT_EQ(actual.ScaleWidth(), expected.ScaleWidth()) << name;
  ASSERT_EQ(actual.ScaleHeight(), expected.ScaleHeight()) << name;
  int mismatches = 0;
  for (int y = 0; y < actual.AreaHeight(); ++y) {
    for (int x = 0; x < actual.AreaWidth(); ++x) {
      const auto fx = static_cast<float>(x);
      const auto fy = static_cast<float>(y);
      if (actual.Point(fx, fy) != expected.Point(fx, fy) && ++mismatches <= 5) {
        ADD_FAILURE() << name << " differs at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << name;
}

struct SourceShape {
  int layoutWidth;
  int layoutHeight;
  int pictureWidth;
  int pictureHeight;
  bool withAlpha;
};

void PrintTo(const SourceShape& s, std::ostream* os) {
  *os << "layout " << s.layoutWidth << "x" << s.layoutHeight << ", picture " << s.pictureWidth
      << "x" << s.pictureHeight << (s.withAlpha ? ", with alpha" : "");
}

class SeparationMatchesReference : public testing::TestWithParam<SourceShape> {};

TEST_P(SeparationMatchesReference, OnRandomPictures) {
  const SourceShape& shape = GetParam();
  std::mt19937 rng(static_cast<unsigned>(shape.pictureWidth * 7919 + shape.pictureHeight));
  PictureView source(shape.layoutWidth, shape.layoutHeight, kRed);
  source.SetPicture(RandomImage(shape.pictureWidth, shape.pictureHeight, rng, shape.withAlpha));
  source.PSet(0, 0, 0xFFFFFF);  // a drawn pixel is read as the view shows it
  Separation planes;
  ChannelViewSet fast(shape.layoutWidth, shape.layoutHeight);
  SeparateChannels(source, planes);
  fast.Show(planes);

  ChannelViewSet reference(source.AreaWidth(), source.AreaHeight());
  ReferenceSeparation(source, reference);
  ExpectSameShown(fast.red, reference.red, "red");
  ExpectSameShown(fast.green, reference.green, "green");
  ExpectSameShown(fast.blue, reference.blue, "blue");
  EXPECT_EQ(planes.RedPlane().Width(), source.AreaWidth());
  EXPECT_EQ(planes.BluePlane().Height(), source.AreaHeight());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SeparationMatchesReference,
    testing::Values(SourceShape{1, 1, 1, 1, false}, SourceShape{1, 9, 1, 9, false},
                    SourceShape{9, 1, 9, 1, true}, SourceShape{188, 179, 188, 179, false},
                    SourceShape{188, 179, 100, 50, true},    // picture smaller than the area
                    SourceShape{188, 179, 640, 320, false},  // past 501 x 301
                    SourceShape{188, 179, 200, 700, true}, SourceShape{188, 179, 502, 1, false}));

TEST(ChannelSeparation, KnownPixelsPaintTheirChannels) {
  PictureView source(3, 1, kRed);
  source.SetPicture(Image::FromPixels(3, 1, {MakeRgba(0), MakeRgba(0xFFFFFF), MakeRgba(0xFFC0FF)}));
  Separation planes;
  ChannelViewSet views(3, 1);
  SeparateChannels(source, planes);
  views.Show(planes);
  const std::vector<std::array<ColorValue, 3>> expected = {
      {0, 0, 0},
      {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
      {RGB(255, 0, 0), RGB(0, 192, 0), RGB(0, 0, 255)}};
  for (int x = 0; x < 3; ++x) {
    const auto fx = static_cast<float>(x);
    EXPECT_EQ(views.red.Point(fx, 0), expected[static_cast<std::size_t>(x)][0]) << x;
    EXPECT_EQ(views.green.Point(fx, 0), expected[static_cast<std::size_t>(x)][1]) << x;
    EXPECT_EQ(views.blue.Point(fx, 0), expected[static_cast<std::size_t>(x)][2]) << x;
  }
  EXPECT_EQ(planes.GreenPlane().At(2, 0), 192);
}

TEST(ChannelSeparation, EmptySourceSeparatesItsBackgroundIncludingTheFirstRowAndColumn) {
  const PictureView source(188, 179, kRed);
  Separation planes;
  ChannelViewSet views;
  views.green.PSet(0, 0, 0xFFFFFF);  // cleared before the run
  SeparateChannels(source, planes);
  views.Show(planes);
  EXPECT_EQ(views.red.Point(0, 0), kRed);
  EXPECT_EQ(views.green.Point(0, 0), 0);
  EXPECT_EQ(views.blue.Point(187, 178), 0);
}

TEST(ChannelSeparation, RepeatedRunsFollowTheCurrentSourceAndShrinkBack) {
  std::mt19937 rng(7);
  PictureView source(188, 179, kRed);
  Separation planes;
  ChannelViewSet views;
  for (const auto& [w, h] : {std::pair{600, 400}, std::pair{188, 179}, std::pair{300, 200}}) {
    source.SetPicture(RandomImage(w, h, rng, false));
    SeparateChannels(source, planes);
    views.Show(planes);
    ChannelViewSet reference(source.AreaWidth(), source.AreaHeight());
    ReferenceSeparation(source, reference);
    ExpectSameShown(views.blue, reference.blue, "blue");
  }
  source.SetPicture(Image{});
  SeparateChannels(source, planes);
  views.Show(planes);
  EXPECT_EQ(views.red.ScaleWidth(), 188.0F);
  EXPECT_EQ(views.red.Point(100, 100), kRed);
}

}  // namespace
}  // namespace irobunkai
