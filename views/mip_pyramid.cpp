#include "views/mip_pyramid.h"

#include <algorithm>

namespace irobunkai {
namespace {

constexpr int kFirstReduction = 4;

// Averages `factor` x `factor` blocks of `source` rows into one row of `out`; blocks
// cut by the area's edge average the pixels they have.
void ReduceRow(std::span<const std::vector<std::uint8_t>> rows, int sourceWidth, int components,
               int factor, std::uint8_t* out, int outWidth) {
  for (int x = 0; x < outWidth; ++x) {
    const int left = x * factor;
    const int right = std::min(left + factor, sourceWidth);
    const auto pixels = static_cast<unsigned>((right - left) * static_cast<int>(rows.size()));
    for (int c = 0; c < components; ++c) {
      unsigned sum = 0;
      for (const auto& row : rows) {
        for (int i = left; i < right; ++i) {
          sum += row[static_cast<std::size_t>(i * components + c)];
        }
      }
      out[x * components + c] = static_cast<std::uint8_t>((sum + pixels / 2) / pixels);
    }
  }
}

MipPyramid::Level Reduce(int width, int height, int components, int factor,
                         const std::function<void(int, std::span<std::uint8_t>)>& readRow,
                         int reduction) {
  MipPyramid::Level level;
  level.width = (width + factor - 1) / factor;
  level.height = (height + factor - 1) / factor;
  level.reduction = reduction;
  level.components = components;
  const std::size_t rowBytes = static_cast<std::size_t>(level.width) * components;
  level.bytes.resize(rowBytes * static_cast<std::size_t>(level.height));
  const std::size_t sourceRowBytes = static_cast<std::size_t>(width) * components;
#pragma omp parallel
  {
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(factor),
                                                std::vector<std::uint8_t>(sourceRowBytes));
#pragma omp for schedule(static)
    for (int y = 0; y < level.height; ++y) {
      const int top = y * factor;
      const int count = std::min(factor, height - top);
      for (int i = 0; i < count; ++i) {
        readRow(top + i, rows[static_cast<std::size_t>(i)]);
      }
      ReduceRow(std::span(rows).first(static_cast<std::size_t>(count)), width, components, factor,
                level.bytes.data() + rowBytes * static_cast<std::size_t>(y), level.width);
    }
  }
  return level;
}

}  // namespace

MipPyramid MipPyramid::Build(int width, int height, int components, const RowReader& readRow) {
  MipPyramid pyramid;
  if (width <= 0 || height <= 0) {
    return pyramid;
  }
  pyramid.levels_.push_back(
      Reduce(width, height, components, kFirstReduction, readRow, kFirstReduction));
  while (pyramid.levels_.back().width > 1 || pyramid.levels_.back().height > 1) {
    const Level& finer = pyramid.levels_.back();
    const auto readFiner = [&finer](int y, std::span<std::uint8_t> out) {
      std::copy_n(finer.Row(y), out.size(), out.begin());
    };
    Level coarser =
        Reduce(finer.width, finer.height, components, 2, readFiner, finer.reduction * 2);
    pyramid.levels_.push_back(std::move(coarser));
  }
  return pyramid;
}

MipPyramid MipPyramid::OfView(const PictureView& view) {
  return Build(view.AreaWidth(), view.AreaHeight(), 4, [&view](int y, std::span<std::uint8_t> out) {
    std::vector<ColorValue> colors(out.size() / 4);
    view.ReadRow(y, colors);
    for (std::size_t x = 0; x < colors.size(); ++x) {
      const auto c = static_cast<std::uint32_t>(colors[x]);
      out[4 * x] = static_cast<std::uint8_t>(c);
      out[4 * x + 1] = static_cast<std::uint8_t>(c >> 8);
      out[4 * x + 2] = static_cast<std::uint8_t>(c >> 16);
      out[4 * x + 3] = 0;
    }
  });
}

MipPyramid MipPyramid::OfPlane(const ChannelPlane& plane) {
  return Build(plane.Width(), plane.Height(), 1, [&plane](int y, std::span<std::uint8_t> out) {
    std::copy_n(plane.Row(y), out.size(), out.begin());
  });
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
