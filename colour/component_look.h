#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

/// The tinted look of one model's components: for each grey level, the colour that
/// the component contributes. RGB shows pure channels, C, M and Y their ink alone on
/// white paper, H the pure hue, S the pixel's hue at that saturation and full value,
/// Cb, Cr, a* and b* the colour of that value alone on a mid-grey, and the lightness
/// components (V, L, Y′, L*) grey; CMYK's inks alone on the paper as a press prints them.
/// Built once per model, so that a renderer pays a
/// table read per pixel.
class ComponentLooks {
 public:
  explicit ComponentLooks(ColourModel model);
  /// The four inks' looks as a press prints them, for CMYK.
  using InkTables = std::array<std::array<ColorValue, 256>, 4>;
  explicit ComponentLooks(const InkTables& inks);

  [[nodiscard]] ColourModel Model() const { return model_; }

  /// The colour that shows `level` of component 0, 1 or 2. `hueLevel`, the same
  /// pixel's H level, matters only for the S of HSV and HSL.
  [[nodiscard]] ColorValue Look(int component, std::uint8_t level, std::uint8_t hueLevel = 0) const;
  /// The colours of levels 0..255 of a component whose look needs no hue, for
  /// renderers that map whole rows.
  [[nodiscard]] const std::array<ColorValue, 256>& Levels(int component) const {
    return tables_[static_cast<std::size_t>(component)];
  }

 private:
  static constexpr int kSaturation = 1;

  [[nodiscard]] bool HasSaturation() const {
    return model_ == ColourModel::HSV || model_ == ColourModel::HSL;
  }

  ColourModel model_;
  std::array<std::array<ColorValue, 256>, 4> tables_{};
  // For S: hue level * 256 + saturation level.
  std::vector<ColorValue> hueAtSaturation_;
};

}  // namespace irobunkai
