// JPEG XL files made here by cjxl, read back as djxl reads them.
#include <QTemporaryDir>

#include "format_test_support.h"
#include "io/formats/decode_by_content.h"

namespace irobunkai {
namespace {

TEST(JxlDecoder, EveryPixelIsWhatDjxlWrites) {
  SKIP_WITHOUT("cjxl");
  SKIP_WITHOUT("djxl");
  const QTemporaryDir dir;
  const QImage picture = test::TestPicture(67, 45);
  const QString photo = test::Saved(picture, dir.filePath("photo.png"));
  const QString translucent =
      test::Saved(test::TestPicture(40, 30, true), dir.filePath("translucent.png"));
  const QString grey =
      test::Saved(picture.convertToFormat(QImage::Format_Grayscale8), dir.filePath("grey.png"));
  const QString jpeg = test::Saved(picture, dir.filePath("photo.jpg"));
  // cjxl takes a JPEG's EXIF orientation, a quarter turn clockwise, into the file.
  const QString turned = test::SavedWithOrientation(picture, dir.filePath("turned.jpg"), 6);
  struct Case {
    const char* name;
    const QString& input;
    QStringList options;
  };
  for (const auto& [name, input, options] :
       {Case{"lossy.jxl", photo, {}}, Case{"lossless.jxl", photo, {"-d", "0"}},
        Case{"translucent.jxl", translucent, {}},
        Case{"translucent-lossless.jxl", translucent, {"-d", "0"}}, Case{"grey.jxl", grey, {}},
        Case{"from-jpeg.jxl", jpeg, {}}, Case{"turned.jxl", turned, {}}}) {
    const QString path = test::Encoded(input, dir.filePath(name), "cjxl", options);
    const Image image = test::Decoded(DecodeByContent(test::ReadBytes(path)));
    test::Run("djxl", {path, path + ".png"});
    test::ExpectSamePixels(image, QImage(path + ".png"), name);
    EXPECT_EQ(image.HasAlpha(), &input == &translucent) << name;
  }
}

// Lossless files keep the profile they were made from byte for byte, and the numbers.
// Lossy ones hold XYB: libjxl gives those pixels in linear sRGB, or in the colour encoding
// the file holds, and says so with a profile of its own making, the one djxl puts in its PNG.
// sRGB, colour or grey, needs no telling.
TEST(JxlDecoder, ThePixelsComeWithTheirColour) {
  SKIP_WITHOUT("cjxl");
  SKIP_WITHOUT("djxl");
  const QTemporaryDir dir;
  const std::vector<std::uint8_t> adobe = test::ShippedProfile("colord/AdobeRGB1998.icc");
  const std::vector<std::uint8_t> prophoto = test::ShippedProfile("colord/ProPhotoRGB.icc");
  const std::vector<std::uint8_t> swapped = test::ShippedProfile("colord/SwappedRedAndGreen.icc");
  ASSERT_FALSE(adobe.empty() || prophoto.empty() || swapped.empty());
  const QImage picture = test::TestPicture(40, 30);
  const QString plain = test::Saved(picture, dir.filePath("plain.png"));
  const QString grey =
      test::Saved(picture.convertToFormat(QImage::Format_Grayscale8), dir.filePath("grey.png"));
  const QString adobePng = test::SavedWithProfile(40, 30, adobe, dir.filePath("adobe.png"));
  const QString magick = dir.filePath("magick.png");
  test::Run("convert", {"-size", "8x8", "xc:rgb(10,200,30)", magick});
  for (const auto& [name, profile] : {std::pair{"adobe", &adobe}, std::pair{"prophoto", &prophoto},
                                      std::pair{"swapped", &swapped}}) {
    const QString png =
        test::SavedWithProfile(40, 30, *profile, dir.filePath(name + QString(".png")));
    const QString path =
        test::Encoded(png, dir.filePath(name + QString(".jxl")), "cjxl", {"-d", "0"});
    const DecodedPicture decoded = test::DecodedFile(path);
    EXPECT_EQ(decoded.colour, (ColourDescription{*profile, {}, {}})) << name;
    test::ExpectSamePixels(decoded.image, picture, name);
  }
  for (const auto& [name, input] : {std::pair{"adobe-lossy.jxl", adobePng},
                                    std::pair{"swapped-lossy.jxl", dir.filePath("swapped.png")}}) {
    const QString path = test::Encoded(input, dir.filePath(name), "cjxl");
    const DecodedPicture decoded = test::DecodedFile(path);
    test::Run("djxl", {path, path + ".png"});
    const DecodedPicture djxl = test::DecodedFile(path + ".png");
    EXPECT_FALSE(decoded.colour.icc.empty()) << name;
    EXPECT_EQ(decoded.colour.icc, djxl.colour.icc) << name;
    EXPECT_NE(decoded.colour.icc, swapped) << name;
    EXPECT_NE(decoded.colour.icc, adobe) << name;
    test::ExpectSamePixels(decoded.image, QImage(path + ".png"), name);
  }
  for (const auto& [name, input, options] :
       {std::tuple{"plain.jxl", plain, QStringList{}},
        std::tuple{"plain-lossless.jxl", plain, QStringList{"-d", "0"}},
        std::tuple{"grey.jxl", grey, QStringList{}},
        std::tuple{"grey-lossless.jxl", grey, QStringList{"-d", "0"}},
        // ImageMagick writes gAMA 1/2.2 and sRGB's cHRM into an sRGB PNG; cjxl keeps them.
        std::tuple{"magick.jxl", magick, QStringList{"-d", "0"}}}) {
    const QString path = test::Encoded(input, dir.filePath(name), "cjxl", options);
    EXPECT_TRUE(test::DecodedFile(path).colour.Empty()) << name;
  }
}

}  // namespace
}  // namespace irobunkai
