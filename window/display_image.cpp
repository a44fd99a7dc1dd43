#include "window/display_image.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "window/qt_colour.h"

namespace irobunkai {
namespace {

QSize ScaledSize(int width, int height, double factor) {
  return {std::max(1, static_cast<int>(std::lround(width * factor))),
          std::max(1, static_cast<int>(std::lround(height * factor)))};
}

// Shares the picture's pixels; the result must not outlive `picture`.
QImage WrapPicture(const Image& picture) {
  return {reinterpret_cast<const uchar*>(picture.Data()), picture.Width(), picture.Height(),
          static_cast<qsizetype>(picture.Stride() * sizeof(RgbaPixel)),
          picture.HasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888};
}

}  // namespace

QImage RenderArea(const PictureView& view) {
  QImage image(view.AreaWidth(), view.AreaHeight(), QImage::Format_RGB32);
  std::vector<ColorValue> row(static_cast<std::size_t>(view.AreaWidth()));
  for (int y = 0; y < view.AreaHeight(); ++y) {
    view.ReadRow(y, row);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::ranges::transform(row, out, ToRgb32);
  }
  return image;
}

QImage ScaledArea(const PictureView& view, double scale, double devicePixelRatio) {
  const double factor = scale * devicePixelRatio;
  if (view.HasDrawing()) {
    // Rare: only the source view is ever shown scaled, and nothing draws on it.
    QImage scaled = RenderArea(view).scaled(ScaledSize(view.AreaWidth(), view.AreaHeight(), factor),
                                            Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(devicePixelRatio);
    return scaled;
  }
  QImage canvas(ScaledSize(view.AreaWidth(), view.AreaHeight(), factor), QImage::Format_RGB32);
  canvas.fill(ToQColor(view.BackColor()));
  const Image& picture = view.Picture();
  if (!picture.IsEmpty()) {
    // Scaling the picture itself avoids a full-size copy of the area.
    const QImage scaled =
        WrapPicture(picture).scaled(ScaledSize(picture.Width(), picture.Height(), factor),
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, scaled);
  }
  canvas.setDevicePixelRatio(devicePixelRatio);
  return canvas;
}

QImage ChannelOf(const QImage& image, Channel channel) {
  // QRgb is 0xAARRGGBB: red in the third byte, the reverse of a ColorValue.
  const QRgb mask = 0xFF000000u | (0xFFu << (8 * (2 - ComponentIndex(channel))));
  QImage result = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < result.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
    std::for_each(line, line + result.width(), [mask](QRgb& p) { p &= mask; });
  }
  return result;
}

void ShowInLook(QImage& image, Channel channel, ChannelLook look) {
  if (look == ChannelLook::Tinted || image.isNull()) {
    return;
  }
  const int shift = 8 * (2 - ComponentIndex(channel));  // as in ChannelOf
  image.convertTo(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::for_each(line, line + image.width(), [shift](QRgb& p) {
      const QRgb v = (p >> shift) & 0xFFu;
      p = 0xFF000000u | (v << 16) | (v << 8) | v;
    });
  }
}

}  // namespace irobunkai
