#include "analysis/channel_separation.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace irobunkai {
namespace {

// Below this many pixels starting threads costs more than it saves.
constexpr std::int64_t kParallelPixels = std::int64_t{1} << 16;

void SplitRow(const ColorValue* colors, int width, std::uint8_t* red, std::uint8_t* green,
              std::uint8_t* blue) {
  for (int x = 0; x < width; ++x) {
    // Every colour a view shows lies in 0..16777215, where the three rules are
    // exactly its low, middle and high byte; unsigned shifts let this vectorise.
    const auto c = static_cast<std::uint32_t>(colors[x]);
    red[x] = static_cast<std::uint8_t>(c);
    green[x] = static_cast<std::uint8_t>(c >> 8);
    blue[x] = static_cast<std::uint8_t>(c >> 16);
  }
}

// One thread's counts: kWays copies of the three channels' 256 bins, so that
// neighbouring pixels of one value land in different tables and an increment
// never waits on the store of the one before. 32-bit bins keep all of it in the
// first-level cache; they are emptied into 64-bit totals before they can overflow.
class RowCounter {
 public:
  /// Counts one row.
  void CountRow(const ColorValue* colors, int width) {
    if (pending_ + static_cast<std::uint64_t>(width) > kFlushAfter) {
      Flush();
    }
    pending_ += static_cast<std::uint64_t>(width);
    int x = 0;
    for (; x + kWays <= width; x += kWays) {
      for (int k = 0; k < kWays; ++k) {
        Count(bins_.data() + k * kBinsPerWay, colors[x + k]);
      }
    }
    for (int k = 0; x < width; ++x, ++k) {
      Count(bins_.data() + k * kBinsPerWay, colors[x]);
    }
  }

  /// Adds everything counted so far to `totals` and starts again from zero.
  void AddTo(ChannelHistograms& totals) {
    Flush();
    for (std::size_t v = 0; v < ChannelHistogram::kLevels; ++v) {
      totals.red.counts[v] += totals_[v];
      totals.green.counts[v] += totals_[kBinsPerChannel + v];
      totals.blue.counts[v] += totals_[2 * kBinsPerChannel + v];
    }
    totals_.fill(0);
  }

 private:
  static constexpr int kWays = 4;
  static constexpr int kBinsPerChannel = ChannelHistogram::kLevels;
  // A cache line between ways, so that the same value in two ways is never 4 KiB
  // apart, which the processor would take for a store the load must wait on.
  static constexpr int kBinsPerWay = 3 * kBinsPerChannel + 16;
  // A bin never gets more than the pixels counted since the last flush.
  static constexpr std::uint64_t kFlushAfter = std::numeric_limits<std::uint32_t>::max();

  static void Count(std::uint32_t* bins, ColorValue color) {
    const auto c = static_cast<std::uint32_t>(color);
    ++bins[c & 0xFFu];
    ++bins[kBinsPerChannel + ((c >> 8) & 0xFFu)];
    ++bins[2 * kBinsPerChannel + ((c >> 16) & 0xFFu)];
  }

  void Flush() {
    for (int k = 0; k < kWays; ++k) {
      for (std::size_t i = 0; i < totals_.size(); ++i) {
        totals_[i] += bins_[static_cast<std::size_t>(k * kBinsPerWay) + i];
      }
    }
    bins_.fill(0);
    pending_ = 0;
  }

  std::array<std::uint32_t, static_cast<std::size_t>(kWays* kBinsPerWay)> bins_{};
  std::array<std::uint64_t, 3 * kBinsPerChannel> totals_{};
  std::uint64_t pending_ = 0;
};

template <bool kCount>
void FillPlanes(const PictureView& source, ChannelPlane& red, ChannelPlane& green,
                ChannelPlane& blue, ChannelHistograms* histograms) {
  const int width = source.AreaWidth();
  const int height = source.AreaHeight();
  [[maybe_unused]] const bool parallel =
      static_cast<std::int64_t>(width) * height >= kParallelPixels;
#pragma omp parallel if (parallel)
  {
    std::vector<ColorValue> row(static_cast<std::size_t>(width));
    [[maybe_unused]] RowCounter counter;
#pragma omp for schedule(static) nowait
    for (int y = 0; y < height; ++y) {
      source.ReadRow(y, row);
      SplitRow(row.data(), width, red.Row(y), green.Row(y), blue.Row(y));
      if constexpr (kCount) {
        // The row is still in the first-level cache from the split.
        counter.CountRow(row.data(), width);
      }
    }
    if constexpr (kCount) {
#pragma omp critical
      counter.AddTo(*histograms);
    }
  }
}

}  // namespace

void SeparateChannels(const PictureView& source, ChannelPlanes& planes, const ChannelViews& views) {
  SeparateChannels(source, planes, views, {});
}

void SeparateChannels(const PictureView& source, ChannelPlanes& planes, const ChannelViews& views,
                      SeparationOptions options) {
  views.red.Cls();
  views.green.Cls();
  views.blue.Cls();
  planes.Histograms.reset();
  const int width = source.AreaWidth();
  const int height = source.AreaHeight();
  for (const auto& plane : {planes.RedPlane, planes.GreenPlane, planes.BluePlane}) {
    plane->Resize(width, height);
  }
  if (options.countHistograms) {
    ChannelHistograms histograms;
    FillPlanes<true>(source, *planes.RedPlane, *planes.GreenPlane, *planes.BluePlane, &histograms);
    planes.Histograms = histograms;
  } else {
    FillPlanes<false>(source, *planes.RedPlane, *planes.GreenPlane, *planes.BluePlane, nullptr);
  }
  views.red.DrawPlane(planes.RedPlane, Channel::Red);
  views.green.DrawPlane(planes.GreenPlane, Channel::Green);
  views.blue.DrawPlane(planes.BluePlane, Channel::Blue);
}

}  // namespace irobunkai
