#include "io/channel_files.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <new>
#include <span>
#include <vector>

#include "views/plane_look.h"

namespace irobunkai {
namespace {

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

// A component of another model, each cell in the colour it contributes.
QImage ModelImage(const ChannelPlane& plane, Channel channel, PlaneModel model) {
  const int width = plane.Width();
  const int height = plane.Height();
  QImage image(width, height, QImage::Format_RGB888);
  if (image.isNull()) {
    return image;
  }
  try {
    const PlaneLook shade(std::make_shared<const ComponentLooks>(model.model),
                          ComponentIndex(channel));
    const ChannelPlane* hue = shade.NeedsHue() ? model.hue : nullptr;
    std::vector<std::uint8_t> cells(static_cast<std::size_t>(width));
    std::vector<std::uint8_t> hues(hue != nullptr ? cells.size() : 0);
    for (int y = 0; y < height; ++y) {
      plane.ReadRow(y, 0, cells);
      if (hue != nullptr) {
        hue->ReadRow(y, 0, hues);
      }
      uchar* line = image.scanLine(y);
      for (std::size_t x = 0; x < cells.size(); ++x) {
        const ColorValue c = shade.At(cells[x], hue != nullptr ? hues[x] : 0);
        line[3 * x] = static_cast<uchar>(RedOf(c));
        line[3 * x + 1] = static_cast<uchar>(GreenOf(c));
        line[3 * x + 2] = static_cast<uchar>(BlueOf(c));
      }
    }
  } catch (const std::bad_alloc&) {
    return {};
  }
  return image;
}

}  // namespace

bool CanSaveAs(const QString& suffix) { return !FormatFor(suffix).isEmpty(); }

QString SaveErrorText(const QString& path, const QString& japanese, const QString& english,
                      const QString& detail) {
  QString text = QStringLiteral("保存できませんでした: %1\nCould not save: %1\n\n%2\n%3")
                     .arg(QDir::toNativeSeparators(path), japanese, english);
  if (!detail.isEmpty()) {
    text += QStringLiteral("\n(%1)").arg(detail);
  }
  return text;
}

QImage ChannelImage(const ChannelPlane& plane, Channel channel, ChannelLook look,
                    PlaneModel model) {
  if (look == ChannelLook::Tinted && model.model != ColourModel::RGB) {
    return ModelImage(plane, channel, model);
  }
  const int width = plane.Width();
  const int height = plane.Height();
  if (look == ChannelLook::Grey) {
    QImage image(width, height, QImage::Format_Grayscale8);
    if (image.isNull()) {
      return image;
    }
    for (int y = 0; y < height; ++y) {
      plane.ReadRow(y, 0, std::span(image.scanLine(y), static_cast<std::size_t>(width)));
    }
    return image;
  }
  QImage image(width, height, QImage::Format_RGB888);
  if (image.isNull()) {
    return image;
  }
  std::vector<std::uint8_t> cells;
  try {
    cells.resize(static_cast<std::size_t>(width));
  } catch (const std::bad_alloc&) {
    return {};
  }
  image.fill(Qt::black);
  // RGB888 keeps each pixel as the bytes R, G, B: only the channel's own byte is set.
  const int offset = ComponentIndex(channel);
  for (int y = 0; y < height; ++y) {
    plane.ReadRow(y, 0, cells);
    uchar* line = image.scanLine(y) + offset;
    for (int x = 0; x < width; ++x) {
      line[3 * x] = cells[static_cast<std::size_t>(x)];
    }
  }
  return image;
}

QString ChannelSuffix(Channel channel, ColourModel model) {
  if (model != ColourModel::RGB) {
    // File names keep to ASCII: Y′ is written Y, L* and a* without their stars.
    QString component = QString::fromUtf8(ComponentName(model, ComponentIndex(channel)));
    component.remove(QChar(0x2032)).remove(QLatin1Char('*'));
    QString name = QString::fromUtf8(MenuText(model));
    name.remove(QLatin1Char('*'));
    return QStringLiteral("-%1-%2").arg(name, component);
  }
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
                             const QString& unnamedBase, ColourModel model) {
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
  return QDir(folder).filePath(base + ChannelSuffix(channel, model) + QStringLiteral(".png"));
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
    return {target,
            SaveErrorText(target,
                          QStringLiteral("この形式 (.%1) では保存できません。PNG、TIFF、BMP、"
                                         "WebP のどれかを選んでください。")
                              .arg(suffix),
                          QStringLiteral("Pictures cannot be saved as .%1. Choose PNG, TIFF, "
                                         "BMP or WebP.")
                              .arg(suffix))};
  }
  if (image.isNull()) {
    return {target, SaveErrorText(target, QStringLiteral("保存する画像がありません。"),
                                  QStringLiteral("There is no picture to save."))};
  }
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    return {target,
            SaveErrorText(target,
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
    return {target, SaveErrorText(
                        target,
                        QStringLiteral("書き込めませんでした。ディスクの空きと、画像の大きさがこの"
                                       "形式で扱えるかを確かめてください。"),
                        QStringLiteral("Writing failed. Check the free disk space and that the "
                                       "format can hold a picture this size."),
                        writer.errorString())};
  }
  if (!file.commit()) {
    return {target,
            SaveErrorText(
                target, QStringLiteral("書き込めませんでした。ディスクの空きを確かめてください。"),
                QStringLiteral("Writing failed. Check the free disk space."), file.errorString())};
  }
  return {target, {}};
}

std::array<QString, 3> ChannelSiblingPaths(const QString& chosen, ColourModel model) {
  const QFileInfo info(SavePathWithExtension(chosen));
  QString base = info.completeBaseName();
  for (const Channel channel : kChannels) {
    const QString suffix = ChannelSuffix(channel, model);
    if (base.endsWith(suffix, Qt::CaseInsensitive)) {
      base.chop(suffix.size());
      break;
    }
  }
  const QDir folder = info.dir();
  const QString extension = QStringLiteral(".") + info.suffix();
  std::array<QString, 3> paths;
  for (std::size_t i = 0; i < kChannels.size(); ++i) {
    paths[i] = folder.filePath(base + ChannelSuffix(kChannels[i], model) + extension);
  }
  return paths;
}

bool CopyChannelToClipboard(const ChannelPlane& plane, Channel channel, ChannelLook look,
                            PlaneModel model) {
  const QImage image = ChannelImage(plane, channel, look, model);
  if (image.isNull()) {
    return false;
  }
  QGuiApplication::clipboard()->setImage(image);
  return true;
}

}  // namespace irobunkai
