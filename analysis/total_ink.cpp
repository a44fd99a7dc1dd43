#include "analysis/total_ink.h"

#include <algorithm>
#include <array>
#include <span>

#include "analysis/channel_separation.h"

namespace irobunkai {
namespace {

constexpr int kPiece = 1024;

std::int64_t CountStoredRow(const InkSamples& inks, int y, int width, int limitPercent) {
  std::int64_t over = 0;
  const std::uint8_t* row = inks.Row(y);
  for (int x = 0; x < width; ++x) {
    const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 4;
    over += OverInkLimit({p[0], p[1], p[2], p[3]}, limitPercent) ? 1 : 0;
  }
  return over;
}

std::int64_t CountMadeRow(const PictureView& source, const PressSeparation& press, int y, int width,
                          int limitPercent) {
  std::array<ColorValue, kPiece> colours;
  std::array<std::array<std::uint8_t, kPiece>, 4> levels;
  std::int64_t over = 0;
  for (int left = 0; left < width; left += kPiece) {
    const auto count = static_cast<std::size_t>(std::min(kPiece, width - left));
    source.ReadRow(y, left, std::span(colours).first(count));
    press.SplitRow(std::span(colours).first(count), levels[0].data(), levels[1].data(),
                   levels[2].data(), levels[3].data());
    for (std::size_t x = 0; x < count; ++x) {
      over += OverInkLimit({levels[0][x], levels[1][x], levels[2][x], levels[3][x]}, limitPercent)
                  ? 1
                  : 0;
    }
  }
  return over;
}

}  // namespace

InkLevels InksAt(const PictureView& view, Cell cell, ColorValue colour,
                 const PressSeparation& press) {
  const InkSamples* inks = view.ShownInks();
  if (inks != nullptr && cell.column >= 0 && cell.row >= 0 && cell.column < inks->width &&
      cell.row < inks->height) {
    const std::uint8_t* at = inks->Row(cell.row) + static_cast<std::ptrdiff_t>(cell.column) * 4;
    return {at[0], at[1], at[2], at[3]};
  }
  return press.Levels(colour);
}

std::int64_t CountOverInkLimit(const PictureView& source, const PressSeparation& press,
                               int limitPercent) {
  const int width = source.ContentWidth();
  const int height = source.ContentHeight();
  const InkSamples* inks = source.ShownInks();
  PreparePress(source, {.model = ColourModel::CMYK, .press = &press});
  std::int64_t over = 0;
#pragma omp parallel for schedule(static) reduction(+ : over)
  for (int y = 0; y < height; ++y) {
    over += inks != nullptr ? CountStoredRow(*inks, y, width, limitPercent)
                            : CountMadeRow(source, press, y, width, limitPercent);
  }
  return over;
}

}  // namespace irobunkai
