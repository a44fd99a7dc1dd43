#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "colour/color_value.h"
#include "colour/colour_profile.h"
#include "colour/press_profile.h"

namespace irobunkai {

class PressSeparation {
 public:
  static std::shared_ptr<const PressSeparation> Make(const ColourProfile* source,
                                                     const PressProfile& press, PressIntent intent);
  void SplitRow(std::span<const ColorValue> colours, std::uint8_t* c, std::uint8_t* m,
                std::uint8_t* y, std::uint8_t* k) const;
  [[nodiscard]] std::array<std::uint8_t, 4> Levels(ColorValue colour) const;
  [[nodiscard]] const std::array<std::array<ColorValue, 256>, 4>& InkLooks() const;
};

}  // namespace irobunkai
