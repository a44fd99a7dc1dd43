#include "io/formats/preview_jpeg.h"

#include <new>

#include "io/formats/jpeg_markers.h"
#include "io/formats/jpeg_rows.h"

namespace irobunkai {

std::optional<Image> DecodePreviewJpeg(Bytes jpeg, std::int64_t maxPixels) {
  if (!IsJpeg(jpeg)) {
    return std::nullopt;
  }
  try {
    JpegRows rows(jpeg);
    if (rows.Start(maxPixels)) {
      return std::nullopt;
    }
    OrientedPicture picture(rows.Width(), rows.Height(), 1);  // as stored
    const auto onward = [](double) { return true; };
    if ((rows.MultiScan() && rows.ReadScans(onward)) ||
        rows.ReadRows(picture, rows.Height(), onward)) {
      return std::nullopt;
    }
    // Better no preview than a half-grey one.
    if (rows.Missing()) {
      return std::nullopt;
    }
    return std::move(picture).Finish(false);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace irobunkai
