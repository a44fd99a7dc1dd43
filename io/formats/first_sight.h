#pragma once

#include <optional>

#include "io/formats/format_result.h"

namespace irobunkai {

/// A smaller rendition that a picture file carries, shown until its exact pixels are decoded.
struct FirstSight {
  /// The rendition, turned and mirrored as the exact picture will be; usually smaller than it.
  Image preview;
  /// The exact picture's size, after turning: the preview stands for this area.
  int exactWidth = 0;
  int exactHeight = 0;
};

/// The smaller rendition that `bytes` carry, decoded: a HEIF file's thumbnail of its primary
/// picture (HEIC, AVIF), or a camera raw file's embedded preview. Reads only the file's
/// structure and the rendition, so a memory map of a large file is mostly left unread.
/// Nullopt when the file is neither, carries none, or the rendition or the exact picture is
/// damaged or over `maxPixels`: the exact decode then says what is wrong.
std::optional<FirstSight> ReadFirstSight(Bytes bytes, std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
