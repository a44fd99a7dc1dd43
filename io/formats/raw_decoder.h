#pragma once

#include <optional>

#include "document/progress.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// A camera raw file developed by LibRaw as `dcraw_emu -w` does: its defaults, the camera's
/// white balance, 8-bit sRGB, turned as the camera was held. Nullopt when `bytes` are no raw
/// file LibRaw knows.
/// `progress` hears LibRaw's stages and stops it between them when cancelled.
std::optional<FormatResult> DecodeRaw(Bytes bytes, std::int64_t maxPixels,
                                      const Progress& progress = {});

}  // namespace irobunkai
