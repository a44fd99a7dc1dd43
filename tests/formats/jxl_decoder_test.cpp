// JPEG XL files made here by cjxl, read back as djxl reads them.
#include <QTemporaryDir>

#include "format_test_support.h"
#include "io/formats/decode_by_content.h"

namespace irobunkai {
namespace {

using test::Decoded;
using test::ReadBytes;

class JxlDecoder : public testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT("cjxl");
    SKIP_WITHOUT("djxl");
    ASSERT_TRUE(dir.isValid());
  }

  // What djxl writes for the file.
  QImage Converted(const QString& path) {
    const QString png = path + ".djxl.png";
    test::Run("djxl", {path, png});
    return QImage(png);
  }

  QTemporaryDir dir;
};

TEST_F(JxlDecoder, EveryPixelIsWhatDjxlWrites) {
  const QImage photo = test::TestPicture(67, 45);
  const QImage translucent = test::TestPicture(40, 30, true);
  const QImage grey = photo.convertToFormat(QImage::Format_Grayscale8);
  struct Case {
    const char* name;
    const QImage& picture;
    QStringList options;
    const char* format;
  };
  for (const auto& [name, picture, options, format] :
       {Case{"lossy.jxl", photo, {}, "png"}, Case{"lossless.jxl", photo, {"-d", "0"}, "png"},
        Case{"translucent.jxl", translucent, {}, "png"},
        Case{"translucent-lossless.jxl", translucent, {"-d", "0"}, "png"},
        Case{"grey.jxl", grey, {}, "png"}, Case{"from-jpeg.jxl", photo, {}, "jpeg"}}) {
    const QString path = test::Encode(dir, picture, name, "cjxl", options, format);
    const Image image = Decoded(DecodeByContent(ReadBytes(path)));
    test::ExpectSamePixels(image, Converted(path), name);
    EXPECT_EQ(image.HasAlpha(), picture.hasAlphaChannel()) << name;
  }
}

TEST_F(JxlDecoder, TheFilesOrientationIsApplied) {
  // cjxl takes a JPEG's EXIF orientation, here a quarter turn clockwise, into the file.
  const QString jpeg =
      test::WriteJpegWithOrientation(dir.filePath("turned.jpg"), test::Quarters(64, 48), 6);
  const QString path = dir.filePath("turned.jxl");
  test::Run("cjxl", {jpeg, path});
  const Image image = Decoded(DecodeByContent(ReadBytes(path)));
  ASSERT_EQ(image.Width(), 48);
  ASSERT_EQ(image.Height(), 64);
  test::ExpectSamePixels(image, Converted(path), "turned");
  test::ExpectNear(image, 38, 10, RGB(250, 0, 0));  // the top left is now the top right
  test::ExpectNear(image, 10, 10, RGB(0, 250, 0));
  test::ExpectNear(image, 38, 54, RGB(0, 0, 250));
}

}  // namespace
}  // namespace irobunkai
