#pragma once

// The second half of a row's L*a*b*: from XYZ relative to the white to grey levels, shared by
// sRGB's loop and those of other profiles so that both give the same levels.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "colour/cie_lab.h"
#include "colour/row_lanes.h"

namespace irobunkai::lanes {

// f(t) of CIE 1976: the cube root above ε, a line below it. The root is t * r², with
// r = t^(-1/3) estimated from t's float bits, within 3.5 %, and refined by one step of
// the series r (1 + d/3 + 2d²/9), d = 1 - t r³, to within 3.5e-4: an error of at most
// 0.35 levels in a*, the most sensitive component. No division, no branch.
inline float LabF(float t) {
  constexpr auto kEpsilon = static_cast<float>(CieLab::kEpsilon);
  constexpr auto kKappa = static_cast<float>(CieLab::kKappa);
  // t is never negative, and such floats order as their bits do.
  const bool cube = Bits(t) > Bits(kEpsilon);
  const float above = Pick(cube, t, kEpsilon);
  const auto third = static_cast<float>(Bits(above)) * (1.0f / 3.0f);
  const float r = std::bit_cast<float>(0x54A21D2A - static_cast<std::int32_t>(third));
  const float d = 1.0f - above * r * r * r;
  const float refined = r + r * d * (1.0f / 3.0f + d * (2.0f / 9.0f));
  return Pick(cube, above * refined * refined, t * (kKappa / 116.0f) + 16.0f / 116.0f);
}

struct XyzStretch {
  std::array<float, kStretch> x;
  std::array<float, kStretch> y;
  std::array<float, kStretch> z;
};

inline void LabOf(const XyzStretch& xyz, std::size_t n, GreyRows out) {
  for (std::size_t i = 0; i < n; ++i) {
    const float fx = LabF(xyz.x[i]);
    const float fy = LabF(xyz.y[i]);
    const float fz = LabF(xyz.z[i]);
    // L* * 2.55, a* + 128, b* + 128.
    out.first[i] = Level(fy * (116.0f * 2.55f) - 16.0f * 2.55f);
    out.second[i] = Level(500.0f * (fx - fy) + 128.0f);
    out.third[i] = Level(200.0f * (fy - fz) + 128.0f);
  }
}

}  // namespace irobunkai::lanes
