#pragma once

#include "views/image.h"

namespace irobunkai {

/// A smaller rendition that a picture file carries, shown until its exact pixels are decoded.
struct FirstSight {
  /// The rendition, turned and mirrored as the exact picture will be; usually smaller than it.
  Image preview;
  /// The exact picture's size, after turning: the preview stands for this area.
  int exactWidth = 0;
  int exactHeight = 0;
};

}  // namespace irobunkai
