#include "views/mip_pyramid.h"

#include <gtest/gtest.h>

#include <random>

#include "analysis/channel_separation.h"

namespace irobunkai {
namespace {

Image Noise(int width, int height, unsigned seed, bool alpha) {
  std::mt19937 rng(seed);
  std::vector<RgbaPixel> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (auto& p : pixels) {
    p = MakeRgba(static_cast<ColorValue>(rng() & 0xFFFFFFu), alpha ? rng() & 0xFFu : 255u);
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

// The obvious way: each level pixel is the rounded mean of the block it covers in the
// level below (the area itself for the first), blocks cut by the edge included.
std::vector<std::vector<int>> ReferenceLevel(const std::vector<std::vector<int>>& finer,
                                             int factor) {
  const int height = static_cast<int>(finer.size());
  const int width = static_cast<int>(finer[0].size());
  std::vector<std::vector<int>> out((height + factor - 1) / factor,
                                    std::vector<int>((width + factor - 1) / factor));
  for (std::size_t y = 0; y < out.size(); ++y) {
    for (std::size_t x = 0; x < out[y].size(); ++x) {
      int sum = 0;
      int count = 0;
      for (int dy = 0; dy < factor; ++dy) {
        for (int dx = 0; dx < factor; ++dx) {
          const auto fy = y * factor + dy;
          const auto fx = x * factor + dx;
          if (fy < finer.size() && fx < finer[fy].size()) {
            sum += finer[fy][fx];
            ++count;
          }
        }
      }
      out[y][x] = (sum + count / 2) / count;
    }
  }
  return out;
}

// One component of the view's content; the uniform rest of its area needs no levels.
std::vector<std::vector<int>> Component(const PictureView& view, int shift) {
  std::vector<std::vector<int>> out(static_cast<std::size_t>(view.ContentHeight()));
  for (int y = 0; y < view.ContentHeight(); ++y) {
    for (int x = 0; x < view.ContentWidth(); ++x) {
      out[static_cast<std::size_t>(y)].push_back((view.Point(x, y) >> shift) & 0xFF);
    }
  }
  return out;
}

TEST(MipPyramid, EveryLevelIsTheRoundedBoxMeanOfTheOneBelow) {
  // 8197 columns: wider than the band of columns a level is worked out in.
  for (const auto& [w, h] :
       {std::pair{190, 181}, std::pair{301, 7}, std::pair{5, 260}, std::pair{8197, 6}}) {
    PictureView view(188, 179, 0x0000FF);
    view.SetPicture(Noise(w, h, static_cast<unsigned>(w * h), true));
    const MipPyramid pyramid = MipPyramid::OfView(view);
    ASSERT_FALSE(pyramid.Levels().empty());
    const auto& last = pyramid.Levels().back();
    EXPECT_EQ(last.width, 1);
    EXPECT_EQ(last.height, 1);
    for (const int component : {0, 1, 2}) {
      auto expected = ReferenceLevel(Component(view, 8 * component), 4);
      for (const auto& level : pyramid.Levels()) {
        ASSERT_EQ(level.height, static_cast<int>(expected.size()));
        ASSERT_EQ(level.width, static_cast<int>(expected[0].size()));
        for (int y = 0; y < level.height; ++y) {
          for (int x = 0; x < level.width; ++x) {
            ASSERT_EQ(level.Row(y)[4 * x + component], expected[y][x])
                << w << "x" << h << " reduction " << level.reduction << " at " << x << "," << y;
          }
        }
        expected = ReferenceLevel(expected, 2);
      }
    }
  }
}

// The channel views zoomed out show their planes' levels: they must be the box means of
// each plane's cells, or the four views would disagree.
TEST(MipPyramid, APlanesLevelsAreTheChannelOfTheSourcesLevels) {
  PictureView source(188, 179, 0x00FF00);
  source.SetPicture(Noise(450, 333, 9, true));
  const Separation planes = SeparateChannels(source);
  const MipPyramid colour = MipPyramid::OfView(source);
  for (const Channel channel : kChannels) {
    const ChannelPlane& plane = *planes.planes[channel];
    std::vector<std::vector<int>> cells(static_cast<std::size_t>(source.ContentHeight()));
    for (int y = 0; y < source.ContentHeight(); ++y) {
      for (int x = 0; x < source.ContentWidth(); ++x) {
        cells[static_cast<std::size_t>(y)].push_back(plane.At(x, y));
      }
    }
    const MipPyramid levels = MipPyramid::ChannelOf(colour, channel);
    ASSERT_EQ(levels.Levels().size(), colour.Levels().size());
    auto expected = ReferenceLevel(cells, 4);
    for (const auto& level : levels.Levels()) {
      ASSERT_EQ(level.components, 1);
      ASSERT_EQ(level.height, static_cast<int>(expected.size()));
      for (int y = 0; y < level.height; ++y) {
        for (int x = 0; x < level.width; ++x) {
          ASSERT_EQ(level.Row(y)[x], expected[y][x]) << "reduction " << level.reduction;
        }
      }
      expected = ReferenceLevel(expected, 2);
    }
  }
}

TEST(MipPyramid, ZoomedOutViewsPickTheCoarsestLevelThatIsStillFineEnough) {
  PictureView view(188, 179, 0);
  view.SetPicture(Noise(2000, 1000, 1, false));
  const MipPyramid pyramid = MipPyramid::OfView(view);
  EXPECT_EQ(pyramid.LevelFor(0.5), nullptr);  // a half needs the full-size pixels
  ASSERT_NE(pyramid.LevelFor(0.25), nullptr);
  EXPECT_EQ(pyramid.LevelFor(0.25)->reduction, 4);
  EXPECT_EQ(pyramid.LevelFor(0.2)->reduction, 4);
  EXPECT_EQ(pyramid.LevelFor(0.1)->reduction, 8);
  EXPECT_EQ(pyramid.LevelFor(0.094)->reduction, 8);
  EXPECT_EQ(pyramid.LevelFor(1e-6)->reduction, pyramid.Levels().back().reduction);
  // A third of a byte per pixel for a colour area.
  EXPECT_LE(pyramid.Bytes(), 2000u * 1000u / 3u + 4096u);
}

}  // namespace
}  // namespace irobunkai
