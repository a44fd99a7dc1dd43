// First sights: the previews that DNGs written here carry, and the thumbnails of HEIF files that
// heif-enc and libheif write, against the exact pictures decoded from the same files.
#include "io/formats/first_sight.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <cmath>

#include "dng_writer.h"
#include "format_test_support.h"
#include "heif_writer.h"
#include "io/formats/decode_by_content.h"
#include "io/formats/preview_jpeg.h"
#include "picture_writers.h"

namespace irobunkai {
namespace {

using test::Decoded;
using test::Dng;
using test::DngPreview;

// Four fields of different colours: any turn or mirror moves at least one to another corner.
QImage Quadrants(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      const bool bottom = y >= height / 2;
      picture.setPixel(x, y,
                       bottom ? (right ? qRgb(220, 220, 40) : qRgb(40, 40, 220))
                              : (right ? qRgb(40, 200, 40) : qRgb(220, 40, 40)));
    }
  }
  return picture;
}

// The field a pixel shows, by its bright channels: 0 red, 1 green, 2 blue, 3 yellow; -1 none.
int FieldOf(RgbaPixel pixel) {
  const ColorValue c = ColorOf(pixel);
  const int bright =
      (RedOf(c) > 128 ? 1 : 0) | (GreenOf(c) > 128 ? 2 : 0) | (BlueOf(c) > 128 ? 4 : 0);
  switch (bright) {
    case 1:
      return 0;
    case 2:
      return 1;
    case 4:
      return 2;
    case 3:
      return 3;
    default:
      return -1;
  }
}

// The fields at the middle of each quarter of `image`, in reading order.
std::array<int, 4> Fields(const Image& image) {
  std::array<int, 4> fields{};
  for (int i = 0; i < 4; ++i) {
    fields[static_cast<std::size_t>(i)] = FieldOf(
        image.At(image.Width() * (1 + 2 * (i % 2)) / 4, image.Height() * (1 + 2 * (i / 2)) / 4));
  }
  return fields;
}

// Expects `sight` to stand for `exact`: its size, and each field where the exact picture has it.
void ExpectStandsFor(const std::optional<FirstSight>& sight, const Image& exact,
                     const std::string& what) {
  ASSERT_TRUE(sight) << what << ": no first sight";
  EXPECT_EQ(sight->exactWidth, exact.Width()) << what;
  EXPECT_EQ(sight->exactHeight, exact.Height()) << what;
  EXPECT_EQ(Fields(sight->preview), Fields(exact)) << what;
  const std::array<int, 4> fields = Fields(exact);
  EXPECT_EQ(std::ranges::count(fields, -1), 0) << what << ": the exact picture lost its fields";
}

DngPreview BitmapPreview(const QImage& picture) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  DngPreview preview{rgb.width(), rgb.height(), {}, false};
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = rgb.constScanLine(y);
    preview.bytes.insert(preview.bytes.end(), line, line + 3 * rgb.width());
  }
  return preview;
}

std::vector<std::uint8_t> Jpeg(const QImage& picture) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(picture.save(&buffer, "jpeg", 95));
  return {jpeg.begin(), jpeg.end()};
}

DngPreview JpegPreview(const QImage& picture) {
  return {picture.width(), picture.height(), Jpeg(picture), true};
}

// A camera's DNG of `scene`, as the raw tests' cameras record it.
Dng Photographed(const QImage& scene) {
  Dng dng;
  dng.width = scene.width();
  dng.height = scene.height();
  dng.black = 64;
  dng.white = 64 + 255 * 16;
  test::Expose(dng, [&scene](int x, int y) {
    const QRgb p = scene.pixel(x, y);
    return std::array{qRed(p), qGreen(p), qBlue(p)};
  });
  return dng;
}

double MeanDifference(const Image& image, const QImage& reference) {
  double sum = 0;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const ColorValue c = ColorOf(image.At(x, y));
      const QRgb r = reference.pixel(x, y);
      sum += std::abs(RedOf(c) - qRed(r)) + std::abs(GreenOf(c) - qGreen(r)) +
             std::abs(BlueOf(c) - qBlue(r));
    }
  }
  return sum / (3.0 * image.Width() * image.Height());
}

TEST(RawFirstSight, ABitmapPreviewIsEveryPixelWritten) {
  const QImage scene = test::TestPicture(96, 64);
  Dng dng = Photographed(scene);
  const QImage small = test::TestPicture(40, 26);
  dng.previews = {BitmapPreview(small)};
  const std::optional<FirstSight> sight = ReadFirstSight(test::EncodeDng(dng));
  ASSERT_TRUE(sight);
  test::ExpectSamePixels(sight->preview, small, "bitmap preview");
  EXPECT_FALSE(sight->preview.HasAlpha());
  EXPECT_EQ(sight->exactWidth, 96);
  EXPECT_EQ(sight->exactHeight, 64);
}

TEST(RawFirstSight, TheLargestPreviewIsShown) {
  Dng dng = Photographed(test::TestPicture(96, 64));
  const QImage large = Quadrants(72, 48);
  dng.previews = {BitmapPreview(Quadrants(24, 16)), JpegPreview(large),
                  BitmapPreview(Quadrants(36, 24))};
  const std::optional<FirstSight> sight = ReadFirstSight(test::EncodeDng(dng));
  ASSERT_TRUE(sight);
  ASSERT_EQ(sight->preview.Width(), 72);
  ASSERT_EQ(sight->preview.Height(), 48);
  EXPECT_LT(MeanDifference(sight->preview, large), 3.0);
}

TEST(RawFirstSight, TurnedAsTheDevelopedPicture) {
  const QImage scene = Quadrants(96, 64);
  for (const bool jpeg : {false, true}) {
    for (std::uint16_t orientation = 1; orientation <= 8; ++orientation) {
      Dng dng = Photographed(scene);
      dng.orientation = orientation;
      const QImage small = scene.scaled(48, 32);
      dng.previews = {jpeg ? JpegPreview(small) : BitmapPreview(small)};
      const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
      const std::string what =
          (jpeg ? "JPEG, orientation " : "bitmap, orientation ") + std::to_string(orientation);
      const Image exact = Decoded(DecodeByContent(bytes));
      const std::optional<FirstSight> sight = ReadFirstSight(bytes);
      ExpectStandsFor(sight, exact, what);
      const bool sideways = orientation >= 5;
      EXPECT_EQ(exact.Width(), sideways ? 64 : 96) << what;
      if (sight) {
        EXPECT_EQ(sight->preview.Width(), sideways ? 32 : 48) << what;
        EXPECT_EQ(sight->preview.Height(), sideways ? 48 : 32) << what;
      }
    }
  }
}

TEST(RawFirstSight, APreviewsOwnExifTurnIsNotTaken) {
  // The DNG says how to turn its previews; a turn written inside one by a careless camera
  // would turn the first sight away from the exact picture.
  const QImage scene = Quadrants(96, 64);
  Dng dng = Photographed(scene);
  const QImage small = scene.scaled(48, 32);
  const std::vector<std::uint8_t> preview = test::EncodeJpeg(
      {.width = 48, .height = 32, .quality = 95, .app1 = {test::ExifSegment({.orientation = 6})}},
      [&small](int x, int y, int c) {
        const QRgb pixel = small.pixel(x, y);
        return c == 0 ? qRed(pixel) : c == 1 ? qGreen(pixel) : qBlue(pixel);
      });
  dng.previews = {{48, 32, preview, true}};
  const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
  const std::optional<FirstSight> sight = ReadFirstSight(bytes);
  ExpectStandsFor(sight, Decoded(DecodeByContent(bytes)), "preview turned by its own EXIF");
  ASSERT_TRUE(sight);
  EXPECT_EQ(sight->preview.Width(), 48);
}

TEST(FirstSight, FilesWithoutOneHaveNone) {
  const QImage scene = test::TestPicture(48, 32);
  EXPECT_FALSE(ReadFirstSight(test::EncodeDng(Photographed(scene))));
  EXPECT_FALSE(ReadFirstSight(Jpeg(scene)));
  const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0};
  EXPECT_FALSE(ReadFirstSight(png));
  EXPECT_FALSE(ReadFirstSight({}));
}

TEST(RawFirstSight, HostilePreviewsGiveNone) {
  const Dng camera = Photographed(Quadrants(96, 64));
  const QImage small = Quadrants(48, 32);
  DngPreview shortBitmap = BitmapPreview(small);
  shortBitmap.bytes.resize(shortBitmap.bytes.size() / 2);
  DngPreview huge = BitmapPreview(small);
  huge.width = huge.height = 60000;
  DngPreview cutJpeg = JpegPreview(small);
  cutJpeg.bytes.resize(cutJpeg.bytes.size() / 2);
  DngPreview noise = JpegPreview(small);
  std::uint32_t state = 12345;
  for (std::size_t i = 4; i < noise.bytes.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    noise.bytes[i] = static_cast<std::uint8_t>(state >> 24);
  }
  for (const auto& [name, preview] : {std::pair{"a bitmap short of its samples", shortBitmap},
                                      {"a bitmap of 3.6 gigapixels", huge},
                                      {"a JPEG cut in half", cutJpeg},
                                      {"a JPEG of noise", noise}}) {
    Dng dng = camera;
    dng.previews = {preview};
    EXPECT_FALSE(ReadFirstSight(test::EncodeDng(dng))) << name;
  }
}

TEST(RawFirstSight, PicturesOverThePixelLimitGiveNone) {
  Dng dng = Photographed(Quadrants(96, 64));
  dng.previews = {BitmapPreview(Quadrants(200, 150))};
  const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
  EXPECT_TRUE(ReadFirstSight(bytes, 30'000));
  EXPECT_FALSE(ReadFirstSight(bytes, 29'999)) << "the preview is over the limit";
  dng.previews = {BitmapPreview(Quadrants(48, 32))};
  EXPECT_FALSE(ReadFirstSight(test::EncodeDng(dng), 96 * 64 - 1)) << "the raw picture is over";
  EXPECT_FALSE(DecodePreviewJpeg(Jpeg(Quadrants(48, 32)), 48 * 32 - 1));
}

TEST(RawFirstSight, AFileCutAnywhereNeverCrashes) {
  Dng dng = Photographed(Quadrants(64, 48));
  dng.previews = {BitmapPreview(Quadrants(16, 12)), JpegPreview(Quadrants(32, 24))};
  const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
  int shown = 0;
  for (std::size_t length = 0; length < bytes.size(); length += 97) {
    const std::vector<std::uint8_t> cut(bytes.begin(),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(length));
    if (const std::optional<FirstSight> sight = ReadFirstSight(cut)) {
      ++shown;
      EXPECT_GT(sight->preview.Width(), 0);
    }
  }
  EXPECT_TRUE(ReadFirstSight(bytes));
  EXPECT_GT(shown, 0) << "a file cut within its raw samples still holds its preview";
}

class HeifFirstSight : public testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT("heif-enc");
    ASSERT_TRUE(dir.isValid());
  }

  QTemporaryDir dir;
};

TEST_F(HeifFirstSight, TheThumbnailHeifEncWrites) {
  const QString png = test::Saved(Quadrants(640, 480), dir.filePath("quadrants.png"));
  for (const char* name : {"thumbnail.heic", "thumbnail.avif"}) {
    const QString path = test::Encoded(png, dir.filePath(name), "heif-enc", {"-t", "320"});
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    const std::optional<FirstSight> sight = ReadFirstSight(bytes);
    ExpectStandsFor(sight, Decoded(DecodeByContent(bytes)), name);
    ASSERT_TRUE(sight);
    EXPECT_EQ(sight->preview.Width(), 320) << name;
    EXPECT_EQ(sight->preview.Height(), 240) << name;
    EXPECT_LT(MeanDifference(sight->preview, Quadrants(320, 240)), 6.0) << name;
  }
}

TEST_F(HeifFirstSight, WithoutAThumbnailThereIsNone) {
  const QString png = test::Saved(Quadrants(64, 48), dir.filePath("quadrants.png"));
  const QString path = test::Encoded(png, dir.filePath("plain.heic"), "heif-enc");
  const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
  EXPECT_TRUE(std::holds_alternative<Image>(*DecodeByContent(bytes)));
  EXPECT_FALSE(ReadFirstSight(bytes));
}

TEST_F(HeifFirstSight, TurnedAsThePrimary) {
  const QImage picture = Quadrants(128, 96);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const std::string what = "orientation " + std::to_string(orientation);
    const QString path = dir.filePath(QStringLiteral("turned%1.heic").arg(orientation));
    ASSERT_TRUE(test::WriteTurnedHeic(picture, orientation, 64, path)) << what;
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    const Image exact = Decoded(DecodeByContent(bytes));
    const std::optional<FirstSight> sight = ReadFirstSight(bytes);
    ExpectStandsFor(sight, exact, what);
    const bool sideways = orientation >= 5;
    EXPECT_EQ(exact.Width(), sideways ? 96 : 128) << what;
    if (sight) {
      EXPECT_EQ(sight->preview.Width(), sideways ? 48 : 64) << what;
    }
  }
}

TEST_F(HeifFirstSight, DamagedOrTooLargeGivesNone) {
  const QString png = test::Saved(Quadrants(640, 480), dir.filePath("quadrants.png"));
  const std::vector<std::uint8_t> bytes = test::ReadBytes(
      test::Encoded(png, dir.filePath("thumbnail.heic"), "heif-enc", {"-t", "320"}));
  EXPECT_TRUE(ReadFirstSight(bytes, 640 * 480));
  EXPECT_FALSE(ReadFirstSight(bytes, 640 * 480 - 1)) << "the primary is over the limit";
  for (std::size_t length = 0; length < bytes.size(); length += 331) {
    const std::vector<std::uint8_t> cut(bytes.begin(),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(length));
    if (const std::optional<FirstSight> sight = ReadFirstSight(cut)) {
      EXPECT_EQ(sight->exactWidth, 640) << "cut at " << length;
    }
  }
  std::vector<std::uint8_t> scrambled = bytes;
  for (std::size_t i = 64; i < scrambled.size(); i += 7) {
    scrambled[i] ^= 0x5A;
  }
  const std::optional<FirstSight> sight = ReadFirstSight(scrambled);
  EXPECT_TRUE(!sight || sight->preview.Width() == 320);
}

}  // namespace
}  // namespace irobunkai
