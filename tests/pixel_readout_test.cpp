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

}  // namespace
}  // namespace irobunkai
