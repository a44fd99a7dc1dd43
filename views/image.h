#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "colour/color_value.h"

namespace irobunkai {

/// One picture pixel in RGBA8888 order: R | G<<8 | B<<16 | A<<24, so its low
/// 24 bits are exactly the pixel's ColorValue.
using RgbaPixel = std::uint32_t;

constexpr RgbaPixel MakeRgba(ColorValue c, std::uint32_t alpha = 255) {
  return (static_cast<std::uint32_t>(c) & 0xFFFFFFu) | (alpha << 24);
}
constexpr ColorValue ColorOf(RgbaPixel p) { return static_cast<ColorValue>(p & 0xFFFFFFu); }
constexpr std::uint32_t AlphaOf(RgbaPixel p) { return p >> 24; }

/// A CMYK picture's inks as its file stores them, four bytes per pixel C, M, Y, K, rows of
/// `width` pixels top to bottom in the picture's own orientation (the same as its pixels), 0 = no
/// ink, 255 = full (Adobe's inverted JPEG samples are turned the right way round).
struct InkSamples {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> cmyk;  // width * height * 4

  [[nodiscard]] const std::uint8_t* Row(int y) const {
    return cmyk.data() + static_cast<std::ptrdiff_t>(y) * width * 4;
  }
};

/// An immutable decoded picture. The pixels are shared, so copies are cheap and
/// a decoder's own buffer can be adopted without copying it.
class Image {
 public:
  Image() = default;

  /// Adopts `pixels`: `height` rows of `stride` pixels, the first `width` used.
  Image(int width, int height, std::ptrdiff_t stride, std::shared_ptr<const RgbaPixel[]> pixels,
        bool hasAlpha);

  /// Builds a picture from row-major pixels, width * height of them.
  static Image FromPixels(int width, int height, std::vector<RgbaPixel> pixels);

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] bool IsEmpty() const { return width_ == 0 || height_ == 0; }
  /// False when every pixel is known to be opaque.
  [[nodiscard]] bool HasAlpha() const { return hasAlpha_; }
  [[nodiscard]] std::ptrdiff_t Stride() const { return stride_; }
  [[nodiscard]] const RgbaPixel* Data() const { return pixels_.get(); }

  [[nodiscard]] std::span<const RgbaPixel> Row(int y) const {
    return {pixels_.get() + static_cast<std::ptrdiff_t>(y) * stride_,
            static_cast<std::size_t>(width_)};
  }
  [[nodiscard]] RgbaPixel At(int x, int y) const { return Row(y)[static_cast<std::size_t>(x)]; }

  /// The inks the picture was decoded from, when it is a CMYK picture; else nullptr.
  [[nodiscard]] const InkSamples* Inks() const { return inks_.get(); }
  /// This picture, carrying `inks` (same width and height); nullptr drops them.
  [[nodiscard]] Image WithInks(std::shared_ptr<const InkSamples> inks) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::ptrdiff_t stride_ = 0;
  std::shared_ptr<const RgbaPixel[]> pixels_;
  bool hasAlpha_ = false;
  std::shared_ptr<const InkSamples> inks_;
};

}  // namespace irobunkai
