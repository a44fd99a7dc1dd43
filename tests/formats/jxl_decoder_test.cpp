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

}  // namespace
}  // namespace irobunkai
