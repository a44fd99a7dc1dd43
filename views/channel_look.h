#pragma once

#include "colour/channel.h"
#include "colour/color_value.h"

namespace irobunkai {

/// How a channel's values are shown: in the channel's own colour, or as greys.
enum class ChannelLook { Tinted, Grey };

/// The colour that shows `value` (0..255) of `channel`: tinted gives (v,0,0),
/// (0,v,0) or (0,0,v) as ChannelColor does; grey gives (v,v,v) for every channel.
constexpr ColorValue LookColor(Channel channel, ChannelLook look, int value) {
  if (look == ChannelLook::Grey) {
    return RGB(value, value, value);
  }
  return ChannelColor(channel, value);
}

}  // namespace irobunkai
