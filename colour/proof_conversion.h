#pragma once

#include <memory>

#include "colour/colour_profile.h"
#include "colour/frame_conversion.h"
#include "colour/press_profile.h"

namespace irobunkai {

/// Frame conversion showing `from`'s colours as they will print: into the press's CMYK with
/// `intent` (black point compensation with relative colorimetric), then from the press to
/// `display` (nullptr sRGB) relative colorimetric without black point compensation, so the
/// press's black shows as the grey it prints. nullptr when it can't be built.
std::shared_ptr<const FrameConversion> ProofConversion(const ColourProfile* from,
                                                       const PressProfile& press,
                                                       PressIntent intent,
                                                       const ColourProfile* display);

}  // namespace irobunkai
