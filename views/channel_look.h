#pragma once

#include "colour/channel.h"
#include "colour/color_value.h"

namespace irobunkai {

/// How a channel's values are shown: in the channel's own colour, or as greys.
enum class ChannelLook { Tinted, Grey };

}  // namespace irobunkai
