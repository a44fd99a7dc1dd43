#include "render/ink_warning.h"

#include <QFontMetricsF>
#include <QLocale>
#include <cmath>

#include "analysis/total_ink.h"
#include "render/histogram_overlay.h"

namespace irobunkai {
namespace {

// The area cell under each place column, or -1 beyond the content.
std::vector<int> ColumnsUnder(const PictureView& view, const ViewMapping& mapping, int width) {
  std::vector<int> columns(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) {
    const auto column = static_cast<int>(std::floor(mapping.ToAreaX(x + 0.5)));
    columns[static_cast<std::size_t>(x)] =
        column >= 0 && column < view.ContentWidth() ? column : -1;
  }
  return columns;
}

}  // namespace

QImage InkWarningMask(const PictureView& view, const ViewMapping& mapping, QSize place,
                      const PressSeparation& press, int limitPercent) {
  QImage mask(place, QImage::Format_ARGB32_Premultiplied);
  if (mask.isNull()) {
    return mask;
  }
  mask.fill(Qt::transparent);
  const std::vector<int> columns = ColumnsUnder(view, mapping, place.width());
  for (int y = 0; y < place.height(); ++y) {
    const auto row = static_cast<int>(std::floor(mapping.ToAreaY(y + 0.5)));
    if (row < 0 || row >= view.ContentHeight()) {
      continue;
    }
    auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
    for (int x = 0; x < place.width(); ++x) {
      const int column = columns[static_cast<std::size_t>(x)];
      if (column < 0) {
        continue;
      }
      const Cell cell{column, row};
      const ColorValue colour = view.Point(static_cast<float>(column), static_cast<float>(row));
      if (OverInkLimit(InksAt(view, cell, colour, press), limitPercent)) {
        out[x] = kInkWarningColour;
      }
    }
  }
  return mask;
}

QString InkWarningCaption(int limitPercent, std::int64_t over) {
  QLocale grouped = QLocale::c();
  grouped.setNumberOptions(QLocale::DefaultNumberOptions);
  return QStringLiteral("> %1%: %2 画素")
      .arg(limitPercent)
      .arg(grouped.toString(static_cast<qlonglong>(over)));
}

void PaintInkWarningCaption(QPainter& painter, QSize place, const QString& caption) {
  const QFont font = HistogramFont();
  const QFontMetricsF metrics(font);
  const QRectF box(0, place.height() - metrics.height() - 2, metrics.horizontalAdvance(caption) + 6,
                   metrics.height() + 2);
  painter.save();
  painter.fillRect(box, QColor(0, 0, 0, 170));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QPointF(box.left() + 3, box.top() + 1 + metrics.ascent()), caption);
  painter.restore();
}

}  // namespace irobunkai
