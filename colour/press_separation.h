#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "colour/color_value.h"
#include "colour/colour_profile.h"
#include "colour/press_profile.h"

namespace irobunkai {

class PressChain;

/// A picture's colours split into the press's four inks. Thread-safe.
class PressSeparation {
 public:
  /// `source`: the picture's profile, nullptr for sRGB (a grey profile takes a pixel's level
  /// from its blue byte, as FrameConversion does). Relative colorimetric gets black point
  /// compensation; perceptual none. nullptr if littleCMS can't build the transform. May throw
  /// std::bad_alloc.
  static std::shared_ptr<const PressSeparation> Make(const ColourProfile* source,
                                                     const PressProfile& press, PressIntent intent);

  /// Ink levels 0..255 (255 = 100 %) of each colour (0x00BBGGRR, top byte ignored) into four
  /// rows as long as `colours`. Allocates nothing; may run on many threads at once.
  void SplitRow(std::span<const ColorValue> colours, std::uint8_t* c, std::uint8_t* m,
                std::uint8_t* y, std::uint8_t* k) const;
  /// The same numbers SplitRow gives, for one colour.
  [[nodiscard]] std::array<std::uint8_t, 4> Levels(ColorValue colour) const;

  /// Readies it for whole large pictures: every 8-bit colour's inks worked out at once, on
  /// every core (a tenth of a second, 64 MiB), after which SplitRow reads one word per pixel,
  /// with the same numbers. Call it before splitting a large picture, not from within.
  /// Thread-safe; once done, it does nothing. May throw std::bad_alloc.
  void PrepareForLargePictures() const;

  /// For each ink (0 C, 1 M, 2 Y, 3 K) and level, that ink alone printed on the paper as the
  /// press profile predicts it, in sRGB, the paper white.
  using InkTable = std::array<std::array<ColorValue, 256>, 4>;
  [[nodiscard]] const InkTable& InkLooks() const { return inkLooks_; }

  /// A grey source's four levels, by grey level.
  using GreyInks = std::array<std::array<std::uint8_t, 4>, 256>;

  /// Fills the table from `transform` (a cmsHTRANSFORM, RGB or grey doubles in, CMYK doubles
  /// out) unless `chain` takes RGB colours; use Make.
  PressSeparation(void* transform, bool grey, std::unique_ptr<const PressChain> chain,
                  InkTable inkLooks);
  ~PressSeparation();
  PressSeparation(const PressSeparation&) = delete;
  PressSeparation& operator=(const PressSeparation&) = delete;

 private:
  // How RGB colours are split: exactly as littleCMS, else through an RGB grid's nodes (each
  // node's C, M, Y and K level as floats 0..255).
  std::unique_ptr<const PressChain> chain_;
  std::vector<float> nodes_;
  // Every 8-bit colour's levels, C in the low byte, by the colour, once prepared.
  mutable std::once_flag prepare_;
  mutable std::vector<std::uint32_t> everyColour_;
  mutable std::atomic<bool> prepared_{false};
  GreyInks greys_{};
  bool grey_ = false;
  InkTable inkLooks_{};
};

}  // namespace irobunkai
