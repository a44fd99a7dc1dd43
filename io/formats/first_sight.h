#pragma once

#include <optional>

#include "io/formats/format_result.h"
#include "views/first_sight.h"

namespace irobunkai {

/// The smaller rendition that `bytes` carry, decoded: a HEIF file's thumbnail of its primary
/// picture (HEIC, AVIF), or a camera raw file's embedded preview. Reads only the file's
/// structure and the rendition, so a memory map of a large file is mostly left unread.
/// Nullopt when the file is neither, carries none, or the rendition or the exact picture is
/// damaged or over `maxPixels`: the exact decode then says what is wrong.
std::optional<FirstSight> ReadFirstSight(Bytes bytes, std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
