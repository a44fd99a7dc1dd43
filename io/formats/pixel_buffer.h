#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "io/formats/pixel_memory.h"
#include "views/image.h"

namespace irobunkai {

/// Row-major pixels that a decoder fills, then hands to an Image without a copy.
class PixelBuffer {
 public:
  /// Throws std::bad_alloc when there is no room.
  PixelBuffer(int width, int height)
      : width_(width),
        height_(height),
        pixels_(
            AllocatePixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))) {}

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] RgbaPixel* Data() { return pixels_.get(); }
  [[nodiscard]] std::size_t SizeBytes() const {
    return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * sizeof(RgbaPixel);
  }
  [[nodiscard]] std::span<RgbaPixel> Row(int y) {
    return {pixels_.get() + static_cast<std::ptrdiff_t>(y) * width_,
            static_cast<std::size_t>(width_)};
  }

  [[nodiscard]] Image Finish(bool hasAlpha) && {
    return {width_, height_, width_, std::move(pixels_), hasAlpha};
  }

 private:
  int width_;
  int height_;
  std::shared_ptr<RgbaPixel[]> pixels_;
};

}  // namespace irobunkai
