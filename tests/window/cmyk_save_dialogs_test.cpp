#include <gtest/gtest.h>
#include <tiffio.h>

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "analysis/channel_separation.h"
#include "gui_test_support.h"
#include "io/channel_saving.h"
#include "window/channel_save_dialogs.h"

namespace irobunkai {
namespace {

constexpr int kWidth = 37;
constexpr int kHeight = 23;

// A CMYK separation whose four plates hold noise of their own, crossing 0 and 255.
Separation Plates(unsigned seed) {
  std::mt19937 rng(seed);
  Separation separation;
  separation.model = ColourModel::CMYK;
  for (const Channel channel : kPlates) {
    auto plane = std::make_shared<ChannelPlane>();
    plane->Resize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        plane->Row(y)[x] = static_cast<std::uint8_t>(x == 0 ? (y % 2) * 255 : rng());
      }
    }
    separation.planes[channel] = plane;
  }
  return separation;
}

// Counts the pixels of `path` that are not 8-bit grey showing the plate's ink as darkness.
int NotInkAsDarkness(const QString& path, const ChannelPlane& plate) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.format() != QImage::Format_Grayscale8 || image.size() != QSize(kWidth, kHeight)) {
    ADD_FAILURE() << path.toStdString() << ": format " << image.format() << ", "
                  << reader.errorString().toStdString();
    return -1;
  }
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int got = image.constScanLine(y)[x];
      if (got != 255 - plate.At(x, y) && ++wrong <= 3) {
        ADD_FAILURE() << path.toStdString() << " at " << x << "," << y << ": " << got << " for ink "
                      << int{plate.At(x, y)};
      }
    }
  }
  return wrong;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What libtiff reads from a CMYK TIFF: its inks, interleaved, and its embedded profile.
struct TiffInks {
  std::uint16_t photometric = 0;
  std::uint16_t samples = 0;
  std::vector<std::uint8_t> pixels;
  std::vector<std::uint8_t> icc;
};

TiffInks ReadTiff(const QString& path) {
  TiffInks file;
  const std::unique_ptr<TIFF, decltype(&TIFFClose)> tiff(
      TIFFOpen(QFile::encodeName(path).constData(), "r"), &TIFFClose);
  if (!tiff) {
    ADD_FAILURE() << "libtiff cannot open " << path.toStdString();
    return file;
  }
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
  EXPECT_EQ(width, std::uint32_t{kWidth});
  EXPECT_EQ(height, std::uint32_t{kHeight});
  TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &file.photometric);
  TIFFGetField(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &file.samples);
  std::uint32_t iccSize = 0;
  const std::uint8_t* icc = nullptr;
  if (TIFFGetField(tiff.get(), TIFFTAG_ICCPROFILE, &iccSize, &icc) == 1) {
    file.icc.assign(icc, icc + iccSize);
  }
  const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize64(tiff.get()));
  file.pixels.resize(rowBytes * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    EXPECT_EQ(TIFFReadScanline(tiff.get(), file.pixels.data() + y * rowBytes, y, 0), 1);
  }
  return file;
}

// Counts the inks of `file` that are not the plates' levels.
int WrongInks(const TiffInks& file, const Separation& separation) {
  if (file.pixels.size() != std::size_t{kWidth} * kHeight * kPlates.size()) {
    ADD_FAILURE() << "read " << file.pixels.size() << " bytes";
    return -1;
  }
  int wrong = 0;
  std::size_t at = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      for (const Channel channel : kPlates) {
        if (file.pixels[at++] != separation.planes[channel]->At(x, y) && ++wrong <= 3) {
          ADD_FAILURE() << "ink " << ComponentIndex(channel) << " at " << x << "," << y;
        }
      }
    }
  }
  return wrong;
}

// Answers the dialogs in the user's place: chooses `path`, records what was suggested and
// every overwrite question.
struct FakeUser {
  explicit FakeUser(QString chosen) : path(std::move(chosen)) {}

  QString path;
  bool allowOverwrite = false;
  QString suggested;
  QList<QStringList> asked;

  SaveDialogHooks Hooks() {
    SaveDialogHooks hooks;
    hooks.choosePath = hooks.chooseCmykTiffPath = [this](QWidget*, const QString& s) {
      suggested = s;
      return path;
    };
    hooks.askOverwrite = [this](QWidget*, const QStringList& paths) {
      asked.append(paths);
      return allowOverwrite;
    };
    return hooks;
  }
};

class CmykSaving : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  [[nodiscard]] QString Path(const QString& name) const { return dir.filePath(name); }
  [[nodiscard]] QStringList Files() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  QTemporaryDir dir;
};

TEST_F(CmykSaving, SaveAllWritesFourGreyPlatesInkAsDarknessAfterOneQuestion) {
  const Separation separation = Plates(1);
  const QString kept = test::WriteBytes(dir, QStringLiteral("cat-CMYK-K.png"), "keep me");
  FakeUser user(Path(QStringLiteral("cat-CMYK-M.png")));
  // Refused: the black plate's file that exists is named, and nothing is written.
  EXPECT_TRUE(SaveAllChannelsWithDialog(nullptr, separation, ChannelLook::Tinted,
                                        QStringLiteral("/pics/cat.gif"), user.Hooks())
                  .isEmpty());
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-CMYK-C.png"));
  EXPECT_EQ(user.asked, QList<QStringList>{QStringList{kept}});
  EXPECT_EQ(Files(), QStringList{QStringLiteral("cat-CMYK-K.png")});
  EXPECT_EQ(Contents(kept), QByteArray("keep me"));

  user.allowOverwrite = true;
  const QStringList written = SaveAllChannelsWithDialog(
      nullptr, separation, ChannelLook::Tinted, QStringLiteral("/pics/cat.gif"), user.Hooks());
  const QStringList names = {QStringLiteral("cat-CMYK-C.png"), QStringLiteral("cat-CMYK-M.png"),
                             QStringLiteral("cat-CMYK-Y.png"), QStringLiteral("cat-CMYK-K.png")};
  ASSERT_EQ(written.size(), names.size());
  for (std::size_t i = 0; i < kPlates.size(); ++i) {
    const auto at = static_cast<qsizetype>(i);
    EXPECT_EQ(written[at], Path(names[at]));
    EXPECT_EQ(NotInkAsDarkness(written[at], *separation.planes[kPlates[i]]), 0);
  }
  EXPECT_EQ(ChannelSiblingPaths(QStringLiteral("/d/cat-CMYK-K.tif"), ColourModel::CMYK),
            (std::vector<QString>{
                QStringLiteral("/d/cat-CMYK-C.tif"), QStringLiteral("/d/cat-CMYK-M.tif"),
                QStringLiteral("/d/cat-CMYK-Y.tif"), QStringLiteral("/d/cat-CMYK-K.tif")}));
}

TEST_F(CmykSaving, APlateIsSavedAndCopiedAsGreyInkAsDarknessWhateverTheLook) {
  const Separation separation = Plates(2);
  const auto icc = std::make_shared<const std::vector<std::uint8_t>>(200, std::uint8_t{7});
  FakeUser user(Path(QStringLiteral("black.png")));
  EXPECT_TRUE(SaveChannelWithDialog(nullptr, separation, Channel::Black, ChannelLook::Tinted,
                                    QStringLiteral("/pics/cat.gif"), user.Hooks(), icc));
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-CMYK-K.png"));
  EXPECT_EQ(NotInkAsDarkness(user.path, *separation.planes[Channel::Black]), 0);

  for (const ChannelPicture& picture : FrozenChannels(separation, ChannelLook::Tinted, icc)) {
    EXPECT_EQ(picture.look, ChannelLook::Grey) << ComponentIndex(picture.channel);
    EXPECT_EQ(picture.icc, nullptr);
  }
  const ChannelPicture magenta =
      FrozenChannel(separation, Channel::Green, ChannelLook::Tinted, icc);
  EXPECT_EQ(magenta.icc, nullptr);
  const QImage copied = ChannelImage(magenta, Progress());
  ASSERT_EQ(copied.format(), QImage::Format_Grayscale8);
  EXPECT_FALSE(copied.colorSpace().isValid());
  EXPECT_EQ(copied.constScanLine(5)[9], 255 - separation.planes[Channel::Green]->At(9, 5));
}

TEST_F(CmykSaving, CmykTiffHoldsThePlatesAsCopiedAndThePressProfile) {
  Separation separation = Plates(3);
  const Separation original = Plates(3);
  std::vector<std::uint8_t> press(3000);
  for (std::size_t i = 0; i < press.size(); ++i) {
    press[i] = static_cast<std::uint8_t>(i * 31);
  }
  FakeUser user(Path(QStringLiteral("press")));
  // The window writes later, on its worker, while the document may separate anew.
  std::function<SaveOutcome(const Progress&)> write;
  std::function<void(const SaveOutcome&)> report;
  SaveDialogHooks hooks = user.Hooks();
  hooks.run = [&](auto w, auto r) {
    write = std::move(w);
    report = std::move(r);
  };
  EXPECT_FALSE(
      SaveCmykTiffWithDialog(nullptr, separation, press, QStringLiteral("/pics/cat.gif"), hooks));
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-CMYK.tif"));
  ASSERT_TRUE(write && report);
  EXPECT_TRUE(Files().isEmpty());
  separation.planes[Channel::Black]->Row(4)[4] ^= 0xFF;
  const SaveOutcome outcome = write(Progress());
  EXPECT_EQ(outcome.Written(), QStringList{Path(QStringLiteral("press.tif"))});
  report(outcome);

  const TiffInks file = ReadTiff(Path(QStringLiteral("press.tif")));
  EXPECT_EQ(file.photometric, PHOTOMETRIC_SEPARATED);
  EXPECT_EQ(file.samples, 4);
  EXPECT_EQ(WrongInks(file, original), 0);
  EXPECT_EQ(file.icc, press);

  // Written at once, a picture without a file is named after its unnamed base.
  user.path = Path(QStringLiteral("again.tiff"));
  EXPECT_TRUE(SaveCmykTiffWithDialog(nullptr, original, press, {{}, QStringLiteral("clipboard")},
                                     user.Hooks()));
  EXPECT_EQ(QFileInfo(user.suggested).fileName(), QStringLiteral("clipboard-CMYK.tif"));
  EXPECT_EQ(WrongInks(ReadTiff(user.path), original), 0);
}

TEST_F(CmykSaving, CmykTiffRefusalsAndFailuresLoseNothing) {
  const Separation separation = Plates(4);
  // Only a CMYK separation has plates to write; the user is not even asked.
  Separation rgb = separation;
  rgb.model = ColourModel::RGB;
  rgb.planes[Channel::Black] = nullptr;
  FakeUser user(Path(QStringLiteral("press")));
  EXPECT_FALSE(SaveCmykTiffWithDialog(nullptr, rgb, {1, 2, 3}, {}, user.Hooks()));
  EXPECT_TRUE(user.suggested.isEmpty());

  // The ".tif" the name was given is asked about; refused, the file stays as it was.
  const QString kept = test::WriteBytes(dir, QStringLiteral("press.tif"), "keep me");
  EXPECT_FALSE(SaveCmykTiffWithDialog(nullptr, separation, {1, 2, 3}, {}, user.Hooks()));
  EXPECT_EQ(user.asked, QList<QStringList>{QStringList{kept}});
  EXPECT_EQ(Contents(kept), QByteArray("keep me"));

  // A place that cannot be written, or a name that is no TIFF's, is a warning naming it.
  for (const QString& name : {QStringLiteral("missing/press.tif"), QStringLiteral("press.png")}) {
    user.path = Path(name);
    const test::ModalAnswerer answerer;
    EXPECT_FALSE(SaveCmykTiffWithDialog(nullptr, separation, {1, 2, 3}, {}, user.Hooks()));
    ASSERT_EQ(answerer.Texts().size(), 1) << name.toStdString();
    EXPECT_TRUE(answerer.Texts()[0].contains(QDir::toNativeSeparators(user.path)));
  }
  EXPECT_EQ(Files(), QStringList{QStringLiteral("press.tif")});
  EXPECT_EQ(Contents(kept), QByteArray("keep me"));
}

}  // namespace
}  // namespace irobunkai
