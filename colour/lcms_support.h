#pragma once

// What the classes of this room share about littleCMS. Only their .cpp files include it, so
// lcms2.h stays out of the headers others read.

#include <lcms2.h>

#include <memory>
#include <string>

#include "colour/colour_profile.h"

namespace irobunkai::lcms {

struct TransformDeleter {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

/// Transforms are shared between threads: without the one-pixel cache cmsDoTransform keeps
/// no state of its own.
inline constexpr cmsUInt32Number kSharedFlags = cmsFLAGS_NOCACHE;

inline ColourProfile::Owned Srgb() { return ColourProfile::Owned(cmsCreate_sRGBProfile()); }

/// One grey channel read from the first byte of four; the other three are skipped.
inline constexpr cmsUInt32Number kGreyOfFour =
    COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1) | EXTRA_SH(3);

/// The description tag in UTF-8, without the blanks and control characters some profiles
/// pad it with; "unnamed ICC profile" for none.
std::string DescriptionOf(cmsHPROFILE profile);

/// Whether `profile` describes CMYK inks: a device profile of CMYK to XYZ or L*a*b*.
bool IsCmykProfile(cmsHPROFILE profile);

/// Whether `profile` (RGB or grey) gives sRGB's colours over a grid, to within a fraction of
/// a just noticeable difference.
bool IsSrgb(cmsHPROFILE profile);

}  // namespace irobunkai::lcms
