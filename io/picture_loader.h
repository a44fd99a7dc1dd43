#pragma once

#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

#include "document/progress.h"
#include "io/run_time_error.h"
#include "views/image.h"

class QByteArray;
class QImage;

namespace irobunkai {

/// Pictures above this many pixels are refused before they are decoded.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

/// A decoded picture, with what its file said beyond the pixels.
struct LoadedPicture {
  Image image;
  /// Empty when the file was whole. Otherwise the file ended before the picture did: a
  /// message for the user, Japanese then English on the next line, naming what is missing.
  QString cutShort;
  /// How the file says its numbers are to be taken as colours.
  ColourDescription colour;
};

using LoadResult = std::variant<LoadedPicture, RunTimeError>;

/// Decodes a picture file: the first frame, turned as the format says (EXIF
/// orientation; HEIF's own rotation and mirroring),
/// reduced to 8-bit R, G, B (and alpha), with the file's own values and no colour
/// profile applied; a CMYK JPEG or TIFF made sRGB, its inks kept too (Image::Inks). Failures come
/// back as errors 53, 75, 481 or 7. `progress` hears how far the decode is, where the format's
/// decoder says (JPEG and PNG), and may stop it: a cancelled load comes back as
/// error_number::kCancelled, which is never shown.
LoadResult LoadPictureFile(const QString& path, const Progress& progress = {});

/// Decodes a picture from bytes already read, as LoadPictureFile does after its
/// checks of the file; failures come back as errors 481 or 7.
LoadResult DecodePicture(const QByteArray& bytes, const Progress& progress = {});

/// Adopts a decoded image's pixels without copying them.
Image AdoptImage(QImage image);

}  // namespace irobunkai
