#include "io/formats/raw_decoder.h"

#include <libraw/libraw.h>

#include <bit>

#include "io/formats/pixel_buffer.h"
#include "io/formats/raw_file.h"

namespace irobunkai {
namespace {

// LibRaw has written `colors` bytes a pixel at the start of the row; widening from the end
// overwrites no byte before it is read.
void WidenInPlace(std::span<RgbaPixel> row, int colors) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(row.data());
  for (std::size_t x = row.size(); x-- > 0;) {
    const std::uint8_t* p = bytes + x * static_cast<std::size_t>(colors);
    row[x] = colors == 3 ? MakeRgba(RGB(p[0], p[1], p[2])) : MakeRgba(RGB(p[0], p[0], p[0]));
  }
}

FormatResult Developed(LibRaw& raw) {
  int width = 0;
  int height = 0;
  int colors = 0;
  int bits = 0;
  raw.get_mem_image_format(&width, &height, &colors, &bits);
  if (width <= 0 || height <= 0 || bits != 8 || (colors != 1 && colors != 3)) {
    return FormatError::Invalid;
  }
  PixelBuffer pixels(width, height);
  const int strideBytes = width * static_cast<int>(sizeof(RgbaPixel));
  if (const int code = raw.copy_mem_image(pixels.Data(), strideBytes, 0); code != LIBRAW_SUCCESS) {
    return RawError(code);
  }
  for (int y = 0; y < height; ++y) {
    WidenInPlace(pixels.Row(y), colors);
  }
  return std::move(pixels).Finish(false);
}

// LibRaw's stages are bits in the order it goes through them; their place is how far it is.
int StageReached(void* data, LibRaw_progress stage, int /*iteration*/, int /*expected*/) {
  const auto* progress = static_cast<const Progress*>(data);
  const int place = std::bit_width(static_cast<unsigned>(stage));
  progress->Report(place, std::bit_width(static_cast<unsigned>(LIBRAW_PROGRESS_STRETCH)));
  return progress->Cancelled() ? 1 : 0;  // non-zero stops LibRaw
}

}  // namespace

std::optional<FormatResult> DecodeRaw(Bytes bytes, std::int64_t maxPixels,
                                      const Progress& progress) {
  const std::unique_ptr<LibRaw> raw = OpenRaw(bytes, maxPixels);
  if (!raw) {
    return std::nullopt;
  }
  if (auto error = RawSizeError(*raw, maxPixels)) {
    return *error;
  }
  raw->imgdata.params.use_camera_wb = 1;
  // LibRaw takes a pointer to non-const data; the callback only reads through it.
  raw->set_progress_handler(StageReached, const_cast<Progress*>(&progress));
  if (const int code = raw->unpack(); code != LIBRAW_SUCCESS) {
    return RawError(code);
  }
  if (const int code = raw->dcraw_process(); code != LIBRAW_SUCCESS) {
    return RawError(code);
  }
  return Developed(*raw);
}

}  // namespace irobunkai
