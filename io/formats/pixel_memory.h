#pragma once

#include <cstddef>
#include <memory>

#include "views/image.h"

namespace irobunkai {

/// Uninitialised room for `count` pixels. A large picture's room is asked of the kernel in huge
/// pages: a few hundred faults fill it instead of tens of thousands, and reading it back costs
/// fewer page-table walks. Throws std::bad_alloc when there is no room.
std::shared_ptr<RgbaPixel[]> AllocatePixels(std::size_t count);

}  // namespace irobunkai
