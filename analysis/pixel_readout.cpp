#include "analysis/pixel_readout.h"

#include <array>
#include <cstdio>

namespace irobunkai {

PixelReadout ReadOut(ColorValue c) {
  return {DecimalText(c), Hex(c), DecimalText(RedOf(c)), DecimalText(GreenOf(c)),
          DecimalText(BlueOf(c))};
}

namespace {

std::string ByteHex(ColorValue b) {
  std::array<char, 3> text{};
  std::snprintf(text.data(), text.size(), "%02X", static_cast<unsigned>(b) & 0xFFu);
  return text.data();
}

}  // namespace

std::string ReadoutLine(int x, int y, ColorValue c) {
  const PixelReadout r = ReadOut(c);
  return "x=" + std::to_string(x) + " y=" + std::to_string(y) + " R=" + r.red + " G=" + r.green +
         " B=" + r.blue + " #" + ByteHex(RedOf(c)) + ByteHex(GreenOf(c)) + ByteHex(BlueOf(c)) +
         " " + r.decimal + " " + r.hex;
}

std::string DecimalRecipe(ColorValue c) {
  const PixelReadout r = ReadOut(c);
  return r.decimal + " = " + r.red + " + 256 x " + r.green + " + 65536 x " + r.blue;
}

std::string HexRecipe(ColorValue c) {
  return Hex(c) + " = " + ByteHex(BlueOf(c)) + " (B) " + ByteHex(GreenOf(c)) + " (G) " +
         ByteHex(RedOf(c)) + " (R)";
}

ColorValue ShownColor(const PictureView& view, float x, float y) {
  const ColorValue c = view.Point(x, y);
  return c == kNoColor ? view.BackColor() : c;
}

}  // namespace irobunkai
