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

/// The colour the view shows at (x, y). Beyond the drawable area the view's place
/// shows its background colour, so that is what is read there.
ColorValue ShownColor(const PictureView& view, float x, float y);

}  // namespace irobunkai
