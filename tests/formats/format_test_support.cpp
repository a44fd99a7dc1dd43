#include "format_test_support.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>

namespace irobunkai::test {

std::vector<std::uint8_t> ReadBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  const QByteArray bytes = file.readAll();
  return {bytes.begin(), bytes.end()};
}

void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

bool Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  const bool ok = process.waitForFinished(120'000) &&
                  process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  EXPECT_TRUE(ok) << program.toStdString() << " " << arguments.join(' ').toStdString() << ":\n"
                  << process.readAll().toStdString();
  return ok;
}

QString Encode(const QTemporaryDir& dir, const QImage& picture, const QString& name,
               const QString& encoder, const QStringList& options, const char* source) {
  const QString input = dir.filePath(name + "." + source);
  EXPECT_TRUE(picture.save(input, source, 95));
  const QString path = dir.filePath(name);
  Run(encoder, options + (encoder == "heif-enc" ? QStringList{input, "-o", path}
                                                : QStringList{input, path}));
  return path;
}

QImage TestPicture(int width, int height, bool alpha) {
  QImage picture(width, height, QImage::Format_ARGB32);
  std::uint32_t noise = 2463534242u;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int grain = static_cast<int>(noise % 24);
      picture.setPixel(x, y,
                       qRgba(std::min(255, 255 * x / width + grain), 200 - 150 * y / height + grain,
                             std::min(255, 40 + 180 * (x + y) / (width + height) + grain),
                             alpha ? 255 - 200 * x / width : 255));
    }
  }
  return alpha ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

QImage Quarters(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y,
                     y < height / 2 ? (x < width / 2 ? qRgb(250, 0, 0) : qRgb(0, 0, 250))
                                    : (x < width / 2 ? qRgb(0, 250, 0) : qRgb(250, 250, 250)));
    }
  }
  return image;
}

void ExpectNear(const Image& image, int x, int y, ColorValue expected) {
  const ColorValue c = ColorOf(image.At(x, y));
  constexpr int kTolerance = 16;
  EXPECT_NEAR(RedOf(c), RedOf(expected), kTolerance) << "red at " << x << ", " << y;
  EXPECT_NEAR(GreenOf(c), GreenOf(expected), kTolerance) << "green at " << x << ", " << y;
  EXPECT_NEAR(BlueOf(c), BlueOf(expected), kTolerance) << "blue at " << x << ", " << y;
}

QString WriteJpegWithOrientation(const QString& path, const QImage& picture, int orientation) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(picture.save(&buffer, "jpeg", 95));
  // An APP1 segment right after the start marker: a TIFF header and one IFD of one entry.
  QByteArray exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24);
  exif += static_cast<char>(orientation);
  exif += QByteArray(7, '\0');  // the rest of the value, then no next IFD
  QByteArray segment("\xff\xe1", 2);
  segment += static_cast<char>((exif.size() + 2) >> 8);
  segment += static_cast<char>((exif.size() + 2) & 0xFF);
  jpeg.insert(2, segment + exif);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(jpeg);
  return path;
}

Image Decoded(const std::optional<FormatResult>& result) {
  if (!result) {
    ADD_FAILURE() << "not recognised";
    return {};
  }
  if (const auto* error = std::get_if<FormatError>(&*result)) {
    ADD_FAILURE() << (*error == FormatError::TooLarge ? "too large" : "invalid");
    return {};
  }
  return std::get<Image>(*result);
}

void ExpectSamePixels(const Image& image, const QImage& reference, const std::string& what) {
  const QImage rgba = reference.convertToFormat(QImage::Format_RGBA8888);
  ASSERT_EQ(image.Width(), rgba.width()) << what;
  ASSERT_EQ(image.Height(), rgba.height()) << what;
  int differing = 0;
  for (int y = 0; y < rgba.height(); ++y) {
    const auto* line = reinterpret_cast<const RgbaPixel*>(rgba.constScanLine(y));
    for (int x = 0; x < rgba.width(); ++x) {
      if (image.At(x, y) != line[x] && differing++ == 0) {
        ADD_FAILURE() << what << ": first difference at (" << x << ", " << y << "): " << std::hex
                      << image.At(x, y) << " against " << line[x];
      }
    }
  }
  EXPECT_EQ(differing, 0) << what << ": pixels unlike the reference";
}

}  // namespace irobunkai::test
