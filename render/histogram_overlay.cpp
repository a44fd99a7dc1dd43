#include "render/histogram_overlay.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "colour/component_grey.h"
#include "colour/model_text.h"

namespace irobunkai {
namespace {

constexpr double kMargin = 3;

// Lighter than the pure channel colours, so that blue stays visible on the dark band;
// other models' components, whose looks run through dark colours, in light grey.
QColor BarColor(Channel channel, ColourModel model) {
  if (model != ColourModel::RGB) {
    return {210, 210, 210};
  }
  switch (channel) {
    case Channel::Red:
      return {255, 70, 70};
    case Channel::Green:
      return {70, 255, 70};
    case Channel::Blue:
      return {90, 150, 255};
    case Channel::Black:
      break;
  }
  return Qt::white;
}

double Scaled(std::uint64_t count, std::uint64_t largest, HistogramScale scale) {
  if (largest == 0) {
    return 0;
  }
  if (scale == HistogramScale::Logarithmic) {
    return std::log1p(static_cast<double>(count)) / std::log1p(static_cast<double>(largest));
  }
  return static_cast<double>(count) / static_cast<double>(largest);
}

}  // namespace

QFont HistogramFont() {
  QFont font;
  font.setPixelSize(9);
  return font;
}

QStringList HistogramCaption(const ChannelHistogram& histogram, ColourModel model, int component) {
  const auto stats = histogram.Statistics();
  if (!stats) {
    return {};
  }
  // Levels are the units of RGB, CMY and Y′CbCr; the other models' are worked out
  // from the grey levels the histogram counts.
  const bool levels =
      model == ColourModel::RGB || model == ColourModel::CMY || model == ColourModel::YCbCr;
  const auto value = [&](double level) {
    return QString::fromStdString(
        ComponentValueText(model, component, ValueOfGrey(model, component, level)));
  };
  const QString mean = levels ? QString::number(stats->mean, 'f', 1) : value(stats->mean);
  // How many pixels were counted: the picture's own, which a learner can check
  // against its size. Grouped in threes whatever the user's locale.
  QLocale grouped = QLocale::c();
  grouped.setNumberOptions(QLocale::DefaultNumberOptions);
  return {QStringLiteral("平均 %1  中央 %2").arg(mean, value(stats->median)),
          QStringLiteral("最小 %1  最大 %2  %3 画素")
              .arg(value(stats->minimum), value(stats->maximum),
                   grouped.toString(static_cast<qulonglong>(stats->total)))};
}

void PaintHistogram(QPainter& painter, const QRectF& place, const ChannelHistogram& histogram,
                    Channel channel, HistogramScale scale, ColourModel model) {
  const double bandHeight = std::round(place.height() / 3);
  const QRectF band(place.left(), place.bottom() - bandHeight, place.width(), bandHeight);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setClipRect(band);
  painter.fillRect(band, QColor(0, 0, 0, 170));

  const QFont font = HistogramFont();
  const QFontMetricsF metrics(font);
  const QStringList caption = HistogramCaption(histogram, model, ComponentIndex(channel));
  painter.setFont(font);
  painter.setPen(Qt::white);
  double textBottom = band.top() + 1;
  for (const QString& line : caption) {
    painter.drawText(QPointF(band.left() + kMargin, textBottom + metrics.ascent()), line);
    textBottom += metrics.height();
  }

  const double barsTop = textBottom + 1;
  const double barsHeight = band.bottom() - barsTop;
  const std::uint64_t largest = *std::ranges::max_element(histogram.counts);
  const int columns = static_cast<int>(band.width());
  if (barsHeight > 0 && columns > 0) {
    const QColor color = BarColor(channel, model);
    for (int column = 0; column < columns; ++column) {
      const int first = column * ChannelHistogram::kLevels / columns;
      const int last = std::max(first, ((column + 1) * ChannelHistogram::kLevels - 1) / columns);
      const auto begin = histogram.counts.begin();
      const std::uint64_t count = *std::max_element(begin + first, begin + last + 1);
      const double height = std::round(Scaled(count, largest, scale) * barsHeight);
      if (height > 0) {
        painter.fillRect(QRectF(band.left() + column, band.bottom() - height, 1, height), color);
      }
    }
  }
  painter.restore();
}

}  // namespace irobunkai
