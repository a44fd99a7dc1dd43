#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "colour/channel.h"

namespace irobunkai {

/// A grid of one colour component per pixel of a view's area, one byte per cell.
///
/// Only the top-left `StoredWidth` x `StoredHeight` cells (the picture's own) are
/// stored; the rest of the area is one uniform background value, `Fill`, so a thin
/// picture in a tall area costs no more than its own pixels.
class ChannelPlane {
 public:
  /// Sets the grid's size with every cell stored. The cells' values are unspecified
  /// afterwards.
  void Resize(int width, int height) { Resize(width, height, width, height, 0); }
  /// Sets the area's size, how much of it is stored and the value of the rest.
  /// Storage is kept when the new size fits in it, because touching fresh memory
  /// costs more than filling it. On std::bad_alloc the plane is unchanged.
  void Resize(int width, int height, int storedWidth, int storedHeight, std::uint8_t fill);
  /// Whether Resize to `storedWidth` x `storedHeight` keeps the storage, and so
  /// cannot fail.
  [[nodiscard]] bool Fits(int storedWidth, int storedHeight) const;

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] int StoredWidth() const { return storedWidth_; }
  [[nodiscard]] int StoredHeight() const { return storedHeight_; }
  [[nodiscard]] std::uint8_t Fill() const { return fill_; }

  /// The stored cells of row y < StoredHeight().
  [[nodiscard]] std::uint8_t* Row(int y) { return cells_.get() + Offset(0, y); }
  [[nodiscard]] const std::uint8_t* Row(int y) const { return cells_.get() + Offset(0, y); }
  [[nodiscard]] std::uint8_t At(int x, int y) const {
    return x < storedWidth_ && y < storedHeight_ ? cells_[Offset(x, y)] : fill_;
  }
  /// Row y of the area from column `left` on, stored cells and fill alike.
  void ReadRow(int y, int left, std::span<std::uint8_t> out) const;

 private:
  [[nodiscard]] std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(storedWidth_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  int storedWidth_ = 0;
  int storedHeight_ = 0;
  std::uint8_t fill_ = 0;
  std::size_t capacity_ = 0;
  std::unique_ptr<std::uint8_t[]> cells_;
};

}  // namespace irobunkai
