#pragma once

#include <span>

#include "colour/color_value.h"
#include "colour/model_rows.h"

namespace irobunkai {

/// The L*a*b* part of SplitModelRow.
void SplitLabRow(std::span<const ColorValue> colours, GreyRows out);

}  // namespace irobunkai
