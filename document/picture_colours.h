#pragma once

#include <memory>

#include "colour/colour_description.h"
#include "colour/colour_profile.h"
#include "colour/profile_lab.h"

namespace irobunkai {

/// What a picture's colours are, as its file describes them: its profile, null for sRGB,
/// and how its L*a*b* is measured through it. Shared by every copy, never changed.
struct PictureColours {
  std::shared_ptr<const ColourProfile> profile;
  std::shared_ptr<const ProfileLab> lab;

  /// A description littleCMS can't read is taken for sRGB, as browsers take it.
  static PictureColours Of(const ColourDescription& description);

  /// How L*a*b* is measured; null for sRGB, whose fixed formulas serve.
  [[nodiscard]] const ProfileLab* Lab() const { return lab.get(); }
};

}  // namespace irobunkai
