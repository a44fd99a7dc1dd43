#include "render/view_overlays.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

namespace irobunkai {
namespace {

constexpr int kValuePixelSize = 10;

QFont ValueFont() {
  QFont font;
  font.setPixelSize(kValuePixelSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

// Restores the painter's pen, brush, font and hints when it goes.
class SavedState {
 public:
  explicit SavedState(QPainter& painter) : painter_(painter) { painter_.save(); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;
  ~SavedState() { painter_.restore(); }

 private:
  QPainter& painter_;
};

bool IsLight(ColorValue c) {
  // Rec. 601 luma: green reads brightest, blue darkest.
  return 299 * RedOf(c) + 587 * GreenOf(c) + 114 * BlueOf(c) >= 128'000;
}

QRectF CellRect(const ViewMapping& mapping, Cell cell) {
  return QRectF(QPointF(mapping.ToPlaceX(cell.column), mapping.ToPlaceY(cell.row)),
                QPointF(mapping.ToPlaceX(cell.column + 1), mapping.ToPlaceY(cell.row + 1)));
}

}  // namespace

void PaintPixelGrid(QPainter& painter, const ViewMapping& mapping, const CellRange& cells) {
  const SavedState saved(painter);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const double top = mapping.ToPlaceY(cells.top);
  const double bottom = mapping.ToPlaceY(cells.bottom);
  const double left = mapping.ToPlaceX(cells.left);
  const double right = mapping.ToPlaceX(cells.right);
  // A dark line with a light one beside it shows on black, white and everything between.
  const std::pair<QColor, double> passes[] = {{QColor(0, 0, 0, 110), 0.0},
                                              {QColor(255, 255, 255, 90), 1.0}};
  for (const auto& [colour, offset] : passes) {
    painter.setPen(QPen(colour, 0));
    for (int x = cells.left; x <= cells.right; ++x) {
      const double at = mapping.ToPlaceX(x) + offset;
      painter.drawLine(QLineF(at, top, at, bottom));
    }
    for (int y = cells.top; y <= cells.bottom; ++y) {
      const double at = mapping.ToPlaceY(y) + offset;
      painter.drawLine(QLineF(left, at, right, at));
    }
  }
}

double ValueScale(const QString& widest, int lines) {
  const QFontMetricsF metrics(ValueFont());
  const double width = metrics.horizontalAdvance(widest) + 6.0;
  const double height = metrics.height() * lines + 6.0;
  return std::max(32.0, std::max(width, height));
}

void PaintCellValues(QPainter& painter, const ViewMapping& mapping, const CellRange& cells,
                     const CellTextSource& text) {
  const SavedState saved(painter);
  painter.setFont(ValueFont());
  for (int y = cells.top; y < cells.bottom; ++y) {
    for (int x = cells.left; x < cells.right; ++x) {
      const CellText cell = text({x, y});
      painter.setPen(IsLight(cell.under) ? Qt::black : Qt::white);
      painter.drawText(CellRect(mapping, {x, y}), Qt::AlignCenter, cell.lines.join(u'\n'));
    }
  }
}

void PaintMark(QPainter& painter, const ViewMapping& mapping, Cell cell) {
  const SavedState saved(painter);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  const QRectF rect = CellRect(mapping, cell);
  if (mapping.scale >= kOutlineScale) {
    // Black just outside the pixel, white just inside: one of them always contrasts.
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(rect.adjusted(-1, -1, 0, 0));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    return;
  }
  const QPointF c = rect.center();
  constexpr double kGap = 3.0;
  constexpr double kArm = 7.0;
  for (const auto& [colour, width] :
       {std::pair{QColor(Qt::black), 3.0}, std::pair{QColor(Qt::white), 1.0}}) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QLineF(c.x() - kGap - kArm, c.y(), c.x() - kGap, c.y()));
    painter.drawLine(QLineF(c.x() + kGap, c.y(), c.x() + kGap + kArm, c.y()));
    painter.drawLine(QLineF(c.x(), c.y() - kGap - kArm, c.x(), c.y() - kGap));
    painter.drawLine(QLineF(c.x(), c.y() + kGap, c.x(), c.y() + kGap + kArm));
  }
}

void PaintCornerCaption(QPainter& painter, const QString& text) {
  const SavedState saved(painter);
  const QFont font = ValueFont();
  const QFontMetricsF metrics(font);
  constexpr double kInset = 2.0;
  const QRectF box(0, 0, metrics.horizontalAdvance(text) + 2 * kInset, metrics.height() + kInset);
  painter.fillRect(box, QColor(0, 0, 0, 160));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace irobunkai
