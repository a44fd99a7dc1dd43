#pragma once

#include "colour/colour_model.h"
#include "views/channel_plane.h"
#include "views/picture_view.h"

namespace irobunkai {

/// The three grey planes of one model's components, left to right.
struct ModelPlanes {
  ChannelPlane& first;
  ChannelPlane& second;
  ChannelPlane& third;
};

/// Splits every pixel that `source` shows into `model`'s grey levels, row by row on
/// all threads. The planes are sized to the source area.
void SeparateModel(ColourModel model, const PictureView& source, ModelPlanes planes);

}  // namespace irobunkai
