#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "views/channel_look.h"
#include "views/channel_plane.h"

class QWidget;

namespace irobunkai {

/// The whole plane as a picture, one pixel per cell: tinted as 24-bit RGB, grey as
/// 8-bit grey, so that each saves as the plain file of its kind. A null image when
/// there is not enough memory for it.
QImage ChannelImage(const ChannelPlane& plane, Channel channel, ChannelLook look);

/// "-R", "-G" or "-B": what a channel's file name ends with before its extension.
QString ChannelSuffix(Channel channel);

/// Where a channel of the picture at `picturePath` is offered to be saved:
/// "<folder>/<base name>-R.png" (-G, -B). A picture without a file (the built-in
/// sample, a pasted one: an empty path) is named `unnamedBase` and offered in the
/// user's Pictures folder, or the home folder when there is none.
QString SuggestedChannelPath(const QString& picturePath, Channel channel,
                             const QString& unnamedBase = QStringLiteral("sample"));

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
/// new one.
SaveResult SaveChannelImage(const QImage& image, const QString& path);

/// The three paths for saving all channels beside `chosen`: its channel suffix, if it
/// has one, replaced by -R, -G and -B, else those appended; ".png" added when it has
/// no extension.
std::array<QString, 3> ChannelSiblingPaths(const QString& chosen);

/// Asks for the path to save to, starting at `suggested`; empty when the user cancels.
using SavePathChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
/// Asks whether the existing files `paths` may be replaced.
using OverwriteAsker = std::function<bool(QWidget* parent, const QStringList& paths)>;

/// The save dialog: PNG, TIFF, BMP and WebP, and it asks itself before overwriting.
QString ChooseSavePath(QWidget* parent, const QString& suggested);
/// A yes/no message box listing the files; No is the default.
bool AskOverwrite(QWidget* parent, const QStringList& paths);

/// How the dialog helpers ask the user; tests answer in their place.
struct SaveDialogHooks {
  SavePathChooser choosePath = ChooseSavePath;
  OverwriteAsker askOverwrite = AskOverwrite;
};

/// Asks where to save one channel and saves it there. A failure is shown in a
/// warning box. True when the file was written.
bool SaveChannelWithDialog(QWidget* parent, const ChannelPlane& plane, Channel channel,
                           ChannelLook look, const QString& picturePath,
                           const SaveDialogHooks& hooks = {});

/// The planes of one separation, by channel.
struct ChannelPlaneSet {
  const ChannelPlane& red;
  const ChannelPlane& green;
  const ChannelPlane& blue;
};

/// Asks for one path (the red channel's name is suggested) and writes all three
/// channels beside each other as ChannelSiblingPaths names them. Existing files
/// the dialog did not ask about are only replaced after one question; when it is
/// refused nothing is written. A channel that fails is reported, naming the files
/// that were written, and those are kept. Returns the files written.
QStringList SaveAllChannelsWithDialog(QWidget* parent, const ChannelPlaneSet& planes,
                                      ChannelLook look, const QString& picturePath,
                                      const SaveDialogHooks& hooks = {});

/// Puts the whole channel, at full resolution, on the clipboard as a picture. False,
/// with the clipboard unchanged, when there is not enough memory for the picture.
bool CopyChannelToClipboard(const ChannelPlane& plane, Channel channel, ChannelLook look);

}  // namespace irobunkai
