#include "colour/lab_rows.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "colour/cie_lab.h"
#include "colour/lab_levels.h"
#include "colour/row_lanes.h"

namespace irobunkai {
namespace {

using lanes::Bits;
using lanes::BytesOf;
using lanes::kStretch;
using lanes::Level;
using lanes::Pick;
using lanes::XyzStretch;

// The sRGB decoding of a level, as a polynomial rather than a table, whose look-ups
// the vectoriser could only make one lane at a time. Above level 10 it is the least-
// squares fit of degree 6 to the decoding at the levels 11 to 255, in u = (level -
// 133) / 122, within 1.5e-5 of it; at 10 and below the decoding is a line.
inline float LinearOf(int level) {
  constexpr std::array<float, 7> kFit = {0.234551474f,    0.467129527f,    0.271290515f,
                                         0.0298301856f,   -0.00358389748f, 0.00135557171f,
                                         -0.000581300376f};
  const auto v = static_cast<float>(level);
  const float u = v * (1.0f / 122.0f) - 133.0f / 122.0f;
  float fit = kFit[6];
  for (std::size_t i = kFit.size() - 1; i-- > 0;) {
    fit = fit * u + kFit[i];
  }
  return Pick(level > 10, fit, v * static_cast<float>(1.0 / (255.0 * 12.92)));
}

// Row i of the matrix to XYZ over that white component.
constexpr std::array<float, 3> RelativeRow(std::size_t i) {
  const auto& row = CieLab::kRgbToXyz[i];
  const double white = CieLab::kWhite[i];
  return {static_cast<float>(row[0] / white), static_cast<float>(row[1] / white),
          static_cast<float>(row[2] / white)};
}

inline void XyzOf(const ColorValue* colours, std::size_t n, XyzStretch& xyz) {
  constexpr auto kX = RelativeRow(0);
  constexpr auto kY = RelativeRow(1);
  constexpr auto kZ = RelativeRow(2);
  for (std::size_t i = 0; i < n; ++i) {
    const lanes::Bytes c = BytesOf(colours[i]);
    const float r = LinearOf(c.r);
    const float g = LinearOf(c.g);
    const float b = LinearOf(c.b);
    xyz.x[i] = kX[0] * r + kX[1] * g + kX[2] * b;
    xyz.y[i] = kY[0] * r + kY[1] * g + kY[2] * b;
    xyz.z[i] = kZ[0] * r + kZ[1] * g + kZ[2] * b;
  }
}

}  // namespace

// XYZ first, then L*a*b*, in two loops that each keep their values in registers.
IROBUNKAI_ROW_LOOP void SplitLabRow(std::span<const ColorValue> colours, GreyRows out) {
  XyzStretch xyz;
  for (std::size_t start = 0; start < colours.size(); start += kStretch) {
    const std::size_t count = std::min(kStretch, colours.size() - start);
    XyzOf(colours.data() + start, count, xyz);
    LabOf(xyz, count, lanes::From(out, start));
  }
}

}  // namespace irobunkai
