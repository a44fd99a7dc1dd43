#pragma once

#include <array>
#include <string_view>

namespace irobunkai {

/// The ways a colour can be split: into three components by a formula, or into a press's
/// four inks through its profile (CMYK).
enum class ColourModel { RGB, CMY, HSV, HSL, YCbCr, Lab, CMYK };

/// The models of three components, worked out by formula.
inline constexpr std::array kColourModels = {ColourModel::RGB,   ColourModel::CMY,
                                             ColourModel::HSV,   ColourModel::HSL,
                                             ColourModel::YCbCr, ColourModel::Lab};

/// Every model, in the order the menu offers them.
inline constexpr std::array kMenuModels = {ColourModel::RGB, ColourModel::CMY, ColourModel::CMYK,
                                           ColourModel::HSV, ColourModel::HSL, ColourModel::YCbCr,
                                           ColourModel::Lab};

/// How many planes a separation into `model` makes: four for CMYK, else three.
constexpr int ComponentCount(ColourModel model) { return model == ColourModel::CMYK ? 4 : 3; }

/// A model's three component values in its own units, left to right:
/// RGB and CMY 0..255; HSV and HSL degrees 0..360 then percent; Y′CbCr 0..255;
/// L* 0..100 with a* and b* signed.
using Components = std::array<double, 3>;

/// Which components of a model are kept, left to right.
using KeptComponents = std::array<bool, 3>;

/// The model's name as a menu shows it: "RGB", "CMY", "HSV", "HSL", "YCbCr", "L*a*b*", "CMYK".
std::string_view MenuText(ColourModel model);

/// The short name of component 0, 1 or 2 (3: CMYK's K) of `model`, e.g. "H", "Y′" or "a*".
std::string_view ComponentName(ColourModel model, int component);

}  // namespace irobunkai
