#pragma once

#include "document/progress.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// Whether a file beginning with `head` is a PNG: it starts with PNG's signature.
bool IsPng(Bytes head);

/// A PNG decoded by libpng to the 8-bit RGBA that Qt's reader gave: every bit depth, palettes,
/// grey, alpha and tRNS transparency, interlaced or not; its ICC profile and its sRGB, gAMA and
/// cHRM chunks told, the pixels left as the file has them. A file that ends early gives the
/// rows it holds, the rest grey (an interlaced one, its passes so far, spread over the
/// picture), and says what is missing. `progress` hears the rows done and may cancel between
/// batches of rows.
PictureResult DecodePng(Bytes file, const Progress& progress,
                        std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
