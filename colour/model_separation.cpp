#include "colour/model_separation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "colour/model_rows.h"

namespace irobunkai {
namespace {

// Below this many pixels starting threads costs more than it saves.
constexpr std::int64_t kParallelPixels = std::int64_t{1} << 16;

// Rows are read and split a piece at a time, so that the piece stays in the
// first-level cache between the two.
constexpr int kPiece = 2048;

// Enough rows for a thread's turn to outweigh asking for it.
[[maybe_unused]] constexpr int kRowsPerTurn = 8;

}  // namespace

void SeparateModel(ColourModel model, const PictureView& source, ModelPlanes planes) {
  const int width = source.AreaWidth();
  const int height = source.AreaHeight();
  for (ChannelPlane* plane : {&planes.first, &planes.second, &planes.third}) {
    plane->Resize(width, height);
  }
  [[maybe_unused]] const bool parallel =
      static_cast<std::int64_t>(width) * height >= kParallelPixels;
#pragma omp parallel if (parallel)
  {
    // On the stack, as nothing may be allocated here: a failed allocation inside the
    // parallel region would end the program.
    std::array<ColorValue, kPiece> piece;
    // Rows are handed out as threads come for them, so that a thread that the system
    // runs less, on a busy machine, does fewer of them rather than holding up the rest.
#pragma omp for schedule(dynamic, kRowsPerTurn)
    for (int y = 0; y < height; ++y) {
      for (int left = 0; left < width; left += kPiece) {
        const std::span<ColorValue> colours(piece.data(),
                                            std::min<std::size_t>(kPiece, width - left));
        source.ReadRow(y, left, colours);
        SplitModelRow(
            model, colours,
            {planes.first.Row(y) + left, planes.second.Row(y) + left, planes.third.Row(y) + left});
      }
    }
  }
}

}  // namespace irobunkai
