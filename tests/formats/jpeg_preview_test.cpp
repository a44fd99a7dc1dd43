// The smaller renditions JPEG files carry, found in files written here, by exiftool and by
// hand, and nothing found where their offsets lie.
#include "io/formats/jpeg_preview.h"

#include <QTemporaryDir>

#include "format_test_support.h"
#include "io/formats/jpeg_decoder.h"
#include "io/formats/jpeg_first_sight.h"
#include "picture_writers.h"

namespace irobunkai {
namespace {

using Bytes8 = std::vector<std::uint8_t>;

Bytes8 Jpeg(int width, int height, const Bytes8& exif = {}) {
  test::JpegLayout layout{.width = width, .height = height};
  if (!exif.empty()) {
    layout.app1.push_back(exif);
  }
  return test::EncodeJpeg(layout);
}

bool Finds(const Bytes8& file, const Bytes8& preview) {
  const std::optional<Bytes> found = JpegPreview(file);
  return found && std::ranges::equal(*found, preview);
}

TEST(JpegPreview, TheExifThumbnailIsFound) {
  const Bytes8 thumbnail = Jpeg(80, 60);
  const Bytes8 photo =
      Jpeg(640, 480, test::ExifSegment({.orientation = 6, .thumbnail = thumbnail}));
  EXPECT_TRUE(Finds(photo, thumbnail));
  EXPECT_FALSE(JpegPreview(Jpeg(640, 480)));
  EXPECT_FALSE(JpegPreview(Jpeg(640, 480, test::ExifSegment({.orientation = 6}))));
}

TEST(JpegPreview, ExiftoolsThumbnailIsFound) {
  SKIP_WITHOUT("exiftool");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const Bytes8 thumbnail = Jpeg(96, 72);
  test::WriteBytes(dir.filePath("thumb.jpg"), thumbnail);
  test::WriteBytes(dir.filePath("photo.jpg"), Jpeg(320, 240));
  ASSERT_TRUE(test::Run(
      "exiftool", {"-q", "-overwrite_original", "-ThumbnailImage<=" + dir.filePath("thumb.jpg"),
                   dir.filePath("photo.jpg")}));
  EXPECT_TRUE(Finds(test::ReadBytes(dir.filePath("photo.jpg")), thumbnail));
}

TEST(JpegPreview, AnMpfLargeThumbnailIsFoundAndTheLargestWins) {
  const Bytes8 preview = Jpeg(160, 120);
  const Bytes8 thumbnail = Jpeg(80, 60);
  EXPECT_TRUE(Finds(test::WithMpfPreview(Jpeg(640, 480), preview), preview));
  EXPECT_TRUE(Finds(test::WithMpfPreview(Jpeg(640, 480), preview, {.type = 0x010002}), preview));
  const Bytes8 both =
      test::WithMpfPreview(Jpeg(640, 480, test::ExifSegment({.thumbnail = thumbnail})), preview);
  EXPECT_TRUE(Finds(both, preview));
  // Another kind of MP image, a panorama frame, is no preview of this picture.
  const Bytes8 panorama = test::WithMpfPreview(Jpeg(640, 480), preview, {.type = 0x020001});
  EXPECT_FALSE(JpegPreview(panorama));
}

TEST(JpegPreview, RenditionsNoSmallerThanThePictureAreNone) {
  const Bytes8 same = Jpeg(64, 48);
  EXPECT_FALSE(JpegPreview(Jpeg(64, 48, test::ExifSegment({.thumbnail = same}))));
  EXPECT_FALSE(JpegPreview(test::WithMpfPreview(Jpeg(64, 48), Jpeg(128, 96))));
}

TEST(JpegPreview, LyingOffsetsAndLengthsFindNothing) {
  const Bytes8 thumbnail = Jpeg(80, 60);
  const std::uint32_t huge = 0xFFFFFFFFu;
  for (const test::ExifSpec& lie :
       {test::ExifSpec{.thumbnail = thumbnail, .thumbnailOffset = huge},
        test::ExifSpec{.thumbnail = thumbnail, .thumbnailLength = huge},
        test::ExifSpec{
            .thumbnail = thumbnail, .thumbnailOffset = 0xFFFFFFF0u, .thumbnailLength = 0x20},
        test::ExifSpec{.thumbnail = thumbnail, .thumbnailLength = 0},
        test::ExifSpec{.thumbnail = thumbnail, .thumbnailOffset = 0},  // the TIFF header itself
        test::ExifSpec{.thumbnail = thumbnail, .secondDirectory = 8},  // the first directory again
        test::ExifSpec{.thumbnail = thumbnail, .secondDirectory = huge}}) {
    EXPECT_FALSE(JpegPreview(Jpeg(640, 480, test::ExifSegment(lie))));
  }
  const Bytes8 preview = Jpeg(160, 120);
  for (const test::MpfSpec& lie : {test::MpfSpec{.offset = huge}, test::MpfSpec{.offset = 0},
                                   test::MpfSpec{.offset = 0xFFFFFFF0u, .size = 0x100},
                                   test::MpfSpec{.size = huge}, test::MpfSpec{.size = 100}}) {
    EXPECT_FALSE(JpegPreview(test::WithMpfPreview(Jpeg(640, 480), preview, lie)));
  }
  // An entry count past the segment's end reads the entries there are, and no further.
  EXPECT_TRUE(
      Finds(test::WithMpfPreview(Jpeg(640, 480), preview, {.entryCount = 0x0FFFFFFF}), preview));
}

TEST(JpegPreview, FilesCutShortOrNotJpegFindNothing) {
  const Bytes8 thumbnail = Jpeg(80, 60);
  const Bytes8 photo = Jpeg(640, 480, test::ExifSegment({.thumbnail = thumbnail}));
  for (std::size_t length = 0; length < 400 && length < photo.size(); length += 7) {
    EXPECT_FALSE(JpegPreview(Bytes(photo.data(), length))) << length;
  }
  const Bytes8 png = test::EncodePng({}, test::PatternSample);
  EXPECT_FALSE(JpegPreview(png));
}

// A first sight stands where the exact picture will be: turned as it is, with its size.
TEST(JpegFirstSight, TheThumbnailIsTurnedAsThePictureIs) {
  // Bright on the left, dark on the right, in the picture and in its thumbnail alike.
  const test::Samples halves = [](int x, int, int) { return x < 40 ? 230 : 20; };
  const test::Samples small = [](int x, int, int) { return x < 5 ? 230 : 20; };
  const Bytes8 thumbnail = test::EncodeJpeg({.width = 10, .height = 6}, small);
  for (const int orientation : {1, 3, 6, 8}) {
    const Bytes8 photo = test::EncodeJpeg(
        {.width = 80,
         .height = 48,
         .app1 = {test::ExifSegment({.orientation = orientation, .thumbnail = thumbnail})}},
        halves);
    const std::optional<FirstSight> sight = JpegFirstSight(photo, kMaxDecodedPixels);
    ASSERT_TRUE(sight) << orientation;
    const PictureResult exact = DecodeJpeg(photo, {});
    const auto* picture = std::get_if<DecodedPicture>(&exact);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(sight->exactWidth, picture->image.Width()) << orientation;
    EXPECT_EQ(sight->exactHeight, picture->image.Height()) << orientation;
    const Image& preview = sight->preview;
    ASSERT_EQ(preview.Width() > preview.Height(), sight->exactWidth > sight->exactHeight);
    // The preview's corners are bright or dark where the exact picture's are.
    for (const auto& [fx, fy] : {std::pair{0.1, 0.1}, {0.9, 0.1}, {0.1, 0.9}, {0.9, 0.9}}) {
      const auto at = [&](const Image& image) {
        return RedOf(ColorOf(image.At(static_cast<int>(fx * image.Width()),
                                      static_cast<int>(fy * image.Height())))) > 128;
      };
      EXPECT_EQ(at(preview), at(picture->image)) << orientation << " at " << fx << "," << fy;
    }
  }
  EXPECT_FALSE(JpegFirstSight(Jpeg(640, 480), kMaxDecodedPixels)) << "no thumbnail, no sight";
  EXPECT_FALSE(JpegFirstSight(
      test::EncodeJpeg(
          {.width = 80, .height = 48, .app1 = {test::ExifSegment({.thumbnail = thumbnail})}}),
      100))
      << "over the pixel limit";
}

}  // namespace
}  // namespace irobunkai
