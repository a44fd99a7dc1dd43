#pragma once

#include <optional>

#include "io/formats/format_result.h"
#include "views/first_sight.h"

namespace irobunkai {

/// The preview a JPEG file carries (its EXIF thumbnail, or the MPF preview cameras add),
/// turned as the file's EXIF orientation turns its picture; nullopt when it has none.
std::optional<FirstSight> JpegFirstSight(Bytes file, std::int64_t maxPixels);

}  // namespace irobunkai
