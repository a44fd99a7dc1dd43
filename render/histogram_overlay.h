#pragma once

#include <QFont>
#include <QRectF>
#include <QStringList>

#include "analysis/channel_histogram.h"
#include "colour/colour_model.h"

class QPainter;

namespace irobunkai {

/// The small font of the overlay's figures.
QFont HistogramFont();

/// The figures as the overlay writes them: mean and median on the first line,
/// minimum, maximum and how many pixels were counted on the second, in the units of
/// `model`'s `component`; nothing for an empty histogram.
QStringList HistogramCaption(const ChannelHistogram& histogram,
                             ColourModel model = ColourModel::RGB, int component = 0);

/// Paints `histogram` over the bottom third of `place`: a translucent dark band, the
/// caption at its top and, below it, one bar per value in the channel's bright colour,
/// as tall as `scale` makes the count against the largest. Each pixel column shows the
/// tallest of the values that fall in it, so no value goes unseen in a narrow place.
/// Only the band is painted over.
void PaintHistogram(QPainter& painter, const QRectF& place, const ChannelHistogram& histogram,
                    Channel channel, HistogramScale scale, ColourModel model = ColourModel::RGB);

}  // namespace irobunkai
