#pragma once

#include <optional>

#include "io/formats/format_result.h"

namespace irobunkai {

/// Whether a file beginning with `head` is HEIF (HEIC, AVIF and their kin): its first
/// box names a HEIF brand.
bool IsHeif(Bytes head);

/// The primary picture of a HEIF file, HEIC or AVIF, as libheif converts it to 8-bit RGB:
/// alpha kept, turned and mirrored as the file says. Nullopt when `bytes` are no HEIF file.
std::optional<FormatResult> DecodeHeif(Bytes bytes, std::int64_t maxPixels);

}  // namespace irobunkai
