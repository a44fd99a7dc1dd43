#pragma once

#include <optional>
#include <string>

#include "colour/colour_description.h"
#include "colour/colour_profile.h"

namespace irobunkai {

/// A profile made with littleCMS for a picture that describes its colour without one.
struct MadeProfile {
  ColourProfile::Owned handle;
  std::string name;
};

/// The profile of H.273 code points. Unknown primaries are taken as sRGB's and unknown
/// transfers as sRGB's curve; PQ and HLG are shown with their reference white at full level,
/// brighter light clipped.
std::optional<MadeProfile> ProfileOfCoded(const CodedColour& coded);

/// The profile of a PNG's gAMA and cHRM chunks; nothing for an sRGB chunk, for no chunk that
/// counts, or for values no profile can be made of.
std::optional<MadeProfile> ProfileOfPng(const PngColourChunks& png);

}  // namespace irobunkai
