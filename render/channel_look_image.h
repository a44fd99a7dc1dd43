#pragma once

#include <QImage>

#include "views/channel_look.h"

namespace irobunkai {

/// Shows a pure-channel image in `look`: unchanged when tinted, each pixel as the
/// grey of its `channel` component otherwise.
void ShowInLook(QImage& image, Channel channel, ChannelLook look);

}  // namespace irobunkai
