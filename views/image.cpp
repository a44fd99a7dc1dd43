#include "views/image.h"

#include <algorithm>
#include <stdexcept>

namespace irobunkai {

Image::Image(int width, int height, std::ptrdiff_t stride,
             std::shared_ptr<const RgbaPixel[]> pixels, bool hasAlpha)
    : width_(width),
      height_(height),
      stride_(stride),
      pixels_(std::move(pixels)),
      hasAlpha_(hasAlpha) {
  if (width < 0 || height < 0 || stride < width || (!pixels_ && width > 0 && height > 0)) {
    throw std::invalid_argument("Image: inconsistent size or pixels");
  }
}

Image Image::FromPixels(int width, int height, std::vector<RgbaPixel> pixels) {
  if (width < 0 || height < 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    throw std::invalid_argument("Image::FromPixels: pixel count does not match the size");
  }
  const bool hasAlpha = std::ranges::any_of(pixels, [](RgbaPixel p) { return AlphaOf(p) != 255; });
  auto owner = std::make_shared<std::vector<RgbaPixel>>(std::move(pixels));
  // Aliasing constructor: the pixels live as long as the vector that holds them.
  std::shared_ptr<const RgbaPixel[]> view(owner, owner->data());
  return {width, height, width, std::move(view), hasAlpha};
}

Image Image::WithInks(std::shared_ptr<const InkSamples> inks) const {
  if (inks && (inks->width != width_ || inks->height != height_ ||
               inks->cmyk.size() !=
                   static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4)) {
    throw std::invalid_argument("Image::WithInks: the inks' size does not match the picture's");
  }
  Image carrying = *this;
  carrying.inks_ = std::move(inks);
  return carrying;
}

}  // namespace irobunkai
