#pragma once

#include <QColor>

#include "colour/color_value.h"

namespace irobunkai {

inline QColor ToQColor(ColorValue c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

/// A ColorValue as a 32-bit RGB32 pixel (0xFFRRGGBB).
constexpr QRgb ToRgb32(ColorValue c) {
  return 0xFF000000u | (static_cast<QRgb>(RedOf(c)) << 16) | (static_cast<QRgb>(GreenOf(c)) << 8) |
         static_cast<QRgb>(BlueOf(c));
}

}  // namespace irobunkai
