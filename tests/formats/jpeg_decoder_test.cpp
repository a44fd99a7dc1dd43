// JPEGs of every kind written here by libjpeg-turbo, decoded and checked against Qt's reader,
// which the program used before; and what a file cut short gives.
#include "io/formats/jpeg_decoder.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include "format_test_support.h"
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
      {"Adobe CMYK",
       {.width = 45, .height = 20, .colours = Colours::Cmyk, .hSampling = 1, .vSampling = 1}},
      {"Adobe YCCK", {.width = 45, .height = 20, .colours = Colours::Ycck}},
      {"progressive CMYK", {.colours = Colours::Cmyk, .progressive = true}},
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

TEST(JpegDecoder, PlainCmykWithoutAnAdobeMarkerIsNotInverted) {
  // Inks: cyan alone, magenta and yellow (red), nothing (white), black alone.
  const auto inks = [](int x, int /*y*/, int c) {
    static constexpr std::array<std::array<int, 4>, 4> kInks = {
        {{255, 0, 0, 0}, {0, 255, 255, 0}, {0, 0, 0, 0}, {0, 0, 0, 255}}};
    return kInks[static_cast<std::size_t>(x / 16)][static_cast<std::size_t>(c)];
  };
  const std::array<ColorValue, 4> expected = {RGB(0, 255, 255), RGB(255, 0, 0), RGB(255, 255, 255),
                                              RGB(0, 0, 0)};
  for (const bool adobe : {false, true}) {
    const test::JpegLayout layout{.width = 64,
                                  .height = 16,
                                  .colours = Colours::Cmyk,
                                  .adobe = adobe,
                                  .quality = 100,
                                  .hSampling = 1,
                                  .vSampling = 1};
    const Image image = Decode(test::EncodeJpeg(layout, inks), "flat inks").image;
    ASSERT_EQ(image.Width(), 64);
    for (int i = 0; i < 4; ++i) {
      const ColorValue c = ColorOf(image.At(16 * i + 8, 8));
      EXPECT_NEAR(RedOf(c), RedOf(expected[i]), 3) << "ink " << i << " adobe " << adobe;
      EXPECT_NEAR(GreenOf(c), GreenOf(expected[i]), 3) << "ink " << i << " adobe " << adobe;
      EXPECT_NEAR(BlueOf(c), BlueOf(expected[i]), 3) << "ink " << i << " adobe " << adobe;
    }
  }
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
      test::ExpectSamePixels(image, QtRead(bytes), what);
    }
  }
  // An orientation out of range, or not a SHORT, leaves the picture as it is.
  for (const int orientation : {0, 9, 300}) {
    const test::JpegLayout layout{
        .width = 40, .height = 24, .app1 = {test::ExifSegment({.orientation = orientation})}};
    EXPECT_EQ(Decode(test::EncodeJpeg(layout), "bad orientation").image.Width(), 40);
  }
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
