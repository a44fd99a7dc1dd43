#pragma once

#include <optional>
#include <span>

#include "io/formats/pixel_buffer.h"

namespace irobunkai {

/// A picture being decoded row by row into its place as an EXIF orientation (1 to 8) says to
/// show it, as Qt turns it: mirrored or flipped first, then turned a quarter clockwise.
class OrientedPicture {
 public:
  /// `width` and `height` are the file's, before turning; throws std::bad_alloc.
  OrientedPicture(int width, int height, int orientation);

  /// Where the file's row `y` may be decoded in place: its row of the picture when the
  /// orientation keeps rows whole (1 to 4). Call FinishInPlace once it is written.
  [[nodiscard]] std::optional<std::span<RgbaPixel>> InPlaceRow(int y);
  /// Mirrors row `y`, decoded into InPlaceRow(y), when the orientation says to.
  void FinishInPlace(int y);
  /// Copies the file's row `y` into its place.
  void Place(int y, std::span<const RgbaPixel> row);
  /// Fills the file's rows from `y` on with `value`.
  void FillFrom(int y, RgbaPixel value);

  [[nodiscard]] Image Finish(bool hasAlpha) &&;

 private:
  int width_;
  int height_;
  int orientation_;
  PixelBuffer pixels_;
};

}  // namespace irobunkai
