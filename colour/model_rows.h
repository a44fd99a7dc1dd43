#pragma once

#include <cstdint>
#include <span>

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

class ProfileLab;

/// Where a row's grey levels go: one row per component, left to right, each as long
/// as the row of colours.
struct GreyRows {
  std::uint8_t* first;
  std::uint8_t* second;
  std::uint8_t* third;
};

/// Splits `colours`, whose top bytes are ignored, into `model`'s grey levels, fast
/// enough for whole pictures: each level is within one of GreyLevel of the exact
/// component value. Allocates nothing, so it may run on many threads at once.
/// L*a*b* is measured through `lab`, a picture's profile; null for sRGB.
void SplitModelRow(ColourModel model, std::span<const ColorValue> colours, GreyRows out,
                   const ProfileLab* lab = nullptr);

}  // namespace irobunkai
