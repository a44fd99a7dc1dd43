#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace irobunkai::bench {

/// Pixels as a plain decoder gives them: three or four bytes each, rows packed (libheif's
/// rows may be padded). Shared, so that they can stay in the decoder's own buffer.
struct BarePixels {
  int width = 0;
  int height = 0;
  std::shared_ptr<unsigned char[]> bytes;
};

/// Reads and decodes a JPEG file with TurboJPEG straight into RGBX; empty on failure.
BarePixels DecodeJpegFile(const std::string& path);

/// Reads and decodes a PNG file with libpng's simplified API into RGBA; empty on failure.
BarePixels DecodePngFile(const std::string& path);

/// Decodes a HEIF or AVIF file's primary picture with libheif into 8-bit RGBA; empty on failure.
BarePixels DecodeHeifFile(const std::string& path);

/// Decodes a JPEG XL file with libjxl, on its thread pool, into RGBA; empty on failure.
BarePixels DecodeJxlFile(const std::string& path);

/// Develops a camera raw file with LibRaw as dcraw_emu -w does, into RGB; empty on failure.
BarePixels DecodeRawFile(const std::string& path);

}  // namespace irobunkai::bench
