#pragma once

#include "document/progress.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// A JPEG decoded by libjpeg-turbo as Qt's reader decoded it: baseline, progressive or
/// arithmetic-coded; grey or RGB with its ICC profile kept; or CMYK, made sRGB through its own
/// profile or the press profile (see CmykRows), its inks kept as well (Image::Inks); turned as
/// its EXIF orientation says. A file that ends early gives what it holds, the rest grey (and no
/// ink), and says what is missing. `progress` hears the
/// rows done (for a progressive file, the data read and then the rows) and may cancel between
/// batches of rows.
PictureResult DecodeJpeg(Bytes file, const Progress& progress,
                         std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
