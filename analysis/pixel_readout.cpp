#include "analysis/pixel_readout.h"

namespace irobunkai {

PixelReadout ReadOut(ColorValue c) {
  return {DecimalText(c), Hex(c), DecimalText(RedOf(c)), DecimalText(GreenOf(c)),
          DecimalText(BlueOf(c))};
}

ColorValue ShownColor(const PictureView& view, float x, float y) {
  const ColorValue c = view.Point(x, y);
  return c == kNoColor ? view.BackColor() : c;
}

}  // namespace irobunkai
