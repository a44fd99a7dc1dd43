#include "io/formats/adam7.h"

#include <algorithm>
#include <array>

namespace irobunkai {
namespace {

constexpr std::array kStartX = {0, 4, 0, 2, 0, 1, 0};
constexpr std::array kStartY = {0, 0, 4, 0, 2, 0, 1};
constexpr std::array kStepX = {8, 8, 4, 4, 2, 2, 1};
constexpr std::array kStepY = {8, 8, 8, 4, 4, 2, 2};
// The block each pixel of a pass's grid stands for once that pass and those before are in.
constexpr std::array kBlockWidth = {8, 4, 4, 2, 2, 1, 1};
constexpr std::array kBlockHeight = {8, 8, 4, 4, 2, 2, 1};

// The pass of each pixel of an 8 by 8 tile.
constexpr std::array<std::array<int, 8>, 8> kPassOf = {{
    {0, 5, 3, 5, 1, 5, 3, 5},
    {6, 6, 6, 6, 6, 6, 6, 6},
    {4, 5, 4, 5, 4, 5, 4, 5},
    {6, 6, 6, 6, 6, 6, 6, 6},
    {2, 5, 3, 5, 2, 5, 3, 5},
    {6, 6, 6, 6, 6, 6, 6, 6},
    {4, 5, 4, 5, 4, 5, 4, 5},
    {6, 6, 6, 6, 6, 6, 6, 6},
}};

int Count(int size, int start, int step) {
  return size > start ? (size - start + step - 1) / step : 0;
}

}  // namespace

PixelSize Adam7::PassSize(int pass) const {
  return {Count(width_, kStartX[pass], kStepX[pass]), Count(height_, kStartY[pass], kStepY[pass])};
}

long long Adam7::TotalRows() const {
  long long rows = 0;
  for (int pass = 0; pass < kPasses; ++pass) {
    const PixelSize size = PassSize(pass);
    rows += size.width > 0 ? size.height : 0;
  }
  return rows;
}

void Adam7::Place(PixelBuffer& pixels, int pass, int row, std::span<const RgbaPixel> values) const {
  const std::span<RgbaPixel> target = pixels.Row(kStartY[pass] + row * kStepY[pass]);
  for (std::size_t i = 0; i < values.size(); ++i) {
    target[kStartX[pass] + i * kStepX[pass]] = values[i];
  }
}

void Adam7::FillMissing(PixelBuffer& pixels, int pass, int rows, RgbaPixel missing) const {
  const int blockWidth = pass > 0 ? kBlockWidth[pass - 1] : 8;
  const int blockHeight = pass > 0 ? kBlockHeight[pass - 1] : 8;
  for (int y = 0; y < height_; ++y) {
    const std::span<RgbaPixel> row = pixels.Row(y);
    const int coverY = y - y % blockHeight;
    // Before the first pass is complete, only its rows read cover anything.
    const bool covered = pass > 0 || coverY / 8 < rows;
    const std::span<RgbaPixel> cover = pixels.Row(coverY);
    for (int x = 0; x < width_; ++x) {
      const int own = kPassOf[y % 8][x % 8];
      const bool reached = own < pass || (own == pass && (y - kStartY[own]) / kStepY[own] < rows);
      if (!reached) {
        row[x] = covered ? cover[x - x % blockWidth] : missing;
      }
    }
  }
}

int Adam7::RowsReached(int pass, int rows) const {
  return pass > 0 ? height_ : std::min(height_, rows * kStepY[0]);
}

}  // namespace irobunkai
