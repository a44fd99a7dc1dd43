#pragma once

#include <optional>

#include "io/formats/format_result.h"
#include "io/formats/jpeg_markers.h"

namespace irobunkai {

/// The TIFF structure of the first EXIF segment (APP1 "Exif\0\0") among `segments`.
std::optional<Bytes> ExifTiff(const std::vector<JpegSegment>& segments);

/// The EXIF orientation, 1 to 8, as Qt's JPEG reader found it: the first Orientation entry, a
/// single SHORT, in the chain of directories. 0 when there is none or it is malformed.
int ExifOrientation(Bytes tiff);

/// The thumbnail JPEG of the second directory (JPEGInterchangeFormat and its length), when
/// it lies wholly inside `tiff`.
std::optional<Bytes> ExifThumbnail(Bytes tiff);

}  // namespace irobunkai
