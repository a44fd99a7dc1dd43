#include "render/channel_look_image.h"

#include <algorithm>

namespace irobunkai {

void ShowInLook(QImage& image, Channel channel, ChannelLook look) {
  if (look == ChannelLook::Tinted || image.isNull()) {
    return;
  }
  // QRgb is 0xAARRGGBB: red in the third byte, the reverse of a ColorValue.
  const int shift = 8 * (2 - ComponentIndex(channel));
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
