#pragma once

#include <cstdint>

#include "colour/colour_model.h"

namespace irobunkai {

/// The grey level 0..255 that shows a component value: degrees scaled by 255/360,
/// percent (CMYK's inks too) and L* by 2.55, a* and b* moved up by 128, anything else as it is;
/// rounded to the nearest level and clamped.
std::uint8_t GreyLevel(ColourModel model, int component, double value);

/// The component value that grey level `level` stands for, the inverse of GreyLevel's
/// scaling before its rounding.
double ValueOfGrey(ColourModel model, int component, double level);

}  // namespace irobunkai
