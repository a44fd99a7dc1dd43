#include "render/rebuilt_frame.h"

#include "colour/model_rebuild.h"
#include "render/qt_colour.h"

namespace irobunkai {

void ShowRebuilt(QImage& image, ColourModel model, KeptComponents kept) {
  if (image.isNull()) {
    return;
  }
  image.convertTo(QImage::Format_RGB32);
  // Neighbouring pixels are often alike, and a rebuild costs far more than a compare.
  QRgb lastIn = 0xFF000000u;
  QRgb lastOut = ToRgb32(Rebuild(model, 0, kept));
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb in = line[x] | 0xFF000000u;
      if (in != lastIn) {
        lastIn = in;
        lastOut = ToRgb32(Rebuild(model, RGB(qRed(in), qGreen(in), qBlue(in)), kept));
      }
      line[x] = lastOut;
    }
  }
}

Frame RenderSourceFrame(const PictureView& view, const ViewMapping& mapping, QSize place,
                        double devicePixelRatio, const FrameSources& sources, ColourModel model,
                        KeptComponents kept) {
  Frame frame = RenderFrame(view, mapping, place, devicePixelRatio, sources);
  if (kept != KeptComponents{true, true, true}) {
    ShowRebuilt(frame.image, model, kept);
    if (frame.fill) {
      frame.fill->color = Rebuild(model, frame.fill->color, kept);
    }
  }
  return frame;
}

}  // namespace irobunkai
