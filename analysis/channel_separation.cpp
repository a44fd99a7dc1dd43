#include "analysis/channel_separation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "colour/model_rows.h"

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

  /// Counts one row of three planes' levels, and of a fourth's when there is one.
  void CountLevels(const std::uint8_t* first, const std::uint8_t* second, const std::uint8_t* third,
                   const std::uint8_t* fourth, int width) {
    if (pending_ + static_cast<std::uint64_t>(width) > kFlushAfter) {
      Flush();
    }
    pending_ += static_cast<std::uint64_t>(width);
    for (int x = 0; x < width; ++x) {
      std::uint32_t* bins = bins_.data() + (x % kWays) * kBinsPerWay;
      ++bins[first[x]];
      ++bins[kBinsPerChannel + second[x]];
      ++bins[2 * kBinsPerChannel + third[x]];
    }
    if (fourth != nullptr) {
      for (int x = 0; x < width; ++x) {
        ++bins_[static_cast<std::size_t>((x % kWays) * kBinsPerWay + 3 * kBinsPerChannel +
                                         fourth[x])];
      }
    }
  }

  /// Adds everything counted so far to `totals` and starts again from zero.
  void AddTo(ChannelHistograms& totals) {
    Flush();
    for (std::size_t v = 0; v < ChannelHistogram::kLevels; ++v) {
      totals[Channel::Red].counts[v] += totals_[v];
      totals[Channel::Green].counts[v] += totals_[kBinsPerChannel + v];
      totals[Channel::Blue].counts[v] += totals_[2 * kBinsPerChannel + v];
      totals[Channel::Black].counts[v] += totals_[3 * kBinsPerChannel + v];
    }
    totals_.fill(0);
  }

 private:
  static constexpr int kWays = 4;
  static constexpr int kBinsPerChannel = ChannelHistogram::kLevels;
  // A cache line between ways, so that the same value in two ways is never 4 KiB
  // apart, which the processor would take for a store the load must wait on.
  static constexpr int kBinsPerWay = 4 * kBinsPerChannel + 16;
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
  std::array<std::uint64_t, 4 * kBinsPerChannel> totals_{};
  std::uint64_t pending_ = 0;
};

struct Planes {
  ChannelPlane& red;
  ChannelPlane& green;
  ChannelPlane& blue;
  ChannelPlane* black;  // CMYK's fourth plate, else null
};

// Rows are read and split a piece at a time, so that the piece stays in the
// first-level cache between the two. It lives on each thread's stack: running short
// of memory inside the parallel region could not be reported.
constexpr int kPiece = 2048;

// One piece of colours into the planes' levels.
void SplitInto(const SeparationOptions& options, std::span<const ColorValue> colours,
               std::uint8_t* first, std::uint8_t* second, std::uint8_t* third,
               std::uint8_t* fourth) {
  if (options.model == ColourModel::RGB) {
    SplitRow(colours.data(), static_cast<int>(colours.size()), first, second, third);
  } else {
    SplitModelRow(options.model, colours, {first, second, third, fourth}, options.lab,
                  options.press);
  }
}

// A CMYK picture's own inks, when it is split into CMYK and shows nothing but itself: they
// are the plates as stored, never made again from the colours they were rendered to.
const InkSamples* OwnInks(const PictureView& source, const SeparationOptions& options) {
  return options.model == ColourModel::CMYK ? source.ShownInks() : nullptr;
}

void SplitInks(const InkSamples& inks, int y, int left, int count,
               std::array<std::uint8_t*, 4> out) {
  const std::uint8_t* in = inks.Row(y) + static_cast<std::ptrdiff_t>(left) * 4;
  for (int x = 0; x < count; ++x) {
    for (std::size_t i = 0; i < out.size(); ++i) {
      out[i][x] = in[x * 4 + static_cast<int>(i)];
    }
  }
}

template <bool kCount>
void FillPlanes(const PictureView& source, const Planes& planes, const SeparationOptions& options,
                ChannelHistograms* histograms) {
  const InkSamples* const inks = OwnInks(source, options);
  const int width = source.ContentWidth();
  const int height = source.ContentHeight();
  [[maybe_unused]] const bool parallel =
      static_cast<std::int64_t>(width) * height >= kParallelPixels;
#pragma omp parallel if (parallel)
  {
    std::array<ColorValue, kPiece> buffer;
    [[maybe_unused]] RowCounter counter;
#pragma omp for schedule(static) nowait
    for (int y = 0; y < height; ++y) {
      for (int left = 0; left < width; left += kPiece) {
        const int count = std::min(kPiece, width - left);
        const std::span<ColorValue> piece(buffer.data(), static_cast<std::size_t>(count));
        std::uint8_t* const first = planes.red.Row(y) + left;
        std::uint8_t* const second = planes.green.Row(y) + left;
        std::uint8_t* const third = planes.blue.Row(y) + left;
        std::uint8_t* const fourth =
            planes.black != nullptr ? planes.black->Row(y) + left : nullptr;
        if (inks != nullptr) {
          SplitInks(*inks, y, left, count, {first, second, third, fourth});
        } else {
          source.ReadRow(y, left, piece);
          SplitInto(options, piece, first, second, third, fourth);
        }
        if constexpr (kCount) {
          // The piece is still in the first-level cache from the split.
          if (options.model == ColourModel::RGB) {
            counter.CountRow(piece.data(), count);
          } else {
            counter.CountLevels(first, second, third, fourth, count);
          }
        }
      }
    }
    if constexpr (kCount) {
#pragma omp critical
      counter.AddTo(*histograms);
    }
  }
}

// Planes for the source's area: those of `separation` when all of them keep their
// storage, else new ones.
PerChannel<std::shared_ptr<ChannelPlane>> PlanesFor(const PictureView& source,
                                                    const Separation& separation, int count) {
  const int stored[2] = {source.ContentWidth(), source.ContentHeight()};
  const bool reuse =
      !separation.IsEmpty() && ComponentCount(separation.model) == count &&
      std::ranges::all_of(std::span(separation.planes.items).first(static_cast<std::size_t>(count)),
                          [&](const auto& plane) { return plane->Fits(stored[0], stored[1]); });
  if (reuse) {
    return separation.planes;
  }
  PerChannel<std::shared_ptr<ChannelPlane>> planes;
  for (int i = 0; i < count; ++i) {
    auto& plane = planes[ChannelOfComponent(i)];
    plane = std::make_shared<ChannelPlane>();
    plane->Resize(source.AreaWidth(), source.AreaHeight(), stored[0], stored[1], 0);
  }
  return planes;
}

}  // namespace

void PreparePress(const PictureView& source, const SeparationOptions& options) {
  // Working out all 16.7 million colours costs about as much as splitting that many pixels
  // one by one, and takes 64 MiB: it pays for the pictures larger than that, which are also
  // the ones split again and again (another model, another press, the ink limit counted).
  constexpr std::int64_t kLarge = std::int64_t{1} << 24;
  if (options.model == ColourModel::CMYK && options.press != nullptr &&
      std::int64_t{source.ContentWidth()} * source.ContentHeight() >= kLarge) {
    options.press->PrepareForLargePictures();
  }
}

void SeparateChannels(const PictureView& source, Separation& separation,
                      SeparationOptions options) {
  PreparePress(source, options);
  const int count = ComponentCount(options.model);
  PerChannel<std::shared_ptr<ChannelPlane>> planes = PlanesFor(source, separation, count);
  std::optional<ChannelHistograms> histograms;
  if (options.countHistograms) {
    histograms.emplace();
  }
  // Nothing below allocates: the separation changes only from here on.
  const ColorValue fill = source.AreaFill();
  PerChannel<std::uint8_t> fillLevels;
  SplitInto(options, std::span(&fill, 1), &fillLevels[Channel::Red], &fillLevels[Channel::Green],
            &fillLevels[Channel::Blue], &fillLevels[Channel::Black]);
  for (const Channel channel : kPlates) {
    if (planes[channel]) {
      planes[channel]->Resize(source.AreaWidth(), source.AreaHeight(), source.ContentWidth(),
                              source.ContentHeight(), fillLevels[channel]);
    }
  }
  const Planes filling{*planes[Channel::Red], *planes[Channel::Green], *planes[Channel::Blue],
                       planes[Channel::Black].get()};
  if (histograms) {
    FillPlanes<true>(source, filling, options, &*histograms);
  } else {
    FillPlanes<false>(source, filling, options, nullptr);
  }
  separation.planes = std::move(planes);
  separation.histograms = histograms;
  separation.model = options.model;
}

Separation SeparateChannels(const PictureView& source, SeparationOptions options) {
  Separation separation;
  SeparateChannels(source, separation, options);
  return separation;
}

ChannelHistograms CountPlanes(const Separation& separation) {
  const ChannelPlane& red = separation.RedPlane();
  RowCounter counter;
  for (int y = 0; y < red.StoredHeight(); ++y) {
    const ChannelPlane* black = separation.planes[Channel::Black].get();
    counter.CountLevels(red.Row(y), separation.GreenPlane().Row(y), separation.BluePlane().Row(y),
                        black != nullptr ? black->Row(y) : nullptr, red.StoredWidth());
  }
  ChannelHistograms histograms;
  counter.AddTo(histograms);
  return histograms;
}

}  // namespace irobunkai
