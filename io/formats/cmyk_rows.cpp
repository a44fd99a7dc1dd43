#include "io/formats/cmyk_rows.h"

#include <fstream>
#include <iterator>

#include "io/formats/naive_cmyk.h"

namespace irobunkai {

std::vector<std::uint8_t> FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return {};
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

CmykRows::CmykRows(std::span<const std::uint8_t> embedded, bool inverted, const char* pressProfile)
    : profiled_(CmykToSrgb::Of(embedded, inverted)), inverted_(inverted) {
  if (!profiled_) {
    // Read for each picture rather than kept: some 190 KB, and a CMYK picture is rare.
    profiled_ = CmykToSrgb::Of(FileBytes(pressProfile), inverted);
  }
}

void CmykRows::Convert(std::span<const std::uint8_t> cmyk, std::span<RgbaPixel> out) const {
  if (profiled_) {
    profiled_->Convert(cmyk, out);
  } else {
    NaiveCmykToRgba(cmyk, out, inverted_);
  }
}

}  // namespace irobunkai
