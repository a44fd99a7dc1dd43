#include "io/formats/naive_cmyk.h"

namespace irobunkai {

void NaiveCmykToRgba(std::span<const std::uint8_t> cmyk, std::span<RgbaPixel> out,
                     bool adobeInverted) {
  const unsigned flip = adobeInverted ? 0 : 255;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint8_t* ink = &cmyk[4 * i];
    const unsigned black = ink[3] ^ flip;
    const auto share = [&](std::uint8_t sample) -> RgbaPixel {
      return ((sample ^ flip) * black) / 255;
    };
    out[i] = share(ink[0]) | (share(ink[1]) << 8) | (share(ink[2]) << 16) | 0xFF000000u;
  }
}

}  // namespace irobunkai
