#pragma once

#include <span>

#include "colour/color_value.h"
#include "colour/model_rows.h"

namespace irobunkai {

/// SplitModelRow for HSV and for HSL.
void SplitHsvRow(std::span<const ColorValue> colours, GreyRows out);
void SplitHslRow(std::span<const ColorValue> colours, GreyRows out);

}  // namespace irobunkai
