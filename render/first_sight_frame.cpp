#include "render/first_sight_frame.h"

#include <QImage>
#include <QPainter>

namespace irobunkai {

void PaintFirstSight(QPainter& painter, const FirstSight& sight, const ViewMapping& mapping) {
  const Image& preview = sight.preview;
  if (preview.IsEmpty()) {
    return;
  }
  // Read in place: the preview outlives the paint.
  const QImage image(reinterpret_cast<const uchar*>(preview.Data()), preview.Width(),
                     preview.Height(), static_cast<qsizetype>(preview.Stride() * sizeof(RgbaPixel)),
                     preview.HasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
  const QRectF target(mapping.ToPlaceX(0), mapping.ToPlaceY(0), sight.exactWidth * mapping.scale,
                      sight.exactHeight * mapping.scale);
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, image);
  painter.restore();
}

}  // namespace irobunkai
