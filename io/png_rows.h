#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

#include "document/progress.h"

class QIODevice;

namespace irobunkai {

/// What a PNG's pixels are: one byte of grey, or three of R, G and B.
enum class PngPixels { Grey, Rgb };

/// Fills row y of the picture, top to bottom: `width` bytes of grey, or 3 x `width` of RGB.
using PngRowSource = std::function<void(int y, std::span<std::uint8_t> row)>;

/// How a PNG write ended; `error` says why when it failed.
struct PngWriteResult {
  enum class Status { Written, Cancelled, Failed } status = Status::Failed;
  QString error;
};

/// Writes an 8-bit PNG of `width` x `height` to `device`. Coded for speed as fast encoders
/// do: every row filtered against the pixel to its left (PNG's Sub filter), then all of them
/// deflated at once by libdeflate's fastest level, which takes no stream in parts; so the
/// filtered picture and its coded stream are held while it works. Reports the rows done, then
/// the chunks written, and stops at the next row or chunk once cancelled, with nothing
/// written to `device` when cancelled before the rows are coded. Throws std::bad_alloc when
/// there is no memory for the picture. A non-empty `icc` is the ICC profile of the picture's
/// colours, written as its iCCP chunk; it must describe grey or RGB as `pixels` are. Without
/// one the file says nothing of its colours, which readers take as sRGB.
PngWriteResult WritePngRows(QIODevice& device, int width, int height, PngPixels pixels,
                            const PngRowSource& rows, const Progress& progress,
                            std::span<const std::uint8_t> icc = {});

}  // namespace irobunkai
