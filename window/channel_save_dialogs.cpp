#include "window/channel_save_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace irobunkai {
namespace {

void ShowSaveError(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QCoreApplication::applicationName(), text);
}

SaveResult SavePlane(const ChannelPlane& plane, Channel channel, ChannelLook look, PlaneModel model,
                     const QString& path) {
  const QImage image = ChannelImage(plane, channel, look, model);
  if (image.isNull()) {
    return {SavePathWithExtension(path),
            SaveErrorText(SavePathWithExtension(path), QStringLiteral("メモリが不足しています。"),
                          QStringLiteral("There is not enough memory for the picture."))};
  }
  return SaveChannelImage(image, path);
}

QStringList NativeList(const QStringList& paths) {
  QStringList native;
  for (const QString& path : paths) {
    native.append(QDir::toNativeSeparators(path));
  }
  return native;
}

}  // namespace

QString ChooseSavePath(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(
      parent, QStringLiteral("チャンネル画像を保存"), suggested,
      QStringLiteral("PNG (*.png);;TIFF (*.tif *.tiff);;BMP (*.bmp);;WebP (*.webp)"));
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

bool SaveChannelWithDialog(QWidget* parent, const ChannelPlane& plane, Channel channel,
                           ChannelLook look, const ChannelFileBase& base,
                           const SaveDialogHooks& hooks, PlaneModel model) {
  const QString chosen = hooks.choosePath(
      parent, SuggestedChannelPath(base.picturePath, channel, base.unnamedBase, model.model));
  if (chosen.isEmpty()) {
    return false;
  }
  // The dialog asked about the name as typed, not about the one with ".png" added.
  const QString target = SavePathWithExtension(chosen);
  if (target != chosen && QFileInfo::exists(target) && !hooks.askOverwrite(parent, {target})) {
    return false;
  }
  const SaveResult result = SavePlane(plane, channel, look, model, target);
  if (!result.Saved()) {
    ShowSaveError(parent, result.error);
  }
  return result.Saved();
}

QStringList SaveAllChannelsWithDialog(QWidget* parent,
                                      const PerChannel<const ChannelPlane*>& planes,
                                      ChannelLook look, const ChannelFileBase& base,
                                      const SaveDialogHooks& hooks, ColourModel model) {
  const QString chosen = hooks.choosePath(
      parent, SuggestedChannelPath(base.picturePath, Channel::Red, base.unnamedBase, model));
  if (chosen.isEmpty()) {
    return {};
  }
  const std::array<QString, 3> paths = ChannelSiblingPaths(chosen, model);
  if (!CanSaveAs(QFileInfo(paths[0]).suffix())) {
    // Refused before anything is written: all three would fail alike.
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
  QStringList written;
  QStringList errors;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    // The S of HSV and HSL is tinted by the first plane, the hue.
    const PlaneModel planeModel{model, planes[Channel::Red]};
    const SaveResult result =
        SavePlane(*planes[kChannels[i]], kChannels[i], look, planeModel, paths[i]);
    if (result.Saved()) {
      written.append(result.path);
    } else {
      errors.append(result.error);
    }
  }
  if (!errors.isEmpty()) {
    QString text = errors.join(QStringLiteral("\n\n"));
    text += written.isEmpty()
                ? QStringLiteral("\n\n保存したファイルはありません。\nNo file was saved.")
                : QStringLiteral("\n\n保存したファイル / Saved:\n%1")
                      .arg(NativeList(written).join(QLatin1Char('\n')));
    ShowSaveError(parent, text);
  }
  return written;
}

}  // namespace irobunkai
