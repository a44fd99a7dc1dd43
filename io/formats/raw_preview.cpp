#include "io/formats/raw_preview.h"

#include <libraw/libraw.h>

#include "io/formats/pixel_buffer.h"
#include "io/formats/preview_jpeg.h"
#include "io/formats/raw_file.h"

namespace irobunkai {
namespace {

// Row-major samples, one (grey) or three (RGB) bytes a pixel.
std::optional<Image> Bitmap(Bytes samples, int width, int height, int colours,
                            std::int64_t maxPixels) {
  const std::int64_t area = std::int64_t{width} * height;
  if (width <= 0 || height <= 0 || area > maxPixels || (colours != 1 && colours != 3) ||
      static_cast<std::int64_t>(samples.size()) < area * colours) {
    return std::nullopt;
  }
  PixelBuffer pixels(width, height);
  const std::uint8_t* p = samples.data();
  for (int y = 0; y < height; ++y) {
    for (RgbaPixel& pixel : pixels.Row(y)) {
      pixel = colours == 3 ? MakeRgba(RGB(p[0], p[1], p[2])) : MakeRgba(RGB(p[0], p[0], p[0]));
      p += colours;
    }
  }
  return std::move(pixels).Finish(false);
}

// The preview's pixels as the file stores them, not yet turned.
std::optional<Image> Stored(const libraw_thumbnail_t& thumbnail, std::int64_t maxPixels) {
  if (thumbnail.thumb == nullptr) {
    return std::nullopt;
  }
  const Bytes data(reinterpret_cast<const std::uint8_t*>(thumbnail.thumb), thumbnail.tlength);
  switch (thumbnail.tformat) {
    case LIBRAW_THUMBNAIL_JPEG:
      return DecodePreviewJpeg(data, maxPixels);
    case LIBRAW_THUMBNAIL_BITMAP:
      return Bitmap(data, thumbnail.twidth, thumbnail.theight, thumbnail.tcolors, maxPixels);
    default:
      return std::nullopt;
  }
}

// Turned as LibRaw turns its developed picture: an output place swaps its sides first when
// `flip` says so, then mirrors rows and columns in the stored picture's terms.
Image Turned(const Image& stored, int flip) {
  if ((flip & 7) == 0) {
    return stored;
  }
  const bool swapped = (flip & 4) != 0;
  PixelBuffer turned(swapped ? stored.Height() : stored.Width(),
                     swapped ? stored.Width() : stored.Height());
  for (int y = 0; y < turned.Height(); ++y) {
    const std::span<RgbaPixel> line = turned.Row(y);
    for (int x = 0; x < turned.Width(); ++x) {
      int row = swapped ? x : y;
      int col = swapped ? y : x;
      if ((flip & 2) != 0) {
        row = stored.Height() - 1 - row;
      }
      if ((flip & 1) != 0) {
        col = stored.Width() - 1 - col;
      }
      line[static_cast<std::size_t>(x)] = stored.At(col, row);
    }
  }
  return std::move(turned).Finish(stored.HasAlpha());
}

// Whether what the header says of the preview is within bounds: LibRaw would allocate it.
bool Bounded(const libraw_thumbnail_t& thumbnail, Bytes file, std::int64_t maxPixels) {
  return std::int64_t{thumbnail.twidth} * thumbnail.theight <= maxPixels &&
         thumbnail.tlength <= file.size();
}

}  // namespace

std::optional<FirstSight> RawFirstSight(Bytes bytes, std::int64_t maxPixels) {
  const std::unique_ptr<LibRaw> raw = OpenRaw(bytes, maxPixels);
  if (!raw || RawSizeError(*raw, maxPixels) || !Bounded(raw->imgdata.thumbnail, bytes, maxPixels)) {
    return std::nullopt;
  }
  // Kodak's previews would come turned already; turning them here treats all alike.
  raw->imgdata.params.raw_processing_options |= LIBRAW_PROCESSING_NO_ROTATE_FOR_KODAK_THUMBNAILS;
  if (raw->unpack_thumb() != LIBRAW_SUCCESS || !Bounded(raw->imgdata.thumbnail, bytes, maxPixels)) {
    return std::nullopt;
  }
  const std::optional<Image> stored = Stored(raw->imgdata.thumbnail, maxPixels);
  if (!stored) {
    return std::nullopt;
  }
  // The developed picture's size, as DecodeRaw will have it: stretched, then turned.
  int width = 0;
  int height = 0;
  int colors = 0;
  int bits = 0;
  raw->get_mem_image_format(&width, &height, &colors, &bits);
  return FirstSight{Turned(*stored, raw->imgdata.sizes.flip), width, height};
}

}  // namespace irobunkai
