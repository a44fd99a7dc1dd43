#include "colour/component_look.h"

#include <cstddef>

#include "colour/component_grey.h"
#include "colour/model_formulas.h"

namespace irobunkai {
namespace {

constexpr ColorValue Grey(int level) { return RGB(level, level, level); }

// The colour of `level` of `component` with the others at the given values.
ColorValue Alone(ColourModel model, int component, int level, Components others) {
  others[static_cast<std::size_t>(component)] = ValueOfGrey(model, component, level);
  return FromModel(model, others);
}

ColorValue LookOf(ColourModel model, int component, int level) {
  switch (model) {
    case ColourModel::RGB:
      return RGB(component == 0 ? level : 0, component == 1 ? level : 0,
                 component == 2 ? level : 0);
    case ColourModel::CMY:
      // Ink absorbs its own channel from white.
      return Alone(model, component, level, {0, 0, 0});
    case ColourModel::HSV:
    case ColourModel::HSL:
      // S depends on the hue too and has a table of its own.
      return component == 0 ? FromModel(ColourModel::HSV, {ValueOfGrey(model, 0, level), 100, 100})
                            : Grey(level);
    case ColourModel::YCbCr:
      return component == 0 ? Grey(level) : Alone(model, component, level, {128, 128, 128});
    case ColourModel::Lab:
      return component == 0 ? Grey(level) : Alone(model, component, level, {50, 0, 0});
    case ColourModel::CMYK:
      // Without a press the inks print as their formula would: K as darkness.
      return component == 3 ? Grey(255 - level)
                            : Alone(ColourModel::CMY, component, level, {0, 0, 0});
  }
  return kNoColor;
}

}  // namespace

ComponentLooks::ComponentLooks(const InkTables& inks) : model_(ColourModel::CMYK), tables_(inks) {}

ComponentLooks::ComponentLooks(ColourModel model) : model_(model) {
  for (int component = 0; component < ComponentCount(model); ++component) {
    for (int level = 0; level < 256; ++level) {
      tables_[static_cast<std::size_t>(component)][static_cast<std::size_t>(level)] =
          LookOf(model, component, level);
    }
  }
  if (HasSaturation()) {
    hueAtSaturation_.resize(std::size_t{256} * 256);
    for (int hue = 0; hue < 256; ++hue) {
      for (int level = 0; level < 256; ++level) {
        hueAtSaturation_[static_cast<std::size_t>(hue * 256 + level)] =
            FromModel(ColourModel::HSV,
                      {ValueOfGrey(model, 0, hue), ValueOfGrey(model, kSaturation, level), 100});
      }
    }
  }
}

ColorValue ComponentLooks::Look(int component, std::uint8_t level, std::uint8_t hueLevel) const {
  if (component == kSaturation && HasSaturation()) {
    return hueAtSaturation_[static_cast<std::size_t>(hueLevel) * 256 + level];
  }
  return tables_[static_cast<std::size_t>(component)][level];
}

}  // namespace irobunkai
