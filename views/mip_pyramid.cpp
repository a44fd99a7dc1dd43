#include "views/mip_pyramid.h"

#include <omp.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <span>
#include <type_traits>
#include <vector>

#include "views/box_average.h"

namespace irobunkai {
namespace {

constexpr int kFirstReduction = 4;

// Level pixels worked out from one band of columns at a time, so that a thread's
// rows stay small however wide the picture is.
constexpr int kBandLevelPixels = 2048;

/// The pixels of row y from column `left` on, `scratch.size()` of them: read into
/// `scratch`, or where they already lie in memory.
template <typename Pixel>
using Reader = std::function<const Pixel*(int y, int left, std::span<Pixel> scratch)>;

constexpr int kMaxFactor = 4;

// One level row's pixels from `count` rows of one band, each starting at `bandLeft`.
template <typename Pixel, typename Sum>
void ReduceBand(const std::array<const Pixel*, kMaxFactor>& rows, int count, int bandLeft,
                int bandRight, int factor, int shift, std::uint8_t* out) {
  for (int left = bandLeft; left < bandRight; left += factor) {
    const int right = std::min(left + factor, bandRight);
    Sum sum;
    for (int i = 0; i < count; ++i) {
      const Pixel* cells = rows[static_cast<std::size_t>(i)] - bandLeft;
      for (int j = left; j < right; ++j) {
        sum.Add(cells[j]);
      }
    }
    const Pixel mean = sum.Mean(static_cast<std::uint32_t>((right - left) * count), shift);
    std::memcpy(out + static_cast<std::size_t>(left / factor) * sizeof(Pixel), &mean,
                sizeof(Pixel));
  }
}

// Whole 4 x 4 blocks of packed colours, the bulk of the first level, written so that
// the compiler keeps it in vector registers.
void ReduceColourBlocks4(const std::array<const std::uint32_t*, kMaxFactor>& rows, int blocks,
                         std::uint8_t* out) {
  for (int x = 0; x < blocks; ++x) {
    std::uint32_t redBlue = 0;
    std::uint32_t green = 0;
    for (const std::uint32_t* row : rows) {
      const std::uint32_t* p = row + 4 * x;
      redBlue += (p[0] & 0xFF00FFu) + (p[1] & 0xFF00FFu) + (p[2] & 0xFF00FFu) + (p[3] & 0xFF00FFu);
      green += (p[0] & 0xFF00u) + (p[1] & 0xFF00u) + (p[2] & 0xFF00u) + (p[3] & 0xFF00u);
    }
    const std::uint32_t mean = BoxMean(redBlue & 0xFFFFu, 16, 4) |
                               (BoxMean(green >> 8, 16, 4) << 8) |
                               (BoxMean(redBlue >> 16, 16, 4) << 16);
    std::memcpy(out + static_cast<std::size_t>(x) * sizeof(mean), &mean, sizeof(mean));
  }
}

template <typename Pixel, typename Sum>
MipPyramid::Level Reduce(int width, int height, int factor, int reduction,
                         const Reader<Pixel>& readRow) {
  MipPyramid::Level level;
  level.width = (width + factor - 1) / factor;
  level.height = (height + factor - 1) / factor;
  level.reduction = reduction;
  level.components = static_cast<int>(sizeof(Pixel));
  level.bytes.resize(static_cast<std::size_t>(level.width) * level.height * sizeof(Pixel));
  const int shift = 2 * std::countr_zero(static_cast<unsigned>(factor));
  const int bandWidth = std::min(width, kBandLevelPixels * factor);
  const auto stride = static_cast<std::size_t>(bandWidth);
  // Every thread's rows are allocated here: running short of memory inside the
  // parallel region could not be reported.
  const int threads = omp_get_max_threads();
  std::vector<Pixel> buffers(static_cast<std::size_t>(threads) * static_cast<std::size_t>(factor) *
                             stride);
#pragma omp parallel num_threads(threads)
  {
    Pixel* const rows = buffers.data() + static_cast<std::size_t>(omp_get_thread_num()) *
                                             static_cast<std::size_t>(factor) * stride;
#pragma omp for schedule(static)
    for (int y = 0; y < level.height; ++y) {
      const int count = std::min(factor, height - y * factor);
      std::uint8_t* out =
          level.bytes.data() + static_cast<std::size_t>(y) * level.width * sizeof(Pixel);
      for (int bandLeft = 0; bandLeft < width; bandLeft += bandWidth) {
        const int bandRight = std::min(bandLeft + bandWidth, width);
        std::array<const Pixel*, kMaxFactor> read{};
        for (int i = 0; i < count; ++i) {
          read[static_cast<std::size_t>(i)] =
              readRow(y * factor + i, bandLeft,
                      std::span<Pixel>(rows + static_cast<std::size_t>(i) * stride,
                                       static_cast<std::size_t>(bandRight - bandLeft)));
        }
        int done = bandLeft;
        if constexpr (std::is_same_v<Sum, ColourSum>) {
          if (factor == 4 && count == 4) {
            const int blocks = (bandRight - bandLeft) / 4;
            ReduceColourBlocks4(read, blocks, out + static_cast<std::size_t>(bandLeft / 4) * 4);
            done += 4 * blocks;
          }
        }
        if (done < bandRight) {
          std::array<const Pixel*, kMaxFactor> rest{};
          for (int i = 0; i < count; ++i) {
            rest[static_cast<std::size_t>(i)] =
                read[static_cast<std::size_t>(i)] + (done - bandLeft);
          }
          ReduceBand<Pixel, Sum>(rest, count, done, bandRight, factor, shift, out);
        }
      }
    }
  }
  return level;
}

template <typename Pixel, typename Sum>
std::vector<MipPyramid::Level> BuildLevels(int width, int height, const Reader<Pixel>& readRow) {
  std::vector<MipPyramid::Level> levels;
  if (width <= 0 || height <= 0) {
    return levels;
  }
  levels.push_back(Reduce<Pixel, Sum>(width, height, kFirstReduction, kFirstReduction, readRow));
  while (levels.back().width > 1 || levels.back().height > 1) {
    const MipPyramid::Level& finer = levels.back();
    const Reader<Pixel> readFiner = [&finer](int y, int left, std::span<Pixel> /*scratch*/) {
      return reinterpret_cast<const Pixel*>(finer.Row(y)) + left;
    };
    MipPyramid::Level coarser =
        Reduce<Pixel, Sum>(finer.width, finer.height, 2, finer.reduction * 2, readFiner);
    levels.push_back(std::move(coarser));
  }
  return levels;
}

}  // namespace

MipPyramid MipPyramid::OfView(const PictureView& view) {
  MipPyramid pyramid;
  const Image& picture = view.Picture();
  // An opaque picture that is all the content is read where it lies: its alpha byte
  // falls outside the sums' lanes.
  const bool direct = !view.HasDrawing() && !picture.HasAlpha() &&
                      picture.Width() >= view.ContentWidth() &&
                      picture.Height() >= view.ContentHeight();
  // A ColorValue is 0x00BBGGRR: in memory the bytes R, G, B, 0 of a level pixel.
  pyramid.levels_ = BuildLevels<std::uint32_t, ColourSum>(
      view.ContentWidth(), view.ContentHeight(),
      [&view, &picture, direct](int y, int left,
                                std::span<std::uint32_t> scratch) -> const std::uint32_t* {
        if (direct) {
          return picture.Row(y).data() + left;
        }
        view.ReadRow(y, left,
                     std::span(reinterpret_cast<ColorValue*>(scratch.data()), scratch.size()));
        return scratch.data();
      });
  return pyramid;
}

MipPyramid MipPyramid::ChannelOf(const MipPyramid& colour, Channel channel) {
  const auto offset = static_cast<std::size_t>(ComponentIndex(channel));
  MipPyramid pyramid;
  for (const Level& level : colour.levels_) {
    Level single{level.width, level.height, level.reduction, 1, {}};
    single.bytes.resize(level.bytes.size() / 4);
    for (std::size_t i = 0; i < single.bytes.size(); ++i) {
      single.bytes[i] = level.bytes[4 * i + offset];
    }
    pyramid.levels_.push_back(std::move(single));
  }
  return pyramid;
}

const MipPyramid::Level* MipPyramid::LevelFor(double devicePixelsPerAreaPixel) const {
  const Level* chosen = nullptr;
  for (const Level& level : levels_) {
    if (devicePixelsPerAreaPixel * level.reduction <= 1.0) {
      chosen = &level;
    } else {
      break;
    }
  }
  return chosen;
}

std::size_t MipPyramid::Bytes() const {
  std::size_t bytes = 0;
  for (const Level& level : levels_) {
    bytes += level.bytes.size();
  }
  return bytes;
}

}  // namespace irobunkai
