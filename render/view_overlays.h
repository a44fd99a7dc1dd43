#pragma once

#include <QStringList>
#include <functional>

#include "colour/color_value.h"
#include "views/view_mapping.h"

class QPainter;

namespace irobunkai {

/// Place pixels per area pixel from which the grid is drawn.
inline constexpr double kGridScale = 8.0;
/// Below this the read pixel is marked with a cross-hair, not an outline.
inline constexpr double kOutlineScale = 4.0;

/// What to write inside one pixel: its lines of text, over the colour shown there.
struct CellText {
  QStringList lines;
  ColorValue under = 0;
};
using CellTextSource = std::function<CellText(Cell)>;

// Everything here is drawn over a view's picture in place coordinates (the painter's
// origin at the place's top-left); nothing is written into the picture.

/// Thin lines between the visible pixels, dark and light so they show on any colour.
void PaintPixelGrid(QPainter& painter, const ViewMapping& mapping, const CellRange& cells);

/// Smallest place pixels per area pixel at which `widest` fits inside a pixel as
/// `lines` lines of legible text.
double ValueScale(const QString& widest, int lines);

/// Writes each visible pixel's text inside it, black or white against its colour.
void PaintCellValues(QPainter& painter, const ViewMapping& mapping, const CellRange& cells,
                     const CellTextSource& text);

/// Marks one pixel: an outline around it, or a cross-hair when it is too small.
void PaintMark(QPainter& painter, const ViewMapping& mapping, Cell cell);

/// Writes `text` small in the top-left corner of the place, white on a dark box, so
/// it reads over any picture.
void PaintCornerCaption(QPainter& painter, const QString& text);

}  // namespace irobunkai
