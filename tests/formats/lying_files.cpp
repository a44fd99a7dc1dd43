#include "lying_files.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "dng_writer.h"

namespace irobunkai::test {

std::vector<std::uint8_t> JxlDeclaring(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> codestream = {0xFF, 0x0A};
  int bit = 16;
  // Fields are written from the lowest bit up.
  const auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i, ++bit) {
      if (bit % 8 == 0) {
        codestream.push_back(0);
      }
      codestream.back() |= static_cast<std::uint8_t>(((value >> i) & 1u) << (bit % 8));
    }
  };
  constexpr int kThirtyBits = 3;  // the largest of a size's four encodings
  put(0, 1);                      // not a small picture
  put(kThirtyBits, 2);
  put(height - 1, 30);
  put(0, 3);  // no aspect ratio: the width follows
  put(kThirtyBits, 2);
  put(width - 1, 30);
  put(1, 1);  // default metadata
  return codestream;
}

std::vector<std::uint8_t> HeifDeclaring(std::vector<std::uint8_t> heif, std::uint16_t width,
                                        std::uint16_t height) {
  constexpr std::string_view kIspe = "ispe";
  const std::array<std::uint8_t, 8> size = {
      0, 0, static_cast<std::uint8_t>(width >> 8),  static_cast<std::uint8_t>(width),
      0, 0, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height)};
  // Each box: its type, then a version and flags, then the width and the height.
  for (auto at = std::ranges::search(heif, kIspe).begin(); heif.end() - at >= 16;
       at = std::search(at + 1, heif.end(), kIspe.begin(), kIspe.end())) {
    std::ranges::copy(size, at + 8);
  }
  return heif;
}

std::vector<std::uint8_t> DngDeclaring(int width, int height) {
  Dng dng;
  dng.width = width;
  dng.height = height;
  dng.samples.assign(16, 1000);
  return EncodeDng(dng);
}

}  // namespace irobunkai::test
