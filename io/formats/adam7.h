#pragma once

#include <span>

#include "io/formats/format_result.h"
#include "io/formats/pixel_buffer.h"

namespace irobunkai {

/// The seven passes of PNG's interlacing over a picture: each a coarse grid of its pixels,
/// together all of them.
class Adam7 {
 public:
  static constexpr int kPasses = 7;

  Adam7(int width, int height) : width_(width), height_(height) {}

  /// Pixels across and rows of pass `pass` (from 0); a side is 0 when the pass is empty.
  [[nodiscard]] PixelSize PassSize(int pass) const;
  /// The rows of all passes.
  [[nodiscard]] long long TotalRows() const;
  /// Puts row `row` of pass `pass` in its place.
  void Place(PixelBuffer& pixels, int pass, int row, std::span<const RgbaPixel> values) const;
  /// Fills the pixels that the passes before `pass`, and the first `rows` rows of `pass`,
  /// did not reach: each from the pixel of the finest grid complete that covers it, as
  /// viewers show a picture still loading, or `missing` where none covers it.
  void FillMissing(PixelBuffer& pixels, int pass, int rows, RgbaPixel missing) const;
  /// How many of the picture's rows those passes reached at all.
  [[nodiscard]] int RowsReached(int pass, int rows) const;

 private:
  int width_;
  int height_;
};

}  // namespace irobunkai
