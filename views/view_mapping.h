#pragma once

#include <algorithm>
#include <cmath>

namespace irobunkai {

/// A pixel of a view's drawable area.
struct Cell {
  int column = 0;
  int row = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

/// Half-open range of cells, columns [left, right) and rows [top, bottom).
struct CellRange {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  [[nodiscard]] int Width() const { return right - left; }
  [[nodiscard]] int Height() const { return bottom - top; }
  [[nodiscard]] bool IsEmpty() const { return right <= left || bottom <= top; }
};

/// How a view's place (its on-screen drawable rectangle, in logical pixels) maps onto
/// its area: `scale` place pixels per area pixel, `originX/Y` the area point shown at
/// the place's top-left.
struct ViewMapping {
  double scale = 1.0;
  double originX = 0.0;
  double originY = 0.0;

  [[nodiscard]] double ToAreaX(double placeX) const { return originX + placeX / scale; }
  [[nodiscard]] double ToAreaY(double placeY) const { return originY + placeY / scale; }
  [[nodiscard]] double ToPlaceX(double areaX) const { return (areaX - originX) * scale; }
  [[nodiscard]] double ToPlaceY(double areaY) const { return (areaY - originY) * scale; }

  /// The cells of an area of `areaWidth` x `areaHeight` that a place of
  /// `placeWidth` x `placeHeight` shows, wholly or in part.
  [[nodiscard]] CellRange VisibleCells(int placeWidth, int placeHeight, int areaWidth,
                                       int areaHeight) const {
    const auto clampTo = [](double v, int limit) {
      return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
    };
    return {clampTo(std::floor(originX), areaWidth), clampTo(std::floor(originY), areaHeight),
            clampTo(std::ceil(ToAreaX(placeWidth)), areaWidth),
            clampTo(std::ceil(ToAreaY(placeHeight)), areaHeight)};
  }
};

}  // namespace irobunkai
