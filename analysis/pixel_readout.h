#pragma once

#include <string>

#include "colour/color_value.h"
#include "views/picture_view.h"

namespace irobunkai {

/// The five value-box texts for one pixel.
struct PixelReadout {
  std::string decimal;
  std::string hex;
  std::string red;
  std::string green;
  std::string blue;
};

PixelReadout ReadOut(ColorValue c);

/// One line for the clipboard: the pixel's column and row, its components, its colour
/// in web order and the two value-box texts, e.g.
/// "x=12 y=34 R=255 G=192 B=255 #FFC0FF 16761087 FFC0FF".
std::string ReadoutLine(int x, int y, ColorValue c);

/// How the decimal value is built: "16761087 = 255 + 256 x 192 + 65536 x 255".
std::string DecimalRecipe(ColorValue c);

/// How the hexadecimal text reads, blue byte first: "FFC0FF = FF (B) C0 (G) FF (R)".
std::string HexRecipe(ColorValue c);

/// The colour the view shows at (x, y). Beyond the drawable area the view's place
/// shows its background colour, so that is what is read there.
ColorValue ShownColor(const PictureView& view, float x, float y);

}  // namespace irobunkai
