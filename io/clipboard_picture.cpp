#include "io/clipboard_picture.h"

#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <new>

namespace irobunkai {
namespace {

std::optional<LoadResult> EncodedImage(const QMimeData& data) {
  for (const QString& format : data.formats()) {
    if (format.startsWith(QLatin1String("image/"))) {
      const QByteArray bytes = data.data(format);
      if (!bytes.isEmpty()) {
        return DecodePicture(bytes);
      }
    }
  }
  return std::nullopt;
}

LoadResult DecodedImage(const QMimeData& data) {
  const auto image = qvariant_cast<QImage>(data.imageData());
  if (image.isNull()) {
    return MakeRunTimeError(error_number::kInvalidPicture);
  }
  if (qint64{image.width()} * image.height() > kMaxPicturePixels) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
  try {
    return AdoptImage(image);
  } catch (const std::bad_alloc&) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
}

QString FileNamed(const QMimeData& data) {
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) {
      return url.toLocalFile();
    }
  }
  if (!data.hasText()) {
    return {};
  }
  const QString text = data.text().section(u'\n', 0, 0).trimmed();
  const QUrl url(text);
  if (url.isLocalFile()) {
    return url.toLocalFile();
  }
  return QFileInfo(text).isAbsolute() ? text : QString();
}

}  // namespace

ClipboardOffer PictureOffered(const QMimeData* data) {
  if (data == nullptr) {
    return NoPicture{};
  }
  if (auto encoded = EncodedImage(*data)) {
    return *std::move(encoded);
  }
  if (data->hasImage()) {
    return DecodedImage(*data);
  }
  if (QString path = FileNamed(*data); !path.isEmpty()) {
    return path;
  }
  return NoPicture{};
}

}  // namespace irobunkai
