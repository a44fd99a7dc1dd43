#pragma once

#include <memory>

#include "views/channel_plane.h"
#include "views/picture_view.h"

namespace irobunkai {

/// The three component grids that a separation fills and the channel views show.
struct ChannelPlanes {
  std::shared_ptr<ChannelPlane> RedPlane = std::make_shared<ChannelPlane>();
  std::shared_ptr<ChannelPlane> GreenPlane = std::make_shared<ChannelPlane>();
  std::shared_ptr<ChannelPlane> BluePlane = std::make_shared<ChannelPlane>();
};

/// The views that show the red, green and blue components.
struct ChannelViews {
  PictureView& red;
  PictureView& green;
  PictureView& blue;
};

/// Clears the channel views, splits every pixel that the source view shows into the
/// three planes by the colour rules, and draws each plane into its view as
/// pure-channel colours. The planes are sized to the source area for the run.
void SeparateChannels(const PictureView& source, ChannelPlanes& planes, const ChannelViews& views);

}  // namespace irobunkai
