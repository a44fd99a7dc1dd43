#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "io/formats/pixel_buffer.h"

namespace irobunkai {

/// A picture being decoded row by row into its place as an EXIF orientation (1 to 8) says to
/// show it, as Qt turns it: mirrored or flipped first, then turned a quarter clockwise.
class OrientedPicture {
 public:
  /// `width` and `height` are the file's, before turning; with `keepInks`, a CMYK picture's
  /// inks are turned into their place too (see PlaceInks). Throws std::bad_alloc.
  OrientedPicture(int width, int height, int orientation, bool keepInks = false);

  /// Where the file's row `y` may be decoded in place: its row of the picture when the
  /// orientation keeps rows whole (1 to 4). Call FinishInPlace once it is written.
  [[nodiscard]] std::optional<std::span<RgbaPixel>> InPlaceRow(int y);
  /// Mirrors row `y`, decoded into InPlaceRow(y), when the orientation says to.
  void FinishInPlace(int y);
  /// Copies the file's row `y` into its place.
  void Place(int y, std::span<const RgbaPixel> row);
  /// Copies the inks of the file's row `y`, C, M, Y, K for each pixel, into their place; when
  /// the picture keeps none, does nothing.
  void PlaceInks(int y, std::span<const std::uint8_t> cmyk);
  [[nodiscard]] bool KeepsInks() const { return inks_ != nullptr; }
  /// Fills the file's rows from `y` on with `value`, and their inks with none.
  void FillFrom(int y, RgbaPixel value);

  /// The picture, carrying its inks when it keeps them.
  [[nodiscard]] Image Finish(bool hasAlpha) &&;

 private:
  // Where the file's row `y` goes in the turned picture: the index of its first pixel, and the
  // step from one pixel to the next.
  struct Run {
    std::ptrdiff_t first;
    std::ptrdiff_t step;
  };
  [[nodiscard]] Run RunOf(int y) const;

  int width_;
  int height_;
  int orientation_;
  PixelBuffer pixels_;
  std::shared_ptr<InkSamples> inks_;
};

}  // namespace irobunkai
