// Which files the decoders take, and what they make of damaged and lying ones.
#include "io/formats/decode_by_content.h"

#include <QTemporaryDir>
#include <algorithm>

#include "dng_writer.h"
#include "format_test_support.h"

namespace irobunkai {
namespace {

using test::ReadBytes;

class DecodeByContentTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"heif-enc", "avifenc", "cjxl", "convert"}) {
      if (QStandardPaths::findExecutable(program).isEmpty()) {
        GTEST_SKIP() << program << " is missing; scripts/install-deps.sh installs it";
      }
    }
    ASSERT_TRUE(dir.isValid());
  }

  // One small file of each format, by name.
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Samples() {
    const QImage photo = test::TestPicture(67, 45);
    test::Dng dng;
    dng.width = 67;
    dng.height = 45;
    test::Expose(dng, [](int x, int y) { return std::array{4 * x, 6 * y, 100}; });
    return {{"heic", ReadBytes(test::Encode(dir, photo, "photo.heic", "heif-enc"))},
            {"avif", ReadBytes(test::Encode(dir, photo, "photo.avif", "avifenc"))},
            {"jxl", ReadBytes(test::Encode(dir, photo, "photo.jxl", "cjxl"))},
            {"dng", test::EncodeDng(dng)}};
  }

  QTemporaryDir dir;
};

bool IsError(const std::optional<FormatResult>& result, FormatError error) {
  return result && std::holds_alternative<FormatError>(*result) &&
         std::get<FormatError>(*result) == error;
}

TEST_F(DecodeByContentTest, OrdinaryPicturesAreLeftToQt) {
  for (const auto& [name, options] : std::initializer_list<std::pair<const char*, QStringList>>{
           {"photo.png", {}},
           {"photo.jpg", {}},
           {"photo.gif", {}},
           {"photo.bmp", {}},
           {"photo.webp", {}},
           {"photo.tiff", {}},
           {"deep.tiff", {"-depth", "16"}},
           {"grey.tiff", {"-colorspace", "gray"}},
           {"grey16.tiff", {"-depth", "16", "-colorspace", "gray"}},
           {"cmyk.tiff", {"-compress", "lzw", "-colorspace", "CMYK"}},
           {"big-endian.tiff", {"-endian", "MSB"}}}) {
    const QString path = dir.filePath(name);
    test::Run("convert",
              QStringList{"-size", "64x48", "gradient:red-blue"} + options + QStringList{path});
    EXPECT_EQ(DecodeByContent(ReadBytes(path)), std::nullopt) << name;
  }
}

TEST_F(DecodeByContentTest, PicturesOverTheLimitAreRefusedFromTheirHeader) {
  for (const auto& [name, bytes] : Samples()) {
    EXPECT_TRUE(IsError(DecodeByContent(bytes, 67 * 45 - 1), FormatError::TooLarge)) << name;
    EXPECT_TRUE(std::holds_alternative<Image>(*DecodeByContent(bytes, 67 * 45))) << name;
  }
}

TEST_F(DecodeByContentTest, HeadersThatDeclareHugePicturesAreRefused) {
  // A JPEG XL codestream of 20000 x 10000 pixels that ends after its header.
  std::vector<std::uint8_t> jxl = {0xFF, 0x0A};
  std::uint64_t bits = 0;
  int count = 0;
  const auto put = [&](std::uint64_t value, int width) {
    bits |= value << count;
    count += width;
  };
  put(0, 1);  // not a small size
  put(2, 2);  // the height in 18 bits
  put(10000 - 1, 18);
  put(0, 3);  // no aspect ratio: the width follows
  put(2, 2);
  put(20000 - 1, 18);
  put(1, 1);  // default metadata
  for (int i = 0; i < count; i += 8) {
    jxl.push_back(static_cast<std::uint8_t>(bits >> i));
  }
  EXPECT_TRUE(IsError(DecodeByContent(jxl), FormatError::TooLarge));

  // A HEIC whose image size properties say 20000 x 20000.
  std::vector<std::uint8_t> heic =
      ReadBytes(test::Encode(dir, test::TestPicture(64, 48), "small.heic", "heif-enc"));
  const std::string_view ispe = "ispe";
  for (auto at = std::search(heic.begin(), heic.end(), ispe.begin(), ispe.end()); at != heic.end();
       at = std::search(at + 1, heic.end(), ispe.begin(), ispe.end())) {
    const std::array<std::uint8_t, 8> size = {0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20};
    std::copy(size.begin(), size.end(), at + 8);
  }
  EXPECT_TRUE(IsError(DecodeByContent(heic), FormatError::TooLarge));

  // A DNG of 20000 x 10000 photosites with the samples of 4 x 4.
  test::Dng dng;
  dng.width = 20000;
  dng.height = 10000;
  dng.samples.assign(16, 1000);
  const auto result = DecodeByContent(test::EncodeDng(dng));
  EXPECT_FALSE(result && std::holds_alternative<Image>(*result));
}

TEST_F(DecodeByContentTest, FilesCutShortAreInvalid) {
  for (const auto& [name, bytes] : Samples()) {
    for (int step = 1; step < 24; ++step) {
      const std::size_t length =
          std::max<std::size_t>(kContentSignatureBytes, bytes.size() * step / 24);
      const std::vector<std::uint8_t> cut(bytes.begin(),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(length));
      const std::optional<FormatResult> result = DecodeByContent(cut);
      // A TIFF-based raw file cut inside its header is no longer one: Qt's reader refuses it.
      const bool unclaimedTiff = name == "dng" && !result;
      EXPECT_TRUE(unclaimedTiff || IsError(result, FormatError::Invalid))
          << name << " cut to " << length << " bytes";
    }
  }
}

}  // namespace
}  // namespace irobunkai
