// Feeds arbitrary bytes through picture decoding into a view, then separates and
// reads out what loaded, as the window would.
#include <QGuiApplication>
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "analysis/channel_separation.h"
#include "analysis/pixel_readout.h"
#include "io/formats/decode_by_content.h"
#include "io/formats/raw_mosaic.h"
#include "window/display_image.h"
#include "window/picture_loader.h"

namespace {

// A few bytes can declare a picture of up to 100 megapixels, which would take seconds to
// decode: the formats decoded by content are refused above this before they are decoded.
constexpr std::int64_t kPixelBudget = 1'000'000;

// Whether the bytes are one of the formats decoded by content, declaring more than the budget.
bool OverBudget(std::span<const std::uint8_t> input) {
  const auto decoded = irobunkai::DecodeByContent(input, kPixelBudget);
  const auto* error = decoded ? std::get_if<irobunkai::FormatError>(&*decoded) : nullptr;
  return error != nullptr && *error == irobunkai::FormatError::TooLarge;
}

}  // namespace

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
  const std::span<const std::uint8_t> input(data, size);
  if (OverBudget(input)) {
    return 0;
  }
  static_cast<void>(RawMosaic(input, kPixelBudget));
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
