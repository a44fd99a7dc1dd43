#include "views/channel_plane.h"

#include <stdexcept>

namespace irobunkai {

void ChannelPlane::Resize(int width, int height) {
  if (width < 0 || height < 0) {
    throw std::invalid_argument("ChannelPlane::Resize: negative size");
  }
  const std::size_t needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  // Reuse storage that fits, unless it would waste most of it on a far smaller picture.
  if (needed > capacity_ || needed < capacity_ / 4) {
    cells_.reset();
    cells_ = std::make_unique_for_overwrite<std::uint8_t[]>(needed);
    capacity_ = needed;
  }
  width_ = width;
  height_ = height;
}

}  // namespace irobunkai
