#pragma once

#include <cstddef>
#include <memory>

#include "views/image.h"

namespace irobunkai {

/// Uninitialised room for `count` pixels. A large picture's room is mapped afresh and its
/// pages are faulted in on another core, ahead of the decoder that fills it from the top:
/// for a 48 MP photo that is about a third of the decode. Throws std::bad_alloc when there
/// is no room.
std::shared_ptr<RgbaPixel[]> AllocatePixels(std::size_t count);

}  // namespace irobunkai
