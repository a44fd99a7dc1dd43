#include "colour/component_grey.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace irobunkai {
namespace {

// level = value * times / per + offset. A ratio rather than one factor, because 2.55
// has no exact double: 50 % would come out just under level 127.5 and round down.
struct GreyScale {
  double times = 1;
  double per = 1;
  double offset = 0;
};

constexpr GreyScale kAsIs{};
constexpr GreyScale kDegrees{255, 360, 0};
constexpr GreyScale kPercent{255, 100, 0};
constexpr GreyScale kSigned{1, 1, 128};

// In the order of ColourModel.
constexpr std::array<std::array<GreyScale, 4>, kColourModels.size() + 1> kScales = {{
    {kAsIs, kAsIs, kAsIs},
    {kAsIs, kAsIs, kAsIs},
    {kDegrees, kPercent, kPercent},
    {kDegrees, kPercent, kPercent},
    {kAsIs, kAsIs, kAsIs},
    {kPercent, kSigned, kSigned},
    {kPercent, kPercent, kPercent, kPercent},
}};

const GreyScale& ScaleOf(ColourModel model, int component) {
  return kScales[static_cast<std::size_t>(model)][static_cast<std::size_t>(component)];
}

}  // namespace

std::uint8_t GreyLevel(ColourModel model, int component, double value) {
  const GreyScale& s = ScaleOf(model, component);
  const double level = value * s.times / s.per + s.offset;
  return static_cast<std::uint8_t>(std::lround(std::clamp(level, 0.0, 255.0)));
}

double ValueOfGrey(ColourModel model, int component, double level) {
  const GreyScale& s = ScaleOf(model, component);
  return (level - s.offset) * s.per / s.times;
}

}  // namespace irobunkai
