#pragma once

#include <array>
#include <cstddef>

#include "colour/color_value.h"

namespace irobunkai {

/// One of a colour's three components, or the fourth plate of a press separation (its black,
/// beside the cyan, magenta and yellow that the three hold).
enum class Channel { Red, Green, Blue, Black };

inline constexpr std::array<Channel, 3> kChannels = {Channel::Red, Channel::Green, Channel::Blue};
/// The planes of a four-ink separation.
inline constexpr std::array<Channel, 4> kPlates = {Channel::Red, Channel::Green, Channel::Blue,
                                                   Channel::Black};

/// Which byte of a ColorValue holds `channel`: 0 for red, 1 for green, 2 for blue; the black
/// plate is component 3.
constexpr int ComponentIndex(Channel channel) { return static_cast<int>(channel); }

/// The channel of component 0..3.
constexpr Channel ChannelOfComponent(int component) { return static_cast<Channel>(component); }

/// The pure-channel colour that shows a component value: (v,0,0), (0,v,0) or (0,0,v).
constexpr ColorValue ChannelColor(Channel channel, ColorValue value) {
  switch (channel) {
    case Channel::Red:
      return RGB(value, 0, 0);
    case Channel::Green:
      return RGB(0, value, 0);
    case Channel::Blue:
      return RGB(0, 0, value);
    case Channel::Black:
      return RGB(value, value, value);
  }
  return kNoColor;
}

/// One `T` for each channel, the black plate's included, indexed by the channel.
template <typename T>
struct PerChannel {
  std::array<T, 4> items{};

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
