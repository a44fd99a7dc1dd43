// HEIC and AVIF files made here by Debian's encoders, read back as libheif's own tools read them.
#include <QColorSpace>
#include <QTemporaryDir>
#include <algorithm>

#include "format_test_support.h"
#include "heif_writer.h"
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

  QTemporaryDir dir;
};

TEST_F(HeifDecoder, EveryPixelIsWhatHeifConvertWrites) {
  const QString photo = test::Saved(test::TestPicture(67, 45), dir.filePath("photo.png"));
  const QString translucent =
      test::Saved(test::TestPicture(40, 30, true), dir.filePath("translucent.png"));
  // heif-enc keeps a JPEG's EXIF data, whose orientation HEIF readers leave alone.
  const QString exif =
      test::SavedWithOrientation(test::TestPicture(64, 48), dir.filePath("exif.jpg"), 6);
  struct Case {
    const char* name;
    const QString& input;
    const char* encoder;
    QStringList options;
  };
  for (const auto& [name, input, encoder, options] :
       {Case{"photo.heic", photo, "heif-enc", {"-q", "80"}},
        Case{"photo.avif", photo, "avifenc", {}},
        Case{"photo-444.avif", photo, "avifenc", {"-y", "444"}},
        Case{"translucent.heic", translucent, "heif-enc", {}},
        Case{"translucent.avif", translucent, "avifenc", {}},
        Case{"turned-mirrored.avif", photo, "avifenc", {"--irot", "1", "--imir", "1"}},
        Case{"exif.heic", exif, "heif-enc", {}}}) {
    const QString path = test::Encoded(input, dir.filePath(name), encoder, options);
    const Image image = Decoded(DecodeByContent(ReadBytes(path)));
    test::Run("heif-convert", {path, path + ".png"});
    test::ExpectSamePixels(image, QImage(path + ".png"), name);
    EXPECT_EQ(image.HasAlpha(), &input == &translucent) << name;
  }
}

// An embedded ICC profile comes through byte for byte, HEIC and AVIF alike, the pixels left
// as heif-convert writes them: Adobe RGB from colord, Display P3 as Qt makes it.
TEST_F(HeifDecoder, TheEmbeddedProfileIsKept) {
  const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
  for (const auto& [name, profile] :
       {std::pair{"adobe", test::ShippedProfile("colord/AdobeRGB1998.icc")},
        std::pair{"p3", std::vector<std::uint8_t>(p3.begin(), p3.end())}}) {
    ASSERT_FALSE(profile.empty()) << name;
    const QString png =
        test::SavedWithProfile(48, 32, profile, dir.filePath(name + QString(".png")));
    for (const char* encoder : {"heif-enc", "avifenc"}) {
      const QString path = test::Encoded(
          png, dir.filePath(name + QString(encoder[0] == 'h' ? ".heic" : ".avif")), encoder);
      const std::string what = std::string(name) + " by " + encoder;
      const DecodedPicture picture = test::DecodedFile(path);
      EXPECT_EQ(picture.colour.icc, profile) << what;
      test::Run("heif-convert", {path, path + ".png"});
      test::ExpectSamePixels(picture.image, QImage(path + ".png"), what);
    }
  }
}

// nclx code points are told as the file has them, unspecified ones too: the engine decides
// what they mean. A HEIC that heif-enc writes from an untagged picture has no colour box.
TEST_F(HeifDecoder, TheNclxCodePointsAreToldAsTheFileHasThem) {
  const QString png = test::Saved(test::TestPicture(48, 32), dir.filePath("plain.png"));
  struct Case {
    const char* name;
    const char* encoder;
    QStringList options;
    std::optional<CodedColour> coded;
  };
  for (const auto& [name, encoder, options, coded] :
       {Case{"p3.avif", "avifenc", {"--cicp", "12/13/1"}, CodedColour{12, 13, 1, true}},
        Case{"bt2100-limited.avif",
             "avifenc",
             {"--cicp", "9/16/9", "-r", "limited"},
             CodedColour{9, 16, 9, false}},
        Case{"unspecified.avif", "avifenc", {"--cicp", "2/2/2"}, CodedColour{2, 2, 2, true}},
        // avifenc's own choice for an untagged picture: sRGB, with BT.601's matrix.
        Case{"default.avif", "avifenc", {}, CodedColour{1, 13, 6, true}},
        Case{"untagged.heic", "heif-enc", {}, std::nullopt}}) {
    const QString path = test::Encoded(png, dir.filePath(name), encoder, options);
    const DecodedPicture picture = test::DecodedFile(path);
    EXPECT_EQ(picture.colour.coded, coded) << name;
    EXPECT_TRUE(picture.colour.icc.empty()) << name;
    EXPECT_FALSE(picture.colour.png) << name;
    test::Run("heif-convert", {path, path + ".png"});
    test::ExpectSamePixels(picture.image, QImage(path + ".png"), name);
  }
}

// Display P3 by nclx in a HEIC, as libheif writes it when asked.
TEST_F(HeifDecoder, AHeicsNclxCodePointsAreTold) {
  const QString path = dir.filePath("p3.heic");
  ASSERT_TRUE(test::WriteNclxHeic(test::TestPicture(48, 32), 12, 13, 1, path));
  const DecodedPicture picture = test::DecodedFile(path);
  EXPECT_EQ(picture.colour.coded, (CodedColour{12, 13, 1, true}));
  EXPECT_TRUE(picture.colour.icc.empty());
  test::Run("heif-convert", {path, path + ".png"});
  test::ExpectSamePixels(picture.image, QImage(path + ".png"), "p3.heic");
  // Primaries that H.273 reserves tell nothing; the picture opens all the same.
  std::vector<std::uint8_t> bytes = test::ReadBytes(path);
  const std::string nclx = "colrnclx";
  const auto at = std::search(bytes.begin(), bytes.end(), nclx.begin(), nclx.end());
  ASSERT_NE(at, bytes.end());
  ASSERT_EQ(at[9], 12);  // the low byte of the primaries, after the box type and the colour type
  at[9] = 3;
  test::WriteBytes(dir.filePath("reserved.heic"), bytes);
  const DecodedPicture reserved = test::DecodedFile(dir.filePath("reserved.heic"));
  EXPECT_FALSE(reserved.colour.coded);
  test::ExpectSamePixels(reserved.image, QImage(path + ".png"), "reserved.heic");
}

TEST_F(HeifDecoder, DeepPicturesAreReducedToEightBits) {
  const QImage photo = test::TestPicture(48, 32);
  const QString png = test::Saved(photo, dir.filePath("photo.png"));
  for (const char* depth : {"10", "12"}) {
    const QString path = test::Encoded(png, dir.filePath(QStringLiteral("deep%1.avif").arg(depth)),
                                       "avifenc", {"-d", depth, "--min", "0", "--max", "0"});
    const Image image = Decoded(DecodeByContent(ReadBytes(path)));
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
