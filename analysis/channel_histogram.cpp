#include "analysis/channel_histogram.h"

#include <numeric>

namespace irobunkai {

std::uint64_t ChannelHistogram::Total() const {
  return std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
}

std::optional<ChannelStatistics> ChannelHistogram::Statistics() const {
  const std::uint64_t total = Total();
  if (total == 0) {
    return std::nullopt;
  }
  ChannelStatistics stats;
  stats.total = total;
  // Summed as integers: exact for any realistic total, and then divided once.
  std::uint64_t weighted = 0;
  std::uint64_t cumulative = 0;
  bool medianFound = false;
  bool minimumFound = false;
  for (int v = 0; v < kLevels; ++v) {
    const std::uint64_t count = counts[static_cast<std::size_t>(v)];
    if (count == 0) {
      continue;
    }
    if (!minimumFound) {
      stats.minimum = v;
      minimumFound = true;
    }
    stats.maximum = v;
    weighted += count * static_cast<std::uint64_t>(v);
    cumulative += count;
    if (!medianFound && 2 * cumulative >= total) {
      stats.median = v;
      medianFound = true;
    }
  }
  stats.mean = static_cast<double>(weighted) / static_cast<double>(total);
  return stats;
}

}  // namespace irobunkai
