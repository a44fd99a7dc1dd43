#pragma once

#include <QImage>

#include "views/channel_look.h"
#include "views/picture_view.h"

namespace irobunkai {

/// The whole area of `view`, one pixel per view pixel.
QImage RenderArea(const PictureView& view);

/// The area of `view` scaled smoothly by `scale`, at `devicePixelRatio` device
/// pixels per logical pixel.
QImage ScaledArea(const PictureView& view, double scale, double devicePixelRatio);

/// `image` with every component but `channel` set to zero; its device pixel ratio stays.
QImage ChannelOf(const QImage& image, Channel channel);

/// Shows a pure-channel image in `look`: unchanged when tinted, each pixel as the
/// grey of its `channel` component otherwise.
void ShowInLook(QImage& image, Channel channel, ChannelLook look);

}  // namespace irobunkai
