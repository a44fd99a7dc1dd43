#include "io/formats/oriented_picture.h"

#include <algorithm>
#include <vector>

namespace irobunkai {
namespace {

bool Turned(int orientation) { return orientation >= 5 && orientation <= 8; }

bool Mirrored(int orientation) { return orientation == 2 || orientation == 3; }

bool Flipped(int orientation) { return orientation == 3 || orientation == 4; }

}  // namespace

OrientedPicture::OrientedPicture(int width, int height, int orientation)
    : width_(width),
      height_(height),
      orientation_(orientation >= 1 && orientation <= 8 ? orientation : 1),
      pixels_(Turned(orientation_) ? height : width, Turned(orientation_) ? width : height) {}

std::optional<std::span<RgbaPixel>> OrientedPicture::InPlaceRow(int y) {
  if (Turned(orientation_)) {
    return std::nullopt;
  }
  return pixels_.Row(Flipped(orientation_) ? height_ - 1 - y : y);
}

void OrientedPicture::FinishInPlace(int y) {
  if (Mirrored(orientation_)) {
    std::ranges::reverse(*InPlaceRow(y));
  }
}

void OrientedPicture::Place(int y, std::span<const RgbaPixel> row) {
  if (const auto target = InPlaceRow(y)) {
    std::ranges::copy(row.first(static_cast<std::size_t>(width_)), target->begin());
    FinishInPlace(y);
    return;
  }
  // Turned a quarter, the file's row y becomes a column: x runs down it, or up it when the
  // orientation also mirrors (5 is the transpose, 6 a turn clockwise, 7 the transverse, 8 a
  // turn anticlockwise).
  const int column = orientation_ == 5 || orientation_ == 8 ? y : height_ - 1 - y;
  const bool upwards = orientation_ == 7 || orientation_ == 8;
  RgbaPixel* const base = pixels_.Data() + column;
  const std::ptrdiff_t stride = pixels_.Width();
  for (int x = 0; x < width_; ++x) {
    const int to = upwards ? width_ - 1 - x : x;
    base[to * stride] = row[static_cast<std::size_t>(x)];
  }
}

void OrientedPicture::FillFrom(int y, RgbaPixel value) {
  const std::vector<RgbaPixel> row(static_cast<std::size_t>(width_), value);
  for (; y < height_; ++y) {
    Place(y, row);
  }
}

Image OrientedPicture::Finish(bool hasAlpha) && { return std::move(pixels_).Finish(hasAlpha); }

}  // namespace irobunkai
