#pragma once

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

class ProfileLab;

/// The exact component values of `colour` (0..16777215) in `model`, in double precision.
/// Greys have hue 0 and, in HSV and HSL, saturation 0.
Components ToModel(ColourModel model, ColorValue colour, const ProfileLab* lab = nullptr);

/// The colour whose component values in `model` are `values`. Hue wraps around the
/// circle, percentages and L* are clamped to their ranges, and the colour is clamped
/// into sRGB, each channel rounded to the nearest of 0..255.
ColorValue FromModel(ColourModel model, const Components& values);

}  // namespace irobunkai
