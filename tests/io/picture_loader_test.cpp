#include "io/picture_loader.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdlib>

#include "gif_bytes.h"
#include "gui_test_support.h"
#include "picture_writers.h"
#include "views/picture_view.h"

namespace irobunkai {
namespace {

using test::WriteBytes;
using test::WriteImage;

// The error number of loading `path`; 0 when it loads.
int ErrorOf(const QString& path) {
  const LoadResult result = LoadPictureFile(path);
  const auto* error = std::get_if<RunTimeError>(&result);
  return error != nullptr ? error->number : 0;
}

class PictureLoader : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }

  static Image Loaded(const QString& path) {
    LoadResult result = LoadPictureFile(path);
    if (const auto* error = std::get_if<RunTimeError>(&result)) {
      ADD_FAILURE() << path.toStdString() << " failed with error " << error->number;
      return {};
    }
    return std::get<LoadedPicture>(std::move(result)).image;
  }

  static QImage Quarters() {
    QImage image(8, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 8; ++x) {
        image.setPixel(x, y,
                       y < 3 ? (x < 4 ? qRgb(250, 0, 0) : qRgb(0, 0, 250))
                             : (x < 4 ? qRgb(0, 250, 0) : qRgb(250, 250, 250)));
      }
    }
    return image;
  }

  QTemporaryDir dir;
};

void ExpectNear(RgbaPixel pixel, ColorValue expected, int tolerance, const char* what) {
  const ColorValue c = ColorOf(pixel);
  EXPECT_NEAR(RedOf(c), RedOf(expected), tolerance) << what;
  EXPECT_NEAR(GreenOf(c), GreenOf(expected), tolerance) << what;
  EXPECT_NEAR(BlueOf(c), BlueOf(expected), tolerance) << what;
}

TEST_F(PictureLoader, ReadsEveryFormatAUserHas) {
  const QImage quarters = Quarters();
  struct Case {
    const char* format;
    int quality;
    int tolerance;
  };
  for (const auto& [format, quality, tolerance] :
       {Case{"png", -1, 0}, Case{"bmp", -1, 0}, Case{"jpg", 95, 12}, Case{"webp", 100, 0},
        Case{"tiff", -1, 0}}) {
    const Image image =
        Loaded(WriteImage(dir, QStringLiteral("q.") + format, quarters, format, quality));
    ASSERT_EQ(image.Width(), 8) << format;
    ASSERT_EQ(image.Height(), 6) << format;
    EXPECT_FALSE(image.HasAlpha()) << format;
    ExpectNear(image.At(0, 0), RGB(250, 0, 0), tolerance, format);
    ExpectNear(image.At(7, 0), RGB(0, 0, 250), tolerance, format);
    ExpectNear(image.At(0, 5), RGB(0, 250, 0), tolerance, format);
    ExpectNear(image.At(7, 5), RGB(250, 250, 250), tolerance, format);
  }
}

TEST_F(PictureLoader, GifGivesItsFirstFrame) {
  const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                       qRgb(12, 34, 56)};
  const test::GifFrame first{3, 2, {1, 2, 3, 3, 2, 1}};
  const test::GifFrame second{3, 2, {0, 0, 0, 0, 0, 0}};
  const Image image =
      Loaded(WriteBytes(dir, "anim.gif", test::EncodeGif(palette, {first, second, second})));
  ASSERT_EQ(image.Width(), 3);
  EXPECT_EQ(ColorOf(image.At(0, 0)), RGB(255, 0, 0));
  EXPECT_EQ(ColorOf(image.At(1, 0)), RGB(0, 255, 0));
  EXPECT_EQ(ColorOf(image.At(2, 0)), RGB(12, 34, 56));
  EXPECT_EQ(ColorOf(image.At(2, 1)), RGB(255, 0, 0));
  const QRgb sampleCorner = test::SampleImage().pixel(0, 0);
  EXPECT_EQ(ColorOf(Loaded(QStringLiteral(IROBUNKAI_SOURCE_DIR "/assets/sample.gif")).At(0, 0)),
            RGB(qRed(sampleCorner), qGreen(sampleCorner), qBlue(sampleCorner)));
}

TEST_F(PictureLoader, ExifOrientationIsApplied) {
  QImageWriter writer(dir.filePath("turned.jpg"), "jpeg");
  writer.setQuality(95);
  writer.setTransformation(QImageIOHandler::TransformationRotate90);
  ASSERT_TRUE(writer.write(Quarters()));
  const Image image = Loaded(dir.filePath("turned.jpg"));
  ASSERT_EQ(image.Width(), 6);
  ASSERT_EQ(image.Height(), 8);
  // Turned a quarter clockwise, the left column becomes the top row.
  ExpectNear(image.At(5, 0), RGB(250, 0, 0), 12, "top right");
  ExpectNear(image.At(0, 0), RGB(0, 250, 0), 12, "top left");
  ExpectNear(image.At(5, 7), RGB(0, 0, 250), 12, "bottom right");
}

// A CMYK picture reaches its viewer with the inks its file stores; pictures of light have none,
// whoever decodes them.
TEST_F(PictureLoader, ACmykPictureComesWithItsInks) {
  const auto inks = [](int x, int y, int c) { return (x / 8 * 40 + y / 8 * 70 + c * 60) % 256; };
  const test::JpegLayout layout{.width = 16,
                                .height = 24,
                                .colours = test::JpegLayout::Colours::Cmyk,
                                .quality = 100,
                                .hSampling = 1,
                                .vSampling = 1};
  const std::vector<std::uint8_t> bytes = test::EncodeJpeg(layout, inks);
  const Image image = Loaded(
      WriteBytes(dir, QStringLiteral("cmyk.jpg"),
                 QByteArray(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes))));
  ASSERT_NE(image.Inks(), nullptr);
  ASSERT_EQ(image.Inks()->width, 16);
  ASSERT_EQ(image.Inks()->height, 24);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 16; ++x) {
      for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(image.Inks()->Row(y)[x * 4 + c], inks(x, y, c)) << x << "," << y << "," << c;
      }
    }
  }
  for (const char* format : {"jpeg", "png", "bmp", "tiff"}) {
    const QString name = QStringLiteral("rgb.") + format;
    EXPECT_EQ(Loaded(WriteImage(dir, name, Quarters(), format)).Inks(), nullptr) << format;
  }
}

TEST_F(PictureLoader, GreyPaletteAndDeepPicturesBecomeEightBitRgb) {
  QImage grey(2, 1, QImage::Format_Grayscale8);
  grey.setPixel(0, 0, 0);
  reinterpret_cast<uchar*>(grey.scanLine(0))[0] = 77;
  reinterpret_cast<uchar*>(grey.scanLine(0))[1] = 200;
  const Image fromGrey = Loaded(WriteImage(dir, "grey.png", grey, "png"));
  EXPECT_EQ(ColorOf(fromGrey.At(0, 0)), RGB(77, 77, 77));
  ExpectNear(Loaded(WriteImage(dir, "grey.jpg", grey, "jpeg", 100)).At(1, 0), RGB(200, 200, 200), 2,
             "grey jpeg");

  QImage deep(1, 1, QImage::Format_RGBX64);
  deep.setPixelColor(0, 0, QColor::fromRgba64(0x8080, 0xFFFF, 0x0101));
  EXPECT_EQ(ColorOf(Loaded(WriteImage(dir, "deep.png", deep, "png")).At(0, 0)), RGB(128, 255, 1));

  QImage palette(2, 1, QImage::Format_Indexed8);
  palette.setColorTable({qRgba(10, 20, 30, 255), qRgba(0, 0, 0, 0)});
  palette.setPixel(0, 0, 0);
  palette.setPixel(1, 0, 1);
  PictureView view(4, 4, 0x00FF00);
  view.SetPicture(Loaded(WriteImage(dir, "palette.png", palette, "png")));
  EXPECT_EQ(view.Point(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(view.Point(1, 0), 0x00FF00);  // transparent: the background shows
}

TEST_F(PictureLoader, TheFilesOwnValuesArePassedOnWithoutProfileConversion) {
  QImage image(1, 1, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(200, 100, 50));
  image.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
  EXPECT_EQ(ColorOf(Loaded(WriteImage(dir, "adobe.png", image, "png")).At(0, 0)),
            RGB(200, 100, 50));
}

TEST_F(PictureLoader, PicturesPastQtsDefaultLimitLoad) {
  // 36 megapixels: 144 MB at four bytes a pixel, beyond Qt's default 128 MB.
  QImage big(6000, 6000, QImage::Format_RGB32);
  big.fill(qRgb(1, 2, 3));
  const Image image = Loaded(WriteImage(dir, "big.png", big, "png"));
  EXPECT_EQ(image.Width(), 6000);
  EXPECT_EQ(ColorOf(image.At(5999, 5999)), RGB(1, 2, 3));
}

QByteArray BmpHeader(int width, int height) {
  QByteArray header(54, '\0');
  const auto put = [&](int at, int value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      header[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
  };
  header[0] = 'B';
  header[1] = 'M';
  put(2, 54 + 16, 4);  // file size (the pixels are missing)
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, width, 4);
  put(22, height, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  return header + QByteArray(16, '\x7F');
}

TEST_F(PictureLoader, FailuresComeBackAsNumberedErrors) {
  EXPECT_EQ(ErrorOf(dir.filePath("missing.png")), 53);
  const QString dangling = dir.filePath("dangling.png");
  ASSERT_TRUE(QFile::link(dir.filePath("gone.png"), dangling));
  EXPECT_EQ(ErrorOf(dangling), 53);
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
  EXPECT_EQ(ErrorOf(dir.filePath("folder.png")), 75);
  EXPECT_EQ(ErrorOf(WriteBytes(dir, "text.png", "this is not a picture\n")), 481);
  EXPECT_EQ(ErrorOf(WriteBytes(dir, "empty.gif", "")), 481);
  QByteArray png;
  {
    const QString path = WriteImage(dir, "whole.png", Quarters(), "png");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    png = file.readAll();
  }
  EXPECT_EQ(ErrorOf(WriteBytes(dir, "cut.png", png.left(png.size() / 2))), 481);
  EXPECT_EQ(ErrorOf(WriteBytes(dir, "huge.bmp", BmpHeader(20000, 10000))), 7);
  EXPECT_EQ(ErrorOf(WriteBytes(dir, "wide.bmp", BmpHeader(100001, 1000))), 7);
}

// The error number LoadPictureFile gives for `path`, asked as an unprivileged user:
// root reads every file whatever its permissions, so a root run asks from a child
// process that has given up root.
int ErrorAsUnprivileged(const QString& path) {
  if (geteuid() != 0) {
    return ErrorOf(path);
  }
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
      _exit(255);
    }
    _exit(ErrorOf(path) == 75 ? 75 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(PictureLoader, AnUnreadableFileIsAnAccessError) {
  // Others may pass through the folder but not read the file.
  ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner | QFileDevice::ExeOther));
  const QString path = WriteImage(dir, "locked.png", Quarters(), "png");
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
  EXPECT_EQ(ErrorAsUnprivileged(path), 75);
}

TEST_F(PictureLoader, ContentDecidesNotTheNameAndAnyNameLoads) {
  const QString png = WriteImage(dir, "real-png.jpg", Quarters(), "png");
  EXPECT_EQ(ColorOf(Loaded(png).At(0, 0)), RGB(250, 0, 0));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("写真 フォルダ")));
  const QString japanese = WriteImage(
      dir, QStringLiteral("写真 フォルダ/夜空の 星 ") + QString(70, QChar(u'絵')) + ".png",
      Quarters(), "png");
  EXPECT_EQ(ColorOf(Loaded(japanese).At(7, 5)), RGB(250, 250, 250));
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

TEST_F(PictureLoader, AFileCutShortSaysWhatIsMissingInBothLanguages) {
  QImage tall(32, 640, QImage::Format_RGB32);
  for (int y = 0; y < tall.height(); ++y) {
    for (int x = 0; x < tall.width(); ++x) {
      tall.setPixel(x, y, qRgb(x * 8, y % 256, (x * y) % 256));
    }
  }
  for (const char* format : {"jpeg", "png"}) {
    const QString whole = WriteImage(dir, QStringLiteral("tall.") + format, tall, format, 90);
    LoadResult result = LoadPictureFile(whole);
    ASSERT_TRUE(std::holds_alternative<LoadedPicture>(result)) << format;
    EXPECT_TRUE(std::get<LoadedPicture>(result).cutShort.isEmpty()) << format;

    const QByteArray bytes = ReadAll(whole);
    result = LoadPictureFile(
        WriteBytes(dir, QStringLiteral("half.") + format, bytes.left(bytes.size() / 2)));
    ASSERT_TRUE(std::holds_alternative<LoadedPicture>(result)) << format;
    const LoadedPicture& half = std::get<LoadedPicture>(result);
    EXPECT_EQ(half.image.Height(), 640) << format;
    const QStringList lines = half.cutShort.split(u'\n');
    ASSERT_EQ(lines.size(), 2) << half.cutShort.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("ファイルが途中で切れています。"))) << format;
    EXPECT_TRUE(lines[0].contains(QStringLiteral("全 640 行のうち"))) << format;
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("The file ends early: it holds only ")))
        << format;
    EXPECT_TRUE(lines[1].contains(QStringLiteral("of the picture's 640 rows"))) << format;
  }
}

TEST_F(PictureLoader, ACancelledLoadIsAnErrorOfItsOwn) {
  EXPECT_EQ(MakeRunTimeError(error_number::kCancelled).number, error_number::kCancelled);
  Progress cancelled;
  cancelled.Cancel();
  for (const char* format : {"jpeg", "png"}) {
    const QString path = WriteImage(dir, QStringLiteral("q.") + format, Quarters(), format, 90);
    const LoadResult result = LoadPictureFile(path, cancelled);
    ASSERT_TRUE(std::holds_alternative<RunTimeError>(result)) << format;
    EXPECT_EQ(std::get<RunTimeError>(result).number, error_number::kCancelled) << format;
  }
}

TEST_F(PictureLoader, TheEmbeddedColourProfileComesWithThePicture) {
  QImage image = Quarters();
  image.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
  const QByteArray profile = image.colorSpace().iccProfile();
  ASSERT_FALSE(profile.isEmpty());
  for (const char* format : {"jpeg", "png", "tiff"}) {
    LoadResult result =
        LoadPictureFile(WriteImage(dir, QStringLiteral("p.") + format, image, format));
    ASSERT_TRUE(std::holds_alternative<LoadedPicture>(result)) << format;
    const std::vector<std::uint8_t>& kept = std::get<LoadedPicture>(result).colour.icc;
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(kept.data()), std::ssize(kept)), profile)
        << format;
    EXPECT_TRUE(
        std::get<LoadedPicture>(
            LoadPictureFile(WriteImage(dir, QStringLiteral("plain.") + format, Quarters(), format)))
            .colour.icc.empty())
        << format;
  }
}

// A profile Debian ships, in the formats Qt reads and writes with one: the profile's bytes
// come through unchanged, and so do the numbers of a lossless picture.
TEST_F(PictureLoader, AShippedProfileComesThroughTiffAndWebp) {
  QFile file(QStringLiteral("/usr/share/color/icc/colord/ProPhotoRGB.icc"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "colord-data is missing";
  const QByteArray profile = file.readAll();
  QImage image = Quarters();
  image.setColorSpace(QColorSpace::fromIccProfile(profile));
  ASSERT_TRUE(image.colorSpace().isValid());
  for (const auto& [format, quality, tolerance] :
       {std::tuple{"tiff", -1, 0}, std::tuple{"webp", 100, 0}, std::tuple{"webp", 80, 12}}) {
    const QString name = QStringLiteral("prophoto%1.%2").arg(quality).arg(format);
    LoadResult result = LoadPictureFile(WriteImage(dir, name, image, format, quality));
    ASSERT_TRUE(std::holds_alternative<LoadedPicture>(result)) << name.toStdString();
    const LoadedPicture& picture = std::get<LoadedPicture>(result);
    const std::vector<std::uint8_t>& kept = picture.colour.icc;
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(kept.data()), std::ssize(kept)), profile)
        << name.toStdString();
    EXPECT_FALSE(picture.colour.coded || picture.colour.png) << name.toStdString();
    ExpectNear(picture.image.At(0, 0), RGB(250, 0, 0), tolerance, format);
    ExpectNear(picture.image.At(7, 5), RGB(250, 250, 250), tolerance, format);
  }
}

}  // namespace
}  // namespace irobunkai
