#include "io/formats/jpeg_first_sight.h"

#include "io/formats/exif.h"
#include "io/formats/jpeg_markers.h"
#include "io/formats/jpeg_preview.h"
#include "io/formats/oriented_picture.h"
#include "io/formats/preview_jpeg.h"

namespace irobunkai {
namespace {

Image Oriented(const Image& stored, int orientation) {
  OrientedPicture turned(stored.Width(), stored.Height(), orientation);
  for (int y = 0; y < stored.Height(); ++y) {
    turned.Place(y, stored.Row(y));
  }
  return std::move(turned).Finish(false);
}

}  // namespace

std::optional<FirstSight> JpegFirstSight(Bytes file, std::int64_t maxPixels) {
  if (!IsJpeg(file)) {
    return std::nullopt;
  }
  const std::optional<Bytes> preview = JpegPreview(file);
  const std::optional<PixelSize> size = JpegFrameSize(file);
  if (!preview || !size || std::int64_t{size->width} * size->height > maxPixels) {
    return std::nullopt;
  }
  const std::optional<Image> stored = DecodePreviewJpeg(*preview, maxPixels);
  if (!stored) {
    return std::nullopt;
  }
  // The thumbnail is stored as the picture is; the picture's orientation turns both.
  const std::optional<Bytes> exif = ExifTiff(JpegHeaderSegments(file));
  const int stated = exif ? ExifOrientation(*exif) : 0;
  const int orientation = stated >= 1 && stated <= 8 ? stated : 1;
  const bool swapped = orientation >= 5 && orientation <= 8;
  return FirstSight{Oriented(*stored, orientation), swapped ? size->height : size->width,
                    swapped ? size->width : size->height};
}

}  // namespace irobunkai
