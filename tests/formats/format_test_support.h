#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "document/progress.h"
#include "io/formats/format_result.h"

/// Skips the test when a program that makes or reads its files is not installed.
#define SKIP_WITHOUT(program)                                                      \
  if (QStandardPaths::findExecutable(QStringLiteral(program)).isEmpty()) {         \
    GTEST_SKIP() << program << " is missing; scripts/install-deps.sh installs it"; \
  }

namespace irobunkai::test {

std::vector<std::uint8_t> ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes);

/// Runs `program` and expects it to succeed; its output is shown when it fails.
bool Run(const QString& program, const QStringList& arguments);

/// Writes `picture` to `path`, in the format its name says; returns the path.
QString Saved(const QImage& picture, const QString& path);

/// A JPEG of `picture` at `path` that says, in its EXIF data, to be shown in `orientation`
/// (1 to 8); returns the path.
QString SavedWithOrientation(const QImage& picture, const QString& path, int orientation);

/// Encodes the picture file `input` into `output` with `encoder` (heif-enc, avifenc or cjxl)
/// and its `options`; returns the output's path.
QString Encoded(const QString& input, const QString& output, const QString& encoder,
                const QStringList& options = {});

/// A photo-like picture: smooth colour fields with noise in every pixel, and a varying
/// alpha when asked.
QImage TestPicture(int width, int height, bool alpha = false);

/// The bytes of a colour profile Debian ships, by its path under /usr/share/color/icc; empty,
/// with a test failure, when it is not installed.
std::vector<std::uint8_t> ShippedProfile(const QString& name);

/// A PNG of TestPicture(`width`, `height`) at `path` that embeds `profile`; returns the path.
QString SavedWithProfile(int width, int height, const std::vector<std::uint8_t>& profile,
                         const QString& path);

/// A decoded file's picture and colour, read as the program reads it without Qt.
DecodedPicture DecodedFile(const QString& path);

/// The picture of a decoding; an empty one, with a test failure, when it failed.
Image Decoded(const std::optional<FormatResult>& result);

/// Expects `image` to equal `reference` in every pixel, alpha included.
void ExpectSamePixels(const Image& image, const QImage& reference, const std::string& what);

/// Expects `image` to be `reference`, opaque, to within `tolerance` levels in each of R, G and B
/// of every pixel.
void ExpectNearPixels(const Image& image, const QImage& reference, int tolerance,
                      const std::string& what);

/// Where the pixel shown at (x, y) is stored in a picture `width` by `height` as stored, when
/// its EXIF or TIFF orientation is `orientation`.
std::pair<int, int> StoredAt(int x, int y, int width, int height, int orientation);

/// The inks a picture `width` by `height` as stored, `stored(x, y, c)` for ink c (C, M, Y, K),
/// has when shown in `orientation`: four a pixel, rows top to bottom.
std::vector<std::uint8_t> ShownInks(const std::function<int(int x, int y, int c)>& stored,
                                    int width, int height, int orientation);

/// Expects `image` to carry inks of its own size that are `expected`, and its pixels to be
/// those inks rendered through the press profile (stored inverted when `inverted`), so that the
/// two stand alike.
void ExpectInks(const Image& image, const std::vector<std::uint8_t>& expected, bool inverted,
                const std::string& what);

/// Decodes while listening: the progress heard rises to 1 in many steps; decoded again and
/// cancelled once past 30 %, the decode stops early with FormatError::Cancelled.
void ExpectProgressAndCancel(const std::function<PictureResult(const Progress&)>& decode,
                             const char* label);

}  // namespace irobunkai::test
