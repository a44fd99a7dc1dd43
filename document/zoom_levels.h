#pragma once

#include <optional>

#include "colour/channel.h"
#include "colour/colour_model.h"
#include "colour/profile_lab.h"
#include "views/mip_pyramid.h"
#include "views/picture_view.h"

namespace irobunkai {

class PressSeparation;

/// The zoom levels a large picture is drawn from: halvings of the source's content, and
/// of each component plane split from them. They are built with what they belong to,
/// before it is shown, so that painting never builds anything that grows with a picture.
using ChannelLevels = PerChannel<std::optional<MipPyramid>>;

/// The levels of `source`, a source view about to be shown; none for a picture that fits
/// its view. May throw std::bad_alloc.
std::optional<MipPyramid> SourceLevels(const PictureView& source);

/// The levels of a separation of `split` into `model`'s components, worked out from
/// `colour`, the levels of `split` when it has any, else from levels made here. In RGB
/// they are the colour levels' own channels; L*a*b* is measured through `lab` (null:
/// sRGB). None for a picture that fits its view. May throw std::bad_alloc.
/// CMYK's inks are made through `press`; a picture split into its own stored inks has none
/// (its plates are drawn from the planes themselves).
ChannelLevels ChannelLevelsFrom(const MipPyramid* colour, const PictureView& split,
                                ColourModel model, const ProfileLab* lab = nullptr,
                                const PressSeparation* press = nullptr);

}  // namespace irobunkai
