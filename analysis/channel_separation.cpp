#include "analysis/channel_separation.h"

#include <cstddef>
#include <cstdint>
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

void FillPlanes(const PictureView& source, ChannelPlane& red, ChannelPlane& green,
                ChannelPlane& blue) {
  const int width = source.AreaWidth();
  const int height = source.AreaHeight();
  [[maybe_unused]] const bool parallel =
      static_cast<std::int64_t>(width) * height >= kParallelPixels;
#pragma omp parallel if (parallel)
  {
    std::vector<ColorValue> row(static_cast<std::size_t>(width));
#pragma omp for schedule(static)
    for (int y = 0; y < height; ++y) {
      source.ReadRow(y, row);
      SplitRow(row.data(), width, red.Row(y), green.Row(y), blue.Row(y));
    }
  }
}

}  // namespace

void SeparateChannels(const PictureView& source, ChannelPlanes& planes, const ChannelViews& views) {
  views.red.Cls();
  views.green.Cls();
  views.blue.Cls();
  const int width = source.AreaWidth();
  const int height = source.AreaHeight();
  for (const auto& plane : {planes.RedPlane, planes.GreenPlane, planes.BluePlane}) {
    plane->Resize(width, height);
  }
  FillPlanes(source, *planes.RedPlane, *planes.GreenPlane, *planes.BluePlane);
  views.red.DrawPlane(planes.RedPlane, Channel::Red);
  views.green.DrawPlane(planes.GreenPlane, Channel::Green);
  views.blue.DrawPlane(planes.BluePlane, Channel::Blue);
}

}  // namespace irobunkai
