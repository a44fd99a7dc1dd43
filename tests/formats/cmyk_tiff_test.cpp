// CMYK TIFFs made sRGB as littleCMS's tificc renders them, through their own profile or the
// press profile; every other TIFF left to Qt; damaged and oversized files refused.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <algorithm>

#include "format_test_support.h"
#include "io/formats/cmyk_rows.h"
#include "io/formats/cmyk_tiff_decoder.h"
#include "io/formats/decode_by_content.h"

namespace irobunkai {
namespace {

const QString kPress = QString::fromLatin1(kPressProfilePath);
const QString kOther = QStringLiteral("/usr/share/color/icc/ghostscript/ps_cmyk.icc");

// TestPicture made CMYK by ImageMagick with `options`; returns the file's path.
QString ConvertedTiff(const QTemporaryDir& dir, const QString& name, const QStringList& options) {
  const QString source = test::Saved(test::TestPicture(41, 29), dir.filePath(name + ".png"));
  const QString output = dir.filePath(name + ".tif");
  test::Run(QStringLiteral("convert"),
            QStringList{source, "-colorspace", "CMYK"} + options + QStringList{output});
  return output;
}

// What tificc makes of `input` in 8-bit sRGB: through its own profile, or `press` when given.
QImage TificcRendering(const QString& input, const QString& press) {
  const QString output = input + ".srgb.tif";
  QStringList arguments{"-w8", "-o*sRGB"};
  if (!press.isEmpty()) {
    arguments += QStringList{"-n", "-i" + press};
  }
  test::Run(QStringLiteral("tificc"), arguments + QStringList{input, output});
  return QImage(output);
}

DecodedPicture Decoded(const std::vector<std::uint8_t>& bytes, const std::string& what) {
  std::optional<PictureResult> result = DecodeCmykTiff(bytes, Progress());
  if (!result || !std::holds_alternative<DecodedPicture>(*result)) {
    ADD_FAILURE() << what << " is not decoded";
    return {};
  }
  return std::get<DecodedPicture>(std::move(*result));
}

std::optional<FormatError> ErrorOf(const std::vector<std::uint8_t>& bytes,
                                   std::int64_t maxPixels = kMaxDecodedPixels) {
  const std::optional<PictureResult> result = DecodeCmykTiff(bytes, Progress(), maxPixels);
  if (!result || !std::holds_alternative<FormatError>(*result)) {
    return std::nullopt;
  }
  return std::get<FormatError>(*result);
}

// A CMYK TIFF of `inks`, samples of `bits` (8 or 16, little-endian), written here with its
// directory ahead of its strips, so that cutting the file short cuts the pixels; in one strip,
// or in one per ink when `planes`; with an orientation tag unless `orientation` is 0. The size
// it declares may be other than the inks'.
std::vector<std::uint8_t> HandMadeTiff(std::uint32_t width, std::uint32_t height,
                                       const std::vector<std::uint8_t>& inks, bool planes,
                                       int bits = 8, int orientation = 0) {
  std::vector<std::uint8_t> file = {'I', 'I', 42, 0, 8, 0, 0, 0};
  const auto put = [&file](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  };
  const auto entry = [&put](int tag, int type, std::uint32_t count, std::uint32_t value) {
    put(static_cast<std::uint32_t>(tag), 2);
    put(static_cast<std::uint32_t>(type), 2);
    put(count, 4);
    put(value, 4);
  };
  const std::uint32_t entries = orientation != 0 ? 11 : 10;
  const std::uint32_t bitsAt = 8 + 2 + entries * 12 + 4;
  const std::uint32_t offsetsAt = bitsAt + 8;
  const std::uint32_t countsAt = offsetsAt + 16;
  const std::uint32_t dataAt = countsAt + 16;
  const std::uint32_t strips = planes ? 4 : 1;
  const auto stripBytes = static_cast<std::uint32_t>(inks.size() / strips);
  put(entries, 2);
  entry(256, 4, 1, width);
  entry(257, 4, 1, height);
  entry(258, 3, 4, bitsAt);
  entry(259, 3, 1, 1);  // uncompressed
  entry(262, 3, 1, 5);  // separated: inks
  entry(273, 4, strips, planes ? offsetsAt : dataAt);
  if (orientation != 0) {
    entry(274, 3, 1, static_cast<std::uint32_t>(orientation));
  }
  entry(277, 3, 1, 4);
  entry(278, 4, 1, height);
  entry(279, 4, strips, planes ? countsAt : stripBytes);
  entry(284, 3, 1, planes ? 2 : 1);
  put(0, 4);  // no next directory
  for (int i = 0; i < 4; ++i) {
    put(static_cast<std::uint32_t>(bits), 2);
  }
  for (std::uint32_t i = 0; i < 4; ++i) {
    put(dataAt + i * stripBytes, 4);
  }
  for (int i = 0; i < 4; ++i) {
    put(stripBytes, 4);
  }
  if (!planes) {
    file.insert(file.end(), inks.begin(), inks.end());
    return file;
  }
  const auto size = static_cast<std::size_t>(bits / 8);
  for (std::size_t ink = 0; ink < 4; ++ink) {
    for (std::size_t i = ink * size; i < inks.size(); i += 4 * size) {
      file.insert(file.end(), inks.begin() + static_cast<std::ptrdiff_t>(i),
                  inks.begin() + static_cast<std::ptrdiff_t>(i + size));
    }
  }
  return file;
}

std::vector<std::uint8_t> SomeInks(std::size_t pixels) {
  std::vector<std::uint8_t> inks(pixels * 4);
  for (std::size_t i = 0; i < inks.size(); ++i) {
    inks[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
  }
  return inks;
}

TEST(CmykTiff, IsShownAsTificcRendersItThroughItsOwnProfileOrThePressProfile) {
  SKIP_WITHOUT("convert");
  SKIP_WITHOUT("tificc");
  const QTemporaryDir dir;
  struct Case {
    const char* name;
    QStringList options;
    QString press;  // for tificc, when the file has no profile of its own
  };
  const std::vector<Case> cases = {
      {"8 bits, no profile", {"-depth", "8"}, kPress},
      {"8 bits, press profile", {"-depth", "8", "-profile", kPress}, {}},
      {"8 bits, another profile", {"-depth", "8", "-profile", kOther}, {}},
      {"16 bits, another profile", {"-depth", "16", "-profile", kOther}, {}},
      {"16 bits, no profile", {"-depth", "16"}, kPress},
      {"LZW in strips of 4 rows",
       {"-depth", "8", "-compress", "lzw", "-define", "tiff:rows-per-strip=4"},
       kPress},
      {"big-endian deflate",
       {"-depth", "16", "-endian", "MSB", "-compress", "zip", "-profile", kOther},
       {}},
  };
  for (const auto& [name, options, press] : cases) {
    const QString file = ConvertedTiff(dir, QString::fromLatin1(name).replace(' ', '_'), options);
    const DecodedPicture picture = Decoded(test::ReadBytes(file), name);
    // 16-bit inks are rounded to 8 bits before the profile, tificc takes them whole: a level
    // of ink may become three of sRGB where the profile is steep.
    const int tolerance = options.contains("16") ? 3 : 2;
    test::ExpectNearPixels(picture.image, TificcRendering(file, press), tolerance, name);
    EXPECT_FALSE(picture.image.HasAlpha()) << name;
    EXPECT_TRUE(picture.colour.Empty()) << name;  // the pixels are sRGB now
  }
}

TEST(CmykTiff, PlanesReadAsSamplesSideBySideAndTheOrientationTurnsThePicture) {
  const std::vector<std::uint8_t> inks = SomeInks(13 * 7);
  const Image together = Decoded(HandMadeTiff(13, 7, inks, false), "together").image;
  const Image planes = Decoded(HandMadeTiff(13, 7, inks, true), "planes").image;
  ASSERT_EQ(together.Width(), 13);
  ASSERT_EQ(planes.Width(), 13);
  ASSERT_EQ(planes.Height(), 7);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 13; ++x) {
      EXPECT_EQ(planes.At(x, y), together.At(x, y)) << x << "," << y;
    }
  }

  SKIP_WITHOUT("convert");
  const QTemporaryDir dir;
  const DecodedPicture upright = Decoded(
      test::ReadBytes(ConvertedTiff(dir, QStringLiteral("upright"), {"-depth", "8"})), "upright");
  const DecodedPicture turned =
      Decoded(test::ReadBytes(ConvertedTiff(dir, QStringLiteral("turned"),
                                            {"-depth", "8", "-orient", "right-top"})),
              "turned");
  const int height = upright.image.Height();
  ASSERT_EQ(turned.image.Width(), height);
  ASSERT_EQ(turned.image.Height(), upright.image.Width());
  // Turned a quarter clockwise: the picture's first column, read upwards, is the top row.
  for (int y = 0; y < turned.image.Height(); ++y) {
    for (int x = 0; x < turned.image.Width(); ++x) {
      ASSERT_EQ(turned.image.At(x, y), upright.image.At(y, height - 1 - x)) << x << "," << y;
    }
  }
}

TEST(CmykTiff, TheInksAreKeptAsStoredTurnedWithThePicture) {
  constexpr int kWidth = 13;
  constexpr int kHeight = 7;
  const std::vector<std::uint8_t> inks = SomeInks(kWidth * kHeight);
  const auto stored = [&inks](int x, int y, int c) {
    return inks[static_cast<std::size_t>((y * kWidth + x) * 4 + c)];
  };
  // 16 bits a sample, off the 8-bit levels by less than half of one: rounded back to them.
  std::vector<std::uint8_t> wide;
  for (std::size_t i = 0; i < inks.size(); ++i) {
    const int offset = i % 2 == 0 ? 120 : -120;
    const auto sample = static_cast<std::uint16_t>(std::clamp(inks[i] * 257 + offset, 0, 65535));
    wide.push_back(static_cast<std::uint8_t>(sample & 0xFF));
    wide.push_back(static_cast<std::uint8_t>(sample >> 8));
  }
  // Each orientation once; samples side by side and in planes, of 8 and 16 bits, each turned
  // and not.
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const bool planes = orientation % 2 == 0;
    const int bits = orientation % 4 < 2 ? 16 : 8;
    const std::string what = "orientation " + std::to_string(orientation) + " planes " +
                             std::to_string(planes) + " bits " + std::to_string(bits);
    const std::vector<std::uint8_t> file =
        HandMadeTiff(kWidth, kHeight, bits == 8 ? inks : wide, planes, bits, orientation);
    test::ExpectInks(Decoded(file, what).image,
                     test::ShownInks(stored, kWidth, kHeight, orientation), false, what);
  }
}

TEST(CmykTiff, OtherTiffsAreLeftToQt) {
  SKIP_WITHOUT("convert");
  const QTemporaryDir dir;
  const QString rgb = test::Saved(test::TestPicture(20, 10), dir.filePath("rgb.tif"));
  const QString grey = dir.filePath("grey.tif");
  test::Run(QStringLiteral("convert"), {rgb, "-colorspace", "Gray", grey});
  for (const QString& path : {rgb, grey}) {
    const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    EXPECT_TRUE(MayDecodeWithoutQt(bytes)) << path.toStdString();
    EXPECT_FALSE(DecodeCmykTiff(bytes, Progress())) << path.toStdString();
    EXPECT_FALSE(DecodeWithoutQt(bytes, Progress())) << path.toStdString();
  }
  // Not a TIFF at all, or a header and nothing more.
  EXPECT_FALSE(DecodeCmykTiff(std::vector<std::uint8_t>(64, 'I'), Progress()));
  EXPECT_FALSE(DecodeCmykTiff(std::vector<std::uint8_t>{'I', 'I', 42, 0, 8, 0}, Progress()));
}

TEST(CmykTiff, DamagedAndOversizedFilesAreRefused) {
  const std::vector<std::uint8_t> whole = HandMadeTiff(40, 30, SomeInks(40 * 30), false);
  for (const std::size_t cut : {whole.size() - 1, whole.size() / 2, std::size_t{200}}) {
    const std::vector<std::uint8_t> bytes(whole.begin(),
                                          whole.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(ErrorOf(bytes), FormatError::Invalid) << "cut at " << cut;
  }
  const std::optional<PictureResult> empty = DecodeCmykTiff(HandMadeTiff(0, 30, {}, false), {});
  EXPECT_FALSE(empty && std::holds_alternative<DecodedPicture>(*empty));
  EXPECT_EQ(ErrorOf(HandMadeTiff(100'000, 100'000, SomeInks(40 * 30), false)),
            FormatError::TooLarge);
  EXPECT_EQ(ErrorOf(whole, 40 * 30 - 1), FormatError::TooLarge);
  EXPECT_EQ(ErrorOf(whole, 40 * 30), std::nullopt);  // within the budget: decoded
}

}  // namespace
}  // namespace irobunkai
