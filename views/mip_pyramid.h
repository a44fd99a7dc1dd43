#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "colour/colour_model.h"
#include "colour/profile_lab.h"
#include "views/channel_plane.h"
#include "views/picture_view.h"

namespace irobunkai {

class PressSeparation;

/// Successive box-filtered reductions of a view's area, for showing it zoomed out
/// without touching every full-size pixel per frame. The finest level is a quarter
/// of the area's size; views zoomed in further read the full-size pixels, because
/// their visible region is small. Levels hold one byte per component: four (R, G, B,
/// unused) for a colour area, one for a single channel.
class MipPyramid {
 public:
  struct Level {
    int width = 0;
    int height = 0;
    int reduction = 1;  // area pixels per level pixel, along each axis
    int components = 4;
    std::vector<std::uint8_t> bytes;

    [[nodiscard]] const std::uint8_t* Row(int y) const {
      return bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) *
                                static_cast<std::size_t>(components);
    }
  };

  MipPyramid() = default;

  /// The levels of the view's content, in colour; beyond it the area is one colour
  /// (PictureView::AreaFill) and needs no levels. Allocates before any thread starts,
  /// so running short of memory throws std::bad_alloc.
  static MipPyramid OfView(const PictureView& view);
  /// One channel of a colour pyramid: the levels of that channel's plane, since every
  /// level averages each channel on its own.
  static MipPyramid ChannelOf(const MipPyramid& colour, Channel channel);

  /// The levels of `model`'s three components, worked out from each pixel of a colour
  /// pyramid: each level pixel shows the components of its mean colour, so that the
  /// S of a zoomed-out HSV view is tinted by the hue of the same colour.
  /// CMYK's four inks are made through `press`.
  static std::array<MipPyramid, 4> ComponentsOf(const MipPyramid& colour, ColourModel model,
                                                const ProfileLab* lab = nullptr,
                                                const PressSeparation* press = nullptr);

  /// The coarsest level that still has at least `devicePixelsPerAreaPixel` pixels
  /// per area pixel; nullptr when only the full-size area is fine enough.
  [[nodiscard]] const Level* LevelFor(double devicePixelsPerAreaPixel) const;

  [[nodiscard]] const std::vector<Level>& Levels() const { return levels_; }
  [[nodiscard]] std::size_t Bytes() const;

 private:
  std::vector<Level> levels_;
};

}  // namespace irobunkai
