#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "colour/color_value.h"

namespace irobunkai {

/// RGB into a press's four inks the way littleCMS's floating-point transform works them out,
/// for a press whose table from the connection space is curves, a 16-bit grid over three
/// inputs, and curves. Only the colour's way to the press's first curves is
/// interpolated, over an RGB grid; the press's own curves and grid are evaluated per pixel,
/// as their kinks are too sharp for a grid over RGB to follow.
class PressChain {
 public:
  /// The chain of `source` (RGB) into `press` as cmsCreateTransform would link it for
  /// `intent` with black point compensation as `compensated`, nullptr if its press part has
  /// another shape or the link differs from `transform` (RGB doubles in, CMYK doubles out).
  static std::unique_ptr<const PressChain> Make(void* source, void* press, std::uint32_t intent,
                                                bool compensated, void* transform);

  /// As PressSeparation::SplitRow.
  void SplitRow(std::span<const ColorValue> colours, std::uint8_t* c, std::uint8_t* m,
                std::uint8_t* y, std::uint8_t* k) const;

  /// Use Make.
  PressChain() = default;

 private:
  // A curve linearly interpolated between the nodes of littleCMS's own table of it, as
  // littleCMS interpolates: each node's value and the step to the next, both in 16-bit units.
  struct Curve {
    std::vector<float> steps;
    float scale = 0;
    std::int32_t last = 0;
  };

  // Per RGB node, the three values fed to the press's first curves, 0..65535, and a spare.
  std::vector<float> nodes_;
  // The first curves, from 16-bit units into the grid's 16-bit input.
  std::array<Curve, 3> first_;
  // The press's grid, four 16-bit values per node as floats, the first input slowest.
  std::array<std::int32_t, 3> points_{};
  std::vector<float> grid_;
  // Interpolated trilinearly, as littleCMS does a grid from L*a*b*, or else tetrahedrally.
  bool trilinear_ = false;
  // The last curves as tables from the grid's 16-bit output to ink levels 0..255.
  std::array<std::vector<std::uint8_t>, 4> last_;
};

}  // namespace irobunkai
