#pragma once

// What the row loops of the colour models share. They are written for the vectoriser:
// no calls and no branches, only choices it can make with masks.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "colour/color_value.h"
#include "colour/model_rows.h"

// A row loop is built for AVX-512 and AVX2 as well as for any x86-64, and the program
// runs the best its processor has: two or four times the lanes, and multiplies of 32-bit
// lanes in one instruction.
#if defined(__x86_64__)
#define IROBUNKAI_ROW_LOOP [[gnu::target_clones("arch=x86-64-v4", "avx2", "default")]]
#else
#define IROBUNKAI_ROW_LOOP
#endif

namespace irobunkai::lanes {

/// Loops that need more than a few values per pixel go a stretch of the row at a time,
/// through arrays this long on the stack.
inline constexpr std::size_t kStretch = 256;

struct Bytes {
  int r;
  int g;
  int b;
};

inline Bytes BytesOf(ColorValue colour) {
  const auto c = static_cast<std::uint32_t>(colour);
  return {static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
          static_cast<int>((c >> 16) & 0xFFu)};
}

/// The nearest level 0..255 to `v`, which must be finite and small.
inline std::uint8_t Level(float v) {
  // Clamped as an integer: the vectoriser does not select on float comparisons.
  const int level = static_cast<int>(v + 0.5f);
  return static_cast<std::uint8_t>(std::min(std::max(level, 0), 255));
}

inline std::int32_t Bits(float v) { return std::bit_cast<std::int32_t>(v); }

/// `a` if `pick`, else `b`, chosen by masking bits: the vectoriser leaves alone a loop
/// that chooses between computed floats.
inline float Pick(bool pick, float a, float b) {
  const std::int32_t mask = -static_cast<std::int32_t>(pick);
  return std::bit_cast<float>((Bits(a) & mask) | (Bits(b) & ~mask));
}

/// `out` from column `start` on.
inline GreyRows From(GreyRows out, std::size_t start) {
  return {out.first + start, out.second + start, out.third + start};
}

}  // namespace irobunkai::lanes
