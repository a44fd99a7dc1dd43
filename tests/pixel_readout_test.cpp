#include "analysis/pixel_readout.h"

#include <gtest/gtest.h>

namespace irobunkai {
namespace {

void ExpectReadout(ColorValue c, const char* decimal, const char* hex, const char* red,
                   const char* green, const char* blue) {
  const PixelReadout r = ReadOut(c);
  EXPECT_EQ(r.decimal, decimal);
  EXPECT_EQ(r.hex, hex);
  EXPECT_EQ(r.red, red);
  EXPECT_EQ(r.green, green);
  EXPECT_EQ(r.blue, blue);
}

TEST(PixelReadout, ShowsValueHexAndComponents) {
  ExpectReadout(0xFFFFFF, "16777215", "FFFFFF", "255", "255", "255");
  ExpectReadout(0, "0", "0", "0", "0", "0");
  ExpectReadout(RGB(255, 192, 255), "16761087", "FFC0FF", "255", "192", "255");
  ExpectReadout(RGB(1, 2, 3), "197121", "30201", "1", "2", "3");
}

TEST(PixelReadout, BeyondTheAreaTheViewShowsItsBackground) {
  PictureView view(2, 2, 0x0000FF);
  view.SetPicture(Image::FromPixels(1, 1, {MakeRgba(0x123456)}));
  EXPECT_EQ(ShownColor(view, 0.5F, 0.5F), 0x123456);
  EXPECT_EQ(ShownColor(view, 1, 1), 0x0000FF);
  EXPECT_EQ(ShownColor(view, 5, 0), 0x0000FF);
}

TEST(PixelReadout, TheCopiedLineGivesPlaceComponentsWebColourAndBothBoxTexts) {
  EXPECT_EQ(ReadoutLine(12, 34, RGB(255, 192, 255)),
            "x=12 y=34 R=255 G=192 B=255 #FFC0FF 16761087 FFC0FF");
  // Web order is red first, the value's hex is blue first: they differ unless R == B.
  EXPECT_EQ(ReadoutLine(0, 0, RGB(1, 2, 3)), "x=0 y=0 R=1 G=2 B=3 #010203 197121 30201");
  EXPECT_EQ(ReadoutLine(187, 178, 0), "x=187 y=178 R=0 G=0 B=0 #000000 0 0");
}

TEST(PixelReadout, RecipesShowHowTheBoxValuesAreBuilt) {
  EXPECT_EQ(DecimalRecipe(RGB(255, 192, 255)), "16761087 = 255 + 256 x 192 + 65536 x 255");
  EXPECT_EQ(DecimalRecipe(RGB(1, 0, 0)), "1 = 1 + 256 x 0 + 65536 x 0");
  EXPECT_EQ(HexRecipe(RGB(255, 192, 255)), "FFC0FF = FF (B) C0 (G) FF (R)");
  // The box drops leading zeros; the recipe still shows every byte.
  EXPECT_EQ(HexRecipe(RGB(1, 2, 0)), "201 = 00 (B) 02 (G) 01 (R)");
}

}  // namespace
}  // namespace irobunkai
