#pragma once

#include <cstddef>
#include <optional>

#include "document/progress.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// How many of a file's first bytes MayDecodeByContent needs.
inline constexpr std::size_t kContentSignatureBytes = 16;

/// Files larger than this are not read whole to be tried here: even a camera raw file of
/// 100 megapixels, three 16-bit samples each, takes 600 MB.
inline constexpr std::int64_t kMaxContentFileBytes = std::int64_t{1} << 30;

/// Whether a file beginning with `head` may be one of the formats DecodeByContent reads; when
/// not, it certainly is none.
bool MayDecodeByContent(Bytes head);

/// Decodes HEIF (HEIC, AVIF), JPEG XL and camera raw pictures, recognised by their contents.
/// Nullopt when `bytes` are none of these, for another reader to try.
/// `progress` hears how far HEIF and raw decodes are; a cancelled raw decode stops early.
/// The picture alone: DecodeWithoutQt tells its colour too.
std::optional<FormatResult> DecodeByContent(Bytes bytes, std::int64_t maxPixels = kMaxDecodedPixels,
                                            const Progress& progress = {});

/// Whether a file beginning with `head` may be one of the formats DecodeWithoutQt reads.
bool MayDecodeWithoutQt(Bytes head);

/// Every format decoded here rather than by Qt: JPEG and PNG, with progress, CMYK TIFFs, made
/// sRGB through their profile, and those of DecodeByContent, with the colour each file tells (none
/// for camera raw files, developed to sRGB). Nullopt when `bytes` are none of these, for Qt's
/// readers to try.
std::optional<PictureResult> DecodeWithoutQt(Bytes bytes, const Progress& progress,
                                             std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
