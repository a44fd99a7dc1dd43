#pragma once

#include <optional>

#include "io/formats/format_result.h"

namespace irobunkai {

/// The largest smaller rendition of its picture that a JPEG file carries, itself a JPEG: its
/// EXIF thumbnail or an MPF large thumbnail (the preview cameras add). Offsets are checked,
/// and each candidate must be a JPEG smaller than the file's own picture; nullopt when there
/// is none.
std::optional<Bytes> JpegPreview(Bytes file);

}  // namespace irobunkai
