#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "colour/color_value.h"
#include "colour/colour_profile.h"

namespace irobunkai {

/// Converts painted pixels from one profile to another (nullptr means sRGB), relative
/// colorimetric (perceptual for table profiles that only have it), leaving alpha alone.
/// Pixels are 32-bit as QImage::Format_ARGB32/RGB32 hold them on little-endian: bytes B, G,
/// R, A. A grey profile takes a pixel's grey level from its blue byte (grey pictures have
/// R = G = B). Thread-safe: many threads may convert at once.
class FrameConversion {
 public:
  /// nullptr when there is nothing to do (both sRGB, or both the same profile).
  static std::shared_ptr<const FrameConversion> Between(const ColourProfile* from,
                                                        const ColourProfile* to);
  void Convert(std::uint32_t* pixels, std::size_t count) const;
  /// The same for one ColorValue (0x00BBGGRR), for marks and tests.
  [[nodiscard]] ColorValue Convert(ColorValue colour) const;

  struct Deleter {
    void operator()(void* transform) const;
  };
  /// A grey level's B, G and R as the target shows it, by level.
  using GreyTable = std::array<std::uint32_t, 256>;
  FrameConversion(std::unique_ptr<void, Deleter> transform, bool toGrey);
  explicit FrameConversion(const GreyTable& greys);

 private:
  std::unique_ptr<void, Deleter> transform_;
  bool toGrey_ = false;
  GreyTable greys_{};
};

}  // namespace irobunkai
