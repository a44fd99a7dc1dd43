#include "window/frame_renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "window/qt_colour.h"

namespace irobunkai {
namespace {

QImage ReadCells(const PictureView& view, const CellRange& cells) {
  QImage image(cells.Width(), cells.Height(), QImage::Format_RGB32);
  std::vector<ColorValue> row(static_cast<std::size_t>(cells.Width()));
  for (int y = 0; y < cells.Height(); ++y) {
    view.ReadRow(cells.top + y, cells.left, row);
    std::ranges::transform(row, reinterpret_cast<QRgb*>(image.scanLine(y)), ToRgb32);
  }
  return image;
}

QImage ReadLevel(const MipPyramid::Level& level, const CellRange& cells, std::optional<Channel> channel) {
  QImage image(cells.Width(), cells.Height(), QImage::Format_RGB32);
  for (int y = 0; y < cells.Height(); ++y) {
    const std::uint8_t* in = level.Row(cells.top + y) + cells.left * level.components;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < cells.Width(); ++x) {
      if (level.components == 1) {
        out[x] = ToRgb32(ChannelColor(channel.value_or(Channel::Red), in[x]));
      } else {
        const std::uint8_t* p = in + 4 * x;
        out[x] = qRgb(p[0], p[1], p[2]);
      }
    }
  }
  return image;
}

QRectF Target(const ViewMapping& mapping, double left, double top, double right, double bottom) {
  return QRectF(QPointF(mapping.ToPlaceX(left), mapping.ToPlaceY(top)),
                QPointF(mapping.ToPlaceX(right), mapping.ToPlaceY(bottom)));
}

QImage Smoothed(const QImage& image, const QRectF& target, double devicePixelRatio) {
  const QSize size(std::max(1, static_cast<int>(std::lround(target.width() * devicePixelRatio))),
                   std::max(1, static_cast<int>(std::lround(target.height() * devicePixelRatio))));
  QImage scaled = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(devicePixelRatio);
  return scaled;
}

}  // namespace

Frame RenderFrame(const PictureView& view, const ViewMapping& mapping, QSize place,
                  double devicePixelRatio, const PyramidSource& pyramid,
                  std::optional<Channel> channel) {
  const int areaWidth = view.AreaWidth();
  const int areaHeight = view.AreaHeight();
  const CellRange cells = mapping.VisibleCells(place.width(), place.height(), areaWidth, areaHeight);
  if (cells.IsEmpty()) {
    return {};
  }
  const QRectF cellTarget = Target(mapping, cells.left, cells.top, cells.right, cells.bottom);
  if (mapping.scale >= 1.0) {
    return {ReadCells(view, cells), cellTarget};
  }
  const MipPyramid::Level* level = pyramid().LevelFor(mapping.scale * devicePixelRatio);
  if (level == nullptr) {
    // Zoomed out by less than 4, few enough pixels are visible to smooth them directly.
    return {Smoothed(ReadCells(view, cells), cellTarget, devicePixelRatio), cellTarget};
  }
  const int r = level->reduction;
  const CellRange levelCells{cells.left / r, cells.top / r, (cells.right + r - 1) / r,
                             (cells.bottom + r - 1) / r};
  const QRectF target = Target(mapping, levelCells.left * r, levelCells.top * r,
                               std::min(levelCells.right * r, areaWidth),
                               std::min(levelCells.bottom * r, areaHeight));
  return {Smoothed(ReadLevel(*level, levelCells, channel), target, devicePixelRatio), target};
}

}  // namespace irobunkai
