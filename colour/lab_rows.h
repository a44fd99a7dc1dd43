#pragma once

#include <span>

#include "colour/color_value.h"
#include "colour/model_rows.h"

namespace irobunkai {

/// SplitModelRow for L*a*b*.
void SplitLabRow(std::span<const ColorValue> colours, GreyRows out);

}  // namespace irobunkai
