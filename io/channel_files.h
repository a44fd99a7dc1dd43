#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "colour/colour_model.h"
#include "document/progress.h"
#include "views/channel_look.h"
#include "views/channel_plane.h"
#include "views/plane_look.h"

namespace irobunkai {

/// Which model's component a plane holds, left to right as the channels: RGB's
/// channels themselves, or another model's, with the hue plane that tints an S plane.
struct PlaneModel {
  ColourModel model = ColourModel::RGB;
  const ChannelPlane* hue = nullptr;
};

/// A plane's rows as its view shows them, one pixel per cell: tinted as R, G, B bytes,
/// grey as one byte of grey (ink as darkness). Reads the planes it is given for as long as it
/// lives.
class ChannelRows {
 public:
  /// Throws std::bad_alloc when there is no memory for a row.
  ChannelRows(const ChannelPlane& plane, Channel channel, ChannelLook look, PlaneModel model = {});

  [[nodiscard]] int Width() const { return plane_.Width(); }
  [[nodiscard]] int Height() const { return plane_.Height(); }
  [[nodiscard]] bool IsGrey() const { return look_ == ChannelLook::Grey; }
  [[nodiscard]] std::size_t RowBytes() const {
    return static_cast<std::size_t>(Width()) * (IsGrey() ? 1 : 3);
  }

  /// Writes row y into `out`, which holds RowBytes().
  void Paint(int y, std::span<std::uint8_t> out);

 private:
  const ChannelPlane& plane_;
  Channel channel_;
  ChannelLook look_;
  ColourModel model_;
  // Another model's tinted component; empty for RGB's pure channels and for grey.
  std::optional<PlaneLook> shade_;
  const ChannelPlane* hue_ = nullptr;
  std::vector<std::uint8_t> cells_;
  std::vector<std::uint8_t> hues_;
};

/// The whole plane as a picture, one pixel per cell: tinted as 24-bit RGB, grey as
/// 8-bit grey, so that each saves as the plain file of its kind. Reports its rows to
/// `progress`. A null image once cancelled or when there is not enough memory for it.
QImage ChannelImage(const ChannelPlane& plane, Channel channel, ChannelLook look,
                    PlaneModel model = {}, const Progress& progress = Progress());

/// "-R", "-G" or "-B": what a channel's file name ends with before its extension. In
/// other models the model's and the component's names, "-HSV-H" or "-Lab-a", so
/// that no two models' files share a name.
QString ChannelSuffix(Channel channel, ColourModel model = ColourModel::RGB);

/// Where a channel of the picture at `picturePath` is offered to be saved:
/// "<folder>/<base name>-R.png" (-G, -B). A picture without a file (the built-in
/// sample, a pasted one: an empty path) is named `unnamedBase` and offered in the
/// user's Pictures folder, or the home folder when there is none.
QString SuggestedChannelPath(const QString& picturePath, Channel channel,
                             const QString& unnamedBase = QStringLiteral("sample"),
                             ColourModel model = ColourModel::RGB);

/// `path` as it will be written: with ".png" added when it has no extension.
QString SavePathWithExtension(const QString& path);

/// The outcome of one save: the file's path (with the extension that was added, if
/// any) and, when nothing was saved, why, in Japanese and English.
struct SaveResult {
  QString path;
  QString error;

  [[nodiscard]] bool Saved() const { return error.isEmpty(); }
};

/// Writes `image` to `path` in the format its extension names: .png (added when there
/// is none), .tif/.tiff, .bmp or lossless .webp. Any other extension is refused. The
/// file appears whole or not at all: an existing file is only replaced by a complete
/// new one. An RGB image's colour space, when it has one, goes with it as its ICC profile
/// where the format holds one (not BMP).
SaveResult SaveChannelImage(const QImage& image, const QString& path);

/// The paths for saving all of a model's planes beside `chosen`, one for each component
/// (CMYK's four plates, three otherwise): its channel suffix, if it has one, replaced by -R,
/// -G and -B (the model's suffixes), else those appended; ".png" added when it has no
/// extension.
std::vector<QString> ChannelSiblingPaths(const QString& chosen,
                                         ColourModel model = ColourModel::RGB);

/// Whether pictures can be saved with the extension `suffix` (without the dot).
bool CanSaveAs(const QString& suffix);

/// Why a picture could not be saved to `path`, in Japanese and English, with a
/// detail from the system when there is one.
QString SaveErrorText(const QString& path, const QString& japanese, const QString& english,
                      const QString& detail = {});

}  // namespace irobunkai
