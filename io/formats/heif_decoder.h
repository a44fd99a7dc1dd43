#pragma once

#include <optional>

#include "document/progress.h"
#include "io/formats/first_sight.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// Whether a file beginning with `head` is HEIF (HEIC, AVIF and their kin): its first
/// box names a HEIF brand.
bool IsHeif(Bytes head);

/// The primary picture of a HEIF file, HEIC or AVIF, as libheif converts it to 8-bit RGB:
/// alpha kept, turned and mirrored as the file says, with the colour its ICC profile and its
/// nclx code points give. Nullopt when `bytes` are no HEIF file.
std::optional<PictureResult> DecodeHeif(Bytes bytes, std::int64_t maxPixels,
                                        const Progress& progress = {});

/// The largest thumbnail of a HEIF file's primary picture, decoded as DecodeHeif decodes the
/// primary: turned and mirrored as the file says for the thumbnail, as writers say for both.
/// Nullopt when `bytes` are no HEIF file, the primary has no thumbnail, or either is damaged
/// or over `maxPixels`.
std::optional<FirstSight> HeifFirstSight(Bytes bytes, std::int64_t maxPixels);

}  // namespace irobunkai
