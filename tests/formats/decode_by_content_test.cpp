// Which files the decoders take, and what they make of damaged and lying ones.
#include "io/formats/decode_by_content.h"

#include <QTemporaryDir>
#include <algorithm>

#include "dng_writer.h"
#include "format_test_support.h"
#include "lying_files.h"

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
    const QString png = test::Saved(test::TestPicture(67, 45), dir.filePath("photo.png"));
    test::Dng dng;
    dng.width = 67;
    dng.height = 45;
    test::Expose(dng, [](int x, int y) { return std::array{4 * x, 6 * y, 100}; });
    return {{"heic", ReadBytes(test::Encoded(png, dir.filePath("photo.heic"), "heif-enc"))},
            {"avif", ReadBytes(test::Encoded(png, dir.filePath("photo.avif"), "avifenc"))},
            {"jxl", ReadBytes(test::Encoded(png, dir.filePath("photo.jxl"), "cjxl"))},
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
  EXPECT_TRUE(IsError(DecodeByContent(test::JxlDeclaring(20000, 10000)), FormatError::TooLarge));
  const std::vector<std::uint8_t> heic =
      ReadBytes(test::Encoded(test::Saved(test::TestPicture(64, 48), dir.filePath("small.png")),
                              dir.filePath("small.heic"), "heif-enc"));
  EXPECT_TRUE(
      IsError(DecodeByContent(test::HeifDeclaring(heic, 20000, 20000)), FormatError::TooLarge));
  const auto dng = DecodeByContent(test::DngDeclaring(20000, 10000));
  EXPECT_FALSE(dng && std::holds_alternative<Image>(*dng));
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
