#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include "views/image.h"

namespace irobunkai {

/// Pictures above this many pixels are refused from their header, before decoding.
inline constexpr std::int64_t kMaxDecodedPixels = 100'000'000;

enum class FormatError {
  Invalid,   ///< damaged, cut short or not decodable
  TooLarge,  ///< more pixels than allowed, or more memory than there is
  Cancelled, ///< no longer wanted: the decode stopped early
};

using FormatResult = std::variant<Image, FormatError>;

/// A file's contents, as the decoders read them.
using Bytes = std::span<const std::uint8_t>;

}  // namespace irobunkai
