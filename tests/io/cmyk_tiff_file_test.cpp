#include "io/cmyk_tiff_file.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <QDir>
#include <QFile>
#include <vector>

#include "cmyk_tiff_read_back.h"

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

// How many inks of the file at `path` differ from the ramps.
int WrongInks(const QString& path, int width, int height) {
  return test::WrongInks(test::ReadCmykTiff(path), width, height, InkAt);
}

using CmykTiffFile = test::SaveFolder;

// What a layout program needs: CMYK inks as stored, 8 bits each, interleaved, lossless, with
// the press profile byte for byte.
TEST_F(CmykTiffFile, HoldsEveryInkAsStoredWithThePressProfile) {
  const InkPlates plates = Ramps(37, 23);
  const std::vector<std::uint8_t> profile = PressProfile();
  const SaveResult saved = SaveCmykTiff(plates, profile, Path(QStringLiteral("plates")));
  ASSERT_TRUE(saved.Saved()) << saved.error.toStdString();
  EXPECT_EQ(saved.path, Path(QStringLiteral("plates.tif")));

  const test::CmykTiff file = test::ReadCmykTiff(saved.path);
  EXPECT_EQ(file.photometric, PHOTOMETRIC_SEPARATED);
  EXPECT_EQ(file.inkset, INKSET_CMYK);
  EXPECT_EQ(file.samples, 4);
  EXPECT_EQ(file.bits, 8);
  EXPECT_EQ(file.planar, PLANARCONFIG_CONTIG);
  EXPECT_TRUE(file.compression == COMPRESSION_LZW || file.compression == COMPRESSION_ADOBE_DEFLATE)
      << file.compression;
  EXPECT_EQ(test::WrongInks(file, 37, 23, InkAt), 0);
  EXPECT_EQ(file.icc, profile);

  // Without a profile the file names none, and .tiff is kept as given.
  const SaveResult bare = SaveCmykTiff(plates, {}, Path(QStringLiteral("bare.TIFF")));
  ASSERT_TRUE(bare.Saved()) << bare.error.toStdString();
  EXPECT_EQ(bare.path, Path(QStringLiteral("bare.TIFF")));
  EXPECT_TRUE(test::ReadCmykTiff(bare.path).icc.empty());
  EXPECT_EQ(WrongInks(bare.path, 37, 23), 0);
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
  EXPECT_EQ(WrongInks(path, 1200, 300), 0);
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
