#pragma once

#include <memory>
#include <optional>

#include "analysis/channel_histogram.h"
#include "colour/colour_model.h"
#include "colour/press_separation.h"
#include "colour/profile_lab.h"
#include "views/channel_plane.h"
#include "views/picture_view.h"

namespace irobunkai {

/// The component grids of one separation and, when they were counted with it, their
/// histograms. Channel::Red, Green and Blue index a model's first, second and third
/// component; CMYK's black plate is Channel::Black, null in the other models.
struct Separation {
  PerChannel<std::shared_ptr<ChannelPlane>> planes;
  /// The planes' histograms when the separation counted them, else nullopt, so they
  /// never describe older planes.
  std::optional<ChannelHistograms> histograms;
  ColourModel model = ColourModel::RGB;

  [[nodiscard]] bool IsEmpty() const { return !planes[Channel::Red]; }
  [[nodiscard]] const ChannelPlane& RedPlane() const { return *planes[Channel::Red]; }
  [[nodiscard]] const ChannelPlane& GreenPlane() const { return *planes[Channel::Green]; }
  [[nodiscard]] const ChannelPlane& BluePlane() const { return *planes[Channel::Blue]; }
  /// Whether the separation has a plane for `channel`: the black plate only in CMYK.
  [[nodiscard]] bool Has(Channel channel) const { return planes[channel] != nullptr; }
};

struct SeparationOptions {
  /// Counts each plane's histogram while the planes are filled, which is far cheaper
  /// than reading the planes again afterwards.
  bool countHistograms = false;
  /// The model whose components the planes hold, left to right as grey levels; in
  /// RGB the levels are the red, green and blue components themselves.
  ColourModel model = ColourModel::RGB;
  /// How L*a*b* is measured, through the picture's profile; null for sRGB.
  const ProfileLab* lab = nullptr;
  /// How CMYK's inks are made from the colours, through a press profile. A picture that
  /// carries its own inks is split into them instead, as it stores them.
  const PressSeparation* press = nullptr;
};

/// Splits every pixel that `source` shows into three planes by the colour rules (or
/// into the components of another model, four for CMYK):
/// its content cell by cell, the uniform rest of its area as each plane's fill.
/// Planes of `separation` whose storage fits are filled again in place; otherwise
/// new ones are allocated, all before any is written, so that when memory runs
/// short std::bad_alloc leaves `separation` as it was.
void SeparateChannels(const PictureView& source, Separation& separation,
                      SeparationOptions options = {});

/// Readies `options.press`, when the separation needs one, for a picture as large as
/// `source`'s: below 16.7 megapixels the colours are worked out one by one, beyond it every
/// colour's inks at once. May throw std::bad_alloc.
void PreparePress(const PictureView& source, const SeparationOptions& options);

/// A separation of `source` into new planes.
Separation SeparateChannels(const PictureView& source, SeparationOptions options = {});

/// Counts the histograms of a separation's planes, as its separation would have: their
/// stored cells, the picture's own pixels, not the background beyond them.
ChannelHistograms CountPlanes(const Separation& separation);

}  // namespace irobunkai
