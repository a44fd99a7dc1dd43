#include "io/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <new>

#include "io/formats/decode_by_content.h"

namespace irobunkai {
namespace {

// Room for the largest picture we accept at 16 bits per component.
constexpr int kAllocationLimitMiB = 1024;

std::optional<RunTimeError> CheckReadable(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    return MakeRunTimeError(error_number::kFileNotFound);
  }
  QFile file(path);
  if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
    return MakeRunTimeError(error_number::kFileAccess);
  }
  return std::nullopt;
}

LoadResult DecodeUnguarded(QImageReader& reader) {
  reader.setAutoTransform(true);
  reader.setAllocationLimit(kAllocationLimitMiB);
  const QSize size = reader.size();
  if (size.isValid() && qint64{size.width()} * size.height() > kMaxPicturePixels) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    return MakeRunTimeError(error_number::kInvalidPicture);
  }
  if (qint64{image.width()} * image.height() > kMaxPicturePixels) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
  return AdoptImage(std::move(image));
}

LoadResult Decode(QImageReader& reader) {
  try {
    return DecodeUnguarded(reader);
  } catch (const std::bad_alloc&) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
}

Bytes BytesOf(const QByteArray& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
          static_cast<std::size_t>(bytes.size())};
}

// Formats Qt has no reader for, recognised by their contents; nullopt for Qt to read.
std::optional<LoadResult> DecodeOtherFormat(const QByteArray& bytes) {
  std::optional<FormatResult> decoded = DecodeByContent(BytesOf(bytes));
  if (!decoded) {
    return std::nullopt;
  }
  if (auto* image = std::get_if<Image>(&*decoded)) {
    return std::move(*image);
  }
  return MakeRunTimeError(std::get<FormatError>(*decoded) == FormatError::TooLarge
                              ? error_number::kOutOfMemory
                              : error_number::kInvalidPicture);
}

}  // namespace

Image AdoptImage(QImage image) {
  const bool hasAlpha = image.hasAlphaChannel();
  // Same-depth conversions happen in place, so a large photo is not copied.
  image.convertTo(hasAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
  if (image.isNull()) {
    throw std::bad_alloc();
  }
  const auto* pixels = reinterpret_cast<const RgbaPixel*>(image.constBits());
  const auto stride = static_cast<std::ptrdiff_t>(image.bytesPerLine() / sizeof(RgbaPixel));
  const int width = image.width();
  const int height = image.height();
  // The deleter holds the image, and so its pixels, for as long as the picture lives.
  std::shared_ptr<const RgbaPixel[]> shared(pixels, [keep = std::move(image)](const RgbaPixel*) {});
  return {width, height, stride, std::move(shared), hasAlpha};
}

LoadResult DecodePicture(const QByteArray& bytes, const Progress& /*progress*/) {
  if (auto other = DecodeOtherFormat(bytes)) {
    return *std::move(other);
  }
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  return Decode(reader);
}

LoadResult LoadPictureFile(const QString& path, const Progress& progress) {
  if (auto error = CheckReadable(path)) {
    return *error;
  }
  QFile file(path);
  if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxContentFileBytes &&
      MayDecodeByContent(BytesOf(file.peek(kContentSignatureBytes)))) {
    try {
      return DecodePicture(file.readAll(), progress);
    } catch (const std::bad_alloc&) {
      return MakeRunTimeError(error_number::kOutOfMemory);
    }
  }
  QImageReader reader(path);
  return Decode(reader);
}

}  // namespace irobunkai
