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

/// Writes an 8-bit PNG of `width` x `height` to `device`, row by row, so that only a row is
/// held at a time. Coded for speed as fast encoders do: every row filtered against the one
/// above it, then Huffman codes and runs of one byte (DeflateStream), several times faster
/// than zlib's default and, on photographs, no larger in grey and about a fifth larger in the
/// tinted colours. Reports the rows done and stops at the next row once cancelled.
PngWriteResult WritePngRows(QIODevice& device, int width, int height, PngPixels pixels,
                            const PngRowSource& rows, const Progress& progress);

}  // namespace irobunkai
