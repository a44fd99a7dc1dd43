#pragma once

#include <optional>

#include "io/formats/first_sight.h"

namespace irobunkai {

/// A camera raw file's embedded preview, the largest that LibRaw finds (a JPEG or an 8-bit
/// bitmap), turned as DecodeRaw turns the developed picture, beside the developed picture's
/// size. Nullopt when `bytes` are no raw file LibRaw knows, it has no preview LibRaw reads, or
/// either is damaged or over `maxPixels`.
std::optional<FirstSight> RawFirstSight(Bytes bytes, std::int64_t maxPixels);

}  // namespace irobunkai
