#include "views/mip_pyramid.h"

#include <omp.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <span>
#include <vector>

#include "views/box_average.h"

namespace irobunkai {
namespace {

constexpr int kFirstReduction = 4;

template <typename Pixel>
using Reader = std::function<void(int y, std::span<Pixel> out)>;

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
  // Every thread's rows are allocated here: running short of memory inside the
  // parallel region could not be reported.
  const int threads = omp_get_max_threads();
  const auto rowsPerThread = static_cast<std::size_t>(factor);
  std::vector<Pixel> buffers(static_cast<std::size_t>(threads) * rowsPerThread *
                             static_cast<std::size_t>(width));
#pragma omp parallel num_threads(threads)
  {
    Pixel* const rows = buffers.data() + static_cast<std::size_t>(omp_get_thread_num()) *
                                             rowsPerThread * static_cast<std::size_t>(width);
    const auto row = [&](int i) {
      return std::span<Pixel>(rows + static_cast<std::size_t>(i) * static_cast<std::size_t>(width),
                              static_cast<std::size_t>(width));
    };
#pragma omp for schedule(static)
    for (int y = 0; y < level.height; ++y) {
      const int count = std::min(factor, height - y * factor);
      for (int i = 0; i < count; ++i) {
        readRow(y * factor + i, row(i));
      }
      std::uint8_t* out =
          level.bytes.data() + static_cast<std::size_t>(y) * level.width * sizeof(Pixel);
      for (int x = 0; x < level.width; ++x) {
        const int left = x * factor;
        const int right = std::min(left + factor, width);
        Sum sum;
        for (int i = 0; i < count; ++i) {
          const Pixel* cells = row(i).data();
          for (int j = left; j < right; ++j) {
            sum.Add(cells[j]);
          }
        }
        const Pixel mean = sum.Mean(static_cast<std::uint32_t>((right - left) * count), shift);
        std::memcpy(out + static_cast<std::size_t>(x) * sizeof(Pixel), &mean, sizeof(Pixel));
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
    const Reader<Pixel> readFiner = [&finer](int y, std::span<Pixel> out) {
      std::memcpy(out.data(), finer.Row(y), out.size() * sizeof(Pixel));
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
  // A ColorValue is 0x00BBGGRR: in memory the bytes R, G, B, 0 of a level pixel.
  pyramid.levels_ = BuildLevels<std::uint32_t, ColourSum>(
      view.ContentWidth(), view.ContentHeight(), [&view](int y, std::span<std::uint32_t> out) {
        view.ReadRow(y, 0, std::span(reinterpret_cast<ColorValue*>(out.data()), out.size()));
      });
  return pyramid;
}

MipPyramid MipPyramid::OfPlane(const ChannelPlane& plane) {
  MipPyramid pyramid;
  pyramid.levels_ = BuildLevels<std::uint8_t, ByteSum>(
      plane.StoredWidth(), plane.StoredHeight(), [&plane](int y, std::span<std::uint8_t> out) {
        std::memcpy(out.data(), plane.Row(y), out.size());
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
