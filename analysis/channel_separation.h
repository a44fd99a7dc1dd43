#pragma once

#include <memory>
#include <optional>

#include "analysis/channel_histogram.h"
#include "views/channel_plane.h"
#include "views/picture_view.h"

namespace irobunkai {

/// The three component grids that a separation fills and the channel views show.
struct ChannelPlanes {
  std::shared_ptr<ChannelPlane> RedPlane = std::make_shared<ChannelPlane>();
  std::shared_ptr<ChannelPlane> GreenPlane = std::make_shared<ChannelPlane>();
  std::shared_ptr<ChannelPlane> BluePlane = std::make_shared<ChannelPlane>();
  /// The planes' histograms when the last separation counted them, else nullopt, so
  /// they never describe older planes.
  std::optional<ChannelHistograms> Histograms;
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

struct SeparationOptions {
  /// Counts each plane's histogram into ChannelPlanes::Histograms while the planes
  /// are filled, which is far cheaper than reading the planes again afterwards.
  bool countHistograms = false;
};

/// As above, with `options`. The planes and views come out the same either way.
void SeparateChannels(const PictureView& source, ChannelPlanes& planes, const ChannelViews& views,
                      SeparationOptions options);

}  // namespace irobunkai
