#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>
#include <vector>

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

/// Writes `picture` as a PNG (or `source` format) and encodes that into `dir` as `name` with
/// `encoder` (heif-enc, avifenc or cjxl) and its `options`; returns the encoded file's path.
QString Encode(const QTemporaryDir& dir, const QImage& picture, const QString& name,
               const QString& encoder, const QStringList& options = {}, const char* source = "png");

/// A photo-like picture: smooth colour fields with noise in every pixel, and a varying
/// alpha when asked.
QImage TestPicture(int width, int height, bool alpha = false);

/// Quarters of red, blue (top) and green, white (bottom).
QImage Quarters(int width, int height);

/// Expects the pixel at (x, y) to be near `expected`, as after lossy compression.
void ExpectNear(const Image& image, int x, int y, ColorValue expected);

/// A JPEG of `picture` that says, in its EXIF data, to be shown in `orientation` (1 to 8).
QString WriteJpegWithOrientation(const QString& path, const QImage& picture, int orientation);

/// The picture of a decoding; an empty one, with a test failure, when it failed.
Image Decoded(const std::optional<FormatResult>& result);

/// Expects `image` to equal `reference` in every pixel, alpha included.
void ExpectSamePixels(const Image& image, const QImage& reference, const std::string& what);

}  // namespace irobunkai::test
