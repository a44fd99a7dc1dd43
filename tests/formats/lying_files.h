#pragma once

#include <cstdint>
#include <vector>

namespace irobunkai::test {

/// A JPEG XL codestream that declares `width` x `height` pixels and ends after its header.
std::vector<std::uint8_t> JxlDeclaring(std::uint32_t width, std::uint32_t height);

/// `heif` with every image size property saying `width` x `height` (at most 65535 each).
std::vector<std::uint8_t> HeifDeclaring(std::vector<std::uint8_t> heif, std::uint16_t width,
                                        std::uint16_t height);

/// A DNG that declares `width` x `height` photosites and holds the samples of a few.
std::vector<std::uint8_t> DngDeclaring(int width, int height);

}  // namespace irobunkai::test
