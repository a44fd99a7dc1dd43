// HEIC and AVIF files made here by Debian's encoders, read back as libheif's own tools read them.
#include <QTemporaryDir>

#include "format_test_support.h"
#include "io/formats/decode_by_content.h"

namespace irobunkai {
namespace {

using test::Decoded;
using test::ReadBytes;

class HeifDecoder : public testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT("heif-enc");
    SKIP_WITHOUT("avifenc");
    SKIP_WITHOUT("heif-convert");
    ASSERT_TRUE(dir.isValid());
  }

  QString Encode(const QImage& picture, const QString& name, const QString& encoder,
                 const QStringList& options = {}) {
    return test::Encode(dir, picture, name, encoder, options);
  }

  // What heif-convert writes for the file.
  QImage Converted(const QString& path) {
    const QString png = path + ".converted.png";
    test::Run("heif-convert", {path, png});
    return QImage(png);
  }

  QTemporaryDir dir;
};

TEST_F(HeifDecoder, EveryPixelIsWhatHeifConvertWrites) {
  const QImage photo = test::TestPicture(67, 45);
  const QImage translucent = test::TestPicture(40, 30, true);
  struct Case {
    const char* name;
    const QImage& picture;
    const char* encoder;
    QStringList options;
  };
  for (const auto& [name, picture, encoder, options] :
       {Case{"photo.heic", photo, "heif-enc", {"-q", "80"}},
        Case{"photo.avif", photo, "avifenc", {}},
        Case{"photo-444.avif", photo, "avifenc", {"-y", "444"}},
        Case{"translucent.heic", translucent, "heif-enc", {}},
        Case{"translucent.avif", translucent, "avifenc", {}},
        Case{"turned-mirrored.avif", photo, "avifenc", {"--irot", "1", "--imir", "1"}}}) {
    const QString path = Encode(picture, name, encoder, options);
    const Image image = Decoded(DecodeByContent(ReadBytes(path)));
    test::ExpectSamePixels(image, Converted(path), name);
    EXPECT_EQ(image.HasAlpha(), picture.hasAlphaChannel()) << name;
  }
}

TEST_F(HeifDecoder, TheFilesTurnIsAppliedButNotExifOrientation) {
  const QImage quarters = test::Quarters(64, 48);
  // Turned a quarter anticlockwise by the file: the top left is now the bottom left.
  const Image turned = Decoded(
      DecodeByContent(ReadBytes(Encode(quarters, "turned.avif", "avifenc", {"--irot", "1"}))));
  ASSERT_EQ(turned.Width(), 48);
  ASSERT_EQ(turned.Height(), 64);
  test::ExpectNear(turned, 10, 54, RGB(250, 0, 0));
  test::ExpectNear(turned, 10, 10, RGB(0, 0, 250));
  test::ExpectNear(turned, 38, 54, RGB(0, 250, 0));
  // heif-enc keeps a JPEG's EXIF data, whose orientation HEIF readers leave alone.
  const QString jpeg = test::WriteJpegWithOrientation(dir.filePath("exif.jpg"), quarters, 6);
  test::Run("heif-enc", {jpeg, "-o", dir.filePath("exif.heic")});
  const Image upright = Decoded(DecodeByContent(ReadBytes(dir.filePath("exif.heic"))));
  ASSERT_EQ(upright.Width(), 64);
  test::ExpectNear(upright, 10, 10, RGB(250, 0, 0));
}

TEST_F(HeifDecoder, DeepPicturesAreReducedToEightBits) {
  const QImage photo = test::TestPicture(48, 32);
  for (const char* depth : {"10", "12"}) {
    const Image image = Decoded(
        DecodeByContent(ReadBytes(Encode(photo, QStringLiteral("deep%1.avif").arg(depth), "avifenc",
                                         {"-d", depth, "--min", "0", "--max", "0"}))));
    ASSERT_EQ(image.Width(), 48);
    int worst = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 48; ++x) {
        const ColorValue got = ColorOf(image.At(x, y));
        const QRgb want = photo.pixel(x, y);
        worst =
            std::max({worst, std::abs(RedOf(got) - qRed(want)),
                      std::abs(GreenOf(got) - qGreen(want)), std::abs(BlueOf(got) - qBlue(want))});
      }
    }
    EXPECT_LE(worst, 3) << depth << " bits";
  }
}

}  // namespace
}  // namespace irobunkai
