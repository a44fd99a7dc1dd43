#include "views/channel_plane.h"

#include <algorithm>
#include <stdexcept>

namespace irobunkai {
namespace {

std::size_t CellCount(int width, int height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

bool ChannelPlane::Fits(int storedWidth, int storedHeight) const {
  const std::size_t needed = CellCount(storedWidth, storedHeight);
  // Storage that would waste most of itself on a far smaller picture is given back.
  return needed <= capacity_ && needed >= capacity_ / 4;
}

void ChannelPlane::Resize(int width, int height, int storedWidth, int storedHeight,
                          std::uint8_t fill) {
  if (width < 0 || height < 0 || storedWidth < 0 || storedHeight < 0 || storedWidth > width ||
      storedHeight > height) {
    throw std::invalid_argument("ChannelPlane::Resize: inconsistent size");
  }
  if (!Fits(storedWidth, storedHeight)) {
    const std::size_t needed = CellCount(storedWidth, storedHeight);
    cells_ = std::make_unique_for_overwrite<std::uint8_t[]>(needed);
    capacity_ = needed;
  }
  width_ = width;
  height_ = height;
  storedWidth_ = storedWidth;
  storedHeight_ = storedHeight;
  fill_ = fill;
}

void ChannelPlane::ReadRow(int y, int left, std::span<std::uint8_t> out) const {
  const auto right = static_cast<std::ptrdiff_t>(left) + static_cast<std::ptrdiff_t>(out.size());
  if (y < 0 || y >= height_ || left < 0 || right > width_) {
    throw std::out_of_range("ChannelPlane::ReadRow: row or columns outside the area");
  }
  auto next = out.begin();
  if (y < storedHeight_ && left < storedWidth_) {
    const std::uint8_t* row = Row(y);
    next = std::copy(row + left, row + std::min<std::ptrdiff_t>(right, storedWidth_), next);
  }
  std::fill(next, out.end(), fill_);
}

}  // namespace irobunkai
