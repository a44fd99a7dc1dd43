#pragma once

#include <optional>

#include "io/formats/format_result.h"

namespace irobunkai {

/// Decodes a JPEG preview embedded in another file into opaque RGB, its pixels as stored:
/// not turned by any EXIF orientation of its own, since the file around it says how to turn
/// it. Nullopt when damaged, cut short, or over `maxPixels`.
/// The one place where first sights decode JPEG.
std::optional<Image> DecodePreviewJpeg(Bytes jpeg, std::int64_t maxPixels);

}  // namespace irobunkai
