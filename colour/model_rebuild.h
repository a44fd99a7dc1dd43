#pragma once

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

/// The value a switched-off component takes: no light or no ink (R, G, B, C, M, Y),
/// no saturation, full value, mid lightness (L 50 %, L* 50, Y′ 128), hue 0°, and no
/// chroma (Cb and Cr 128, a* and b* 0).
double NeutralValue(ColourModel model, int component);

/// `colour` rebuilt from its `kept` components in `model`, the others neutral: RGB
/// without B, say, or Y′ alone for the picture without its colour.
ColorValue Rebuild(ColourModel model, ColorValue colour, KeptComponents kept);

}  // namespace irobunkai
