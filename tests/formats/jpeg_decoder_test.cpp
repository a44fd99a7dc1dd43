// JPEGs of every kind written here by libjpeg-turbo, decoded and checked against Qt's reader,
// which the program used before, and CMYK ones against littleCMS's jpgicc; and what a file cut
// short gives.
#include "io/formats/jpeg_decoder.h"

#include <lcms2.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QTemporaryDir>

#include "format_test_support.h"
#include "io/formats/cmyk_rows.h"
#include "picture_writers.h"

namespace irobunkai {
namespace {

using Colours = test::JpegLayout::Colours;

QImage QtRead(const std::vector<std::uint8_t>& bytes) {
  QByteArray data(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  QBuffer buffer(&data);
  QImageReader reader(&buffer, "jpeg");
  reader.setAutoTransform(true);
  return reader.read();
}

DecodedPicture Decoded(const PictureResult& result, const std::string& what) {
  if (const auto* error = std::get_if<FormatError>(&result)) {
    ADD_FAILURE() << what << ": error " << static_cast<int>(*error);
    return {};
  }
  return std::get<DecodedPicture>(result);
}

DecodedPicture Decode(const std::vector<std::uint8_t>& bytes, const std::string& what) {
  return Decoded(DecodeJpeg(bytes, Progress()), what);
}

const QString kPressProfile = QString::fromLatin1(kPressProfilePath);

// What littleCMS's jpgicc makes of the CMYK JPEG `bytes` in sRGB, read by Qt and turned as its
// EXIF data says: through its own profile unless `options` say otherwise. Its quality of 100
// writes RGB without subsampling, within a level or two of what it was given.
QImage JpgiccRendering(const std::vector<std::uint8_t>& bytes, const QStringList& options = {}) {
  const QTemporaryDir dir;
  const QString input = dir.filePath(QStringLiteral("cmyk.jpg"));
  const QString output = dir.filePath(QStringLiteral("srgb.jpg"));
  test::WriteBytes(input, bytes);
  if (!test::Run(QStringLiteral("jpgicc"),
                 QStringList{"-q100"} + options + QStringList{input, output})) {
    return {};
  }
  return QtRead(test::ReadBytes(output));
}

// The same for a file without a profile of its own, or whose profile is ignored.
QImage JpgiccPressRendering(const std::vector<std::uint8_t>& bytes) {
  return JpgiccRendering(bytes, {"-n", "-i" + kPressProfile});
}

// The rendered CMYK pixels go through a JPEG again for the reference.
constexpr int kCmykTolerance = 3;

// The largest difference between two pictures of one size in any of R, G and B.
int MostApart(const Image& a, const Image& b) {
  int most = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      for (const int shift : {0, 8, 16}) {
        most = std::max(most, std::abs(static_cast<int>((a.At(x, y) >> shift) & 0xFF) -
                                       static_cast<int>((b.At(x, y) >> shift) & 0xFF)));
      }
    }
  }
  return most;
}

bool IsError(const PictureResult& result, FormatError error) {
  return std::holds_alternative<FormatError>(result) && std::get<FormatError>(result) == error;
}

std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& bytes, std::size_t length) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

TEST(JpegDecoder, EveryKindIsDecodedAsQtReadsIt) {
  struct Case {
    const char* name;
    test::JpegLayout layout;
  };
  const std::vector<Case> cases = {
      {"baseline 4:2:0", {}},
      {"4:4:4, odd size", {.width = 67, .height = 45, .hSampling = 1, .vSampling = 1}},
      {"4:2:2", {.width = 33, .height = 17, .hSampling = 2, .vSampling = 1}},
      {"one pixel", {.width = 1, .height = 1}},
      {"grey", {.width = 50, .height = 31, .colours = Colours::Grey}},
      {"RGB without transform", {.colours = Colours::Rgb, .hSampling = 1, .vSampling = 1}},
      {"progressive", {.width = 70, .height = 53, .progressive = true}},
      {"progressive grey", {.colours = Colours::Grey, .progressive = true}},
      {"arithmetic", {.width = 61, .height = 40, .arithmetic = true}},
      {"arithmetic progressive", {.progressive = true, .arithmetic = true}},
      // Large enough for its room to be asked for in huge pages.
      {"large", {.width = 2100, .height = 1100}},
  };
  for (const auto& [name, layout] : cases) {
    const std::vector<std::uint8_t> bytes = test::EncodeJpeg(layout);
    const DecodedPicture picture = Decode(bytes, name);
    test::ExpectSamePixels(picture.image, QtRead(bytes), name);
    EXPECT_FALSE(picture.image.HasAlpha()) << name;
    EXPECT_FALSE(picture.cutShort) << name;
    EXPECT_TRUE(picture.colour.icc.empty()) << name;
  }
}

TEST(JpegDecoder, CmykIsShownAsJpgiccRendersItThroughItsOwnProfileOrThePressProfile) {
  SKIP_WITHOUT("jpgicc");
  const std::vector<std::uint8_t> press = test::ShippedProfile("ghostscript/default_cmyk.icc");
  // Another press profile, far from the first: cyan ink is sRGB's cyan.
  const std::vector<std::uint8_t> other = test::ShippedProfile("ghostscript/ps_cmyk.icc");
  ASSERT_FALSE(press.empty() || other.empty());
  struct Case {
    const char* name;
    test::JpegLayout layout;
  };
  const std::vector<Case> cases = {
      {"Adobe CMYK",
       {.width = 45, .height = 20, .colours = Colours::Cmyk, .hSampling = 1, .vSampling = 1}},
      {"Adobe YCCK", {.width = 45, .height = 20, .colours = Colours::Ycck}},
      {"progressive CMYK", {.colours = Colours::Cmyk, .progressive = true}},
      {"plain CMYK", {.width = 37, .height = 21, .colours = Colours::Cmyk, .adobe = false}},
      {"arithmetic CMYK", {.colours = Colours::Cmyk, .arithmetic = true}},
  };
  for (const auto& [name, shape] : cases) {
    std::vector<Image> renderings;
    for (const std::vector<std::uint8_t>* profile : {&press, &other, &shape.iccProfile}) {
      test::JpegLayout layout = shape;
      layout.iccProfile = *profile;
      const std::string what = std::string(name) + (profile == &press   ? " with the press profile"
                                                    : profile == &other ? " with another profile"
                                                                        : " without a profile");
      const std::vector<std::uint8_t> bytes = test::EncodeJpeg(layout);
      const DecodedPicture picture = Decode(bytes, what);
      test::ExpectNearPixels(
          picture.image, profile->empty() ? JpgiccPressRendering(bytes) : JpgiccRendering(bytes),
          kCmykTolerance, what);
      EXPECT_FALSE(picture.image.HasAlpha()) << what;
      EXPECT_FALSE(picture.cutShort) << what;
      // The pixels are sRGB now: the profile of the inks has been used up.
      EXPECT_TRUE(picture.colour.Empty()) << what;
      renderings.push_back(picture.image);
    }
    // The press profile stands in when there is none; the file's own outranks it.
    EXPECT_EQ(MostApart(renderings[2], renderings[0]), 0) << name;
    EXPECT_GT(MostApart(renderings[0], renderings[1]), 40) << name << ": the profiles render alike";
  }
}

TEST(JpegDecoder, ACmykProfileThatCantBeUsedGivesWayToThePressProfile) {
  SKIP_WITHOUT("jpgicc");
  const std::vector<std::uint8_t> press = test::ShippedProfile("ghostscript/default_cmyk.icc");
  ASSERT_FALSE(press.empty());
  std::vector<std::uint8_t> scrambled = press;
  for (std::size_t i = 128; i < scrambled.size(); i += 3) {
    scrambled[i] = static_cast<std::uint8_t>(i * 31);
  }
  const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> profiles = {
      {"cut short", {press.begin(), press.begin() + 300}},
      {"scrambled", scrambled},
      {"garbage", std::vector<std::uint8_t>(500, 0x5A)},
      {"an RGB profile", {srgb.begin(), srgb.end()}},
      {"a grey profile", test::ShippedProfile("ghostscript/sgray.icc")},
  };
  for (const auto& [name, profile] : profiles) {
    const std::vector<std::uint8_t> bytes = test::EncodeJpeg(
        {.width = 40, .height = 24, .colours = Colours::Cmyk, .iccProfile = profile});
    const DecodedPicture picture = Decode(bytes, name);
    test::ExpectNearPixels(picture.image, JpgiccPressRendering(bytes), kCmykTolerance, name);
    EXPECT_TRUE(picture.colour.Empty()) << name;
  }
}

// The inks' colours as the press profile gives them, worked out by littleCMS from the plain
// inks: what a file of them shows, whichever way round it stores them.
std::vector<ColorValue> PressColoursOf(const std::vector<std::array<std::uint8_t, 4>>& inks) {
  const std::vector<std::uint8_t> press = test::ShippedProfile("ghostscript/default_cmyk.icc");
  cmsHPROFILE cmyk =
      cmsOpenProfileFromMem(press.data(), static_cast<cmsUInt32Number>(press.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM t = cmsCreateTransform(cmyk, TYPE_CMYK_8, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
  std::vector<ColorValue> colours;
  for (const auto& ink : inks) {
    std::array<std::uint8_t, 3> rgb{};
    cmsDoTransform(t, ink.data(), rgb.data(), 1);
    colours.push_back(RGB(rgb[0], rgb[1], rgb[2]));
  }
  cmsDeleteTransform(t);
  cmsCloseProfile(srgb);
  cmsCloseProfile(cmyk);
  return colours;
}

TEST(JpegDecoder, PlainCmykWithoutAnAdobeMarkerIsNotInverted) {
  // Inks: cyan alone, magenta and yellow (red), nothing (white), black alone.
  const std::vector<std::array<std::uint8_t, 4>> kInks = {
      {255, 0, 0, 0}, {0, 255, 255, 0}, {0, 0, 0, 0}, {0, 0, 0, 255}};
  const auto inks = [&kInks](int x, int /*y*/, int c) {
    return kInks[static_cast<std::size_t>(x / 16)][static_cast<std::size_t>(c)];
  };
  const std::vector<ColorValue> expected = PressColoursOf(kInks);
  for (const bool adobe : {false, true}) {
    // Only the Adobe marker tells YCCK from CMYK.
    for (const Colours colours : {Colours::Cmyk, adobe ? Colours::Ycck : Colours::Cmyk}) {
      const test::JpegLayout layout{.width = 64,
                                    .height = 16,
                                    .colours = colours,
                                    .adobe = adobe,
                                    .quality = 100,
                                    .hSampling = 1,
                                    .vSampling = 1};
      const Image image = Decode(test::EncodeJpeg(layout, inks), "flat inks").image;
      ASSERT_EQ(image.Width(), 64);
      for (std::size_t i = 0; i < kInks.size(); ++i) {
        const ColorValue c = ColorOf(image.At(16 * static_cast<int>(i) + 8, 8));
        const std::string what = "ink " + std::to_string(i) + " adobe " + std::to_string(adobe) +
                                 " colours " + std::to_string(static_cast<int>(colours));
        EXPECT_NEAR(RedOf(c), RedOf(expected[i]), 3) << what;
        EXPECT_NEAR(GreenOf(c), GreenOf(expected[i]), 3) << what;
        EXPECT_NEAR(BlueOf(c), BlueOf(expected[i]), 3) << what;
      }
    }
  }
}

// `image` is `stored` shown in `orientation`, within the CMYK tolerance.
void ExpectTurned(const Image& image, const QImage& stored, int orientation,
                  const std::string& what) {
  ASSERT_EQ(std::int64_t{image.Width()} * image.Height(),
            std::int64_t{stored.width()} * stored.height())
      << what;
  QImage shown(image.Width(), image.Height(), QImage::Format_RGB32);
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const auto [sx, sy] = test::StoredAt(x, y, stored.width(), stored.height(), orientation);
      shown.setPixel(x, y, stored.pixel(sx, sy));
    }
  }
  test::ExpectNearPixels(image, shown, kCmykTolerance, what);
}

TEST(JpegDecoder, EveryExifOrientationTurnsThePictureAsQtTurnedIt) {
  for (const Colours colours : {Colours::YCbCr, Colours::Grey, Colours::Cmyk}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      const test::JpegLayout layout{.width = 40,
                                    .height = 24,
                                    .colours = colours,
                                    .app1 = {test::ExifSegment({.orientation = orientation})}};
      const std::vector<std::uint8_t> bytes = test::EncodeJpeg(layout);
      const std::string what = "orientation " + std::to_string(orientation) + " of colours " +
                               std::to_string(static_cast<int>(colours));
      const Image image = Decode(bytes, what).image;
      EXPECT_EQ(image.Width(), orientation >= 5 ? 24 : 40) << what;
      if (colours == Colours::Cmyk) {
        // jpgicc doesn't keep the EXIF data: its rendering of the picture as stored, turned.
        ExpectTurned(image, JpgiccPressRendering(bytes), orientation, what);
      } else {
        test::ExpectSamePixels(image, QtRead(bytes), what);
      }
    }
  }
  // An orientation out of range, or not a SHORT, leaves the picture as it is.
  for (const int orientation : {0, 9, 300}) {
    const test::JpegLayout layout{
        .width = 40, .height = 24, .app1 = {test::ExifSegment({.orientation = orientation})}};
    EXPECT_EQ(Decode(test::EncodeJpeg(layout), "bad orientation").image.Width(), 40);
  }
}

// Inks flat over each block of 8 by 8, which a JPEG of quality 100 gives back exactly.
int BlockInks(int x, int y, int c) { return (x / 8 * 53 + y / 8 * 91 + c * 67 + 11) % 256; }

// A CMYK file whose blocks come back exactly: quality 100, no subsampling.
test::JpegLayout ExactCmyk(int width, int height, bool adobe) {
  return {.width = width,
          .height = height,
          .colours = Colours::Cmyk,
          .adobe = adobe,
          .quality = 100,
          .hSampling = 1,
          .vSampling = 1};
}

TEST(JpegDecoder, ACmykPictureKeepsItsInksTurnedWithItsPixels) {
  for (const bool adobe : {false, true}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      test::JpegLayout layout = ExactCmyk(40, 24, adobe);
      layout.app1 = {test::ExifSegment({.orientation = orientation})};
      const std::string what =
          "orientation " + std::to_string(orientation) + " adobe " + std::to_string(adobe);
      const Image image = Decode(test::EncodeJpeg(layout, BlockInks), what).image;
      // Adobe's inverted samples come back the right way round.
      test::ExpectInks(image, test::ShownInks(BlockInks, 40, 24, orientation), adobe, what);
    }
  }
  // YCCK's inks pass through a colour transform, and its writer subsamples all but black: they
  // stand with the pixels, and are within two levels of those written inside each block.
  const test::JpegLayout ycck{.width = 45,
                              .height = 20,
                              .colours = Colours::Ycck,
                              .quality = 100,
                              .hSampling = 1,
                              .vSampling = 1};
  const Image image = Decode(test::EncodeJpeg(ycck, BlockInks), "YCCK").image;
  ASSERT_NE(image.Inks(), nullptr);
  test::ExpectInks(image, image.Inks()->cmyk, true, "YCCK");
  for (int y = 2; y < 20; y += y % 8 == 5 ? 5 : 1) {
    for (int x = 2; x < 45; x += x % 8 == 5 ? 5 : 1) {
      for (int c = 0; c < 4; ++c) {
        ASSERT_NEAR(image.Inks()->Row(y)[x * 4 + c], BlockInks(x, y, c), 2) << x << "," << y;
      }
    }
  }
}

TEST(JpegDecoder, OtherColoursCarryNoInksAndTheRowsAFileLacksHaveNone) {
  for (const Colours colours : {Colours::YCbCr, Colours::Grey, Colours::Rgb}) {
    const Image image = Decode(test::EncodeJpeg({.colours = colours}), "not CMYK").image;
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.Inks(), nullptr) << static_cast<int>(colours);
  }
  // A CMYK file cut short: the rows it lacks have no ink, as they have no picture.
  const std::vector<std::uint8_t> bytes = test::EncodeJpeg(ExactCmyk(64, 320, false), BlockInks);
  const DecodedPicture cut = Decode(Cut(bytes, bytes.size() / 2), "cut short");
  ASSERT_TRUE(cut.cutShort);
  const int present = cut.cutShort->rowsPresent;
  ASSERT_GT(present, 0);
  std::vector<std::uint8_t> expected = test::ShownInks(BlockInks, 64, 320, 1);
  std::fill(expected.begin() + std::ptrdiff_t{present} * 64 * 4, expected.end(), 0);
  ASSERT_NE(cut.image.Inks(), nullptr);
  EXPECT_EQ(cut.image.Inks()->cmyk, expected);
}

TEST(JpegDecoder, TheEmbeddedIccProfileIsKeptWhole) {
  const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
  // Larger than one APP2 segment holds: libjpeg splits it and must join it again.
  std::vector<std::uint8_t> large(150'000);
  for (std::size_t i = 0; i < large.size(); ++i) {
    large[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  }
  for (const std::vector<std::uint8_t>& profile :
       {std::vector<std::uint8_t>(srgb.begin(), srgb.end()), large}) {
    const test::JpegLayout layout{.iccProfile = profile};
    EXPECT_EQ(Decode(test::EncodeJpeg(layout), "icc").colour.icc, profile);
  }
}

TEST(JpegDecoder, PicturesOverTheLimitAreRefusedFromTheirHeader) {
  const std::vector<std::uint8_t> bytes = test::EncodeJpeg({.width = 64, .height = 48});
  EXPECT_TRUE(IsError(DecodeJpeg(bytes, Progress(), 64 * 48 - 1), FormatError::TooLarge));
  EXPECT_TRUE(std::holds_alternative<DecodedPicture>(DecodeJpeg(bytes, Progress(), 64 * 48)));
  // The same file claiming 20000 x 10000 pixels in its frame header.
  std::vector<std::uint8_t> lying = bytes;
  for (std::size_t at = 2; at + 9 < lying.size(); ++at) {
    if (lying[at] == 0xFF && lying[at + 1] == 0xC0) {
      lying[at + 5] = 20000 >> 8;
      lying[at + 6] = 20000 & 0xFF;
      lying[at + 7] = 10000 >> 8;
      lying[at + 8] = 10000 & 0xFF;
      break;
    }
  }
  EXPECT_TRUE(IsError(DecodeJpeg(lying, Progress()), FormatError::TooLarge));
}

TEST(JpegDecoder, WhatIsNoJpegOrHoldsNoPictureIsInvalid) {
  const std::vector<std::uint8_t> bytes = test::EncodeJpeg({});
  for (const std::vector<std::uint8_t>& wrong :
       {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF},
        std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a'}, Cut(bytes, bytes.size() / 20)}) {
    EXPECT_TRUE(IsError(DecodeJpeg(wrong, Progress()), FormatError::Invalid)) << wrong.size();
  }
}

// The rows of a picture decoded from a cut file, against those of the whole one.
void ExpectRowsOfWhole(const Image& cut, const Image& whole, int rows, const std::string& what) {
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < whole.Width(); ++x) {
      ASSERT_EQ(cut.At(x, y), whole.At(x, y)) << what << " at (" << x << ", " << y << ")";
    }
  }
}

TEST(JpegDecoder, ABaselineFileCutShortGivesTheRowsItHoldsAndCountsThem) {
  for (const bool arithmetic : {false, true}) {
    const test::JpegLayout layout{.width = 48, .height = 320, .arithmetic = arithmetic};
    const std::vector<std::uint8_t> bytes = test::EncodeJpeg(layout);
    const Image whole = Decode(bytes, "whole").image;
    int before = 0;
    for (int step = 3; step < 10; ++step) {
      const std::string what = std::string(arithmetic ? "arithmetic" : "huffman") + " cut at " +
                               std::to_string(step) + "/10";
      const DecodedPicture cut = Decode(Cut(bytes, bytes.size() * step / 10), what);
      ASSERT_TRUE(cut.cutShort) << what;
      const Shortfall missing = *cut.cutShort;
      EXPECT_EQ(missing.rowsTotal, 320) << what;
      EXPECT_GT(missing.rowsPresent, before) << what;
      EXPECT_LT(missing.rowsPresent, 320) << what;
      EXPECT_EQ(missing.rowsPresent % 16, 0) << what;  // whole rows of 4:2:0 blocks
      EXPECT_FALSE(missing.finalPassesMissing) << what;
      // The last row present blends its colour with the next block row's, as upsampling does.
      ExpectRowsOfWhole(cut.image, whole, missing.rowsPresent - 1, what);
      // The rest is grey, as the user is told.
      for (int y = missing.rowsPresent; y < 320; ++y) {
        ASSERT_EQ(cut.image.At(y % 48, y), MakeRgba(RGB(128, 128, 128))) << what << " row " << y;
      }
      before = missing.rowsPresent;
    }
  }
}

TEST(JpegDecoder, AFileLackingOnlyItsEndMarkerIsWhole) {
  for (const bool progressive : {false, true}) {
    const std::vector<std::uint8_t> bytes =
        test::EncodeJpeg({.width = 48, .height = 64, .progressive = progressive});
    const DecodedPicture picture = Decode(Cut(bytes, bytes.size() - 2), "no end marker");
    EXPECT_FALSE(picture.cutShort) << progressive;
    ExpectRowsOfWhole(picture.image, Decode(bytes, "whole").image, 64, "no end marker");
  }
}

TEST(JpegDecoder, AProgressiveFileCutShortLacksItsFinalScans) {
  const test::JpegLayout layout{.width = 64, .height = 64, .progressive = true};
  const std::vector<std::uint8_t> bytes = test::EncodeJpeg(layout);
  for (int step = 5; step < 10; ++step) {
    const DecodedPicture cut = Decode(Cut(bytes, bytes.size() * step / 10), "progressive");
    ASSERT_TRUE(cut.cutShort) << step;
    EXPECT_TRUE(cut.cutShort->finalPassesMissing) << step;
    EXPECT_EQ(cut.cutShort->rowsPresent, 64) << step;  // the first scans cover every row
    EXPECT_EQ(cut.image.Height(), 64);
  }
}

TEST(JpegDecoder, ProgressRisesToTheEndAndACancelStopsTheDecode) {
  for (const bool progressive : {false, true}) {
    const std::vector<std::uint8_t> bytes =
        test::EncodeJpeg({.width = 64, .height = 1024, .progressive = progressive});
    test::ExpectProgressAndCancel([&bytes](const Progress& p) { return DecodeJpeg(bytes, p); },
                                  progressive ? "progressive" : "baseline");
  }
}

// Bytes flipped and files cut at random give a picture of the size the file says or an error;
// the sanitizers watch the decoder's jumps out of libjpeg.
TEST(JpegDecoder, DamagedFilesGiveAPictureOrAnError) {
  std::uint32_t noise = 12345;
  const auto next = [&noise] {
    noise = noise * 1664525u + 1013904223u;
    return noise >> 8;
  };
  for (const test::JpegLayout& layout :
       {test::JpegLayout{.width = 40, .height = 33},
        test::JpegLayout{.width = 40, .height = 33, .progressive = true},
        test::JpegLayout{.width = 40, .height = 33, .arithmetic = true},
        test::JpegLayout{.width = 40,
        .height = 33,
        .colours = Colours::Cmyk,
        .app1 = {test::ExifSegment({.orientation = 5})}}}) {
    const std::vector<std::uint8_t> whole = test::EncodeJpeg(layout);
    for (int trial = 0; trial < 150; ++trial) {
      std::vector<std::uint8_t> damaged = Cut(whole, 3 + next() % (whole.size() - 3));
      for (int flips = static_cast<int>(next() % 4); flips > 0; --flips) {
        damaged[next() % damaged.size()] ^= static_cast<std::uint8_t>(1 + next() % 255);
      }
      const PictureResult result = DecodeJpeg(damaged, Progress());
      if (const auto* picture = std::get_if<DecodedPicture>(&result)) {
        // As large as the frame header says, as libjpeg reads it for Qt, turned or not.
        const Image& image = picture->image;
        QByteArray data(reinterpret_cast<const char*>(damaged.data()), std::ssize(damaged));
        QBuffer buffer(&data);
        const QSize size = QImageReader(&buffer, "jpeg").size();
        EXPECT_EQ(std::int64_t{image.Width()} * image.Height(),
                  std::int64_t{size.width()} * size.height())
            << trial;
        if (picture->cutShort) {
          EXPECT_GT(picture->cutShort->rowsPresent, 0) << trial;
          EXPECT_LE(picture->cutShort->rowsPresent, picture->cutShort->rowsTotal) << trial;
        }
      }
    }
  }
}

}  // namespace
}  // namespace irobunkai
