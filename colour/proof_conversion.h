#pragma once

#include <memory>

#include "colour/colour_profile.h"
#include "colour/frame_conversion.h"
#include "colour/press_profile.h"

namespace irobunkai {

std::shared_ptr<const FrameConversion> ProofConversion(const ColourProfile* from,
                                                       const PressProfile& press,
                                                       PressIntent intent,
                                                       const ColourProfile* display);

}  // namespace irobunkai
