#pragma once

#include <optional>

#include "io/formats/format_result.h"

namespace irobunkai {

/// Whether a file beginning with `head` is JPEG XL, a bare codestream or its container.
bool IsJxl(Bytes head);

/// The first frame of a JPEG XL file as libjxl gives it in 8-bit RGBA, turned as the file
/// says, with the colour of those pixels: none for sRGB, an ICC profile otherwise, the file's
/// own or one libjxl makes for its colour encoding. Nullopt when `bytes` are no JPEG XL file.
std::optional<PictureResult> DecodeJxl(Bytes bytes, std::int64_t maxPixels);

}  // namespace irobunkai
