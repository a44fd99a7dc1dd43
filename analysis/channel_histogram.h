#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "views/channel_plane.h"

namespace irobunkai {

/// How bar heights follow the counts: count/max, or log1p(count)/log1p(max) so that
/// rare values stay visible beside common ones.
enum class HistogramScale { Linear, Logarithmic };

/// Figures of a non-empty histogram.
struct ChannelStatistics {
  std::uint64_t total = 0;
  double mean = 0;
  /// The lower median: the smallest value v for which the pixels with a value of at
  /// most v are at least half of all, i.e. 2 * count(<= v) >= total. With an even
  /// total it is the lower of the two middle values.
  int median = 0;
  /// The smallest and largest values that occur.
  int minimum = 0;
  int maximum = 0;

  bool operator==(const ChannelStatistics&) const = default;
};

/// How many pixels have each value 0..255 of one channel.
struct ChannelHistogram {
  static constexpr int kLevels = 256;
  std::array<std::uint64_t, kLevels> counts{};

  [[nodiscard]] std::uint64_t Total() const;
  /// The figures; nullopt when nothing was counted.
  [[nodiscard]] std::optional<ChannelStatistics> Statistics() const;

  bool operator==(const ChannelHistogram&) const = default;
};

/// The histograms of the three planes of one separation.
using ChannelHistograms = PerChannel<ChannelHistogram>;

}  // namespace irobunkai
