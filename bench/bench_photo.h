#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

#include "tests/formats/dng_writer.h"

namespace irobunkai::bench {

/// A photograph-like picture: a smooth scene of overlapping colour fields with per-pixel
/// noise, so that decoders see real detail rather than flat runs. Null when there is no room.
QImage Photo(int width, int height);

/// Writes Photo(width, height) as `format`, "JPEG" (quality 92) or "PNG". Returns whether
/// the file was written.
bool WritePhoto(const QString& path, const char* format, int width, int height,
                const QByteArray& iccProfile = {});

/// What a camera writes into its raw file of `photo` to show at once: a thumbnail 256 pixels
/// across of 8-bit RGB, and a JPEG preview 1620 pixels across (quality 92), as Sony's write.
std::vector<test::DngPreview> CameraPreviews(const QImage& photo);

/// Runs `work` in a forked child and waits for it: what it allocates (an encoder's
/// memory, say) never counts in this process's peak. Call it before any thread
/// starts. Returns whether `work` returned true.
bool InChild(const std::function<bool()>& work);

}  // namespace irobunkai::bench
