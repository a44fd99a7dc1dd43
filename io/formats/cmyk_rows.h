#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "colour/cmyk_conversion.h"
#include "views/image.h"

namespace irobunkai {

/// Where Debian's ghostscript data keeps its press profile, Artifex's CMYK SWOP profile.
inline constexpr const char* kPressProfilePath =
    "/usr/share/color/icc/ghostscript/default_cmyk.icc";

/// Rows of a CMYK picture's samples made into sRGB pixels: through the file's own profile when
/// littleCMS reads it as a CMYK one, else through the press profile, else, when neither can be
/// had, by the formula of NaiveCmykToRgba.
class CmykRows {
 public:
  /// `embedded`: the file's ICC profile, if any; `inverted`: Adobe's inks, 255 for none.
  CmykRows(std::span<const std::uint8_t> embedded, bool inverted,
           const char* pressProfile = kPressProfilePath);

  /// Four samples per pixel of `out` in `cmyk`.
  void Convert(std::span<const std::uint8_t> cmyk, std::span<RgbaPixel> out) const;

  /// Whether a profile renders the inks, rather than the formula.
  [[nodiscard]] bool Profiled() const { return profiled_ != nullptr; }

 private:
  std::unique_ptr<const CmykToSrgb> profiled_;
  bool inverted_ = false;
};

/// A file's bytes; empty when it can't be read.
std::vector<std::uint8_t> FileBytes(const char* path);

}  // namespace irobunkai
