// Saving all three channels of a separated 48 megapixel photo as PNG, against the bare
// decode of the same photo's PNG that open_bench measures in the same run.
//
// Timed from the save dialog's button to the three files complete: what the window does on
// its own thread (taking frozen copies of the planes) and what its worker then does. Once the
// window saves on its worker, this should drive Form1 instead: SaveAllChannelsAction with a
// path chooser that answers the temporary folder, timed from the chooser's return to the
// three files committed and the window's progress gone.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <ctime>
#include <vector>

#include "analysis/channel_separation.h"
#include "bench/bench_photo.h"
#include "io/channel_saving.h"
#include "io/picture_loader.h"
#include "views/picture_view.h"

namespace irobunkai::bench {
namespace {

// The channel views' size, which a picture larger than it overflows.
constexpr int kViewWidth = 188;
constexpr int kViewHeight = 179;

// CPU time of every thread of the process, in seconds.
double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Made once for all repetitions: the photo takes seconds to make.
const Separation& SeparatedPhoto() {
  static const Separation separation = [] {
    PictureView source(kViewWidth, kViewHeight, 0);
    source.SetPicture(AdoptImage(Photo(8000, 6000)));
    return SeparateChannels(source);
  }();
  return separation;
}

void SaveAllChannels(benchmark::State& state) {
  const Separation& separation = SeparatedPhoto();
  const QTemporaryDir dir;
  if (separation.IsEmpty() || !dir.isValid()) {
    state.SkipWithError("no photo or no folder to save it in");
    return;
  }
  const std::array<QString, 3> paths = ChannelSiblingPaths(dir.filePath(QStringLiteral("photo")));
  const double cpuBefore = ProcessSeconds();
  for (auto _ : state) {
    // On the window's thread: what the worker will read.
    std::vector<ChannelSave> saves;
    const std::array<ChannelPicture, 3> pictures = FrozenChannels(separation, ChannelLook::Tinted);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
      saves.push_back({pictures[i], paths[i]});
    }
    // On the worker.
    const Progress progress;
    const SaveOutcome outcome = SaveChannels(saves, progress);
    if (outcome.Written().size() != 3) {
      state.SkipWithError("the channels were not saved");
      break;
    }
  }
  // The work of all threads, which the machine's other load shares its cores with.
  state.counters["cpu_ms_all_threads"] =
      benchmark::Counter((ProcessSeconds() - cpuBefore) * 1e3, benchmark::Counter::kAvgIterations);
}

const auto* const kRegistered =
    benchmark::RegisterBenchmark("BM_SaveAllChannels/48mp", SaveAllChannels)
        -> Unit(benchmark::kMillisecond) -> UseRealTime();

}  // namespace
}  // namespace irobunkai::bench
