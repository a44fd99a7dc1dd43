#include "io/clipboard_picture.h"

#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <new>

namespace irobunkai {
namespace {

// The image types offered, PNG first: a program that offers its own format before
// the common ones (an SVG editor's image/x-inkscape-svg) still pastes.
QStringList ImageTypes(const QMimeData& data) {
  QStringList types;
  for (const QString& format : data.formats()) {
    if (format.startsWith(QLatin1String("image/"))) {
      types.append(format);
    }
  }
  std::stable_partition(types.begin(), types.end(),
                        [](const QString& type) { return type == QLatin1String("image/png"); });
  return types;
}

// The first offered type that decodes; otherwise the error of the first that did not.
std::optional<LoadResult> EncodedImage(const QMimeData& data) {
  std::optional<LoadResult> firstError;
  for (const QString& type : ImageTypes(data)) {
    const QByteArray bytes = data.data(type);
    if (bytes.isEmpty()) {
      continue;
    }
    LoadResult result = DecodePicture(bytes);
    if (std::holds_alternative<LoadedPicture>(result)) {
      return result;
    }
    if (!firstError) {
      firstError = std::move(result);
    }
  }
  return firstError;
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
    return LoadedPicture{AdoptImage(image), {}, {}};
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
  std::optional<LoadResult> encoded = EncodedImage(*data);
  if (encoded && std::holds_alternative<LoadedPicture>(*encoded)) {
    return *std::move(encoded);
  }
  if (data->hasImage()) {
    LoadResult decoded = DecodedImage(*data);
    if (std::holds_alternative<LoadedPicture>(decoded) || !encoded) {
      return decoded;
    }
  }
  if (QString path = FileNamed(*data); !path.isEmpty()) {
    return path;
  }
  if (encoded) {
    return *std::move(encoded);  // offered as a picture, but none of its types decodes
  }
  return NoPicture{};
}

}  // namespace irobunkai
