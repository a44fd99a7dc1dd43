#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace irobunkai {

/// CMYK samples turned into sRGB through a press profile, as littleCMS's jpgicc renders them:
/// perceptual intent, the profile's own tables. Thread-safe: many threads may convert at once.
class CmykToSrgb {
 public:
  /// nullptr when littleCMS can't read `icc` as a CMYK profile it can convert from.
  /// `inverted`: the inks are stored as Adobe writes them, 255 for none.
  static std::unique_ptr<const CmykToSrgb> Of(std::span<const std::uint8_t> icc, bool inverted);

  /// Four samples C, M, Y, K per pixel in, one opaque pixel out (R in the low byte, then G, B
  /// and alpha, as RgbaPixel holds them). `cmyk` holds at least four bytes per pixel of `out`.
  void Convert(std::span<const std::uint8_t> cmyk, std::span<std::uint32_t> out) const;

  struct Deleter {
    void operator()(void* transform) const;
  };
  explicit CmykToSrgb(std::unique_ptr<void, Deleter> transform);

 private:
  std::unique_ptr<void, Deleter> transform_;
};

}  // namespace irobunkai
