#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "colour/color_value.h"

namespace irobunkai {

enum class Channel { Red, Green, Blue };

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

/// Which byte of a ColorValue holds `channel`: 0 for red, 1 for green, 2 for blue.
constexpr int ComponentIndex(Channel channel) {
  return channel == Channel::Red ? 0 : channel == Channel::Green ? 1 : 2;
}

/// The `channel` component of a colour, by the colour rules.
constexpr ColorValue ComponentOf(Channel channel, ColorValue c) {
  return channel == Channel::Red ? RedOf(c) : channel == Channel::Green ? GreenOf(c) : BlueOf(c);
}

/// A grid of one colour component per pixel, one byte per cell (each holds 0..255).
class ChannelPlane {
 public:
  /// Sets the grid's size. The cells' values are unspecified afterwards. Storage is
  /// kept when the new size fits in it, because touching fresh memory costs more
  /// than filling it.
  void Resize(int width, int height);

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }

  [[nodiscard]] std::uint8_t* Row(int y) { return cells_.get() + Offset(0, y); }
  [[nodiscard]] const std::uint8_t* Row(int y) const { return cells_.get() + Offset(0, y); }
  [[nodiscard]] std::uint8_t At(int x, int y) const { return cells_[Offset(x, y)]; }

 private:
  [[nodiscard]] std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::size_t capacity_ = 0;
  std::unique_ptr<std::uint8_t[]> cells_;
};

}  // namespace irobunkai
