#include "io/channel_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <memory>
#include <new>

namespace irobunkai {
namespace {

// Rows of a picture between two looks at its progress.
constexpr int kRowsPerReport = 64;

QImage::Format FormatOf(const ChannelRows& rows) {
  return rows.IsGrey() ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
}

}  // namespace

ChannelRows::ChannelRows(const ChannelPlane& plane, Channel channel, ChannelLook look,
                         PlaneModel model)
    : plane_(plane), channel_(channel), look_(look), model_(model.model) {
  if (look == ChannelLook::Tinted && model.model != ColourModel::RGB) {
    shade_.emplace(std::make_shared<const ComponentLooks>(model.model), ComponentIndex(channel));
    hue_ = shade_->NeedsHue() ? model.hue : nullptr;
  }
  if (!IsGrey()) {
    cells_.resize(static_cast<std::size_t>(plane.Width()));
    hues_.resize(hue_ != nullptr ? cells_.size() : 0);
  }
}

void ChannelRows::Paint(int y, std::span<std::uint8_t> out) {
  if (IsGrey()) {
    const auto row = out.first(static_cast<std::size_t>(Width()));
    plane_.ReadRow(y, 0, row);
    if (model_ == ColourModel::CMYK) {
      std::ranges::transform(
          row, row.begin(), [](std::uint8_t v) { return PlaneLook::GreyOf(ColourModel::CMYK, v); });
    }
    return;
  }
  plane_.ReadRow(y, 0, cells_);
  if (!shade_) {
    // A pure channel: only the channel's own byte of each pixel is lit.
    const auto offset = static_cast<std::size_t>(ComponentIndex(channel_));
    std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(RowBytes()), std::uint8_t{0});
    for (std::size_t x = 0; x < cells_.size(); ++x) {
      out[3 * x + offset] = cells_[x];
    }
    return;
  }
  if (hue_ != nullptr) {
    hue_->ReadRow(y, 0, hues_);
  }
  for (std::size_t x = 0; x < cells_.size(); ++x) {
    const ColorValue c = shade_->At(cells_[x], hue_ != nullptr ? hues_[x] : 0);
    out[3 * x] = static_cast<std::uint8_t>(RedOf(c));
    out[3 * x + 1] = static_cast<std::uint8_t>(GreenOf(c));
    out[3 * x + 2] = static_cast<std::uint8_t>(BlueOf(c));
  }
}

QImage ChannelImage(const ChannelPlane& plane, Channel channel, ChannelLook look, PlaneModel model,
                    const Progress& progress) {
  try {
    ChannelRows rows(plane, channel, look, model);
    QImage image(rows.Width(), rows.Height(), FormatOf(rows));
    if (image.isNull()) {
      return image;
    }
    for (int y = 0; y < rows.Height(); ++y) {
      if (y % kRowsPerReport == 0) {
        if (progress.Cancelled()) {
          return {};
        }
        progress.Report(y, rows.Height());
      }
      rows.Paint(y, std::span(image.scanLine(y), rows.RowBytes()));
    }
    return image;
  } catch (const std::bad_alloc&) {
    return {};
  }
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
    case Channel::Black:
      return QStringLiteral("-K");
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

std::vector<QString> ChannelSiblingPaths(const QString& chosen, ColourModel model) {
  const std::span<const Channel> channels =
      std::span(kPlates).first(static_cast<std::size_t>(ComponentCount(model)));
  const QFileInfo info(SavePathWithExtension(chosen));
  QString base = info.completeBaseName();
  for (const Channel channel : channels) {
    const QString suffix = ChannelSuffix(channel, model);
    if (base.endsWith(suffix, Qt::CaseInsensitive)) {
      base.chop(suffix.size());
      break;
    }
  }
  const QDir folder = info.dir();
  const QString extension = QStringLiteral(".") + info.suffix();
  std::vector<QString> paths;
  paths.reserve(channels.size());
  for (const Channel channel : channels) {
    paths.push_back(folder.filePath(base + ChannelSuffix(channel, model) + extension));
  }
  return paths;
}

}  // namespace irobunkai
