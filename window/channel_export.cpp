#include "window/channel_export.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstring>

namespace irobunkai {
namespace {

constexpr std::array<Channel, 3> kChannels = {Channel::Red, Channel::Green, Channel::Blue};

// The writer's format for an extension; empty when it is not one we save.
QByteArray FormatFor(const QString& suffix) {
  const QString s = suffix.toLower();
  if (s == QLatin1String("png")) {
    return "png";
  }
  if (s == QLatin1String("tif") || s == QLatin1String("tiff")) {
    return "tiff";
  }
  if (s == QLatin1String("bmp")) {
    return "bmp";
  }
  if (s == QLatin1String("webp")) {
    return "webp";
  }
  return {};
}

QString SaveError(const QString& path, const QString& japanese, const QString& english,
                  const QString& detail = {}) {
  QString text = QStringLiteral("保存できませんでした: %1\nCould not save: %1\n\n%2\n%3")
                     .arg(QDir::toNativeSeparators(path), japanese, english);
  if (!detail.isEmpty()) {
    text += QStringLiteral("\n(%1)").arg(detail);
  }
  return text;
}

void ShowSaveError(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, QCoreApplication::applicationName(), text);
}

SaveResult SavePlane(const ChannelPlane& plane, Channel channel, ChannelLook look,
                     const QString& path) {
  const QImage image = ChannelImage(plane, channel, look);
  if (image.isNull()) {
    return {SavePathWithExtension(path),
            SaveError(SavePathWithExtension(path), QStringLiteral("メモリが不足しています。"),
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

QImage ChannelImage(const ChannelPlane& plane, Channel channel, ChannelLook look) {
  const int width = plane.Width();
  const int height = plane.Height();
  if (look == ChannelLook::Grey) {
    QImage image(width, height, QImage::Format_Grayscale8);
    if (image.isNull()) {
      return image;
    }
    for (int y = 0; y < height; ++y) {
      std::memcpy(image.scanLine(y), plane.Row(y), static_cast<std::size_t>(width));
    }
    return image;
  }
  QImage image(width, height, QImage::Format_RGB888);
  if (image.isNull()) {
    return image;
  }
  image.fill(Qt::black);
  // RGB888 keeps each pixel as the bytes R, G, B: only the channel's own byte is set.
  const int offset = ComponentIndex(channel);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* cells = plane.Row(y);
    uchar* line = image.scanLine(y) + offset;
    for (int x = 0; x < width; ++x) {
      line[3 * x] = cells[x];
    }
  }
  return image;
}

QString ChannelSuffix(Channel channel) {
  switch (channel) {
    case Channel::Red:
      return QStringLiteral("-R");
    case Channel::Green:
      return QStringLiteral("-G");
    case Channel::Blue:
      return QStringLiteral("-B");
  }
  return {};
}

QString SuggestedChannelPath(const QString& picturePath, Channel channel,
                             const QString& unnamedBase) {
  QString folder;
  QString base;
  if (picturePath.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
      folder = QDir::homePath();
    }
    base = unnamedBase;
  } else {
    const QFileInfo picture(picturePath);
    folder = picture.absolutePath();
    base = picture.completeBaseName();
  }
  return QDir(folder).filePath(base + ChannelSuffix(channel) + QStringLiteral(".png"));
}

QString SavePathWithExtension(const QString& path) {
  if (QFileInfo(path).suffix().isEmpty()) {
    return path + QStringLiteral(".png");
  }
  return path;
}

SaveResult SaveChannelImage(const QImage& image, const QString& path) {
  const QString target = SavePathWithExtension(path);
  const QString suffix = QFileInfo(target).suffix();
  const QByteArray format = FormatFor(suffix);
  if (format.isEmpty()) {
    return {target, SaveError(target,
                              QStringLiteral("この形式 (.%1) では保存できません。PNG、TIFF、BMP、"
                                             "WebP のどれかを選んでください。")
                                  .arg(suffix),
                              QStringLiteral("Pictures cannot be saved as .%1. Choose PNG, TIFF, "
                                             "BMP or WebP.")
                                  .arg(suffix))};
  }
  if (image.isNull()) {
    return {target, SaveError(target, QStringLiteral("保存する画像がありません。"),
                              QStringLiteral("There is no picture to save."))};
  }
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    return {target,
            SaveError(target,
                      QStringLiteral("ファイルを作成できません。フォルダーがあり、書き込めるか"
                                     "確かめてください。"),
                      QStringLiteral("The file cannot be created. Check that the folder exists "
                                     "and can be written to."),
                      file.errorString())};
  }
  QImageWriter writer(&file, format);
  if (format == "webp") {
    // Qt's WebP writer encodes losslessly at quality 100 and lossily below it.
    writer.setQuality(100);
  }
  if (!writer.write(image)) {
    file.cancelWriting();
    return {target,
            SaveError(target,
                      QStringLiteral("書き込めませんでした。ディスクの空きと、画像の大きさがこの"
                                     "形式で扱えるかを確かめてください。"),
                      QStringLiteral("Writing failed. Check the free disk space and that the "
                                     "format can hold a picture this size."),
                      writer.errorString())};
  }
  if (!file.commit()) {
    return {target,
            SaveError(
                target, QStringLiteral("書き込めませんでした。ディスクの空きを確かめてください。"),
                QStringLiteral("Writing failed. Check the free disk space."), file.errorString())};
  }
  return {target, {}};
}

std::array<QString, 3> ChannelSiblingPaths(const QString& chosen) {
  const QFileInfo info(SavePathWithExtension(chosen));
  QString base = info.completeBaseName();
  for (const Channel channel : kChannels) {
    if (base.endsWith(ChannelSuffix(channel), Qt::CaseInsensitive)) {
      base.chop(2);
      break;
    }
  }
  const QDir folder = info.dir();
  const QString extension = QStringLiteral(".") + info.suffix();
  std::array<QString, 3> paths;
  for (std::size_t i = 0; i < kChannels.size(); ++i) {
    paths[i] = folder.filePath(base + ChannelSuffix(kChannels[i]) + extension);
  }
  return paths;
}

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
                           ChannelLook look, const QString& picturePath,
                           const SaveDialogHooks& hooks) {
  const QString chosen = hooks.choosePath(parent, SuggestedChannelPath(picturePath, channel));
  if (chosen.isEmpty()) {
    return false;
  }
  // The dialog asked about the name as typed, not about the one with ".png" added.
  const QString target = SavePathWithExtension(chosen);
  if (target != chosen && QFileInfo::exists(target) && !hooks.askOverwrite(parent, {target})) {
    return false;
  }
  const SaveResult result = SavePlane(plane, channel, look, target);
  if (!result.Saved()) {
    ShowSaveError(parent, result.error);
  }
  return result.Saved();
}

QStringList SaveAllChannelsWithDialog(QWidget* parent, const ChannelPlaneSet& planes,
                                      ChannelLook look, const QString& picturePath,
                                      const SaveDialogHooks& hooks) {
  const QString chosen = hooks.choosePath(parent, SuggestedChannelPath(picturePath, Channel::Red));
  if (chosen.isEmpty()) {
    return {};
  }
  const std::array<QString, 3> paths = ChannelSiblingPaths(chosen);
  if (FormatFor(QFileInfo(paths[0]).suffix()).isEmpty()) {
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
  const std::array<const ChannelPlane*, 3> sources = {&planes.red, &planes.green, &planes.blue};
  QStringList written;
  QStringList errors;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const SaveResult result = SavePlane(*sources[i], kChannels[i], look, paths[i]);
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

bool CopyChannelToClipboard(const ChannelPlane& plane, Channel channel, ChannelLook look) {
  const QImage image = ChannelImage(plane, channel, look);
  if (image.isNull()) {
    return false;
  }
  QGuiApplication::clipboard()->setImage(image);
  return true;
}

}  // namespace irobunkai
