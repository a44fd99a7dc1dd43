#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "io/channel_files.h"
#include "io/channel_saving.h"

class QWidget;

namespace irobunkai {

/// Asks for the path to save to, starting at `suggested`; empty when the user cancels.
using SavePathChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
/// Asks whether the existing files `paths` may be replaced.
using OverwriteAsker = std::function<bool(QWidget* parent, const QStringList& paths)>;

/// Runs the writing of the files and then the report of what came of it. By default at once;
/// the window writes on its worker thread and reports when the writing ends, or never when
/// it is cancelled.
using SaveRunner = std::function<void(std::function<SaveOutcome(const Progress&)> write,
                                      std::function<void(const SaveOutcome&)> report)>;
void SaveAtOnce(const std::function<SaveOutcome(const Progress&)>& write,
                const std::function<void(const SaveOutcome&)>& report);

/// The save dialog: PNG, TIFF, BMP and WebP, and it asks itself before overwriting.
QString ChooseSavePath(QWidget* parent, const QString& suggested);
/// The save dialog for a CMYK TIFF: TIFF only, and it asks itself before overwriting.
QString ChooseCmykTiffPath(QWidget* parent, const QString& suggested);
/// A yes/no message box listing the files; No is the default.
bool AskOverwrite(QWidget* parent, const QStringList& paths);

/// What channel files are named after: the separated picture's file or, for a
/// picture without one, `unnamedBase` ("sample", "clipboard").
struct ChannelFileBase {
  // Implicit: most callers name a picture's path.
  ChannelFileBase(QString path = {}, QString unnamed = QStringLiteral("sample"))  // NOLINT
      : picturePath(std::move(path)), unnamedBase(std::move(unnamed)) {}
  QString picturePath;
  QString unnamedBase;
};

/// How the dialog helpers ask the user; tests answer in their place.
struct SaveDialogHooks {
  SavePathChooser choosePath = ChooseSavePath;
  OverwriteAsker askOverwrite = AskOverwrite;
  SaveRunner run = SaveAtOnce;
  /// Asks where a CMYK TIFF goes.
  SavePathChooser chooseCmykTiffPath = ChooseCmykTiffPath;
};

/// Asks where to save one channel and saves it there. A failure is shown in a
/// warning box. True when the file was written (by a runner that writes at once).
/// `icc`: the separated picture's profile, carried by channels shown in its colours.
bool SaveChannelWithDialog(QWidget* parent, const Separation& separation, Channel channel,
                           ChannelLook look, const ChannelFileBase& base,
                           const SaveDialogHooks& hooks = {}, IccBytes icc = {});

/// Asks for one path (the red channel's name is suggested) and writes all the channels
/// (CMYK's four plates, three otherwise) beside each other as ChannelSiblingPaths names them.
/// Existing files the dialog did not ask about are only replaced after one question; when it is
/// refused nothing is written. A channel that fails is reported, naming the files
/// that were written, and those are kept. Returns the files written (by a runner that
/// writes at once). The planes are copied before the writing starts.
QStringList SaveAllChannelsWithDialog(QWidget* parent, const Separation& separation,
                                      ChannelLook look, const ChannelFileBase& base,
                                      const SaveDialogHooks& hooks = {}, IccBytes icc = {});

/// Asks where to save the CMYK separation as one CMYK TIFF with the press profile `pressIcc`
/// embedded, and writes it (through hooks.run, so the window writes on its worker). The
/// suggested name is "<base>-CMYK.tif" beside the picture (as SuggestedChannelPath places
/// files). A failure is shown in a warning box; the planes are copied first. Returns whether it
/// was written (by a runner that writes at once). Does nothing unless the separation is CMYK.
bool SaveCmykTiffWithDialog(QWidget* parent, const Separation& separation,
                            std::vector<std::uint8_t> pressIcc, const ChannelFileBase& base,
                            const SaveDialogHooks& hooks = {});

}  // namespace irobunkai
