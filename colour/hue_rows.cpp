#include "colour/hue_rows.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

#include "colour/row_lanes.h"

namespace irobunkai {
namespace {

using lanes::Bytes;
using lanes::BytesOf;
using lanes::kStretch;
using lanes::Level;

// A divisor for a quotient that is wanted only when `v` is positive.
inline float Divisor(int v) { return static_cast<float>(v > 0 ? v : 1); }

struct Extremes {
  int max;
  int min;
};

inline Extremes ExtremesOf(const Bytes& c) {
  return {std::max(c.r, std::max(c.g, c.b)), std::min(c.r, std::min(c.g, c.b))};
}

struct HueAndSaturation {
  float hue;
  float saturation;
};

// Both as levels: the hue 255/360 of its degrees, 0 for greys, and the saturation
// delta / base, where base is positive unless delta is 0. One division serves both.
inline HueAndSaturation HueAndSaturationOf(const Bytes& c, const Extremes& e, int base) {
  const int delta = e.max - e.min;
  const bool redMax = e.max == c.r;
  const bool greenMax = !redMax && e.max == c.g;
  const int towards = redMax ? c.g - c.b : greenMax ? c.b - c.r : c.r - c.g;
  const int sector = redMax ? (c.g < c.b ? 6 : 0) : greenMax ? 2 : 4;
  const float inverse = 1.0f / Divisor(delta * base);
  const float sixths = static_cast<float>(sector) + static_cast<float>(towards * base) * inverse;
  // A factor rather than a choice of results: the vectoriser will not select
  // between results of a division, which might trap.
  return {sixths * (delta == 0 ? 0.0f : 255.0f / 6.0f),
          255.0f * static_cast<float>(delta * delta) * inverse};
}

// Levels before rounding: a loop on 32-bit lanes alone works them out, so that its
// values fit in registers, and another rounds and narrows them.
struct RawLevels {
  std::array<float, kStretch> first;
  std::array<float, kStretch> second;
  std::array<float, kStretch> third;
};

inline void Narrow(const RawLevels& raw, std::size_t n, GreyRows out) {
  for (std::size_t i = 0; i < n; ++i) {
    out.first[i] = Level(raw.first[i]);
    out.second[i] = Level(raw.second[i]);
    out.third[i] = Level(raw.third[i]);
  }
}

inline void HsvOf(const ColorValue* colours, std::size_t n, RawLevels& raw) {
  for (std::size_t i = 0; i < n; ++i) {
    const Bytes c = BytesOf(colours[i]);
    const Extremes e = ExtremesOf(c);
    const HueAndSaturation hs = HueAndSaturationOf(c, e, e.max);
    raw.first[i] = hs.hue;
    raw.second[i] = hs.saturation;
    raw.third[i] = static_cast<float>(e.max);
  }
}

inline void HslOf(const ColorValue* colours, std::size_t n, RawLevels& raw) {
  for (std::size_t i = 0; i < n; ++i) {
    const Bytes c = BytesOf(colours[i]);
    const Extremes e = ExtremesOf(c);
    const int sum = e.max + e.min;
    // 1 - |2L - 1| in levels.
    const HueAndSaturation hs = HueAndSaturationOf(c, e, 255 - std::abs(sum - 255));
    raw.first[i] = hs.hue;
    raw.second[i] = hs.saturation;
    raw.third[i] = static_cast<float>(sum) * 0.5f;
  }
}

// Inlined always, so that it is built for each target of its callers.
template <void (*RawOf)(const ColorValue*, std::size_t, RawLevels&)>
[[gnu::always_inline]] inline void SplitInStretches(std::span<const ColorValue> colours,
                                                    GreyRows out) {
  RawLevels raw;
  for (std::size_t start = 0; start < colours.size(); start += kStretch) {
    const std::size_t count = std::min(kStretch, colours.size() - start);
    RawOf(colours.data() + start, count, raw);
    Narrow(raw, count, lanes::From(out, start));
  }
}

}  // namespace

IROBUNKAI_ROW_LOOP void SplitHsvRow(std::span<const ColorValue> colours, GreyRows out) {
  SplitInStretches<HsvOf>(colours, out);
}

IROBUNKAI_ROW_LOOP void SplitHslRow(std::span<const ColorValue> colours, GreyRows out) {
  SplitInStretches<HslOf>(colours, out);
}

}  // namespace irobunkai
