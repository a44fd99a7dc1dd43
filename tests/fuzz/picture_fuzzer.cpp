// Feeds arbitrary bytes through picture decoding into a view, then separates and
// reads out what loaded, as the window would.
#include <QGuiApplication>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "analysis/channel_separation.h"
#include "analysis/pixel_readout.h"
#include "window/display_image.h"
#include "window/picture_loader.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_LOGGING_RULES", "qt.gui.imageio=false");
  // Qt keeps argc and argv for the application's life, which outlasts the fuzzer's main.
  static int argc = 1;
  static char name[] = "picture_fuzzer";
  static char* argv[] = {name, nullptr};
  static const QGuiApplication application(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace irobunkai;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  LoadResult result = DecodePicture(bytes);
  const auto* image = std::get_if<Image>(&result);
  if (image == nullptr) {
    return 0;
  }
  PictureView source(188, 179, 0x0000FF);
  source.SetPicture(*image);
  PictureView red(188, 179, 0x0000FF);
  PictureView green(188, 179, 0x00FF00);
  PictureView blue(188, 179, 0xFF0000);
  ChannelPlanes planes;
  SeparateChannels(source, planes, {red, green, blue});
  const float lastX = source.ScaleWidth() - 1;
  const float lastY = source.ScaleHeight() - 1;
  const PixelReadout corner = ReadOut(ShownColor(source, lastX, lastY));
  if (corner.hex.empty() || ShownColor(blue, lastX, lastY) !=
                                ChannelColor(Channel::Blue, BlueOf(source.Point(lastX, lastY)))) {
    __builtin_trap();  // the channel views must agree with the source
  }
  const double scale = std::min(188.0 / source.AreaWidth(), 179.0 / source.AreaHeight());
  static_cast<void>(ScaledArea(source, scale, 1.0));
  return 0;
}
