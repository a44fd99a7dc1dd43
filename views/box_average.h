#pragma once

#include <cstdint>

namespace irobunkai {

/// Rounded mean of `sum` over `count` values; a power-of-two count (every block not
/// cut by the area's edge) divides by shifting `shift` bits.
constexpr std::uint32_t BoxMean(std::uint32_t sum, std::uint32_t count, int shift) {
  if (count == (1u << shift)) {
    return (sum + (count >> 1)) >> shift;
  }
  return (sum + count / 2) / count;
}

/// Sums packed 0x00BBGGRR colours over a block: red and blue share a word in
/// separate 16-bit lanes, green has its own, so a block of up to 256 pixels sums
/// without carries between components.
struct ColourSum {
  std::uint32_t redBlue = 0;
  std::uint32_t green = 0;
  void Add(std::uint32_t p) {
    redBlue += p & 0xFF00FFu;
    green += p & 0xFF00u;
  }
  /// The block's mean colour, each component rounded.
  [[nodiscard]] std::uint32_t Mean(std::uint32_t count, int shift) const {
    return BoxMean(redBlue & 0xFFFFu, count, shift) | (BoxMean(green >> 8, count, shift) << 8) |
           (BoxMean(redBlue >> 16, count, shift) << 16);
  }
};

}  // namespace irobunkai
