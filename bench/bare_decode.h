#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace irobunkai::bench {

/// Pixels as a plain decoder gives them: four bytes each, rows packed.
struct BarePixels {
  int width = 0;
  int height = 0;
  std::unique_ptr<unsigned char[]> bytes;
};

/// Reads and decodes a JPEG file with TurboJPEG straight into RGBX; empty on failure.
BarePixels DecodeJpegFile(const std::string& path);

/// Reads and decodes a PNG file with libpng's simplified API into RGBA; empty on failure.
BarePixels DecodePngFile(const std::string& path);

}  // namespace irobunkai::bench
