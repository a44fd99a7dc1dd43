#include "io/formats/oriented_picture.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace irobunkai {
namespace {

constexpr std::size_t kInks = 4;

bool Turned(int orientation) { return orientation >= 5 && orientation <= 8; }

bool Mirrored(int orientation) { return orientation == 2 || orientation == 3; }

bool Flipped(int orientation) { return orientation == 3 || orientation == 4; }

// Room for the inks of the turned picture, `width` by `height`; throws std::bad_alloc.
std::shared_ptr<InkSamples> InkRoom(int width, int height) {
  auto inks = std::make_shared<InkSamples>();
  inks->width = width;
  inks->height = height;
  inks->cmyk.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kInks);
  return inks;
}

}  // namespace

OrientedPicture::OrientedPicture(int width, int height, int orientation, bool keepInks)
    : width_(width),
      height_(height),
      orientation_(orientation >= 1 && orientation <= 8 ? orientation : 1),
      pixels_(Turned(orientation_) ? height : width, Turned(orientation_) ? width : height),
      inks_(keepInks ? InkRoom(pixels_.Width(), pixels_.Height()) : nullptr) {}

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

OrientedPicture::Run OrientedPicture::RunOf(int y) const {
  if (!Turned(orientation_)) {
    const std::ptrdiff_t row = Flipped(orientation_) ? height_ - 1 - y : y;
    return Mirrored(orientation_) ? Run{row * width_ + width_ - 1, -1} : Run{row * width_, 1};
  }
  // Turned a quarter, the file's row y becomes a column: x runs down it, or up it when the
  // orientation also mirrors (5 is the transpose, 6 a turn clockwise, 7 the transverse, 8 a
  // turn anticlockwise).
  const std::ptrdiff_t column = orientation_ == 5 || orientation_ == 8 ? y : height_ - 1 - y;
  const std::ptrdiff_t stride = pixels_.Width();
  if (orientation_ == 7 || orientation_ == 8) {
    return {column + (width_ - 1) * stride, -stride};
  }
  return {column, stride};
}

void OrientedPicture::Place(int y, std::span<const RgbaPixel> row) {
  if (const auto target = InPlaceRow(y)) {
    std::ranges::copy(row.first(static_cast<std::size_t>(width_)), target->begin());
    FinishInPlace(y);
    return;
  }
  const Run run = RunOf(y);
  RgbaPixel* const base = pixels_.Data() + run.first;
  for (int x = 0; x < width_; ++x) {
    base[x * run.step] = row[static_cast<std::size_t>(x)];
  }
}

void OrientedPicture::PlaceInks(int y, std::span<const std::uint8_t> cmyk) {
  if (!inks_) {
    return;
  }
  const Run run = RunOf(y);
  std::uint8_t* const base = inks_->cmyk.data() + run.first * std::ptrdiff_t{kInks};
  if (run.step == 1) {
    std::memcpy(base, cmyk.data(), static_cast<std::size_t>(width_) * kInks);
    return;
  }
  for (int x = 0; x < width_; ++x) {
    std::memcpy(base + x * run.step * std::ptrdiff_t{kInks},
                cmyk.data() + static_cast<std::size_t>(x) * kInks, kInks);
  }
}

void OrientedPicture::FillFrom(int y, RgbaPixel value) {
  const std::vector<RgbaPixel> row(static_cast<std::size_t>(width_), value);
  const std::vector<std::uint8_t> noInk(inks_ ? row.size() * kInks : 0, 0);
  for (; y < height_; ++y) {
    Place(y, row);
    PlaceInks(y, noInk);
  }
}

Image OrientedPicture::Finish(bool hasAlpha) && {
  Image picture = std::move(pixels_).Finish(hasAlpha);
  if (!inks_) {
    return picture;
  }
  return picture.WithInks(std::move(inks_));
}

}  // namespace irobunkai
