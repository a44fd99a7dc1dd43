#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/channel_separation.h"
#include "document/progress.h"
#include "io/channel_files.h"

namespace irobunkai {

// Saving and copying channels on a worker thread, while the window goes on.
//
// The window gathers on its own thread what the work needs, as values that nothing else
// writes: FrozenChannel or FrozenChannels copy the planes, since the document fills its
// planes again in place when it separates anew or changes model. The worker then calls
// SaveChannels or ChannelImage with a Progress the window can cancel, and the window reports
// the outcome once the work is done.

/// An ICC profile's bytes, shared by whoever needs them; null or empty means sRGB.
using IccBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

/// A channel's picture as its view shows it, on planes that are never written again, shared
/// by whoever needs them for as long as they need them.
struct ChannelPicture {
  std::shared_ptr<const ChannelPlane> plane;
  Channel channel = Channel::Red;
  ChannelLook look = ChannelLook::Tinted;
  ColourModel model = ColourModel::RGB;
  /// The hue plane that tints the S of HSV and HSL; null when the look needs none.
  std::shared_ptr<const ChannelPlane> hue;
  /// The ICC profile of the colours shown, which saved and copied pictures carry so that
  /// other programs show them alike; null or empty when they are sRGB, and then none is
  /// written. Only RGB pictures carry it: a grey one is always sRGB grey.
  IccBytes icc = nullptr;
};

/// A copy of `plane`. Throws std::bad_alloc.
std::shared_ptr<const ChannelPlane> FrozenPlane(const ChannelPlane& plane);

/// `channel` of `separation` shown in `look`, on copies of the planes it reads. `icc` is the
/// picture's RGB profile; it is kept only where the view shows colours of the picture's own
/// space (RGB's tinted channels), since every other look and model shows sRGB colours.
/// A CMYK plate is always grey, ink as darkness, as a film shows it, whatever the look: its
/// tint is a preview, not the plate. Throws std::bad_alloc.
ChannelPicture FrozenChannel(const Separation& separation, Channel channel, ChannelLook look,
                             IccBytes icc = {});

/// Every plane of `separation` in order, red, green, blue (a model's components) and CMYK's
/// black, each copied once, shown as FrozenChannel shows it. Throws std::bad_alloc.
std::vector<ChannelPicture> FrozenChannels(const Separation& separation, ChannelLook look,
                                           IccBytes icc = {});

/// The whole channel as a picture, as ChannelImage makes it, in the colour space of its
/// profile when it has one; null once cancelled or when there is not enough memory. For
/// copying off the GUI thread: the window puts the result on the clipboard on its own thread.
QImage ChannelImage(const ChannelPicture& picture, const Progress& progress);

/// One file to save.
struct ChannelSave {
  ChannelPicture picture;
  QString path;
};

/// What came of saving files together.
struct SaveOutcome {
  /// Cancelled before the files took their places: none was written or replaced.
  bool cancelled = false;
  /// One result for each file asked for, in order; empty when cancelled.
  std::vector<SaveResult> results;

  [[nodiscard]] QStringList Written() const;
  [[nodiscard]] QStringList Errors() const;
};

/// Writes every picture to its path, by its extension as SaveChannelImage does, with its
/// profile where the format holds one (PNG, TIFF, WebP; not BMP), all side by side, each on a
/// thread of its own. Each is written to a temporary file beside its path that takes the
/// path's place only when all are done: a cancel heard before then leaves every path as it
/// was, and a file that fails leaves its path as it was while the others are kept. Reports
/// the mean of the files' progress from the writers' threads, one call at a time. Blocks
/// until all are done.
SaveOutcome SaveChannels(const std::vector<ChannelSave>& saves, const Progress& progress);

}  // namespace irobunkai
