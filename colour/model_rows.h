#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

/// Where a row's grey levels go: one row per component, left to right, each as long
/// as the row of colours.
struct GreyRows {
  std::uint8_t* first;
  std::uint8_t* second;
  std::uint8_t* third;
};

/// Splits rows of colours into one model's grey levels, fast enough for whole
/// pictures. Each level is within one of GreyLevel of the exact component value.
class ModelRowSplitter {
 public:
  explicit ModelRowSplitter(ColourModel model);

  [[nodiscard]] ColourModel Model() const { return model_; }

  /// Splits `colours`, whose top bytes are ignored, into `out`. Allocates nothing,
  /// so it may run on many threads at once.
  void Split(std::span<const ColorValue> colours, GreyRows out) const;

 private:
  ColourModel model_;
  // sRGB levels in linear light, for L*a*b*.
  std::array<float, 256> linear_{};
};

}  // namespace irobunkai
