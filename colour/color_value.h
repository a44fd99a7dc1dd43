#pragma once

#include <cstdint>
#include <string>

namespace irobunkai {

/// One colour as one integer: R + 256*G + 65536*B, each component 0..255.
/// -1 stands for "no colour" (a point outside a view's drawable area).
using ColorValue = std::int32_t;

inline constexpr ColorValue kNoColor = -1;
inline constexpr ColorValue kWhite = 0xFFFFFF;

/// c Mod 256: the remainder takes the dividend's sign, so -1 gives -1.
constexpr ColorValue RedOf(ColorValue c) { return c % 256; }

/// (c \ 256) Mod 256, with \ truncating toward zero.
constexpr ColorValue GreenOf(ColorValue c) { return (c / 256) % 256; }

/// c \ 256^2. No Mod 256: every colour read from a view has a zero top byte.
constexpr ColorValue BlueOf(ColorValue c) { return c / 65536; }

/// Composes a colour from components in 0..255.
constexpr ColorValue RGB(ColorValue r, ColorValue g, ColorValue b) {
  return r + 256 * g + 65536 * b;
}

/// Decimal digits, a leading "-" for negatives, no grouping or padding.
std::string DecimalText(ColorValue c);

/// Upper-case hexadecimal of the 32-bit value, no prefix, no leading zeros;
/// negatives show their 8-digit two's complement.
std::string Hex(ColorValue c);

}  // namespace irobunkai
