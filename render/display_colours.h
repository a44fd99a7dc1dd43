#pragma once

#include <map>
#include <memory>
#include <optional>

#include "colour/colour_profile.h"
#include "colour/frame_conversion.h"
#include "colour/press_profile.h"
#include "render/frame_renderer.h"

namespace irobunkai {

/// The display the views paint on, and how the colours of a space are brought to it. Only
/// what is painted is converted: planes, readouts and values stay the file's own numbers.
class DisplayColours {
 public:
  /// `display`: the display's profile, null for sRGB.
  explicit DisplayColours(std::shared_ptr<const ColourProfile> display = nullptr);

  /// The conversion from `space` (null: sRGB) to the display; null when there is none to do.
  [[nodiscard]] const FrameConversion* From(
      const std::shared_ptr<const ColourProfile>& space) const;
  /// The conversion that shows `space`'s colours on the display as `press` will print them
  /// with `intent`; null when littleCMS can't build it.
  [[nodiscard]] const FrameConversion* ProofFrom(const std::shared_ptr<const ColourProfile>& space,
                                                 const std::shared_ptr<const PressProfile>& press,
                                                 PressIntent intent) const;

 private:
  // Kept with the profile it starts from, so that a profile gone and another made at the same
  // address can't be taken for it.
  struct Made {
    std::shared_ptr<const ColourProfile> space;
    std::shared_ptr<const FrameConversion> conversion;
  };

  std::shared_ptr<const ColourProfile> display_;
  // A view paints the same few spaces again and again; GUI thread only.
  mutable std::map<const ColourProfile*, Made> made_;
  // The last proof made: a proof is looked at for one picture and press at a time.
  struct Proof {
    std::shared_ptr<const ColourProfile> space;
    std::shared_ptr<const PressProfile> press;
    PressIntent intent;
    std::shared_ptr<const FrameConversion> conversion;
  };
  mutable std::optional<Proof> proof_;
};

/// Converts a rendered frame's pixels and fill for the display; nothing when `conversion`
/// is null.
void ConvertForDisplay(Frame& frame, const FrameConversion* conversion);

}  // namespace irobunkai
