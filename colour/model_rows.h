#pragma once

#include <cstdint>
#include <span>

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

class PressSeparation;
class ProfileLab;

/// Where a row's grey levels go: one row per component, left to right, each as long
/// as the row of colours; `fourth` only for CMYK's black.
struct GreyRows {
  std::uint8_t* first;
  std::uint8_t* second;
  std::uint8_t* third;
  std::uint8_t* fourth = nullptr;
};

/// Splits `colours`, whose top bytes are ignored, into `model`'s grey levels, fast
/// enough for whole pictures: each level is within one of GreyLevel of the exact
/// component value. Allocates nothing, so it may run on many threads at once.
/// L*a*b* is measured through `lab`, a picture's profile; null for sRGB. CMYK's inks are
/// made through `press`; without one they are the CMY formula's, with no black.
void SplitModelRow(ColourModel model, std::span<const ColorValue> colours, GreyRows out,
                   const ProfileLab* lab = nullptr, const PressSeparation* press = nullptr);

}  // namespace irobunkai
