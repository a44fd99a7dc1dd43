#include "io/formats/preview_jpeg.h"

#include <turbojpeg.h>

#include <climits>

#include "io/formats/c_handle.h"
#include "io/formats/pixel_buffer.h"

namespace irobunkai {

std::optional<Image> DecodePreviewJpeg(Bytes jpeg, std::int64_t maxPixels) {
  using Decompressor = CHandle<void, tjDestroy>;
  const Decompressor handle(tjInitDecompress());
  if (!handle || jpeg.size() > ULONG_MAX) {
    return std::nullopt;
  }
  const auto size = static_cast<unsigned long>(jpeg.size());
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colourspace = 0;
  if (tjDecompressHeader3(handle.get(), jpeg.data(), size, &width, &height, &subsampling,
                          &colourspace) != 0 ||
      width <= 0 || height <= 0 || std::int64_t{width} * height > maxPixels ||
      (colourspace != TJCS_YCbCr && colourspace != TJCS_GRAY && colourspace != TJCS_RGB)) {
    return std::nullopt;
  }
  PixelBuffer pixels(width, height);
  // Any warning, a cut-off file's too, refuses the preview: better none than a half-grey one.
  if (tjDecompress2(handle.get(), jpeg.data(), size,
                    reinterpret_cast<unsigned char*>(pixels.Data()), width,
                    width * static_cast<int>(sizeof(RgbaPixel)), height, TJPF_RGBA,
                    TJFLAG_STOPONWARNING) != 0) {
    return std::nullopt;
  }
  return std::move(pixels).Finish(false);
}

}  // namespace irobunkai
