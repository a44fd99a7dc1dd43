#include "colour/model_separation.h"

#include <omp.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "colour/model_rows.h"

namespace irobunkai {
namespace {

// Below this many pixels starting threads costs more than it saves.
constexpr std::int64_t kParallelPixels = std::int64_t{1} << 16;

}  // namespace

void SeparateModel(ColourModel model, const PictureView& source, ModelPlanes planes) {
  const int width = source.AreaWidth();
  const int height = source.AreaHeight();
  for (ChannelPlane* plane : {&planes.first, &planes.second, &planes.third}) {
    plane->Resize(width, height);
  }
  const ModelRowSplitter splitter(model);
  const bool parallel = static_cast<std::int64_t>(width) * height >= kParallelPixels;
  const int threads = parallel ? omp_get_max_threads() : 1;
  // Every thread's row is allocated here: a failed allocation inside the parallel
  // region would end the program.
  const auto rowLength = static_cast<std::size_t>(width);
  std::vector<ColorValue> rows(rowLength * static_cast<std::size_t>(threads));
#pragma omp parallel num_threads(threads)
  {
    const std::span<ColorValue> row(
        rows.data() + rowLength * static_cast<std::size_t>(omp_get_thread_num()), rowLength);
#pragma omp for schedule(static)
    for (int y = 0; y < height; ++y) {
      source.ReadRow(y, row);
      splitter.Split(row, {planes.first.Row(y), planes.second.Row(y), planes.third.Row(y)});
    }
  }
}

}  // namespace irobunkai
