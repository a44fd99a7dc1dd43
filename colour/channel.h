#pragma once

#include <array>
#include <cstddef>

#include "colour/color_value.h"

namespace irobunkai {

/// One of a colour's three components.
enum class Channel { Red, Green, Blue };

inline constexpr std::array<Channel, 3> kChannels = {Channel::Red, Channel::Green, Channel::Blue};

/// Which byte of a ColorValue holds `channel`: 0 for red, 1 for green, 2 for blue.
constexpr int ComponentIndex(Channel channel) {
  return channel == Channel::Red ? 0 : channel == Channel::Green ? 1 : 2;
}

/// The pure-channel colour that shows a component value: (v,0,0), (0,v,0) or (0,0,v).
constexpr ColorValue ChannelColor(Channel channel, ColorValue value) {
  switch (channel) {
    case Channel::Red:
      return RGB(value, 0, 0);
    case Channel::Green:
      return RGB(0, value, 0);
    case Channel::Blue:
      return RGB(0, 0, value);
  }
  return kNoColor;
}

/// One `T` for each channel, indexed by the channel.
template <typename T>
struct PerChannel {
  std::array<T, 3> items{};

  constexpr T& operator[](Channel channel) {
    return items[static_cast<std::size_t>(ComponentIndex(channel))];
  }
  constexpr const T& operator[](Channel channel) const {
    return items[static_cast<std::size_t>(ComponentIndex(channel))];
  }
  auto begin() { return items.begin(); }
  auto end() { return items.end(); }
  auto begin() const { return items.begin(); }
  auto end() const { return items.end(); }

  bool operator==(const PerChannel&) const = default;
};

}  // namespace irobunkai
