#include "render/frame_renderer.h"

#include <QPainter>
#include <algorithm>
#include <vector>

#include "render/qt_colour.h"
#include "views/box_average.h"

namespace irobunkai {
namespace {

QImage ReadCells(const PictureView& view, const CellRange& cells, ChannelLook look) {
  QImage image(cells.Width(), cells.Height(), QImage::Format_RGB32);
  if (image.isNull()) {
    return image;
  }
  std::vector<ColorValue> row(static_cast<std::size_t>(cells.Width()));
  for (int y = 0; y < cells.Height(); ++y) {
    view.ReadRow(cells.top + y, cells.left, row, look);
    std::ranges::transform(row, reinterpret_cast<QRgb*>(image.scanLine(y)), ToRgb32);
  }
  return image;
}

// `hue`, when given, is the hue plane's level of the same size.
QImage ReadLevel(const MipPyramid::Level& level, const CellRange& cells, const PlaneLook& shade,
                 const MipPyramid::Level* hue, ChannelLook look) {
  QImage image(cells.Width(), cells.Height(), QImage::Format_RGB32);
  if (image.isNull()) {
    return image;
  }
  for (int y = 0; y < cells.Height(); ++y) {
    const std::uint8_t* in = level.Row(cells.top + y) + cells.left * level.components;
    const std::uint8_t* hues = hue != nullptr ? hue->Row(cells.top + y) + cells.left : nullptr;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < cells.Width(); ++x) {
      if (level.components == 1) {
        out[x] = ToRgb32(shade.At(in[x], hues != nullptr ? hues[x] : 0, look));
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

// The cells averaged in 2 x 2 blocks, read two rows at a time so that the full-size
// region is never held; a last odd row or column averages what it has.
QImage ReadCellsHalved(const PictureView& view, const CellRange& cells, ChannelLook look) {
  const int width = (cells.Width() + 1) / 2;
  const int height = (cells.Height() + 1) / 2;
  QImage half(width, height, QImage::Format_RGB32);
  if (half.isNull()) {
    return half;
  }
  std::vector<ColorValue> upper(static_cast<std::size_t>(cells.Width()));
  std::vector<ColorValue> lower(upper.size());
  const auto last = static_cast<int>(upper.size()) - 1;
  for (int y = 0; y < height; ++y) {
    view.ReadRow(cells.top + 2 * y, cells.left, upper, look);
    view.ReadRow(std::min(cells.top + 2 * y + 1, cells.bottom - 1), cells.left, lower, look);
    auto* out = reinterpret_cast<QRgb*>(half.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const auto left = static_cast<std::size_t>(2 * x);
      const auto right = static_cast<std::size_t>(std::min(2 * x + 1, last));
      ColourSum sum;
      for (const ColorValue* row : {upper.data(), lower.data()}) {
        sum.Add(static_cast<std::uint32_t>(row[left]));
        sum.Add(static_cast<std::uint32_t>(row[right]));
      }
      const auto mean = static_cast<ColorValue>(sum.Mean(4, 2));
      out[x] = ToRgb32(mean);
    }
  }
  return half;
}

// The hue level that matches `level` of `levels`, when the look needs one.
const MipPyramid::Level* HueLevel(const MipPyramid& levels, const MipPyramid::Level& level,
                                  const PictureView& view, const MipPyramid* hueLevels) {
  if (hueLevels == nullptr || !view.Look().NeedsHue()) {
    return nullptr;
  }
  const auto index = static_cast<std::size_t>(&level - levels.Levels().data());
  return index < hueLevels->Levels().size() ? &hueLevels->Levels()[index] : nullptr;
}

}  // namespace

Frame RenderFrame(const PictureView& view, const ViewMapping& mapping, QSize place,
                  double devicePixelRatio, const FrameSources& sources) {
  const MipPyramid* pyramid = sources.levels;
  const ChannelLook look = sources.look;
  const int areaWidth = view.AreaWidth();
  const int areaHeight = view.AreaHeight();
  const CellRange cells =
      mapping.VisibleCells(place.width(), place.height(), areaWidth, areaHeight);
  if (cells.IsEmpty()) {
    return {};
  }
  const QRectF cellTarget = Target(mapping, cells.left, cells.top, cells.right, cells.bottom);
  if (mapping.scale >= 1.0) {
    return {ReadCells(view, cells, look), cellTarget, false, std::nullopt};
  }
  const double deviceScale = mapping.scale * devicePixelRatio;
  const MipPyramid::Level* level = pyramid != nullptr ? pyramid->LevelFor(deviceScale) : nullptr;
  if (level == nullptr) {
    // Zoomed out by less than 4, few enough pixels are visible to average them here;
    // bilinear drawing then averages the rest, at most 2 x 2 per device pixel.
    return {deviceScale < 0.5 ? ReadCellsHalved(view, cells, look) : ReadCells(view, cells, look),
            cellTarget, true, std::nullopt};
  }
  // The levels hold the content; the rest of the area is one colour.
  const Frame::Fill fill{Target(mapping, 0, 0, areaWidth, areaHeight), view.AreaFill(look)};
  const CellRange content = mapping.VisibleCells(place.width(), place.height(), view.ContentWidth(),
                                                 view.ContentHeight());
  if (content.IsEmpty()) {
    return {{}, {}, true, fill};
  }
  const int r = level->reduction;
  const CellRange levelCells{content.left / r, content.top / r, (content.right + r - 1) / r,
                             (content.bottom + r - 1) / r};
  const QRectF target = Target(mapping, levelCells.left * r, levelCells.top * r,
                               std::min(levelCells.right * r, view.ContentWidth()),
                               std::min(levelCells.bottom * r, view.ContentHeight()));
  return {ReadLevel(*level, levelCells, view.Look(),
                    HueLevel(*pyramid, *level, view, sources.hueLevels), look),
          target, true, fill};
}

void PaintFrame(QPainter& painter, const Frame& frame) {
  if (frame.fill) {
    painter.fillRect(frame.fill->area, ToQColor(frame.fill->color));
  }
  if (frame.image.isNull()) {
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform, frame.smooth);
  painter.drawImage(frame.target, frame.image);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

}  // namespace irobunkai
