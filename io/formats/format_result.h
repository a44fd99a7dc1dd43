#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "colour/colour_description.h"
#include "views/image.h"

namespace irobunkai {

/// Pictures above this many pixels are refused from their header, before decoding.
inline constexpr std::int64_t kMaxDecodedPixels = 100'000'000;

enum class FormatError {
  Invalid,    ///< damaged, cut short or not decodable
  TooLarge,   ///< more pixels than allowed, or more memory than there is
  Cancelled,  ///< no longer wanted: the decode stopped early
};

using FormatResult = std::variant<Image, FormatError>;

struct PixelSize {
  int width = 0;
  int height = 0;
};

/// What a file that ends early lacks. Rows count in the file's own order, before any turn.
struct Shortfall {
  /// Rows whose data the file holds; the rest are filled with grey.
  int rowsPresent = 0;
  int rowsTotal = 0;
  /// A progressive JPEG or an interlaced PNG: the last passes, which refine the rows present,
  /// are missing, so the picture is coarser than the file meant.
  bool finalPassesMissing = false;
};

/// A decoded picture with what its file says beyond the pixels.
struct DecodedPicture {
  Image image;
  /// Set when the file ended before the picture did.
  std::optional<Shortfall> cutShort;
  /// How the file says its numbers are to be taken as colours.
  ColourDescription colour;
};

using PictureResult = std::variant<DecodedPicture, FormatError>;

/// A file's contents, as the decoders read them.
using Bytes = std::span<const std::uint8_t>;

}  // namespace irobunkai
