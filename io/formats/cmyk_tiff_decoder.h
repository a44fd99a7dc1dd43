#pragma once

#include <optional>

#include "document/progress.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// Whether a file beginning with `head` may be a TIFF: it starts as one, in either byte order.
bool IsTiff(Bytes head);

/// A TIFF whose first picture is CMYK (four inks, 8 or 16 bits, in strips, samples together or
/// in planes), decoded by libtiff and made sRGB through its own profile or the press profile,
/// its inks kept in 8 bits as well (Image::Inks); its orientation tag applied to both; extra
/// samples such as alpha left out. Nullopt for every other TIFF, and for a file whose first picture
/// libtiff can't make out, for Qt's reader to try. `progress` hears the strips done and may cancel
/// between them.
std::optional<PictureResult> DecodeCmykTiff(Bytes file, const Progress& progress,
                                            std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
