#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "colour/component_grey.h"
#include "colour/component_look.h"
#include "colour/model_formulas.h"
#include "colour/model_rebuild.h"
#include "views/channel_plane.h"

namespace irobunkai {
namespace {

constexpr ColorValue kRed = RGB(255, 0, 0);
constexpr ColorValue kBlue = RGB(0, 0, 255);
constexpr ColorValue kWhiteColour = RGB(255, 255, 255);
constexpr ColorValue kMidGrey = RGB(128, 128, 128);

std::tuple<int, int, int> Channels(ColorValue c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

struct Known {
  ColourModel model;
  ColorValue colour;
  Components values;
};

class KnownValues : public testing::TestWithParam<Known> {};

TEST_P(KnownValues, ExactComponentsToTwoDecimals) {
  const Known& k = GetParam();
  const Components values = ToModel(k.model, k.colour);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(values[i], k.values[i], 0.005) << MenuText(k.model) << " component " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(PureRed, KnownValues,
                         testing::Values(Known{ColourModel::RGB, kRed, {255, 0, 0}},
                                         Known{ColourModel::CMY, kRed, {0, 255, 255}},
                                         Known{ColourModel::HSV, kRed, {0, 100, 100}},
                                         Known{ColourModel::HSL, kRed, {0, 100, 50}},
                                         Known{ColourModel::YCbCr, kRed, {76.245, 84.97232, 255.5}},
                                         Known{ColourModel::Lab, kRed, {53.24, 80.09, 67.20}}));

INSTANTIATE_TEST_SUITE_P(WhiteBlackAndGrey, KnownValues,
                         testing::Values(Known{ColourModel::CMY, kWhiteColour, {0, 0, 0}},
                                         Known{ColourModel::HSV, kWhiteColour, {0, 0, 100}},
                                         Known{ColourModel::HSL, kWhiteColour, {0, 0, 100}},
                                         Known{ColourModel::YCbCr, kWhiteColour, {255, 128, 128}},
                                         Known{ColourModel::Lab, kWhiteColour, {100, 0, 0}},
                                         Known{ColourModel::CMY, 0, {255, 255, 255}},
                                         Known{ColourModel::HSV, 0, {0, 0, 0}},
                                         Known{ColourModel::HSL, 0, {0, 0, 0}},
                                         Known{ColourModel::YCbCr, 0, {0, 128, 128}},
                                         Known{ColourModel::Lab, 0, {0, 0, 0}},
                                         Known{ColourModel::HSV, kMidGrey, {0, 0, 50.196}},
                                         Known{ColourModel::HSL, kMidGrey, {0, 0, 50.196}},
                                         Known{ColourModel::YCbCr, kMidGrey, {128, 128, 128}},
                                         Known{ColourModel::Lab, kMidGrey, {53.585, 0, 0}}));

INSTANTIATE_TEST_SUITE_P(
    Hues, KnownValues,
    testing::Values(Known{ColourModel::Lab, kBlue, {32.30, 79.19, -107.86}},
                    Known{ColourModel::HSV, kBlue, {240, 100, 100}},
                    Known{ColourModel::HSV, RGB(51, 153, 204), {200, 75, 80}},
                    Known{ColourModel::HSL, RGB(51, 153, 204), {200, 60, 50}},
                    Known{ColourModel::HSV, RGB(255, 192, 255), {300, 24.706, 100}},
                    Known{ColourModel::HSL, RGB(255, 192, 255), {300, 100, 87.647}},
                    // Red is largest and blue above green: the hue comes round past 300°.
                    Known{ColourModel::HSV, RGB(255, 0, 51), {348, 100, 100}}));

std::vector<ColorValue> SampleColours() {
  std::vector<ColorValue> colours;
  for (int r = 0; r < 256; r += 15) {
    for (int g = 0; g < 256; g += 15) {
      for (int b = 0; b < 256; b += 15) {
        colours.push_back(RGB(r, g, b));
      }
    }
  }
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    colours.push_back(static_cast<ColorValue>(rng() & 0xFFFFFFu));
  }
  return colours;
}

TEST(ModelFormulas, EveryModelGivesBackTheColourItWasMadeFrom) {
  for (const ColourModel model : kColourModels) {
    for (const ColorValue c : SampleColours()) {
      ASSERT_EQ(FromModel(model, ToModel(model, c)), c) << MenuText(model) << " " << c;
    }
  }
}

TEST(ModelFormulas, HueWrapsAndColoursOutsideSrgbAreClamped) {
  EXPECT_EQ(FromModel(ColourModel::HSV, {-120, 100, 100}), kBlue);
  EXPECT_EQ(FromModel(ColourModel::HSL, {480, 100, 50}), RGB(0, 255, 0));
  EXPECT_EQ(FromModel(ColourModel::HSV, {0, 150, 120}), kRed);
  EXPECT_EQ(Channels(FromModel(ColourModel::YCbCr, {255, 255, 255})), std::tuple(255, 121, 255));
  // Far outside sRGB: red's linear light is 2.4 and green's -0.48, each cut to its end.
  EXPECT_EQ(Channels(FromModel(ColourModel::Lab, {50, 200, 0})), std::tuple(255, 0, 130));
  EXPECT_EQ(FromModel(ColourModel::Lab, {120, 0, 0}), kWhiteColour);
}

TEST(GreyLevels, ScaleEachUnitOntoTheLevels) {
  EXPECT_EQ(GreyLevel(ColourModel::HSV, 0, 180), 128);
  EXPECT_EQ(GreyLevel(ColourModel::HSL, 0, 359.9), 255);
  EXPECT_EQ(GreyLevel(ColourModel::HSV, 1, 50), 128);
  EXPECT_EQ(GreyLevel(ColourModel::HSL, 2, 100), 255);
  EXPECT_EQ(GreyLevel(ColourModel::Lab, 0, 53.24), 136);
  EXPECT_EQ(GreyLevel(ColourModel::Lab, 1, 80.09), 208);
  EXPECT_EQ(GreyLevel(ColourModel::Lab, 2, -107.86), 20);
  EXPECT_EQ(GreyLevel(ColourModel::YCbCr, 2, 255.5), 255);
  EXPECT_EQ(GreyLevel(ColourModel::Lab, 1, -200), 0);
  EXPECT_EQ(GreyLevel(ColourModel::CMY, 0, 254.4), 254);
}

TEST(GreyLevels, LevelsGiveBackTheirValues) {
  for (const ColourModel model : kColourModels) {
    for (int component = 0; component < 3; ++component) {
      for (int level = 0; level < 256; ++level) {
        ASSERT_EQ(GreyLevel(model, component, ValueOfGrey(model, component, level)), level)
            << MenuText(model) << " " << component;
      }
    }
  }
  EXPECT_DOUBLE_EQ(ValueOfGrey(ColourModel::HSV, 0, 127.5), 180);
  EXPECT_DOUBLE_EQ(ValueOfGrey(ColourModel::Lab, 2, 0), -128);
}

TEST(ComponentLooks, RgbAndInksShowTheirChannel) {
  const ComponentLooks rgb(ColourModel::RGB);
  const ComponentLooks cmy(ColourModel::CMY);
  for (int level = 0; level < 256; ++level) {
    const auto v = static_cast<std::uint8_t>(level);
    EXPECT_EQ(rgb.Look(0, v), ChannelColor(Channel::Red, level));
    EXPECT_EQ(rgb.Look(2, v), ChannelColor(Channel::Blue, level));
    EXPECT_EQ(cmy.Look(0, v), RGB(255 - level, 255, 255));
    EXPECT_EQ(cmy.Look(1, v), RGB(255, 255 - level, 255));
    EXPECT_EQ(cmy.Look(2, v), RGB(255, 255, 255 - level));
  }
}

TEST(ComponentLooks, HueAndSaturationShowTheHue) {
  for (const ColourModel model : {ColourModel::HSV, ColourModel::HSL}) {
    const ComponentLooks looks(model);
    EXPECT_EQ(looks.Look(0, 0), kRed);
    EXPECT_EQ(looks.Look(0, 85), RGB(0, 255, 0));
    EXPECT_EQ(looks.Look(0, 170), kBlue);
    // Saturation: white without it, the pixel's pure hue with all of it.
    EXPECT_EQ(looks.Look(1, 0, 170), kWhiteColour);
    EXPECT_EQ(looks.Look(1, 255, 170), kBlue);
    EXPECT_EQ(looks.Look(1, 128, 85), RGB(127, 255, 127));
    EXPECT_EQ(looks.Look(2, 77), RGB(77, 77, 77));
  }
}

TEST(ComponentLooks, ChromaShowsItsColourOnMidGrey) {
  const ComponentLooks ycc(ColourModel::YCbCr);
  EXPECT_EQ(ycc.Look(0, 200), RGB(200, 200, 200));
  EXPECT_EQ(ycc.Look(1, 128), kMidGrey);
  EXPECT_EQ(Channels(ycc.Look(1, 255)), std::tuple(128, 84, 255));
  EXPECT_EQ(Channels(ycc.Look(2, 255)), std::tuple(255, 37, 128));
  const ComponentLooks lab(ColourModel::Lab);
  const ColorValue labGrey = lab.Look(1, 128);
  EXPECT_EQ(Channels(labGrey), std::tuple(119, 119, 119));  // L* 50
  EXPECT_EQ(lab.Look(2, 128), labGrey);
  const auto [ar, ag, ab] = Channels(lab.Look(1, 255));  // a* +127: magenta-red
  EXPECT_GT(ar, 200);
  EXPECT_LT(ag, 50);
  EXPECT_GT(ab, ag);
  const auto [br, bg, bb] = Channels(lab.Look(2, 0));  // b* -128: blue
  EXPECT_GT(bb, 200);
  EXPECT_LT(br, bb);
  EXPECT_LT(bg, bb);
}

TEST(Rebuild, KeepingEverythingGivesTheColourBack) {
  for (const ColourModel model : kColourModels) {
    for (const ColorValue c : {kRed, RGB(51, 153, 204), RGB(3, 250, 97), RGB(1, 1, 0)}) {
      EXPECT_EQ(Rebuild(model, c, {true, true, true}), c) << MenuText(model);
    }
  }
}

TEST(Rebuild, ComponentsSwitchedOffTakeNeutralValues) {
  const ColorValue c = RGB(51, 153, 204);
  EXPECT_EQ(Rebuild(ColourModel::RGB, c, {true, true, false}), RGB(51, 153, 0));
  EXPECT_EQ(Rebuild(ColourModel::CMY, c, {true, false, false}), RGB(51, 255, 255));
  EXPECT_EQ(Rebuild(ColourModel::CMY, c, {false, false, false}), kWhiteColour);
  // Y′ alone is the picture without colour, Cb and Cr alone its colour at mid brightness.
  const auto luma = static_cast<int>(std::lround(ToModel(ColourModel::YCbCr, c)[0]));
  EXPECT_EQ(Rebuild(ColourModel::YCbCr, c, {true, false, false}), RGB(luma, luma, luma));
  EXPECT_NEAR(ToModel(ColourModel::YCbCr, Rebuild(ColourModel::YCbCr, c, {false, true, true}))[0],
              128, 1);
  EXPECT_EQ(Rebuild(ColourModel::HSV, c, {true, false, true}), RGB(204, 204, 204));
  EXPECT_EQ(Rebuild(ColourModel::HSV, c, {true, true, false}), RGB(64, 191, 255));
  EXPECT_EQ(Rebuild(ColourModel::HSL, c, {false, false, false}), kMidGrey);
  EXPECT_EQ(Rebuild(ColourModel::Lab, c, {false, false, false}), RGB(119, 119, 119));
  const ColorValue lightness = Rebuild(ColourModel::Lab, c, {true, false, false});
  EXPECT_EQ(RedOf(lightness), GreenOf(lightness));
  EXPECT_EQ(GreenOf(lightness), BlueOf(lightness));
}

}  // namespace
}  // namespace irobunkai
