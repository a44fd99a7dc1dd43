#include "io/picture_loader.h"

#include <QBuffer>
#include <QColorSpace>
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

std::vector<std::uint8_t> IccProfileOf(const QImage& image) {
  const QByteArray profile = image.colorSpace().iccProfile();
  return {profile.begin(), profile.end()};
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
  ColourDescription colour{IccProfileOf(image), {}, {}};
  return LoadedPicture{AdoptImage(std::move(image)), {}, std::move(colour)};
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

// What the user is told of a file that ended before its picture did.
QString CutShortText(const Shortfall& missing) {
  const int present = missing.rowsPresent;
  const int total = missing.rowsTotal;
  if (present < total) {
    QString text = QStringLiteral(
                       "ファイルが途中で切れています。画像の全 %1 行のうち %2 行しか入っておらず、"
                       "残りの %3 行は灰色で埋めてあります。")
                       .arg(total)
                       .arg(present)
                       .arg(total - present);
    if (missing.finalPassesMissing) {
      text += QStringLiteral("入っている行も最後の走査がなく、粗いままです。");
    }
    text += QStringLiteral(
                "\nThe file ends early: it holds only %1 of the picture's %2 rows; "
                "the other %3 are filled with grey.")
                .arg(present)
                .arg(total)
                .arg(total - present);
    if (missing.finalPassesMissing) {
      text += QStringLiteral(" The rows it holds lack their final passes and stay coarse.");
    }
    return text;
  }
  return QStringLiteral(
      "ファイルが途中で切れています。画像を仕上げる最後の走査 (プログレッシブ JPEG のスキャン、"
      "インターレース PNG のパス) がないため、細部が粗いままです。\n"
      "The file ends early: the final passes that refine the picture (a progressive JPEG's "
      "scans, an interlaced PNG's passes) are missing, so its detail stays coarse.");
}

// Formats decoded here rather than by Qt, recognised by their contents; nullopt for Qt to read.
std::optional<LoadResult> DecodeHere(const QByteArray& bytes, const Progress& progress) {
  std::optional<PictureResult> decoded = DecodeWithoutQt(BytesOf(bytes), progress);
  if (!decoded) {
    return std::nullopt;
  }
  if (auto* picture = std::get_if<DecodedPicture>(&*decoded)) {
    return LoadedPicture{std::move(picture->image),
                         picture->cutShort ? CutShortText(*picture->cutShort) : QString(),
                         std::move(picture->colour)};
  }
  return ErrorOf(std::get<FormatError>(*decoded));
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

LoadResult DecodePicture(const QByteArray& bytes, const Progress& progress) {
  try {
    if (auto decoded = DecodeHere(bytes, progress)) {
      return *std::move(decoded);
    }
  } catch (const std::bad_alloc&) {
    return MakeRunTimeError(error_number::kOutOfMemory);
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
      MayDecodeWithoutQt(BytesOf(file.peek(kContentSignatureBytes)))) {
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
