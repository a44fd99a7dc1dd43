#pragma once

#include <array>
#include <string_view>

namespace irobunkai {

/// The ways a colour can be split into three components.
enum class ColourModel { RGB, CMY, HSV, HSL, YCbCr, Lab };

inline constexpr std::array kColourModels = {ColourModel::RGB,   ColourModel::CMY,
                                             ColourModel::HSV,   ColourModel::HSL,
                                             ColourModel::YCbCr, ColourModel::Lab};

/// A model's three component values in its own units, left to right:
/// RGB and CMY 0..255; HSV and HSL degrees 0..360 then percent; Y′CbCr 0..255;
/// L* 0..100 with a* and b* signed.
using Components = std::array<double, 3>;

/// Which components of a model are kept, left to right.
using KeptComponents = std::array<bool, 3>;

/// The model's name as a menu shows it: "RGB", "CMY", "HSV", "HSL", "YCbCr", "L*a*b*".
std::string_view MenuText(ColourModel model);

/// The short name of component 0, 1 or 2 of `model`, e.g. "H", "Y′" or "a*".
std::string_view ComponentName(ColourModel model, int component);

}  // namespace irobunkai
