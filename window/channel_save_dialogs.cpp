#include "window/channel_save_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "io/cmyk_tiff_file.h"

namespace irobunkai {
namespace {

void ShowSaveError(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QCoreApplication::applicationName(), text);
}

const QString kOutOfMemory =
    QStringLiteral("メモリが不足しています。\nThere is not enough memory to save the channels.");

QStringList NativeList(const QStringList& paths) {
  QStringList native;
  for (const QString& path : paths) {
    native.append(QDir::toNativeSeparators(path));
  }
  return native;
}

void ReportSaveAll(QWidget* parent, const SaveOutcome& outcome) {
  const QStringList written = outcome.Written();
  const QStringList errors = outcome.Errors();
  if (errors.isEmpty()) {
    return;
  }
  QString text = errors.join(QStringLiteral("\n\n"));
  text += written.isEmpty()
              ? QStringLiteral("\n\n保存したファイルはありません。\nNo file was saved.")
              : QStringLiteral("\n\n保存したファイル / Saved:\n%1")
                    .arg(NativeList(written).join(QLatin1Char('\n')));
  ShowSaveError(parent, text);
}

// Writes `saves` through the runner and reports; returns what a runner that writes at once
// wrote.
QStringList WriteAndReport(QWidget* parent, std::vector<ChannelSave> saves,
                           const SaveDialogHooks& hooks) {
  auto written = std::make_shared<QStringList>();
  hooks.run([saves = std::move(saves)](
                const Progress& progress) { return SaveChannels(saves, progress); },
            [parent, written](const SaveOutcome& outcome) {
              *written = outcome.Written();
              ReportSaveAll(parent, outcome);
            });
  return *written;
}

// "<base>-CMYK.tif" in the folder where the picture's channels are offered.
QString SuggestedCmykTiffPath(const ChannelFileBase& base) {
  const QString folder =
      QFileInfo(SuggestedChannelPath(base.picturePath, Channel::Red, base.unnamedBase))
          .absolutePath();
  const QString name = base.picturePath.isEmpty() ? base.unnamedBase
                                                  : QFileInfo(base.picturePath).completeBaseName();
  return QDir(folder).filePath(name + QStringLiteral("-CMYK.tif"));
}

}  // namespace

void SaveAtOnce(const std::function<SaveOutcome(const Progress&)>& write,
                const std::function<void(const SaveOutcome&)>& report) {
  const Progress progress;
  report(write(progress));
}

QString ChooseSavePath(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(
      parent, QStringLiteral("チャンネル画像を保存"), suggested,
      QStringLiteral("PNG (*.png);;TIFF (*.tif *.tiff);;BMP (*.bmp);;WebP (*.webp)"));
}

QString ChooseCmykTiffPath(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("CMYK TIFF を保存"), suggested,
                                      QStringLiteral("CMYK TIFF (*.tif *.tiff)"));
}

bool AskOverwrite(QWidget* parent, const QStringList& paths) {
  const QString text =
      QStringLiteral(
          "次のファイルは既にあります。置き換えますか?\nThese files already exist. "
          "Replace them?\n\n%1")
          .arg(NativeList(paths).join(QLatin1Char('\n')));
  return QMessageBox::question(parent, QCoreApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool SaveChannelWithDialog(QWidget* parent, const Separation& separation, Channel channel,
                           ChannelLook look, const ChannelFileBase& base,
                           const SaveDialogHooks& hooks, IccBytes icc) {
  const QString chosen = hooks.choosePath(
      parent, SuggestedChannelPath(base.picturePath, channel, base.unnamedBase, separation.model));
  if (chosen.isEmpty()) {
    return false;
  }
  // The dialog asked about the name as typed, not about the one with ".png" added.
  const QString target = SavePathWithExtension(chosen);
  if (target != chosen && QFileInfo::exists(target) && !hooks.askOverwrite(parent, {target})) {
    return false;
  }
  try {
    return !WriteAndReport(
                parent, {{FrozenChannel(separation, channel, look, std::move(icc)), target}}, hooks)
                .isEmpty();
  } catch (const std::bad_alloc&) {
    ShowSaveError(parent, kOutOfMemory);
    return false;
  }
}

QStringList SaveAllChannelsWithDialog(QWidget* parent, const Separation& separation,
                                      ChannelLook look, const ChannelFileBase& base,
                                      const SaveDialogHooks& hooks, IccBytes icc) {
  const ColourModel model = separation.model;
  const QString chosen = hooks.choosePath(
      parent, SuggestedChannelPath(base.picturePath, Channel::Red, base.unnamedBase, model));
  if (chosen.isEmpty()) {
    return {};
  }
  const std::vector<QString> paths = ChannelSiblingPaths(chosen, model);
  if (!CanSaveAs(QFileInfo(paths[0]).suffix())) {
    // Refused before anything is written: all would fail alike.
    ShowSaveError(parent, SaveChannelImage(QImage(), paths[0]).error);
    return {};
  }
  QStringList existing;
  for (const QString& path : paths) {
    if (path != chosen && QFileInfo::exists(path)) {
      existing.append(path);
    }
  }
  if (!existing.isEmpty() && !hooks.askOverwrite(parent, existing)) {
    return {};
  }
  try {
    std::vector<ChannelSave> saves;
    const std::vector<ChannelPicture> pictures = FrozenChannels(separation, look, std::move(icc));
    for (std::size_t i = 0; i < std::min(paths.size(), pictures.size()); ++i) {
      saves.push_back({pictures[i], paths[i]});
    }
    return WriteAndReport(parent, std::move(saves), hooks);
  } catch (const std::bad_alloc&) {
    ShowSaveError(parent, kOutOfMemory);
    return {};
  }
}

bool SaveCmykTiffWithDialog(QWidget* parent, const Separation& separation,
                            std::vector<std::uint8_t> pressIcc, const ChannelFileBase& base,
                            const SaveDialogHooks& hooks) {
  if (separation.model != ColourModel::CMYK || !separation.Has(Channel::Black)) {
    return false;
  }
  const QString chosen = hooks.chooseCmykTiffPath(parent, SuggestedCmykTiffPath(base));
  if (chosen.isEmpty()) {
    return false;
  }
  // The dialog asked about the name as typed, not about the one with ".tif" added.
  const QString target = CmykTiffPathWithExtension(chosen);
  if (target != chosen && QFileInfo::exists(target) && !hooks.askOverwrite(parent, {target})) {
    return false;
  }
  try {
    InkPlates inks;
    for (const Channel channel : kPlates) {
      inks.plates[static_cast<std::size_t>(ComponentIndex(channel))] =
          FrozenPlane(*separation.planes[channel]);
    }
    auto written = std::make_shared<bool>(false);
    hooks.run(
        [inks = std::move(inks), icc = std::move(pressIcc), target](const Progress& progress) {
          SaveResult result = SaveCmykTiff(inks, icc, target, progress);
          // A file cut short by a cancel is no failure to report.
          const bool cancelled = !result.Saved() && progress.Cancelled();
          return SaveOutcome{.cancelled = cancelled,
                             .results = cancelled ? std::vector<SaveResult>{}
                                                  : std::vector<SaveResult>{std::move(result)}};
        },
        [parent, written](const SaveOutcome& outcome) {
          *written = !outcome.Written().isEmpty();
          ReportSaveAll(parent, outcome);
        });
    return *written;
  } catch (const std::bad_alloc&) {
    ShowSaveError(parent, kOutOfMemory);
    return false;
  }
}

}  // namespace irobunkai
