#pragma once

#include <memory>
#include <optional>

#include "io/formats/format_result.h"

class LibRaw;

namespace irobunkai {

/// Whether a file beginning with `head` may be a camera raw file: it begins as a TIFF does
/// (DNG, CR2, NEF, ARW, PEF...) or as a raw format of its own (RAF, CR3, ORF, RW2...). Plain
/// TIFFs pass too: only LibRaw tells them apart.
bool MayBeRaw(Bytes head);

/// LibRaw holding a camera raw file's header, read from `bytes`, which must outlive it;
/// nullptr when LibRaw takes the bytes for no raw file it knows. LibRaw's own memory limit
/// is set from `maxPixels`.
std::unique_ptr<LibRaw> OpenRaw(Bytes bytes, std::int64_t maxPixels);

/// TooLarge when the picture or the sensor area is over `maxPixels`; Invalid when empty.
std::optional<FormatError> RawSizeError(const LibRaw& raw, std::int64_t maxPixels);

/// The error for a LibRaw result code other than success.
FormatError RawError(int code);

}  // namespace irobunkai
