#include "colour/model_rows.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/channel_separation.h"
#include "colour/component_grey.h"
#include "colour/model_formulas.h"

namespace irobunkai {

void PrintTo(ColourModel model, std::ostream* out) { *out << MenuText(model); }

namespace {

struct Levels {
  std::vector<std::uint8_t> first;
  std::vector<std::uint8_t> second;
  std::vector<std::uint8_t> third;

  explicit Levels(std::size_t n) : first(n), second(n), third(n) {}
  [[nodiscard]] GreyRows Rows() { return {first.data(), second.data(), third.data()}; }
  [[nodiscard]] std::array<int, 3> At(std::size_t x) const {
    return {first[x], second[x], third[x]};
  }
};

// A quarter of all colours by their blue, so that ctest can run the quarters side by side.
constexpr int kBlueQuarters = 4;

class ExhaustiveSplit : public testing::TestWithParam<std::tuple<ColourModel, int>> {};

// Every colour of the quarter, a row of 256 reds at a time.
TEST_P(ExhaustiveSplit, AgreesWithTheExactComponentsForEveryColour) {
  const auto [model, quarter] = GetParam();
  std::array<ColorValue, 256> row{};
  Levels fast(row.size());
  int mismatches = 0;
  for (int b = quarter * 256 / kBlueQuarters; b < (quarter + 1) * 256 / kBlueQuarters; ++b) {
    for (int g = 0; g < 256; ++g) {
      for (int r = 0; r < 256; ++r) {
        row[static_cast<std::size_t>(r)] = RGB(r, g, b);
      }
      SplitModelRow(model, row, fast.Rows());
      for (std::size_t x = 0; x < row.size(); ++x) {
        const Components exact = ToModel(model, row[x]);
        const std::array<int, 3> levels = fast.At(x);
        for (int i = 0; i < 3; ++i) {
          const int expected = GreyLevel(model, i, exact[static_cast<std::size_t>(i)]);
          if (std::abs(levels[static_cast<std::size_t>(i)] - expected) > 1 && ++mismatches <= 5) {
            ADD_FAILURE() << MenuText(model) << " component " << i << " of " << Hex(row[x]) << ": "
                          << levels[static_cast<std::size_t>(i)] << ", exactly " << expected;
          }
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

std::string ModelName(ColourModel model) {
  return model == ColourModel::Lab ? "Lab" : std::string(MenuText(model));
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ExhaustiveSplit,
                         testing::Combine(testing::ValuesIn(kColourModels),
                                          testing::Range(0, kBlueQuarters)),
                         [](const testing::TestParamInfo<std::tuple<ColourModel, int>>& info) {
                           return ModelName(std::get<0>(info.param)) + "_blue_quarter_" +
                                  std::to_string(std::get<1>(info.param));
                         });

class FastSplit : public testing::TestWithParam<ColourModel> {};

TEST_P(FastSplit, IgnoresTheTopByteAndSplitsRowsOfAnyLength) {
  const ColourModel model = GetParam();
  std::mt19937 rng(3);
  std::vector<ColorValue> colours(1000);
  std::vector<ColorValue> withAlpha(colours.size());
  for (std::size_t x = 0; x < colours.size(); ++x) {
    const std::uint32_t bits = rng();
    colours[x] = static_cast<ColorValue>(bits & 0xFFFFFFu);
    withAlpha[x] = static_cast<ColorValue>(bits);
  }
  for (const std::size_t length :
       {std::size_t{0}, std::size_t{1}, std::size_t{257}, colours.size()}) {
    // One more level than the row, which the split must leave alone.
    Levels plain(length + 1);
    Levels alpha(length + 1);
    plain.first[length] = 77;
    SplitModelRow(model, std::span(colours).first(length), plain.Rows());
    SplitModelRow(model, std::span(withAlpha).first(length), alpha.Rows());
    EXPECT_EQ(plain.first[length], 77) << length;
    for (std::size_t x = 0; x < length; ++x) {
      ASSERT_EQ(plain.At(x), alpha.At(x)) << length << " " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, FastSplit, testing::ValuesIn(kColourModels),
                         [](const testing::TestParamInfo<ColourModel>& info) {
                           return std::string(
                               info.param == ColourModel::Lab ? "Lab" : MenuText(info.param));
                         });

Image GradientImage(int width, int height) {
  std::vector<RgbaPixel> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.push_back(MakeRgba(RGB(x % 256, y % 256, (x * y) % 256)));
    }
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

void ExpectPlanesShowTheView(ColourModel model, const PictureView& source,
                             const Separation& planes) {
  int mismatches = 0;
  for (int i = 0; i < 3; ++i) {
    const ChannelPlane& plane = *planes.planes[kChannels[static_cast<std::size_t>(i)]];
    ASSERT_EQ(plane.Width(), source.AreaWidth());
    ASSERT_EQ(plane.Height(), source.AreaHeight());
    for (int y = 0; y < plane.Height(); ++y) {
      for (int x = 0; x < plane.Width(); ++x) {
        const ColorValue c = source.Point(static_cast<float>(x), static_cast<float>(y));
        const int exact = GreyLevel(model, i, ToModel(model, c)[static_cast<std::size_t>(i)]);
        if (std::abs(plane.At(x, y) - exact) > 1 && ++mismatches <= 5) {
          ADD_FAILURE() << MenuText(model) << " plane " << i << " at " << x << "," << y;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(SeparateModel, FillsPlanesTheSizeOfTheSourceArea) {
  // Large enough for threads; the picture leaves a band of background below it.
  PictureView large(300, 260, RGB(10, 200, 30));
  large.SetPicture(GradientImage(300, 240));
  PictureView small(40, 30, RGB(0, 0, 255));
  small.SetPicture(GradientImage(50, 20));
  for (const ColourModel model : kColourModels) {
    for (const PictureView* source : {&large, &small}) {
      Separation planes = SeparateChannels(*source);  // planes of another model are reused
      SeparateChannels(*source, planes, {.model = model});
      EXPECT_EQ(planes.model, model);
      ExpectPlanesShowTheView(model, *source, planes);
    }
  }
}

}  // namespace
}  // namespace irobunkai
