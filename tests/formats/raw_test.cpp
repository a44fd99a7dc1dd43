// Camera raw files: DNGs written here, developed as dcraw_emu -w develops them, and their
// sensor mosaics.
#include <QTemporaryDir>

#include "dng_writer.h"
#include "format_test_support.h"
#include "io/formats/decode_by_content.h"
#include "io/formats/raw_mosaic.h"

namespace irobunkai {
namespace {

using test::Decoded;
using test::Dng;

// X-Trans: a 6 x 6 pattern with a red and a blue in every row and column.
const std::vector<std::uint8_t> kXTrans = {1, 1, 0, 1, 1, 2, 1, 1, 2, 1, 1, 0, 2, 0, 1, 0, 2, 1,
                                           1, 1, 2, 1, 1, 0, 1, 1, 0, 1, 1, 2, 0, 2, 1, 2, 0, 1};

// Levels that put each 8-bit level on a whole step of 16: level s records black + 16 s.
Dng Camera(int width, int height) {
  Dng dng;
  dng.width = width;
  dng.height = height;
  dng.black = 64;
  dng.white = 64 + 255 * 16;
  return dng;
}

// The test picture, lit so that no photosite records black.
Dng Photographed(Dng dng) {
  const QImage scene = test::TestPicture(dng.width, dng.height);
  test::Expose(dng, [&scene](int x, int y) {
    const QRgb p = scene.pixel(x, y);
    return std::array{std::max(qRed(p), 1), std::max(qGreen(p), 1), std::max(qBlue(p), 1)};
  });
  return dng;
}

MosaicResult MosaicOf(const Dng& dng) { return RawMosaic(test::EncodeDng(dng)); }

Image Mosaic(const Dng& dng) {
  const MosaicResult result = MosaicOf(dng);
  if (!std::holds_alternative<Image>(result)) {
    ADD_FAILURE() << "no mosaic";
    return {};
  }
  return std::get<Image>(result);
}

TEST(RawDevelopment, EveryPixelIsWhatDcrawEmuWrites) {
  SKIP_WITHOUT("dcraw_emu");
  const QTemporaryDir dir;
  Dng warm = Camera(52, 38);
  warm.neutral = {0.5, 1, 0.7};
  Dng xtrans = Camera(516, 514);  // LibRaw develops X-Trans pictures from 512 pixels a side
  xtrans.patternWidth = xtrans.patternHeight = 6;
  xtrans.pattern = kXTrans;
  Dng turned = warm;
  turned.orientation = 6;
  Dng mirrored = warm;
  mirrored.orientation = 4;
  Dng linear = Camera(40, 30);
  linear.kind = Dng::Kind::Linear;
  Dng monochrome = Camera(36, 28);
  monochrome.kind = Dng::Kind::Monochrome;
  for (const auto& [name, dng] : {std::pair{"warm.dng", warm},
                                  {"xtrans.dng", xtrans},
                                  {"turned.dng", turned},
                                  {"mirrored.dng", mirrored},
                                  {"linear.dng", linear},
                                  {"monochrome.dng", monochrome}}) {
    const std::vector<std::uint8_t> bytes = test::EncodeDng(Photographed(dng));
    const QString path = dir.filePath(name);
    test::WriteBytes(path, bytes);
    test::Run("dcraw_emu", {"-w", path});
    const Image image = Decoded(DecodeByContent(bytes));
    const bool grey = dng.kind == Dng::Kind::Monochrome;
    test::ExpectSamePixels(image, QImage(path + (grey ? ".pgm" : ".ppm")), name);
    EXPECT_FALSE(image.HasAlpha()) << name;
  }
}

TEST(RawDevelopment, ReportsItsStagesAndStopsWhenNoLongerWanted) {
  const std::vector<std::uint8_t> bytes = test::EncodeDng(Photographed(Camera(64, 48)));
  std::vector<double> heard;
  const Progress progress([&heard](double f) { heard.push_back(f); });
  ASSERT_FALSE(
      std::holds_alternative<FormatError>(*DecodeByContent(bytes, kMaxDecodedPixels, progress)));
  ASSERT_GE(heard.size(), 3U);
  EXPECT_TRUE(std::ranges::is_sorted(heard));
  EXPECT_GT(heard.back(), 0.5);
  EXPECT_LE(heard.back(), 1.0);

  Progress cancelled;
  cancelled.Cancel();
  const std::optional<FormatResult> stopped = DecodeByContent(bytes, kMaxDecodedPixels, cancelled);
  ASSERT_TRUE(stopped);
  ASSERT_TRUE(std::holds_alternative<FormatError>(*stopped));
  EXPECT_EQ(std::get<FormatError>(*stopped), FormatError::Cancelled);
}

TEST(RawMosaic, PhotositesShowInTheirFiltersColourAtTheirBalancedLevel) {
  // The camera records grey at 160 as 80 in red and 128 in blue; its white balance undoes that.
  Dng dng = Camera(32, 24);  // red, green / green, blue
  dng.neutral = {0.5, 1, 0.8};
  test::Expose(dng, [](int, int) { return std::array{160, 160, 160}; });
  dng.samples[2] = 20;                 // a red below black
  dng.samples[3] = 65000;              // a green above white
  dng.samples[32 + 3] = 64 + 16 * 40;  // a blue recorded at 40
  const Image mosaic = Mosaic(dng);
  ASSERT_EQ(mosaic.Width(), 32);
  ASSERT_EQ(mosaic.Height(), 24);
  EXPECT_EQ(mosaic.At(0, 0), MakeRgba(RGB(160, 0, 0)));
  EXPECT_EQ(mosaic.At(1, 0), MakeRgba(RGB(0, 160, 0)));
  EXPECT_EQ(mosaic.At(1, 1), MakeRgba(RGB(0, 0, 160)));
  EXPECT_EQ(mosaic.At(2, 0), MakeRgba(RGB(0, 0, 0)));
  EXPECT_EQ(mosaic.At(3, 0), MakeRgba(RGB(0, 255, 0)));
  EXPECT_EQ(mosaic.At(3, 1), MakeRgba(RGB(0, 0, 50)));
}

TEST(RawMosaic, EachBayerBlockHoldsOneRedTwoGreensAndOneBlue) {
  const Image mosaic = Mosaic(Photographed(Camera(40, 30)));
  ASSERT_EQ(mosaic.Width(), 40);
  for (int y = 0; y < 30; y += 2) {
    for (int x = 0; x < 40; x += 2) {
      std::array<int, 3> lit{};
      for (const RgbaPixel p :
           {mosaic.At(x, y), mosaic.At(x + 1, y), mosaic.At(x, y + 1), mosaic.At(x + 1, y + 1)}) {
        const ColorValue c = ColorOf(p);
        const int channels = (RedOf(c) > 0) + (GreenOf(c) > 0) + (BlueOf(c) > 0);
        ASSERT_EQ(channels, 1) << "at " << x << ", " << y;
        ++lit[RedOf(c) > 0 ? 0 : GreenOf(c) > 0 ? 1 : 2];
      }
      EXPECT_EQ(lit, (std::array{1, 2, 1})) << "block at " << x << ", " << y;
    }
  }
}

TEST(RawMosaic, XTransPhotositesFollowTheirPattern) {
  Dng dng = Camera(36, 30);
  dng.patternWidth = dng.patternHeight = 6;
  dng.pattern = kXTrans;
  dng.samples.assign(36 * 30, 64 + 16 * 77);
  const Image mosaic = Mosaic(dng);
  ASSERT_EQ(mosaic.Width(), 36);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 36; ++x) {
      const int colour = kXTrans[static_cast<std::size_t>((y % 6) * 6 + x % 6)];
      ASSERT_EQ(ColorOf(mosaic.At(x, y)), 77 << (8 * colour)) << "at " << x << ", " << y;
    }
  }
}

TEST(RawMosaic, TurnedAsTheDevelopedPicture) {
  // Orientation 6: turned a quarter clockwise, so the sensor's top left is the top right.
  Dng dng = Photographed(Camera(40, 30));
  dng.orientation = 6;
  dng.samples[0] = 64 + 16 * 222;
  const Image developed = Decoded(DecodeByContent(test::EncodeDng(dng)));
  const Image mosaic = Mosaic(dng);
  ASSERT_EQ(mosaic.Width(), 30);
  ASSERT_EQ(mosaic.Height(), 40);
  EXPECT_EQ(developed.Width(), 30);
  EXPECT_EQ(developed.Height(), 40);
  EXPECT_EQ(ColorOf(mosaic.At(29, 0)), RGB(222, 0, 0));
}

TEST(RawMosaic, OnlyARawFileWithAColourFilterHasOne) {
  for (const Dng::Kind kind : {Dng::Kind::Linear, Dng::Kind::Monochrome}) {
    Dng dng = Camera(40, 30);
    dng.kind = kind;
    EXPECT_TRUE(std::holds_alternative<NoMosaic>(MosaicOf(Photographed(dng))));
  }
  const std::vector<std::uint8_t> notRaw = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::holds_alternative<NoMosaic>(RawMosaic(notRaw)));
  std::vector<std::uint8_t> cut = test::EncodeDng(Photographed(Camera(40, 30)));
  cut.resize(cut.size() / 2);
  EXPECT_TRUE(std::holds_alternative<FormatError>(RawMosaic(cut)));
}

}  // namespace
}  // namespace irobunkai
