#include "format_test_support.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdlib>

#include "io/formats/cmyk_rows.h"
#include "io/formats/decode_by_content.h"
#include "picture_writers.h"

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

QString Saved(const QImage& picture, const QString& path) {
  EXPECT_TRUE(picture.save(path, nullptr, 95)) << path.toStdString();
  return path;
}

QString SavedWithOrientation(const QImage& picture, const QString& path, int orientation) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(picture.save(&buffer, "jpeg", 95));
  // An APP1 segment right after the start marker: a TIFF header and one IFD of one entry.
  QByteArray exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24);
  exif += static_cast<char>(orientation);
  exif += QByteArray(7, '\0');  // the rest of the value, then no next IFD
  const auto length = static_cast<int>(exif.size() + 2);
  jpeg.insert(2, QByteArray("\xff\xe1", 2) + static_cast<char>(length >> 8) +
                     static_cast<char>(length & 0xFF) + exif);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size());
  return path;
}

QString Encoded(const QString& input, const QString& output, const QString& encoder,
                const QStringList& options) {
  Run(encoder, options + (encoder == "heif-enc" ? QStringList{input, "-o", output}
                                                : QStringList{input, output}));
  return output;
}

std::vector<std::uint8_t> ShippedProfile(const QString& name) {
  const QString path = QStringLiteral("/usr/share/color/icc/") + name;
  EXPECT_TRUE(QFile::exists(path))
      << path.toStdString() << " is missing; scripts/install-deps.sh installs it";
  return QFile::exists(path) ? ReadBytes(path) : std::vector<std::uint8_t>{};
}

QString SavedWithProfile(int width, int height, const std::vector<std::uint8_t>& profile,
                         const QString& path) {
  const QImage picture = TestPicture(width, height);
  const auto sample = [&picture](int x, int y, int c) {
    const QRgb pixel = picture.pixel(x, y);
    return c == 0 ? qRed(pixel) : (c == 1 ? qGreen(pixel) : qBlue(pixel));
  };
  WriteBytes(path, EncodePng({.width = width, .height = height, .iccProfile = profile}, sample));
  return path;
}

DecodedPicture DecodedFile(const QString& path) {
  std::optional<PictureResult> result = DecodeWithoutQt(ReadBytes(path), Progress());
  if (!result || !std::holds_alternative<DecodedPicture>(*result)) {
    ADD_FAILURE() << path.toStdString() << " is not decoded";
    return {};
  }
  return std::get<DecodedPicture>(std::move(*result));
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

void ExpectNearPixels(const Image& image, const QImage& reference, int tolerance,
                      const std::string& what) {
  const QImage rgb = reference.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(image.Width(), rgb.width()) << what;
  ASSERT_EQ(image.Height(), rgb.height()) << what;
  int worst = 0;
  int differing = 0;
  for (int y = 0; y < rgb.height(); ++y) {
    for (int x = 0; x < rgb.width(); ++x) {
      const RgbaPixel own = image.At(x, y);
      const QRgb other = rgb.pixel(x, y);
      const auto level = [own](int shift) { return static_cast<int>((own >> shift) & 0xFF); };
      const int off =
          std::max({std::abs(level(0) - qRed(other)), std::abs(level(8) - qGreen(other)),
                    std::abs(level(16) - qBlue(other))});
      worst = std::max(worst, off);
      if ((off > tolerance || AlphaOf(own) != 255) && differing++ == 0) {
        ADD_FAILURE() << what << ": first difference at (" << x << ", " << y << "): " << std::hex
                      << own << " against " << other;
      }
    }
  }
  EXPECT_EQ(differing, 0) << what << ": pixels unlike the reference, by up to " << worst;
}

void ExpectProgressAndCancel(const std::function<PictureResult(const Progress&)>& decode,
                             const char* label) {
  std::vector<double> heard;
  const Progress progress([&heard](double fraction) { heard.push_back(fraction); });
  ASSERT_TRUE(std::holds_alternative<DecodedPicture>(decode(progress))) << label;
  ASSERT_GT(heard.size(), 20U) << label;
  EXPECT_TRUE(std::ranges::is_sorted(heard)) << label;
  EXPECT_GE(heard.front(), 0.0) << label;
  EXPECT_DOUBLE_EQ(heard.back(), 1.0) << label;

  Progress* self = nullptr;
  int reports = 0;
  Progress cancelling([&](double fraction) {
    ++reports;
    if (fraction > 0.3) {
      self->Cancel();
    }
  });
  self = &cancelling;
  const PictureResult stopped = decode(cancelling);
  ASSERT_TRUE(std::holds_alternative<FormatError>(stopped)) << label;
  EXPECT_EQ(std::get<FormatError>(stopped), FormatError::Cancelled) << label;
  EXPECT_LT(reports, std::ssize(heard)) << label;
}

std::pair<int, int> StoredAt(int x, int y, int width, int height, int orientation) {
  switch (orientation) {
    case 2:
      return {width - 1 - x, y};
    case 3:
      return {width - 1 - x, height - 1 - y};
    case 4:
      return {x, height - 1 - y};
    case 5:
      return {y, x};
    case 6:
      return {y, height - 1 - x};
    case 7:
      return {width - 1 - y, height - 1 - x};
    case 8:
      return {width - 1 - y, x};
    default:
      return {x, y};
  }
}

std::vector<std::uint8_t> ShownInks(const std::function<int(int x, int y, int c)>& stored,
                                    int width, int height, int orientation) {
  const bool turned = orientation >= 5 && orientation <= 8;
  const int shownWidth = turned ? height : width;
  const int shownHeight = turned ? width : height;
  std::vector<std::uint8_t> inks;
  inks.reserve(static_cast<std::size_t>(shownWidth) * static_cast<std::size_t>(shownHeight) * 4);
  for (int y = 0; y < shownHeight; ++y) {
    for (int x = 0; x < shownWidth; ++x) {
      const auto [sx, sy] = StoredAt(x, y, width, height, orientation);
      for (int c = 0; c < 4; ++c) {
        inks.push_back(static_cast<std::uint8_t>(stored(sx, sy, c)));
      }
    }
  }
  return inks;
}

void ExpectInks(const Image& image, const std::vector<std::uint8_t>& expected, bool inverted,
                const std::string& what) {
  const InkSamples* inks = image.Inks();
  ASSERT_NE(inks, nullptr) << what;
  ASSERT_EQ(inks->width, image.Width()) << what;
  ASSERT_EQ(inks->height, image.Height()) << what;
  EXPECT_EQ(inks->cmyk, expected) << what;
  const CmykRows press({}, inverted);
  std::vector<std::uint8_t> stored(static_cast<std::size_t>(inks->width) * 4);
  std::vector<RgbaPixel> rendered(static_cast<std::size_t>(inks->width));
  for (int y = 0; y < inks->height; ++y) {
    std::transform(inks->Row(y), inks->Row(y) + stored.size(), stored.begin(),
                   [inverted](std::uint8_t ink) { return inverted ? 255 - ink : ink; });
    press.Convert(stored, rendered);
    ASSERT_TRUE(std::ranges::equal(rendered, image.Row(y))) << what << ": row " << y;
  }
}

}  // namespace irobunkai::test
