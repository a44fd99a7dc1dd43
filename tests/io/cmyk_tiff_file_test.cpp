#include "io/cmyk_tiff_file.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace irobunkai {
namespace {

constexpr int kInks = 4;

// A different ramp for each ink, crossing 0 and 255, so that a swapped ink, row or column shows.
std::uint8_t InkAt(int x, int y, int ink) {
  return static_cast<std::uint8_t>((x * 7 + y * 11 + ink * 64) % 256);
}

InkPlates Ramps(int width, int height) {
  InkPlates plates;
  for (int ink = 0; ink < kInks; ++ink) {
    auto plane = std::make_shared<ChannelPlane>();
    plane->Resize(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        plane->Row(y)[x] = InkAt(x, y, ink);
      }
    }
    plates.plates[static_cast<std::size_t>(ink)] = plane;
  }
  return plates;
}

std::vector<std::uint8_t> PressProfile() {
  QFile file(QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_GT(bytes.size(), 128);
  return {bytes.begin(), bytes.end()};
}

// What libtiff itself reads from a file; fields that are missing stay 0.
struct ReadBack {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t photometric = 0;
  std::uint16_t inkset = 0;
  std::uint16_t samples = 0;
  std::uint16_t bits = 0;
  std::uint16_t planar = 0;
  std::uint16_t compression = 0;
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> icc;
};

ReadBack Read(const QString& path) {
  ReadBack file;
  const std::unique_ptr<TIFF, decltype(&TIFFClose)> tiff(
      TIFFOpen(QFile::encodeName(path).constData(), "r"), &TIFFClose);
  if (!tiff) {
    ADD_FAILURE() << "libtiff cannot open " << path.toStdString();
    return file;
  }
  TIFF* const t = tiff.get();
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &file.width);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &file.height);
  TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &file.photometric);
  TIFFGetField(t, TIFFTAG_INKSET, &file.inkset);
  TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &file.samples);
  TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &file.bits);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &file.planar);
  TIFFGetField(t, TIFFTAG_COMPRESSION, &file.compression);
  std::uint32_t iccSize = 0;
  const std::uint8_t* icc = nullptr;
  if (TIFFGetField(t, TIFFTAG_ICCPROFILE, &iccSize, &icc) == 1) {
    file.icc.assign(icc, icc + iccSize);
  }
  const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize64(t));
  file.pixels.resize(rowBytes * file.height);
  for (std::uint32_t y = 0; y < file.height; ++y) {
    EXPECT_EQ(TIFFReadScanline(t, file.pixels.data() + y * rowBytes, y, 0), 1) << "row " << y;
  }
  return file;
}

// Counts the inks of `file` that differ from the ramps, reporting the first few.
int WrongInks(const ReadBack& file, int width, int height) {
  if (file.width != static_cast<std::uint32_t>(width) ||
      file.height != static_cast<std::uint32_t>(height) ||
      file.pixels.size() != static_cast<std::size_t>(width * height * kInks)) {
    ADD_FAILURE() << "size " << file.width << " x " << file.height;
    return -1;
  }
  int wrong = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int ink = 0; ink < kInks; ++ink) {
        const int got = file.pixels[static_cast<std::size_t>(((y * width) + x) * kInks + ink)];
        if (got != InkAt(x, y, ink) && ++wrong <= 3) {
          ADD_FAILURE() << "ink " << ink << " at " << x << "," << y << ": " << got;
        }
      }
    }
  }
  return wrong;
}

class CmykTiffFile : public ::testing::Test {
 protected:
  [[nodiscard]] QString Path(const QString& name) const { return dir.filePath(name); }
  [[nodiscard]] QStringList Files() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  QString Put(const QString& name, const QByteArray& bytes) const {
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
  }
  [[nodiscard]] static QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir;
};

// What a layout program needs: CMYK inks as stored, 8 bits each, interleaved, lossless, with
// the press profile byte for byte.
TEST_F(CmykTiffFile, HoldsEveryInkAsStoredWithThePressProfile) {
  const InkPlates plates = Ramps(37, 23);
  const std::vector<std::uint8_t> profile = PressProfile();
  const SaveResult saved = SaveCmykTiff(plates, profile, Path(QStringLiteral("plates")));
  ASSERT_TRUE(saved.Saved()) << saved.error.toStdString();
  EXPECT_EQ(saved.path, Path(QStringLiteral("plates.tif")));

  const ReadBack file = Read(saved.path);
  EXPECT_EQ(file.photometric, PHOTOMETRIC_SEPARATED);
  EXPECT_EQ(file.inkset, INKSET_CMYK);
  EXPECT_EQ(file.samples, 4);
  EXPECT_EQ(file.bits, 8);
  EXPECT_EQ(file.planar, PLANARCONFIG_CONTIG);
  EXPECT_TRUE(file.compression == COMPRESSION_LZW || file.compression == COMPRESSION_ADOBE_DEFLATE)
      << file.compression;
  EXPECT_EQ(WrongInks(file, 37, 23), 0);
  EXPECT_EQ(file.icc, profile);

  // Without a profile the file names none, and .tiff is kept as given.
  const SaveResult bare = SaveCmykTiff(plates, {}, Path(QStringLiteral("bare.TIFF")));
  ASSERT_TRUE(bare.Saved()) << bare.error.toStdString();
  EXPECT_EQ(bare.path, Path(QStringLiteral("bare.TIFF")));
  const ReadBack bareFile = Read(bare.path);
  EXPECT_TRUE(bareFile.icc.empty());
  EXPECT_EQ(WrongInks(bareFile, 37, 23), 0);
}

// A picture of many strips: a cancel midway leaves the old file whole and no other behind;
// a save to the end replaces it, reporting its progress up to the whole.
TEST_F(CmykTiffFile, ReplacesAFileOnlyWithAWholeOne) {
  const InkPlates plates = Ramps(1200, 300);
  const QString path = Put(QStringLiteral("press.tif"), "old contents");

  Progress* self = nullptr;
  int reports = 0;
  Progress cancelling([&self, &reports](double fraction) {
    if (fraction > 0.0 && ++reports == 1) {
      self->Cancel();
    }
  });
  self = &cancelling;
  const SaveResult cancelled = SaveCmykTiff(plates, PressProfile(), path, cancelling);
  EXPECT_FALSE(cancelled.Saved());
  EXPECT_TRUE(cancelled.error.contains(QStringLiteral("cancelled")))
      << cancelled.error.toStdString();
  EXPECT_EQ(reports, 1) << "the cancel was heard at the next strip";
  EXPECT_EQ(Contents(path), QByteArray("old contents"));
  EXPECT_EQ(Files(), QStringList{QStringLiteral("press.tif")});

  std::vector<double> fractions;
  const Progress watched([&fractions](double fraction) { fractions.push_back(fraction); });
  const SaveResult saved = SaveCmykTiff(plates, PressProfile(), path, watched);
  ASSERT_TRUE(saved.Saved()) << saved.error.toStdString();
  EXPECT_EQ(WrongInks(Read(path), 1200, 300), 0);
  EXPECT_EQ(Files(), QStringList{QStringLiteral("press.tif")});
  ASSERT_GE(fractions.size(), 3U) << "one report a strip";
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
}

// What cannot be written is said, with the path, and touches nothing.
TEST_F(CmykTiffFile, RefusesWhatItCannotWriteAndLosesNothing) {
  const InkPlates plates = Ramps(37, 23);
  const QString kept = Put(QStringLiteral("kept.tif"), "old contents");
  Put(QStringLiteral("file"), "x");

  InkPlates uneven = plates;
  uneven.plates[3] = Ramps(36, 23).plates[3];
  InkPlates missing = plates;
  missing.plates[1] = nullptr;
  const struct {
    const InkPlates& plates;
    QString path;
    QString says;
  } refusals[] = {
      {plates, Path(QStringLiteral("plates.png")), QStringLiteral(".tif or .tiff")},
      // A folder that does not exist, or below a file, cannot be written even by root.
      {plates, Path(QStringLiteral("missing/plates.tif")), QStringLiteral("folder")},
      {plates, Path(QStringLiteral("file/plates.tif")), QStringLiteral("folder")},
      {uneven, kept, QStringLiteral("no plates")},
      {missing, kept, QStringLiteral("no plates")},
  };
  for (const auto& refusal : refusals) {
    const SaveResult result = SaveCmykTiff(refusal.plates, PressProfile(), refusal.path);
    EXPECT_FALSE(result.Saved()) << refusal.path.toStdString();
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(refusal.path)) &&
                result.error.contains(QStringLiteral("Could not save")) &&
                result.error.contains(refusal.says))
        << result.error.toStdString();
  }
  EXPECT_EQ(Contents(kept), QByteArray("old contents"));
  EXPECT_EQ(Files(), (QStringList{QStringLiteral("file"), QStringLiteral("kept.tif")}));
}

}  // namespace
}  // namespace irobunkai
