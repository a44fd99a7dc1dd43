// PNGs of every colour type and depth written here by libpng, decoded and checked against Qt's
// reader, which the program used before; and what a file cut short gives.
#include "io/formats/png_decoder.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include "format_test_support.h"
#include "picture_writers.h"

namespace irobunkai {
namespace {

QImage QtRead(const std::vector<std::uint8_t>& bytes) {
  QByteArray data(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  QBuffer buffer(&data);
  QImageReader reader(&buffer, "png");
  return reader.read();
}

DecodedPicture Decode(const std::vector<std::uint8_t>& bytes, const std::string& what,
                      const Progress& progress = Progress()) {
  const PictureResult result = DecodePng(bytes, progress);
  if (const auto* error = std::get_if<FormatError>(&result)) {
    ADD_FAILURE() << what << ": error " << static_cast<int>(*error);
    return {};
  }
  return std::get<DecodedPicture>(result);
}

bool IsError(const PictureResult& result, FormatError error) {
  return std::holds_alternative<FormatError>(result) && std::get<FormatError>(result) == error;
}

std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& bytes, std::size_t length) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

// Samples at `depth` bits: the pattern scaled, alpha a ramp across that reaches 0 and the top.
test::Samples AtDepth(int depth, int channels) {
  return [depth, channels](int x, int y, int c) {
    const int top = (1 << depth) - 1;
    if (channels % 2 == 0 && c == channels - 1) {
      return x * top / 15 > top ? top : (x % 16) * top / 15;
    }
    const int sample = test::PatternSample(x, y, c);
    return depth == 16 ? sample * 257 + (x * 31 + y * 17) % 257 : sample * top / 255;
  };
}

struct Kind {
  int colourType;
  int depth;
  int channels;
};

constexpr std::array kKinds = {Kind{0, 1, 1},  Kind{0, 2, 1}, Kind{0, 4, 1},  Kind{0, 8, 1},
                               Kind{0, 16, 1}, Kind{2, 8, 3}, Kind{2, 16, 3}, Kind{4, 8, 2},
                               Kind{4, 16, 2}, Kind{6, 8, 4}, Kind{6, 16, 4}};

void ExpectAsQtReadsIt(const std::vector<std::uint8_t>& bytes, const std::string& what) {
  const DecodedPicture picture = Decode(bytes, what);
  const QImage reference = QtRead(bytes);
  test::ExpectSamePixels(picture.image, reference, what);
  EXPECT_EQ(picture.image.HasAlpha(), reference.hasAlphaChannel()) << what;
  EXPECT_FALSE(picture.cutShort) << what;
}

TEST(PngDecoder, EveryColourTypeAndDepthIsDecodedAsQtReadsIt) {
  for (const bool interlaced : {false, true}) {
    for (const auto& [type, depth, channels] : kKinds) {
      const std::string what = "type " + std::to_string(type) + " depth " + std::to_string(depth) +
                               (interlaced ? " interlaced" : "");
      const test::PngLayout layout{.width = 37,
                                   .height = 21,
                                   .colourType = type,
                                   .bitDepth = depth,
                                   .interlaced = interlaced};
      ExpectAsQtReadsIt(test::EncodePng(layout, AtDepth(depth, channels)), what);
    }
  }
}

TEST(PngDecoder, TransparentColoursAndPalettesAreDecodedAsQtReadsThem) {
  for (const int depth : {2, 4, 8, 16}) {
    // A grey level made transparent, present in the picture.
    const auto grey = AtDepth(depth, 1);
    const auto level = static_cast<std::uint16_t>(grey(3, 4, 0));
    const test::PngLayout layout{
        .colourType = 0, .bitDepth = depth, .transparent = {{level, 0, 0}}};
    ExpectAsQtReadsIt(test::EncodePng(layout, grey), "grey tRNS depth " + std::to_string(depth));
  }
  for (const int depth : {1}) {
    const test::PngLayout layout{.colourType = 0, .bitDepth = depth, .transparent = {{1, 0, 0}}};
    ExpectAsQtReadsIt(test::EncodePng(layout, AtDepth(1, 1)), "grey tRNS depth 1");
  }
  {
    const auto rgb = AtDepth(8, 3);
    const std::array<std::uint16_t, 3> colour = {static_cast<std::uint16_t>(rgb(5, 6, 0)),
                                                 static_cast<std::uint16_t>(rgb(5, 6, 1)),
                                                 static_cast<std::uint16_t>(rgb(5, 6, 2))};
    const test::PngLayout layout{.colourType = 2, .bitDepth = 8, .transparent = colour};
    ExpectAsQtReadsIt(test::EncodePng(layout, rgb), "RGB tRNS");
  }
  for (const int depth : {1, 2, 4, 8}) {
    const int colours = 1 << depth;
    std::vector<std::array<std::uint8_t, 3>> palette;
    for (int i = 0; i < colours; ++i) {
      palette.push_back({static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                         static_cast<std::uint8_t>(i * i)});
    }
    const auto indices = [colours](int x, int y, int) { return (x + 3 * y) % colours; };
    for (const std::vector<std::uint8_t>& alpha :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0, 128},
          std::vector<std::uint8_t>{255, 255}}) {
      for (const bool interlaced : {false, true}) {
        const test::PngLayout layout{.width = 19,
                                     .height = 11,
                                     .colourType = 3,
                                     .bitDepth = depth,
                                     .interlaced = interlaced,
                                     .palette = palette,
                                     .paletteAlpha = alpha};
        ExpectAsQtReadsIt(test::EncodePng(layout, indices),
                          "palette depth " + std::to_string(depth) + " with alphas " +
                              (alpha.empty() ? "none" : std::to_string(alpha[0])) +
                              (interlaced ? " interlaced" : ""));
      }
    }
  }
}

// Qt's reader misplaces the samples of 16-bit RGB with a transparent colour; here it is
// read as PNG defines it: the colour matched at 16 bits, then rounded to 8.
TEST(PngDecoder, SixteenBitRgbWithATransparentColourMatchesItAtSixteenBits) {
  const auto samples = [](int x, int y, int c) { return x == 1 && y == 0 ? 40000 + c : 40001 + c; };
  const test::PngLayout layout{.width = 3,
                               .height = 2,
                               .colourType = 2,
                               .bitDepth = 16,
                               .transparent = {{40000, 40001, 40002}}};
  const Image image = Decode(test::EncodePng(layout, samples), "RGB 16 tRNS").image;
  ASSERT_EQ(image.Width(), 3);
  EXPECT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.At(1, 0), MakeRgba(RGB(156, 156, 156), 0));    // 40000 / 257 rounds to 156
  EXPECT_EQ(image.At(0, 0), MakeRgba(RGB(156, 156, 156), 255));  // a level off: opaque
  EXPECT_EQ(image.At(2, 1), MakeRgba(RGB(156, 156, 156), 255));
}

TEST(PngDecoder, TheEmbeddedIccProfileIsKept) {
  const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
  const std::vector<std::uint8_t> profile(srgb.begin(), srgb.end());
  const test::PngLayout layout{.iccProfile = profile};
  EXPECT_EQ(Decode(test::EncodePng(layout, AtDepth(8, 3)), "icc").colour.icc, profile);
  EXPECT_TRUE(Decode(test::EncodePng({}, AtDepth(8, 3)), "no icc").colour.icc.empty());
}

// The colour chunks are told as the file gives them, each on its own and together, and
// nothing is told of a file without them.
TEST(PngDecoder, TheColourChunksAreTold) {
  const auto colour = [](const test::PngLayout& layout, const std::string& what) {
    return Decode(test::EncodePng(layout, AtDepth(8, 3)), what).colour;
  };
  EXPECT_TRUE(colour({}, "plain").Empty());
  const ColourDescription srgb = colour({.srgbIntent = 0}, "sRGB");
  ASSERT_TRUE(srgb.png);
  EXPECT_TRUE(srgb.png->srgb);
  EXPECT_TRUE(srgb.icc.empty());
  // libpng gives a lone sRGB chunk sRGB's own gamma and white, which it outranks anyway.
  EXPECT_NEAR(srgb.png->gamma.value_or(0), 0.45455, 1e-5);
  EXPECT_NEAR(srgb.png->chromaticities.value_or(std::array<double, 8>{})[0], 0.3127, 1e-4);
  // A gamma of nought tells nothing, and libpng drops it.
  EXPECT_FALSE(colour({.gamma = 0}, "gamma 0").png);

  const ColourDescription gamma = colour({.gamma = 45455}, "gAMA");
  ASSERT_TRUE(gamma.png);
  EXPECT_FALSE(gamma.png->srgb);
  ASSERT_TRUE(gamma.png->gamma);
  EXPECT_DOUBLE_EQ(*gamma.png->gamma, 0.45455);
  EXPECT_FALSE(gamma.png->chromaticities);

  // Adobe RGB (1998)'s white and primaries, with a gamma of 1/2.2.
  constexpr std::array<std::uint32_t, 8> kAdobe = {31270, 32900, 64000, 33000,
                                                   21000, 71000, 15000, 6000};
  const ColourDescription adobe =
      colour({.width = 9, .height = 7, .gamma = 45455, .chromaticities = kAdobe}, "gAMA and cHRM");
  ASSERT_TRUE(adobe.png);
  EXPECT_FALSE(adobe.png->srgb);
  EXPECT_DOUBLE_EQ(adobe.png->gamma.value_or(0), 0.45455);
  ASSERT_TRUE(adobe.png->chromaticities);
  for (std::size_t i = 0; i < kAdobe.size(); ++i) {
    EXPECT_NEAR((*adobe.png->chromaticities)[i], kAdobe[i] / 100000.0, 1e-9) << i;
  }
  const ColourDescription linear = colour({.gamma = 100000}, "linear");
  EXPECT_DOUBLE_EQ(linear.png.value_or(PngColourChunks{}).gamma.value_or(0), 1.0);
}

// The pixels are the file's own numbers, whatever the chunks say of them.
TEST(PngDecoder, ColourChunksLeaveThePixelsAlone) {
  const std::vector<std::uint8_t> plain = test::EncodePng({}, AtDepth(8, 3));
  const std::vector<std::uint8_t> tagged =
      test::EncodePng({.gamma = 100000,
                       .chromaticities = {{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000}}},
                      AtDepth(8, 3));
  ASSERT_NE(plain, tagged);
  const Image a = Decode(plain, "plain").image;
  const Image b = Decode(tagged, "tagged").image;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << ", " << y;
    }
  }
}

TEST(PngDecoder, PicturesOverTheLimitAreRefusedFromTheirHeader) {
  const std::vector<std::uint8_t> bytes = test::EncodePng({}, AtDepth(8, 3));
  EXPECT_TRUE(IsError(DecodePng(bytes, Progress(), 40 * 30 - 1), FormatError::TooLarge));
  EXPECT_TRUE(std::holds_alternative<DecodedPicture>(DecodePng(bytes, Progress(), 40 * 30)));
}

TEST(PngDecoder, DamageOtherThanAnEarlyEndIsInvalid) {
  const std::vector<std::uint8_t> bytes =
      test::EncodePng({.width = 64, .height = 64}, AtDepth(8, 3));
  EXPECT_TRUE(IsError(DecodePng(Cut(bytes, 40), Progress()), FormatError::Invalid));
  std::vector<std::uint8_t> flipped = bytes;
  flipped[bytes.size() / 2] ^= 0xFF;  // inside the image data: its checksum no longer holds
  EXPECT_TRUE(IsError(DecodePng(flipped, Progress()), FormatError::Invalid));
  EXPECT_TRUE(IsError(DecodePng({}, Progress()), FormatError::Invalid));
}

TEST(PngDecoder, AFileCutShortGivesTheRowsItHoldsAndCountsThem) {
  for (const int depth : {8, 16}) {
    const test::PngLayout layout{.width = 50, .height = 300, .colourType = 6, .bitDepth = depth};
    const std::vector<std::uint8_t> bytes = test::EncodePng(layout, AtDepth(depth, 4));
    const Image whole = Decode(bytes, "whole").image;
    int before = 0;
    for (int step = 2; step < 10; ++step) {
      const std::string what =
          "depth " + std::to_string(depth) + " cut at " + std::to_string(step) + "/10";
      const DecodedPicture cut = Decode(Cut(bytes, bytes.size() * step / 10), what);
      ASSERT_TRUE(cut.cutShort) << what;
      const Shortfall missing = *cut.cutShort;
      EXPECT_EQ(missing.rowsTotal, 300) << what;
      EXPECT_GT(missing.rowsPresent, before) << what;
      EXPECT_LT(missing.rowsPresent, 300) << what;
      EXPECT_FALSE(missing.finalPassesMissing) << what;
      for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 50; ++x) {
          ASSERT_EQ(cut.image.At(x, y), y < missing.rowsPresent ? whole.At(x, y) : 0xFF808080u)
              << what << " at (" << x << ", " << y << ")";
        }
      }
      before = missing.rowsPresent;
    }
    // Without its end chunk the picture is whole.
    EXPECT_FALSE(Decode(Cut(bytes, bytes.size() - 12), "no end").cutShort);
  }
}

TEST(PngDecoder, AnInterlacedFileCutShortSpreadsThePassesItHolds) {
  const test::PngLayout layout{.width = 64, .height = 80, .interlaced = true};
  const std::vector<std::uint8_t> bytes = test::EncodePng(layout, AtDepth(8, 3));
  const Image whole = Decode(bytes, "whole").image;
  for (int step = 1; step < 10; ++step) {
    const std::string what = "cut at " + std::to_string(step) + "/10";
    const PictureResult result = DecodePng(Cut(bytes, bytes.size() * step / 10), Progress());
    if (step == 1 && IsError(result, FormatError::Invalid)) {
      continue;  // not even the first pass's first row
    }
    ASSERT_TRUE(std::holds_alternative<DecodedPicture>(result)) << what;
    const DecodedPicture& cut = std::get<DecodedPicture>(result);
    ASSERT_TRUE(cut.cutShort) << what;
    EXPECT_TRUE(cut.cutShort->finalPassesMissing) << what;
    // Each pixel is one the file holds: the whole picture's at the corner of its 8 by 8 block
    // or nearer, or grey where the first pass did not reach.
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 64; ++x) {
        const RgbaPixel pixel = cut.image.At(x, y);
        bool found = y >= cut.cutShort->rowsPresent && pixel == 0xFF808080u;
        for (int dy = 0; dy <= y % 8 && !found; ++dy) {
          for (int dx = 0; dx <= x % 8 && !found; ++dx) {
            found = whole.At(x - dx, y - dy) == pixel;
          }
        }
        ASSERT_TRUE(found) << what << " at (" << x << ", " << y << ")";
      }
    }
    if (cut.cutShort->rowsPresent == 80) {
      for (int y = 0; y < 80; y += 8) {
        for (int x = 0; x < 64; x += 8) {
          ASSERT_EQ(cut.image.At(x, y), whole.At(x, y)) << what;
        }
      }
    }
  }
}

TEST(PngDecoder, ProgressRisesToTheEndAndACancelStopsTheDecode) {
  for (const bool interlaced : {false, true}) {
    const test::PngLayout layout{.width = 30, .height = 1000, .interlaced = interlaced};
    const std::vector<std::uint8_t> bytes = test::EncodePng(layout, AtDepth(8, 3));
    test::ExpectProgressAndCancel([&bytes](const Progress& p) { return DecodePng(bytes, p); },
                                  interlaced ? "interlaced" : "plain");
  }
}

// Bytes flipped and files cut at random give a picture of the file's size or an error; the
// sanitizers watch the decoder's jumps out of libpng.
TEST(PngDecoder, DamagedFilesGiveAPictureOrAnError) {
  std::uint32_t noise = 54321;
  const auto next = [&noise] {
    noise = noise * 1664525u + 1013904223u;
    return noise >> 8;
  };
  for (const bool interlaced : {false, true}) {
    for (const auto& [type, depth, channels] : {Kind{3, 4, 1}, Kind{4, 16, 2}, Kind{6, 8, 4}}) {
      std::vector<std::array<std::uint8_t, 3>> palette(16, {{10, 200, 30}});
      const test::PngLayout layout{.width = 33,
                                   .height = 29,
                                   .colourType = type,
                                   .bitDepth = depth,
                                   .interlaced = interlaced,
                                   .palette = type == 3 ? palette : decltype(palette){}};
      const std::vector<std::uint8_t> whole = test::EncodePng(layout, AtDepth(depth, channels));
      for (int trial = 0; trial < 100; ++trial) {
        std::vector<std::uint8_t> damaged = Cut(whole, 8 + next() % (whole.size() - 8));
        for (int flips = static_cast<int>(next() % 3); flips > 0; --flips) {
          damaged[next() % damaged.size()] ^= static_cast<std::uint8_t>(1 + next() % 255);
        }
        const PictureResult result = DecodePng(damaged, Progress());
        if (const auto* picture = std::get_if<DecodedPicture>(&result)) {
          EXPECT_EQ(picture->image.Width(), 33) << trial;
          EXPECT_EQ(picture->image.Height(), 29) << trial;
          EXPECT_TRUE(!picture->cutShort || picture->cutShort->rowsPresent > 0) << trial;
        }
      }
    }
  }
}

}  // namespace
}  // namespace irobunkai
