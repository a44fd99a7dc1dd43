#pragma once

#include <QImage>
#include <QString>

namespace irobunkai::test {

/// Writes a HEIC of `picture` at `path` with a thumbnail at most `thumbnailSide` pixels on its
/// longer side, both said to be shown in EXIF `orientation` (1 to 8), as phones write them:
/// through libheif, since heif-enc writes no orientation. Returns whether it was written.
bool WriteTurnedHeic(const QImage& picture, int orientation, int thumbnailSide,
                     const QString& path);

/// Writes a HEIC of `picture` at `path` with an nclx colour box of these H.273 code points,
/// which heif-enc leaves out of HEIC files. Returns whether it was written.
bool WriteNclxHeic(const QImage& picture, int primaries, int transfer, int matrix,
                   const QString& path);

}  // namespace irobunkai::test
