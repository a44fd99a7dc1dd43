#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <functional>
#include <random>
#include <thread>

#include "analysis/channel_separation.h"
#include "gui_test_support.h"
#include "io/channel_saving.h"
#include "io/png_rows.h"
#include "views/picture_view.h"
#include "window/channel_save_dialogs.h"

namespace irobunkai {
namespace {

constexpr std::array<Channel, 3> kChannels = {Channel::Red, Channel::Green, Channel::Blue};

ChannelPlane RandomPlane(int width, int height, unsigned seed) {
  std::mt19937 rng(seed);
  ChannelPlane plane;
  plane.Resize(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      plane.Row(y)[x] = static_cast<std::uint8_t>(rng());
    }
  }
  return plane;
}

// Counts the pixels of `image` that do not show the plane's value in `look`.
int Mismatches(const QImage& image, const ChannelPlane& plane, Channel channel, ChannelLook look) {
  EXPECT_EQ(image.size(), QSize(plane.Width(), plane.Height()));
  if (image.size() != QSize(plane.Width(), plane.Height())) {
    return -1;
  }
  int mismatches = 0;
  for (int y = 0; y < plane.Height(); ++y) {
    for (int x = 0; x < plane.Width(); ++x) {
      const QRgb p = image.pixel(x, y);
      const int v = plane.At(x, y);
      const ColorValue expected =
          look == ChannelLook::Grey ? RGB(v, v, v) : ChannelColor(channel, v);
      if (RGB(qRed(p), qGreen(p), qBlue(p)) != expected && ++mismatches <= 3) {
        ADD_FAILURE() << "at " << x << "," << y << ": " << Hex(RGB(qRed(p), qGreen(p), qBlue(p)))
                      << " instead of " << Hex(expected);
      }
    }
  }
  return mismatches;
}

QImage ReadBack(const QString& path) {
  QImageReader reader(path);
  const QImage image = reader.read();
  EXPECT_FALSE(image.isNull()) << path.toStdString() << ": " << reader.errorString().toStdString();
  return image;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

class ChannelExport : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  [[nodiscard]] QStringList Files() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
  }
  QTemporaryDir dir;
};

TEST(ChannelImage, TintedShowsTheChannelAsRgbAndGreyAsEightBitGrey) {
  const ChannelPlane plane = RandomPlane(203, 190, 1);
  for (const Channel channel : kChannels) {
    const QImage tinted = ChannelImage(plane, channel, ChannelLook::Tinted);
    EXPECT_EQ(tinted.format(), QImage::Format_RGB888);
    EXPECT_EQ(Mismatches(tinted, plane, channel, ChannelLook::Tinted), 0);
    const QImage grey = ChannelImage(plane, channel, ChannelLook::Grey);
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(Mismatches(grey, plane, channel, ChannelLook::Grey), 0);
  }
}

struct FormatCase {
  const char* extension;
  ChannelLook look;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.extension << (c.look == ChannelLook::Grey ? " grey" : " tinted");
}

class SavedChannelReadsBack : public testing::TestWithParam<FormatCase> {};

TEST_P(SavedChannelReadsBack, PixelForPixel) {
  const QTemporaryDir dir;
  const ChannelPlane plane = RandomPlane(301, 199, 2);  // larger than the view
  for (const Channel channel : kChannels) {
    const QString path = dir.filePath(ChannelSuffix(channel) + QStringLiteral(".") +
                                      QLatin1String(GetParam().extension));
    const SaveResult result = SaveChannelImage(ChannelImage(plane, channel, GetParam().look), path);
    ASSERT_TRUE(result.Saved()) << result.error.toStdString();
    EXPECT_EQ(result.path, path);
    const QImage image = ReadBack(path);
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(Mismatches(image, plane, channel, GetParam().look), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SavedChannelReadsBack,
    testing::Values(FormatCase{"png", ChannelLook::Tinted}, FormatCase{"png", ChannelLook::Grey},
                    FormatCase{"tif", ChannelLook::Tinted}, FormatCase{"tiff", ChannelLook::Grey},
                    FormatCase{"bmp", ChannelLook::Tinted}, FormatCase{"bmp", ChannelLook::Grey},
                    FormatCase{"webp", ChannelLook::Tinted}, FormatCase{"webp", ChannelLook::Grey},
                    FormatCase{"PNG", ChannelLook::Grey}));

TEST_F(ChannelExport, GreyPngIsAnEightBitGreyFileAndTintedPngHasNoAlpha) {
  const ChannelPlane plane = RandomPlane(20, 10, 3);
  const QString grey = dir.filePath(QStringLiteral("grey.png"));
  const QString tinted = dir.filePath(QStringLiteral("tinted.png"));
  ASSERT_TRUE(
      SaveChannelImage(ChannelImage(plane, Channel::Green, ChannelLook::Grey), grey).Saved());
  ASSERT_TRUE(
      SaveChannelImage(ChannelImage(plane, Channel::Green, ChannelLook::Tinted), tinted).Saved());
  EXPECT_EQ(QImageReader(grey).imageFormat(), QImage::Format_Grayscale8);
  const QImage::Format tintedFormat = QImageReader(tinted).imageFormat();
  EXPECT_TRUE(tintedFormat == QImage::Format_RGB32 || tintedFormat == QImage::Format_RGB888)
      << tintedFormat;
}

TEST_F(ChannelExport, ATransparentPictureSavesAsSeparatedOverItsBackground) {
  std::mt19937 rng(4);
  std::vector<RgbaPixel> pixels(250 * 200);
  for (auto& p : pixels) {
    const auto bits = static_cast<std::uint32_t>(rng());
    p = MakeRgba(static_cast<ColorValue>(bits & 0xFFFFFFu), bits >> 24);
  }
  PictureView source(188, 179, 0x2040C0);
  source.SetPicture(Image::FromPixels(250, 200, std::move(pixels)));
  const Separation planes = SeparateChannels(source);
  ASSERT_TRUE(source.Picture().HasAlpha());

  const QString path = dir.filePath(QStringLiteral("over-B.png"));
  ASSERT_TRUE(
      SaveChannelImage(ChannelImage(planes.BluePlane(), Channel::Blue, ChannelLook::Tinted), path)
          .Saved());
  const QImage image = ReadBack(path);
  int mismatches = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 250; ++x) {
      const ColorValue shown = source.Point(static_cast<float>(x), static_cast<float>(y));
      mismatches += qBlue(image.pixel(x, y)) != BlueOf(shown) || qRed(image.pixel(x, y)) != 0;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(ChannelExport, NoExtensionSavesAsPng) {
  const ChannelPlane plane = RandomPlane(5, 4, 5);
  const QString path = dir.filePath(QStringLiteral("plain"));
  const SaveResult result =
      SaveChannelImage(ChannelImage(plane, Channel::Red, ChannelLook::Tinted), path);
  ASSERT_TRUE(result.Saved()) << result.error.toStdString();
  EXPECT_EQ(result.path, path + QStringLiteral(".png"));
  EXPECT_EQ(QImageReader(result.path).format(), "png");
  EXPECT_EQ(Files(), QStringList{QStringLiteral("plain.png")});
}

TEST_F(ChannelExport, AnUnknownExtensionIsRefusedByName) {
  const ChannelPlane plane = RandomPlane(5, 4, 6);
  const QString path = dir.filePath(QStringLiteral("photo.jpg"));
  const SaveResult result =
      SaveChannelImage(ChannelImage(plane, Channel::Red, ChannelLook::Tinted), path);
  EXPECT_FALSE(result.Saved());
  EXPECT_TRUE(result.error.contains(QStringLiteral(".jpg")));
  EXPECT_TRUE(result.error.contains(QStringLiteral("PNG")));
  EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path)));
  EXPECT_TRUE(Files().isEmpty());
}

// A folder below a regular file cannot be created even by root.
TEST_F(ChannelExport, AnUnwritableFolderIsReportedWithThePath) {
  test::WriteBytes(dir, QStringLiteral("file"), "x");
  const ChannelPlane plane = RandomPlane(5, 4, 7);
  const QImage image = ChannelImage(plane, Channel::Red, ChannelLook::Tinted);
  for (const QString& path : {dir.filePath(QStringLiteral("file/red.png")),
                              dir.filePath(QStringLiteral("missing/red.png"))}) {
    const SaveResult result = SaveChannelImage(image, path);
    EXPECT_FALSE(result.Saved()) << path.toStdString();
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path)))
        << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QStringLiteral("Could not save")));
  }
  EXPECT_EQ(Files(), QStringList{QStringLiteral("file")});
}

TEST_F(ChannelExport, AFailedWriteLeavesTheOldFileWhole) {
  const QString path = test::WriteBytes(dir, QStringLiteral("wide.webp"), "old contents");
  // WebP holds at most 16383 pixels a side.
  const ChannelPlane plane = RandomPlane(16400, 1, 8);
  const SaveResult result =
      SaveChannelImage(ChannelImage(plane, Channel::Red, ChannelLook::Tinted), path);
  EXPECT_FALSE(result.Saved());
  EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path)));
  EXPECT_EQ(Contents(path), QByteArray("old contents"));
  EXPECT_EQ(Files(), QStringList{QStringLiteral("wide.webp")});
}

TEST(SuggestedChannelPath, IsBesideThePictureWithTheChannelSuffix) {
  const QString folder = QDir::temp().filePath(QStringLiteral("pictures"));
  const QString picture = QDir(folder).filePath(QStringLiteral("holiday.photo.jpg"));
  EXPECT_EQ(SuggestedChannelPath(picture, Channel::Red),
            QDir(folder).filePath(QStringLiteral("holiday.photo-R.png")));
  EXPECT_EQ(SuggestedChannelPath(picture, Channel::Green),
            QDir(folder).filePath(QStringLiteral("holiday.photo-G.png")));
  EXPECT_EQ(SuggestedChannelPath(picture, Channel::Blue),
            QDir(folder).filePath(QStringLiteral("holiday.photo-B.png")));
}

TEST(SuggestedChannelPath, APictureWithoutAFileIsNamedInThePicturesFolderOrHome) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder = QDir::homePath();
  }
  EXPECT_EQ(SuggestedChannelPath({}, Channel::Blue),
            QDir(folder).filePath(QStringLiteral("sample-B.png")));
  EXPECT_EQ(SuggestedChannelPath({}, Channel::Green, QStringLiteral("clipboard")),
            QDir(folder).filePath(QStringLiteral("clipboard-G.png")));
}

TEST(ChannelSiblingPaths, ReplaceOrAppendTheChannelSuffix) {
  const auto expect = [](const QString& chosen, const QString& stem, const QString& extension) {
    const std::vector<QString> paths = ChannelSiblingPaths(chosen);
    EXPECT_EQ(paths[0], stem + QStringLiteral("-R") + extension) << chosen.toStdString();
    EXPECT_EQ(paths[1], stem + QStringLiteral("-G") + extension) << chosen.toStdString();
    EXPECT_EQ(paths[2], stem + QStringLiteral("-B") + extension) << chosen.toStdString();
  };
  expect(QStringLiteral("/d/cat-R.png"), QStringLiteral("/d/cat"), QStringLiteral(".png"));
  expect(QStringLiteral("/d/cat-B.tif"), QStringLiteral("/d/cat"), QStringLiteral(".tif"));
  expect(QStringLiteral("/d/cat-g.webp"), QStringLiteral("/d/cat"), QStringLiteral(".webp"));
  expect(QStringLiteral("/d/cat.bmp"), QStringLiteral("/d/cat"), QStringLiteral(".bmp"));
  expect(QStringLiteral("/d/cat"), QStringLiteral("/d/cat"), QStringLiteral(".png"));
  expect(QStringLiteral("/d/cat-X.png"), QStringLiteral("/d/cat-X"), QStringLiteral(".png"));
}

// An RGB separation holding a copy of `plane` as `channel`: all that saving that channel reads.
Separation Holding(const ChannelPlane& plane, Channel channel) {
  Separation separation;
  // A frozen copy is a plane of its own, made writable here as a separation's planes are.
  separation.planes[channel] = std::const_pointer_cast<ChannelPlane>(FrozenPlane(plane));
  return separation;
}

// Chooses `path` and records what was suggested; records every overwrite question.
struct FakeUser {
  explicit FakeUser(QString chosen = {}, bool allow = false)
      : path(std::move(chosen)), allowOverwrite(allow) {}

  QString path;
  bool allowOverwrite;
  QString suggested;
  QList<QStringList> asked;

  SaveDialogHooks Hooks() {
    return {[this](QWidget*, const QString& s) {
              suggested = s;
              return path;
            },
            [this](QWidget*, const QStringList& paths) {
              asked.append(paths);
              return allowOverwrite;
            }};
  }
};

TEST_F(ChannelExport, SaveWithDialogWritesWhereTheUserChose) {
  const ChannelPlane plane = RandomPlane(200, 180, 9);
  FakeUser user(dir.filePath(QStringLiteral("mine.tif")));
  EXPECT_TRUE(SaveChannelWithDialog(nullptr, Holding(plane, Channel::Green), Channel::Green,
                                    ChannelLook::Grey, QStringLiteral("/pics/cat.gif"),
                                    user.Hooks()));
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-G.png"));
  EXPECT_EQ(Mismatches(ReadBack(user.path), plane, Channel::Green, ChannelLook::Grey), 0);
  EXPECT_TRUE(user.asked.isEmpty());
}

TEST_F(ChannelExport, SaveWithDialogCancelledWritesNothing) {
  const ChannelPlane plane = RandomPlane(4, 4, 10);
  FakeUser user;
  EXPECT_FALSE(SaveChannelWithDialog(nullptr, Holding(plane, Channel::Red), Channel::Red,
                                     ChannelLook::Tinted, {}, user.Hooks()));
  EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ChannelExport, SaveWithDialogWarnsOfAFailureNamingThePath) {
  const ChannelPlane plane = RandomPlane(4, 4, 11);
  FakeUser user(dir.filePath(QStringLiteral("missing/red.png")));
  const test::ModalAnswerer answerer;
  EXPECT_FALSE(SaveChannelWithDialog(nullptr, Holding(plane, Channel::Red), Channel::Red,
                                     ChannelLook::Tinted, {}, user.Hooks()));
  ASSERT_EQ(answerer.Texts().size(), 1);
  EXPECT_TRUE(answerer.Texts()[0].contains(QDir::toNativeSeparators(user.path)));
  EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ChannelExport, SaveWithDialogAsksBeforeReplacingThePngItAdded) {
  const ChannelPlane plane = RandomPlane(4, 4, 12);
  const QString existing = test::WriteBytes(dir, QStringLiteral("red.png"), "keep me");
  FakeUser user(dir.filePath(QStringLiteral("red")));
  EXPECT_FALSE(SaveChannelWithDialog(nullptr, Holding(plane, Channel::Red), Channel::Red,
                                     ChannelLook::Tinted, {}, user.Hooks()));
  EXPECT_EQ(user.asked, QList<QStringList>{QStringList{existing}});
  EXPECT_EQ(Contents(existing), QByteArray("keep me"));

  user.allowOverwrite = true;
  EXPECT_TRUE(SaveChannelWithDialog(nullptr, Holding(plane, Channel::Red), Channel::Red,
                                    ChannelLook::Tinted, {}, user.Hooks()));
  EXPECT_EQ(Mismatches(ReadBack(existing), plane, Channel::Red, ChannelLook::Tinted), 0);
}

class SaveAllChannels : public ChannelExport {
 protected:
  ChannelPlane red_ = RandomPlane(190, 181, 13);
  ChannelPlane green_ = RandomPlane(190, 181, 14);
  ChannelPlane blue_ = RandomPlane(190, 181, 15);
  [[nodiscard]] Separation Planes() const {
    Separation separation;
    for (const Channel channel : kChannels) {
      separation.planes[channel] = Holding(channel == Channel::Red     ? red_
                                           : channel == Channel::Green ? green_
                                                                       : blue_,
                                           channel)
                                       .planes[channel];
    }
    return separation;
  }
  [[nodiscard]] QString Path(const char* name) const {
    return dir.filePath(QString::fromLatin1(name));
  }
};

TEST_F(SaveAllChannels, WritesThreeFilesBesideTheChosenOne) {
  FakeUser user(Path("cat-R.bmp"));
  const QStringList written = SaveAllChannelsWithDialog(
      nullptr, Planes(), ChannelLook::Tinted, QStringLiteral("/pics/cat.png"), user.Hooks());
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-R.png"));
  EXPECT_EQ(written, (QStringList{Path("cat-R.bmp"), Path("cat-G.bmp"), Path("cat-B.bmp")}));
  EXPECT_EQ(Mismatches(ReadBack(Path("cat-R.bmp")), red_, Channel::Red, ChannelLook::Tinted), 0);
  EXPECT_EQ(Mismatches(ReadBack(Path("cat-G.bmp")), green_, Channel::Green, ChannelLook::Tinted),
            0);
  EXPECT_EQ(Mismatches(ReadBack(Path("cat-B.bmp")), blue_, Channel::Blue, ChannelLook::Tinted), 0);
  EXPECT_TRUE(user.asked.isEmpty());
}

TEST_F(SaveAllChannels, RefusingToReplaceTheOthersWritesNothing) {
  test::WriteBytes(dir, QStringLiteral("cat-G.png"), "old green");
  test::WriteBytes(dir, QStringLiteral("cat-B.png"), "old blue");
  FakeUser user(Path("cat.png"));
  EXPECT_TRUE(
      SaveAllChannelsWithDialog(nullptr, Planes(), ChannelLook::Grey, {}, user.Hooks()).isEmpty());
  EXPECT_EQ(user.asked, QList<QStringList>{(QStringList{Path("cat-G.png"), Path("cat-B.png")})});
  EXPECT_EQ(Contents(Path("cat-G.png")), QByteArray("old green"));
  EXPECT_EQ(Contents(Path("cat-B.png")), QByteArray("old blue"));
  EXPECT_FALSE(QFileInfo::exists(Path("cat-R.png")));
}

TEST_F(SaveAllChannels, AcceptingReplacesThemButTheDialogsOwnChoiceIsNotAskedAgain) {
  test::WriteBytes(dir, QStringLiteral("cat-R.png"), "old red");
  test::WriteBytes(dir, QStringLiteral("cat-B.png"), "old blue");
  FakeUser user(Path("cat-R.png"), true);
  EXPECT_EQ(
      SaveAllChannelsWithDialog(nullptr, Planes(), ChannelLook::Grey, {}, user.Hooks()).size(), 3);
  EXPECT_EQ(user.asked, QList<QStringList>{QStringList{Path("cat-B.png")}});
  EXPECT_EQ(Mismatches(ReadBack(Path("cat-R.png")), red_, Channel::Red, ChannelLook::Grey), 0);
  EXPECT_EQ(Mismatches(ReadBack(Path("cat-B.png")), blue_, Channel::Blue, ChannelLook::Grey), 0);
}

TEST_F(SaveAllChannels, OneFailureIsReportedAndTheOthersAreKept) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("cat-G.tiff")));  // a folder in the way
  FakeUser user(Path("cat.tiff"), true);
  const test::ModalAnswerer answerer;
  const QStringList written =
      SaveAllChannelsWithDialog(nullptr, Planes(), ChannelLook::Tinted, {}, user.Hooks());
  EXPECT_EQ(written, (QStringList{Path("cat-R.tiff"), Path("cat-B.tiff")}));
  ASSERT_EQ(answerer.Texts().size(), 1);
  const QString& text = answerer.Texts()[0];
  EXPECT_TRUE(text.contains(QDir::toNativeSeparators(Path("cat-G.tiff"))));
  EXPECT_TRUE(text.contains(QDir::toNativeSeparators(Path("cat-R.tiff"))));
  EXPECT_TRUE(text.contains(QDir::toNativeSeparators(Path("cat-B.tiff"))));
  EXPECT_EQ(Mismatches(ReadBack(Path("cat-B.tiff")), blue_, Channel::Blue, ChannelLook::Tinted), 0);
}

TEST_F(SaveAllChannels, AnUnknownExtensionIsRefusedBeforeAnythingIsWritten) {
  FakeUser user(Path("cat.gif"));
  const test::ModalAnswerer answerer;
  EXPECT_TRUE(SaveAllChannelsWithDialog(nullptr, Planes(), ChannelLook::Tinted, {}, user.Hooks())
                  .isEmpty());
  ASSERT_EQ(answerer.Texts().size(), 1);
  EXPECT_TRUE(answerer.Texts()[0].contains(QStringLiteral(".gif")));
  EXPECT_TRUE(Files().isEmpty());
}

// Another model's component is saved as its view shows it, the S of HSV in its pixels' hue.
TEST_F(SaveAllChannels, AModelsComponentsAreNamedAfterTheModelAndShownAsTheirViewsShowThem) {
  PictureView source(190, 181, 0x0000FF);
  std::mt19937 rng(17);
  std::vector<RgbaPixel> noise(std::size_t{190} * 181);
  std::ranges::generate(noise,
                        [&rng] { return MakeRgba(static_cast<ColorValue>(rng() & 0xFFFFFF)); });
  source.SetPicture(Image::FromPixels(190, 181, std::move(noise)));
  const Separation hsv = SeparateChannels(source, {.model = ColourModel::HSV});
  FakeUser user(Path("cat-HSV-S.png"));
  const QStringList written = SaveAllChannelsWithDialog(
      nullptr, hsv, ChannelLook::Tinted, QStringLiteral("/pics/cat.jpg"), user.Hooks());
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-HSV-H.png"));
  ASSERT_EQ(written,
            (QStringList{Path("cat-HSV-H.png"), Path("cat-HSV-S.png"), Path("cat-HSV-V.png")}));
  for (const Channel channel : kChannels) {
    PictureView view(190, 181, 0);
    view.DrawPlane(hsv.planes[channel],
                   PlaneLook(std::make_shared<const ComponentLooks>(ColourModel::HSV),
                             ComponentIndex(channel)),
                   hsv.planes[Channel::Red]);
    const QImage saved = ReadBack(written[ComponentIndex(channel)]);
    int mismatches = 0;
    for (int y = 0; y < 181; ++y) {
      for (int x = 0; x < 190; ++x) {
        const QRgb p = saved.pixel(x, y);
        mismatches += RGB(qRed(p), qGreen(p), qBlue(p)) != view.Point(x + 0.5F, y + 0.5F);
      }
    }
    EXPECT_EQ(mismatches, 0) << ComponentIndex(channel);
  }
}

TEST(ChannelSiblingPaths, AModelsSuffixesNameTheModelInAscii) {
  const std::vector<QString> lab =
      ChannelSiblingPaths(QStringLiteral("/d/cat-Lab-b.png"), ColourModel::Lab);
  EXPECT_EQ(lab, (std::vector<QString>{QStringLiteral("/d/cat-Lab-L.png"),
                                       QStringLiteral("/d/cat-Lab-a.png"),
                                       QStringLiteral("/d/cat-Lab-b.png")}));
  const std::vector<QString> ycbcr =
      ChannelSiblingPaths(QStringLiteral("/d/cat-R.tif"), ColourModel::YCbCr);
  EXPECT_EQ(ycbcr[0], QStringLiteral("/d/cat-R-YCbCr-Y.tif"));
  EXPECT_EQ(ycbcr[2], QStringLiteral("/d/cat-R-YCbCr-Cr.tif"));
  EXPECT_EQ(
      SuggestedChannelPath(QStringLiteral("/d/cat.jpg"), Channel::Green, {}, ColourModel::CMY),
      QStringLiteral("/d/cat-CMY-M.png"));
}

TEST(ChannelImage, ACopiedChannelIsTheWholeChannelInItsLook) {
  const auto plane = std::make_shared<const ChannelPlane>(RandomPlane(260, 190, 16));
  for (const ChannelLook look : {ChannelLook::Tinted, ChannelLook::Grey}) {
    const QImage copied =
        ChannelImage(ChannelPicture{plane, Channel::Blue, look, ColourModel::RGB, nullptr}, {});
    EXPECT_EQ(Mismatches(copied, *plane, Channel::Blue, look), 0);
  }
}

// Saving on a worker: frozen pictures, files written side by side, progress and cancel.

// A plane larger than its stored picture, so that the saved files hold the fill too.
std::shared_ptr<const ChannelPlane> PaddedPlane(int width, int height, unsigned seed) {
  const ChannelPlane stored = RandomPlane(width - 7, height - 5, seed);
  auto plane = std::make_shared<ChannelPlane>();
  plane->Resize(width, height, stored.Width(), stored.Height(), static_cast<std::uint8_t>(seed));
  for (int y = 0; y < stored.Height(); ++y) {
    std::copy_n(stored.Row(y), stored.Width(), plane->Row(y));
  }
  return plane;
}

ChannelPicture RgbPicture(std::shared_ptr<const ChannelPlane> plane, Channel channel,
                          ChannelLook look = ChannelLook::Tinted) {
  return {std::move(plane), channel, look, ColourModel::RGB, nullptr};
}

// Every pixel of the file at `path` is as SaveChannelImage writes the plane's picture.
void ExpectSameAsOneAtATime(const QString& path, const ChannelPicture& picture) {
  const QImage expected = ChannelImage(*picture.plane, picture.channel, picture.look,
                                       {picture.model, picture.hue.get()});
  const QImage saved = ReadBack(path);
  ASSERT_EQ(saved.size(), expected.size()) << path.toStdString();
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            expected.convertToFormat(QImage::Format_RGB32))
      << path.toStdString();
}

class SaveChannelsTogether : public ChannelExport {
 protected:
  [[nodiscard]] std::vector<ChannelSave> ThreeSaves(const char* extension, ChannelLook look) const {
    std::vector<ChannelSave> saves;
    for (const Channel channel : kChannels) {
      const auto seed = static_cast<unsigned>(20 + ComponentIndex(channel));
      saves.push_back({RgbPicture(PaddedPlane(257, 131, seed), channel, look),
                       dir.filePath(QStringLiteral("cat") + ChannelSuffix(channel) +
                                    QLatin1String(".") + QLatin1String(extension))});
    }
    return saves;
  }
  // A picture large enough to report its progress many times over.
  [[nodiscard]] ChannelSave LargeSave(const QString& name) const {
    return {RgbPicture(PaddedPlane(900, 700, 30), Channel::Green), dir.filePath(name)};
  }
};

TEST_F(SaveChannelsTogether, EachFileHoldsItsChannelAsOneAtATimeWould) {
  for (const char* extension : {"png", "tif", "bmp", "webp"}) {
    for (const ChannelLook look : {ChannelLook::Tinted, ChannelLook::Grey}) {
      const std::vector<ChannelSave> saves = ThreeSaves(extension, look);
      const Progress progress;
      const SaveOutcome outcome = SaveChannels(saves, progress);
      EXPECT_FALSE(outcome.cancelled);
      ASSERT_EQ(outcome.results.size(), 3U);
      EXPECT_TRUE(outcome.Errors().isEmpty()) << outcome.Errors().join('\n').toStdString();
      for (std::size_t i = 0; i < saves.size(); ++i) {
        EXPECT_EQ(outcome.results[i].path, saves[i].path);
        const ChannelPicture& picture = saves[i].picture;
        ExpectSameAsOneAtATime(saves[i].path, picture);
        EXPECT_EQ(Mismatches(ReadBack(saves[i].path), *picture.plane, picture.channel, look), 0);
      }
    }
  }
  EXPECT_EQ(Files().size(), 12);  // no temporary file is left behind
}

TEST_F(SaveChannelsTogether, PngIsEightBitGreyOrRgbWithoutAlphaAndSmallerThanRaw) {
  for (const ChannelLook look : {ChannelLook::Grey, ChannelLook::Tinted}) {
    const ChannelSave save{RgbPicture(PaddedPlane(640, 480, 40), Channel::Blue, look),
                           dir.filePath(look == ChannelLook::Grey ? QStringLiteral("grey.png")
                                                                  : QStringLiteral("tinted.png"))};
    const Progress progress;
    ASSERT_TRUE(SaveChannels({save}, progress).Errors().isEmpty());
    QImageReader reader(save.path);
    EXPECT_EQ(reader.format(), "png");
    const QImage image = reader.read();
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.isGrayscale() && image.format() == QImage::Format_Grayscale8,
              look == ChannelLook::Grey);
    // Random cells barely compress; the tinted picture's dark bytes do.
    const qint64 raw = 640 * 480 * (look == ChannelLook::Grey ? 1 : 3);
    EXPECT_LT(QFileInfo(save.path).size(), look == ChannelLook::Grey ? raw * 11 / 10 : raw / 2);
  }
}

TEST_F(SaveChannelsTogether, AModelsComponentsAreTintedAsTheirViewsAndFrozenFromTheSeparation) {
  PictureView source(150, 120, 0x3060A0);
  std::mt19937 rng(41);
  std::vector<RgbaPixel> noise(std::size_t{140} * 100);
  std::ranges::generate(noise,
                        [&rng] { return MakeRgba(static_cast<ColorValue>(rng() & 0xFFFFFF)); });
  source.SetPicture(Image::FromPixels(140, 100, std::move(noise)));
  for (const ColourModel model : {ColourModel::HSV, ColourModel::Lab}) {
    const Separation separation = SeparateChannels(source, {.model = model});
    const std::vector<ChannelPicture> pictures = FrozenChannels(separation, ChannelLook::Tinted);
    std::vector<ChannelSave> saves;
    for (const ChannelPicture& picture : pictures) {
      EXPECT_NE(picture.plane.get(), separation.planes[picture.channel].get());
      saves.push_back(
          {picture, dir.filePath(QStringLiteral("m") + ChannelSuffix(picture.channel, model) +
                                 QStringLiteral(".png"))});
    }
    // Only the S of HSV is tinted by its pixels' hue, the frozen H plane.
    EXPECT_EQ(pictures[1].hue, model == ColourModel::HSV ? pictures[0].plane : nullptr);
    EXPECT_EQ(pictures[0].hue, nullptr);
    const Progress progress;
    ASSERT_TRUE(SaveChannels(saves, progress).Errors().isEmpty());
    for (const ChannelSave& save : saves) {
      const Channel channel = save.picture.channel;
      const QImage expected =
          ChannelImage(*separation.planes[channel], channel, ChannelLook::Tinted,
                       {model, separation.planes[Channel::Red].get()});
      EXPECT_EQ(ReadBack(save.path).convertToFormat(QImage::Format_RGB32),
                expected.convertToFormat(QImage::Format_RGB32));
    }
  }
}

TEST_F(SaveChannelsTogether, FrozenPlanesKeepTheirCellsWhenTheSeparationIsFilledAgain) {
  PictureView source(60, 50, 0x000000);
  source.SetPicture(Image::FromPixels(60, 50, std::vector<RgbaPixel>(60 * 50, MakeRgba(0x102030))));
  Separation separation = SeparateChannels(source);
  const ChannelPicture frozen = FrozenChannel(separation, Channel::Green, ChannelLook::Grey);
  const ChannelPlane* const before = separation.planes[Channel::Green].get();
  source.SetPicture(Image::FromPixels(60, 50, std::vector<RgbaPixel>(60 * 50, MakeRgba(0xA0B0C0))));
  SeparateChannels(source, separation);
  ASSERT_EQ(separation.planes[Channel::Green].get(), before);  // refilled in place
  EXPECT_EQ(separation.GreenPlane().At(5, 5), 0xB0);
  EXPECT_EQ(frozen.plane->At(5, 5), 0x20);
  EXPECT_EQ(frozen.plane->Width(), before->Width());
  EXPECT_EQ(frozen.plane->StoredHeight(), before->StoredHeight());
  EXPECT_EQ(frozen.plane->Fill(), before->Fill());
  EXPECT_EQ(frozen.hue, nullptr);
  // The S of HSV alone takes its hue along.
  const Separation hsv = SeparateChannels(source, {.model = ColourModel::HSV});
  const ChannelPicture saturation = FrozenChannel(hsv, Channel::Green, ChannelLook::Tinted);
  ASSERT_NE(saturation.hue, nullptr);
  EXPECT_EQ(saturation.hue->At(5, 5), hsv.RedPlane().At(5, 5));
  EXPECT_EQ(FrozenChannel(hsv, Channel::Green, ChannelLook::Grey).hue, nullptr);
}

TEST_F(SaveChannelsTogether, ACancelLeavesNoFileAndKeepsTheOldOnes) {
  const QString old = test::WriteBytes(dir, QStringLiteral("old-G.png"), "old green");
  // Cancelled before it starts, and while the files are being written.
  for (const bool early : {true, false}) {
    std::vector<ChannelSave> saves = {LargeSave(QStringLiteral("old-G.png")),
                                      LargeSave(QStringLiteral("new-G.png")),
                                      LargeSave(QStringLiteral("new-B.tif"))};
    std::vector<double> heard;
    Progress* self = nullptr;
    Progress progress([&heard, &self](double fraction) {
      heard.push_back(fraction);
      self->Cancel();
    });
    self = &progress;
    if (early) {
      progress.Cancel();
    }
    const SaveOutcome outcome = SaveChannels(saves, progress);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(outcome.results.empty());
    EXPECT_EQ(heard.empty(), early);
    EXPECT_LT(heard.empty() ? 0.0 : heard.back(), 1.0);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("old-G.png")});
    EXPECT_EQ(Contents(old), QByteArray("old green"));
  }
}

TEST_F(SaveChannelsTogether, FailuresComeBackNamingTheirFilesAndTheOthersAreWritten) {
  const QString kept = test::WriteBytes(dir, QStringLiteral("wide-R.webp"), "old red");
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("in-the-way.png")));
  std::vector<ChannelSave> saves = {
      LargeSave(QStringLiteral("missing/cat-R.png")), LargeSave(QStringLiteral("cat-G.jpg")),
      LargeSave(QStringLiteral("cat-B")), LargeSave(QStringLiteral("in-the-way.png"))};
  // WebP holds at most 16383 pixels a side.
  saves.push_back(
      {RgbPicture(std::make_shared<const ChannelPlane>(RandomPlane(16400, 1, 42)), Channel::Red),
       kept});
  std::vector<double> heard;
  const Progress progress([&heard](double fraction) { heard.push_back(fraction); });
  const SaveOutcome outcome = SaveChannels(saves, progress);
  EXPECT_FALSE(outcome.cancelled);
  ASSERT_EQ(outcome.results.size(), 5U);
  EXPECT_EQ(outcome.Written(), QStringList{dir.filePath(QStringLiteral("cat-B.png"))});
  EXPECT_EQ(outcome.Errors().size(), 4);
  for (std::size_t i : {0U, 1U, 3U, 4U}) {
    const SaveResult& result = outcome.results[i];
    EXPECT_FALSE(result.Saved());
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(saves[i].path)))
        << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QStringLiteral("Could not save")));
  }
  EXPECT_TRUE(outcome.results[1].error.contains(QStringLiteral(".jpg")));
  EXPECT_EQ(Contents(kept), QByteArray("old red"));
  ExpectSameAsOneAtATime(dir.filePath(QStringLiteral("cat-B.png")), saves[2].picture);
  EXPECT_EQ(Files(), (QStringList{QStringLiteral("cat-B.png"), QStringLiteral("in-the-way.png"),
                                  QStringLiteral("wide-R.webp")}));
  // The bar only moves forward, and ends full.
  ASSERT_FALSE(heard.empty());
  EXPECT_TRUE(std::ranges::is_sorted(heard));
  EXPECT_EQ(heard.back(), 1.0);
}

TEST_F(SaveChannelsTogether, ACopyIsMadeOffTheGuiThreadAndStopsWhenCancelled) {
  const ChannelSave save = LargeSave(QStringLiteral("unused.png"));
  const Progress progress;
  QImage image;
  std::jthread([&] { image = ChannelImage(save.picture, progress); }).join();
  EXPECT_EQ(Mismatches(image, *save.picture.plane, Channel::Green, ChannelLook::Tinted), 0);
  Progress cancelled;
  cancelled.Cancel();
  EXPECT_TRUE(ChannelImage(save.picture, cancelled).isNull());
}

// Accepts the first `room` bytes written, then fails as a full disk does.
class FullDevice : public QBuffer {
 public:
  explicit FullDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }

 protected:
  qint64 writeData(const char* data, qint64 length) override {
    if (size() + length > room_) {
      setErrorString(QStringLiteral("No space left on device"));
      return -1;
    }
    return QBuffer::writeData(data, length);
  }

 private:
  qint64 room_;
};

TEST(WritePngRows, AWriteThatFailsOrAPictureItCannotHoldIsReported) {
  const ChannelPlane plane = RandomPlane(300, 400, 43);
  ChannelRows rows(plane, Channel::Red, ChannelLook::Tinted);
  const auto paint = [&rows](int y, std::span<std::uint8_t> row) { rows.Paint(y, row); };
  const Progress progress;
  FullDevice full(5000);
  const PngWriteResult failed = WritePngRows(full, 300, 400, PngPixels::Rgb, paint, progress);
  EXPECT_EQ(failed.status, PngWriteResult::Status::Failed);
  EXPECT_EQ(failed.error, QStringLiteral("No space left on device"));
  FullDevice roomy(1 << 24);
  const PngWriteResult empty = WritePngRows(roomy, 0, 400, PngPixels::Rgb, paint, progress);
  EXPECT_EQ(empty.status, PngWriteResult::Status::Failed);
  EXPECT_FALSE(empty.error.isEmpty());
  // The same device and rows then make a whole picture.
  FullDevice fresh(1 << 24);
  EXPECT_EQ(WritePngRows(fresh, 300, 400, PngPixels::Rgb, paint, progress).status,
            PngWriteResult::Status::Written);
  QImage written;
  ASSERT_TRUE(written.loadFromData(fresh.data(), "PNG"));
  EXPECT_EQ(Mismatches(written, plane, Channel::Red, ChannelLook::Tinted), 0);
}

// Pixels as bytes, row after row: one byte of grey or three of R, G and B each.
struct RawPicture {
  int width;
  int height;
  PngPixels pixels;
  std::vector<std::uint8_t> bytes;

  [[nodiscard]] std::size_t RowBytes() const {
    return static_cast<std::size_t>(width) * (pixels == PngPixels::Grey ? 1 : 3);
  }
  [[nodiscard]] PngRowSource Rows() const {
    return [this](int y, std::span<std::uint8_t> row) {
      ASSERT_EQ(row.size(), RowBytes());
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(RowBytes()) * y, RowBytes(),
                  row.begin());
    };
  }
};

// Byte x of row y.
using ByteAt = std::function<std::uint8_t(std::size_t x, int y)>;

RawPicture MakeRaw(int width, int height, PngPixels pixels, const ByteAt& byte) {
  RawPicture picture{width, height, pixels, {}};
  picture.bytes.reserve(picture.RowBytes() * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (std::size_t x = 0; x < picture.RowBytes(); ++x) {
      picture.bytes.push_back(byte(x, y));
    }
  }
  return picture;
}

// The PNG file WritePngRows makes of `picture`, empty when it is not written.
QByteArray PngOf(const RawPicture& picture, const Progress& progress) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  const PngWriteResult result =
      WritePngRows(buffer, picture.width, picture.height, picture.pixels, picture.Rows(), progress);
  EXPECT_EQ(result.status, PngWriteResult::Status::Written) << result.error.toStdString();
  return result.status == PngWriteResult::Status::Written ? buffer.data() : QByteArray();
}

// Counts the bytes of `picture` that its PNG, read back by Qt's reader (libpng), does not hold.
int PngMismatches(const RawPicture& picture) {
  QImage image;
  const Progress progress;
  EXPECT_TRUE(image.loadFromData(PngOf(picture, progress), "PNG"));
  EXPECT_EQ(image.size(), QSize(picture.width, picture.height));
  EXPECT_EQ(image.format() == QImage::Format_Grayscale8, picture.pixels == PngPixels::Grey);
  if (image.size() != QSize(picture.width, picture.height)) {
    return -1;
  }
  const bool grey = picture.pixels == PngPixels::Grey;
  int mismatches = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const QRgb p = image.pixel(x, y);
      const auto at = picture.RowBytes() * static_cast<std::size_t>(y) +
                      static_cast<std::size_t>(x) * (grey ? 1 : 3);
      const std::array<int, 3> expected = {picture.bytes[at], picture.bytes[grey ? at : at + 1],
                                           picture.bytes[grey ? at : at + 2]};
      if (std::array{qRed(p), qGreen(p), qBlue(p)} != expected && ++mismatches <= 3) {
        ADD_FAILURE() << picture.width << "x" << picture.height << " at " << x << "," << y << ": "
                      << Hex(RGB(qRed(p), qGreen(p), qBlue(p)));
      }
    }
  }
  return mismatches;
}

TEST(WritePngRows, PicturesOfEveryKindReadBackByteForByte) {
  std::mt19937 rng(44);
  const std::vector<std::pair<const char*, ByteAt>> kinds = {
      {"flat", [](std::size_t, int) { return std::uint8_t{77}; }},
      // Steps that wrap past 255, whose differences do too.
      {"ramp", [](std::size_t x, int y) { return static_cast<std::uint8_t>(x * 7 + y * 3); }},
      {"extremes", [](std::size_t x, int y) { return (x + y) % 2 == 0 ? 0 : 255; }},
      {"noise", [&rng](std::size_t, int) { return static_cast<std::uint8_t>(rng()); }},
      // A smooth field with a little noise, as photographs are.
      {"photo", [&rng](std::size_t x, int y) {
         return static_cast<std::uint8_t>(100 + (x + static_cast<std::size_t>(y)) / 4 + rng() % 5);
       }}};
  for (const auto& [name, byte] : kinds) {
    for (const PngPixels pixels : {PngPixels::Grey, PngPixels::Rgb}) {
      // One to three pixels across, shorter than a pixel's bytes; rows past a progress report.
      for (const auto& [width, height] :
           {std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 65}, std::pair{257, 130}}) {
        EXPECT_EQ(PngMismatches(MakeRaw(width, height, pixels, byte)), 0)
            << name << (pixels == PngPixels::Grey ? " grey " : " rgb ") << width;
      }
    }
  }
}

TEST(WritePngRows, FlatPicturesShrinkAndNoiseCostsLittleMoreThanItsBytes) {
  const RawPicture flat =
      MakeRaw(1024, 1024, PngPixels::Rgb, [](std::size_t x, int) { return x % 3 == 0 ? 9 : 0; });
  EXPECT_LT(PngOf(flat, Progress()).size(), std::ssize(flat.bytes) / 50);
  std::mt19937 rng(45);
  const RawPicture noise = MakeRaw(1024, 1024, PngPixels::Grey, [&rng](std::size_t, int) {
    return static_cast<std::uint8_t>(rng());
  });
  EXPECT_LT(PngOf(noise, Progress()).size(), std::ssize(noise.bytes) * 101 / 100);
  EXPECT_EQ(PngMismatches(noise), 0);
}

TEST(WritePngRows, ReportsRowsThenChunksAndStopsWhenCancelled) {
  std::mt19937 rng(46);
  // Noise, so that its coded stream spans many chunks.
  const RawPicture picture = MakeRaw(1500, 900, PngPixels::Rgb, [&rng](std::size_t, int) {
    return static_cast<std::uint8_t>(rng());
  });
  std::vector<double> heard;
  const Progress watched([&heard](double fraction) { heard.push_back(fraction); });
  const QByteArray whole = PngOf(picture, watched);
  ASSERT_FALSE(whole.isEmpty());
  EXPECT_GT(heard.size(), std::size_t{900 / 64});
  EXPECT_TRUE(std::ranges::is_sorted(heard));
  EXPECT_GT(heard.front(), 0.0);
  EXPECT_EQ(heard.back(), 1.0);
  // Cancelled while the rows are read, and halfway through the reports.
  for (const auto& [at, early] :
       {std::pair{heard.front(), true}, std::pair{heard[heard.size() / 2], false}}) {
    std::vector<double> heardHere;
    Progress* self = nullptr;
    Progress progress([&](double fraction) {
      heardHere.push_back(fraction);
      if (fraction >= at) {
        self->Cancel();
      }
    });
    self = &progress;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(WritePngRows(buffer, picture.width, picture.height, picture.pixels, picture.Rows(),
                           progress)
                  .status,
              PngWriteResult::Status::Cancelled)
        << at;
    EXPECT_EQ(heardHere.back(), at);
    EXPECT_LT(buffer.size(), whole.size()) << at;
    if (early) {
      EXPECT_EQ(buffer.size(), 0);  // nothing is written before the rows are coded
    }
  }
}

TEST(WritePngRows, ALargePictureSpansManyBlocksAndChunksAndATinyOneIsWhole) {
  const ChannelPlane large = RandomPlane(1500, 900, 46);
  const ChannelPlane tiny = RandomPlane(1, 1, 47);
  for (const ChannelPlane* plane : {&large, &tiny}) {
    for (const ChannelLook look : {ChannelLook::Tinted, ChannelLook::Grey}) {
      ChannelRows rows(*plane, Channel::Blue, look);
      QBuffer buffer;
      buffer.open(QIODevice::WriteOnly);
      const Progress progress;
      ASSERT_EQ(WritePngRows(
                    buffer, plane->Width(), plane->Height(),
                    look == ChannelLook::Grey ? PngPixels::Grey : PngPixels::Rgb,
                    [&rows](int y, std::span<std::uint8_t> row) { rows.Paint(y, row); }, progress)
                    .status,
                PngWriteResult::Status::Written);
      QImage image;
      ASSERT_TRUE(image.loadFromData(buffer.data(), "PNG")) << plane->Width();
      EXPECT_EQ(Mismatches(image, *plane, Channel::Blue, look), 0);
    }
  }
}

// Profiles: channels shown in the picture's own colours carry its profile out.

QByteArray AdobeRgb() {
  return Contents(QStringLiteral("/usr/share/color/icc/colord/AdobeRGB1998.icc"));
}

IccBytes Icc(const QByteArray& bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
}

// The PNG file less its chunks of `type`; each chunk's type is appended to `types`.
QByteArray WithoutChunk(const QByteArray& png, const QByteArray& type, QByteArrayList& types) {
  QByteArray kept = png.left(8);
  for (qsizetype at = 8; at + 12 <= png.size();) {
    const qsizetype size = 12 + qFromBigEndian<quint32>(png.constData() + at);
    types.append(png.mid(at + 4, 4));
    kept += types.back() == type ? QByteArray() : png.mid(at, size);
    at += size;
  }
  return kept;
}

Separation Separated(ColourModel model) {
  PictureView source(60, 40, 0x3060A0);
  source.SetPicture(Image::FromPixels(50, 30, std::vector<RgbaPixel>(50 * 30, MakeRgba(0xC0A020))));
  return SeparateChannels(source, {.model = model});
}

TEST_F(SaveChannelsTogether, TintedRgbChannelsCarryTheProfileWhereTheFormatHoldsOne) {
  const QByteArray icc = AdobeRgb();
  const Separation separation = Separated(ColourModel::RGB);
  const ChannelPicture tagged = FrozenChannels(separation, ChannelLook::Tinted, Icc(icc))[1];
  const ChannelPicture plain = FrozenChannel(separation, Channel::Green, ChannelLook::Tinted);
  for (const QString extension : {"png", "tif", "webp", "bmp"}) {
    const QString with = dir.filePath(QStringLiteral("c.") + extension);
    const QString without = dir.filePath(QStringLiteral("plain.") + extension);
    ASSERT_TRUE(SaveChannels({{tagged, with}, {plain, without}}, Progress()).Errors().isEmpty());
    const QImage read = ReadBack(with);  // with the file's own numbers, unconverted
    EXPECT_EQ(Mismatches(read, *tagged.plane, Channel::Green, ChannelLook::Tinted), 0);
    EXPECT_EQ(read.colorSpace().iccProfile(), extension == "bmp" ? QByteArray() : icc);
    EXPECT_FALSE(ReadBack(without).colorSpace().isValid()) << extension.toStdString();
  }
  // The PNG's profile comes before its pixels, and less it the file is as it always was.
  QByteArrayList types;
  const QByteArray stripped = WithoutChunk(Contents(dir.filePath("c.png")), "iCCP", types);
  EXPECT_EQ(types.mid(0, 3), QByteArrayList({"IHDR", "iCCP", "IDAT"}));
  EXPECT_EQ(stripped, Contents(dir.filePath("plain.png")));
  EXPECT_EQ(Contents(dir.filePath("c.bmp")), Contents(dir.filePath("plain.bmp")));
}

TEST_F(SaveChannelsTogether, GreyLooksOtherModelsAndNonRgbProfilesCarryNone) {
  const IccBytes icc = Icc(AdobeRgb());
  QByteArray greyBytes = AdobeRgb();
  greyBytes.replace(16, 4, "GRAY");  // the header's colour space
  const Separation rgb = Separated(ColourModel::RGB);
  EXPECT_EQ(FrozenChannel(rgb, Channel::Blue, ChannelLook::Tinted, icc).icc, icc);
  EXPECT_EQ(FrozenChannel(rgb, Channel::Blue, ChannelLook::Grey, icc).icc, nullptr);
  EXPECT_EQ(FrozenChannel(rgb, Channel::Blue, ChannelLook::Tinted, Icc(greyBytes)).icc, nullptr);
  for (const ChannelPicture& picture :
       FrozenChannels(Separated(ColourModel::HSV), ChannelLook::Tinted, icc)) {
    EXPECT_EQ(picture.icc, nullptr);
  }
  // A grey picture given a profile by hand is still written and copied untagged.
  ChannelPicture grey = RgbPicture(PaddedPlane(50, 40, 51), Channel::Red, ChannelLook::Grey);
  grey.icc = icc;
  QByteArrayList types;
  ASSERT_TRUE(SaveChannels({{grey, dir.filePath("grey.png")}}, Progress()).Errors().isEmpty());
  WithoutChunk(Contents(dir.filePath("grey.png")), {}, types);
  EXPECT_FALSE(types.contains("iCCP"));
  EXPECT_FALSE(ChannelImage(grey, Progress()).colorSpace().isValid());
}

TEST_F(ChannelExport, ACopiedChannelCarriesTheProfileAndSavesWithIt) {
  const QByteArray icc = AdobeRgb();
  ChannelPicture picture = RgbPicture(PaddedPlane(70, 50, 52), Channel::Green);
  picture.icc = Icc(icc);
  const QImage copied = ChannelImage(picture, Progress());
  EXPECT_EQ(copied.colorSpace().iccProfile(), icc);
  EXPECT_EQ(Mismatches(copied, *picture.plane, Channel::Green, ChannelLook::Tinted), 0);
  ASSERT_TRUE(SaveChannelImage(copied, dir.filePath("copied.png")).Saved());
  EXPECT_EQ(ReadBack(dir.filePath("copied.png")).colorSpace().iccProfile(), icc);
  picture.icc = nullptr;
  EXPECT_FALSE(ChannelImage(picture, Progress()).colorSpace().isValid());
}

}  // namespace
}  // namespace irobunkai
