#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>
#include <cstdint>

#include "colour/press_separation.h"
#include "views/picture_view.h"
#include "views/view_mapping.h"

namespace irobunkai {

/// The colour that marks too much ink: a green no press ink makes, so it is never taken
/// for the picture.
inline constexpr QRgb kInkWarningColour = qRgb(0, 255, 0);

/// A transparent picture of the place, `place` logical pixels, lit in the warning colour
/// wherever the view pixel under a place pixel carries more than `limitPercent` of ink on
/// `press`. Only what the place shows is worked out, so it costs the same at any zoom.
QImage InkWarningMask(const PictureView& view, const ViewMapping& mapping, QSize place,
                      const PressSeparation& press, int limitPercent);

/// "> 300%: 12,345 画素": how many pixels are over the limit, digits grouped in threes.
QString InkWarningCaption(int limitPercent, std::int64_t over);

/// Writes `caption` small in the bottom-left corner of `place`, over any picture.
void PaintInkWarningCaption(QPainter& painter, QSize place, const QString& caption);

}  // namespace irobunkai
