#pragma once

#include <cstdint>
#include <span>

#include "views/image.h"

namespace irobunkai {

/// CMYK samples to RGB without a colour profile: each ink takes its share of what the black
/// leaves, R = (255 - C) (255 - K) / 255. Adobe's files store the inks inverted, 255 for
/// none, so there R = C K / 255, truncated, as Qt's JPEG reader computed it.
void NaiveCmykToRgba(std::span<const std::uint8_t> cmyk, std::span<RgbaPixel> out,
                     bool adobeInverted);

}  // namespace irobunkai
