#pragma once

#include <QString>
#include <variant>

#include "document/progress.h"
#include "io/run_time_error.h"
#include "views/image.h"

class QByteArray;
class QImage;

namespace irobunkai {

/// Pictures above this many pixels are refused before they are decoded.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

using LoadResult = std::variant<Image, RunTimeError>;

/// Decodes a picture file: the first frame, turned as the format says (EXIF
/// orientation; HEIF's own rotation and mirroring),
/// reduced to 8-bit R, G, B (and alpha), with the file's own values and no colour
/// profile applied. Failures come back as errors 53, 75, 481 or 7. `progress` hears how far
/// the decode is, where the format's decoder says, and may stop it: a cancelled load comes
/// back as an error of its own that is never shown.
LoadResult LoadPictureFile(const QString& path, const Progress& progress = {});

/// Decodes a picture from bytes already read, as LoadPictureFile does after its
/// checks of the file; failures come back as errors 481 or 7.
LoadResult DecodePicture(const QByteArray& bytes, const Progress& progress = {});

/// Adopts a decoded image's pixels without copying them.
Image AdoptImage(QImage image);

}  // namespace irobunkai
