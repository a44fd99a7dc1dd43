#pragma once

#include <cstdint>
#include <vector>

namespace irobunkai {

/// The ICC profile the X server announces for the screen, as colour-managed
/// X programs read it: the root window's _ICC_PROFILE, or _ICC_PROFILE_n on screen n. Empty
/// when there is none or the platform is not X.
std::vector<std::uint8_t> ReadDisplayIcc();

}  // namespace irobunkai
