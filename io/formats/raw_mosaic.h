#pragma once

#include <variant>

#include "io/formats/format_result.h"

namespace irobunkai {

/// The file holds no colour mosaic to show: it is no camera raw file, or its picture was
/// already demosaiced, or it is monochrome.
struct NoMosaic {};

using MosaicResult = std::variant<Image, NoMosaic, FormatError>;

/// The sensor's photosites of a camera raw file, over the developed picture's area and turned
/// as it is: each in its filter's colour, red as (r, 0, 0), green (0, g, 0), blue (0, 0, b), at
/// its value scaled from the black level to the white level onto 0-255 with the camera's white
/// balance applied, so that grey stays grey on average.
MosaicResult RawMosaic(Bytes bytes, std::int64_t maxPixels = kMaxDecodedPixels);

}  // namespace irobunkai
