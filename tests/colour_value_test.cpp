#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "colour/color_value.h"

namespace irobunkai {
namespace {

struct Split {
  ColorValue value;
  ColorValue red;
  ColorValue green;
  ColorValue blue;
  const char* decimal;
  const char* hex;
};

class ColourRules : public testing::TestWithParam<Split> {};

TEST_P(ColourRules, SplitAndTextForms) {
  const Split& s = GetParam();
  EXPECT_EQ(RedOf(s.value), s.red);
  EXPECT_EQ(GreenOf(s.value), s.green);
  EXPECT_EQ(BlueOf(s.value), s.blue);
  EXPECT_EQ(DecimalText(s.value), s.decimal);
  EXPECT_EQ(Hex(s.value), s.hex);
}

INSTANTIATE_TEST_SUITE_P(
    KnownColours, ColourRules,
    testing::Values(Split{0, 0, 0, 0, "0", "0"},                               // black
                    Split{16777215, 255, 255, 255, "16777215", "FFFFFF"},      // white
                    Split{8421504, 128, 128, 128, "8421504", "808080"},        // mid grey
                    Split{255, 255, 0, 0, "255", "FF"},                        // red
                    Split{65280, 0, 255, 0, "65280", "FF00"},                  // green
                    Split{16711680, 0, 0, 255, "16711680", "FF0000"},          // blue
                    Split{16761087, 255, 192, 255, "16761087", "FFC0FF"},      // pink
                    Split{0x00123456, 0x56, 0x34, 0x12, "1193046", "123456"},  // distinct bytes
                    // No colour: Mod keeps the dividend's sign and \ truncates toward zero.
                    Split{-1, -1, 0, 0, "-1", "FFFFFFFF"}));

TEST(ColourRules, NegativeValuesFollowTruncatingDivision) {
  EXPECT_EQ(RedOf(-257), -1);
  EXPECT_EQ(GreenOf(-257), -1);
  EXPECT_EQ(BlueOf(-65537), -1);
  EXPECT_EQ(Hex(-256), "FFFFFF00");
  EXPECT_EQ(Hex(std::numeric_limits<ColorValue>::min()), "80000000");
  EXPECT_EQ(DecimalText(std::numeric_limits<ColorValue>::min()), "-2147483648");
}

TEST(ColourRules, ComposeInvertsSplitForEveryByteValue) {
  for (ColorValue v = 0; v < 256; ++v) {
    const ColorValue c = RGB(v, 255 - v, (v * 7) % 256);
    EXPECT_EQ(std::tuple(RedOf(c), GreenOf(c), BlueOf(c)), std::tuple(v, 255 - v, (v * 7) % 256));
  }
  EXPECT_EQ(RGB(255, 192, 255), 0x00FFC0FF);
  EXPECT_EQ(RGB(192, 255, 255), 0x00FFFFC0);
}

}  // namespace
}  // namespace irobunkai
