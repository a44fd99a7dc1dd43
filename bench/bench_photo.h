#pragma once

#include <QString>

namespace irobunkai::bench {

/// Writes a photograph-like picture: a smooth scene of overlapping colour fields with
/// per-pixel noise, so that decoders see real detail rather than flat runs.
/// `format` is "JPEG" (quality 92) or "PNG". Returns whether the file was written.
bool WritePhoto(const QString& path, const char* format, int width, int height);

}  // namespace irobunkai::bench
