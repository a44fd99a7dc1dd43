#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "analysis/channel_separation.h"
#include "gui_test_support.h"
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
      const ColorValue expected = LookColor(channel, look, plane.At(x, y));
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
    const std::array<QString, 3> paths = ChannelSiblingPaths(chosen);
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
  EXPECT_TRUE(SaveChannelWithDialog(nullptr, plane, Channel::Green, ChannelLook::Grey,
                                    QStringLiteral("/pics/cat.gif"), user.Hooks()));
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-G.png"));
  EXPECT_EQ(Mismatches(ReadBack(user.path), plane, Channel::Green, ChannelLook::Grey), 0);
  EXPECT_TRUE(user.asked.isEmpty());
}

TEST_F(ChannelExport, SaveWithDialogCancelledWritesNothing) {
  const ChannelPlane plane = RandomPlane(4, 4, 10);
  FakeUser user;
  EXPECT_FALSE(
      SaveChannelWithDialog(nullptr, plane, Channel::Red, ChannelLook::Tinted, {}, user.Hooks()));
  EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ChannelExport, SaveWithDialogWarnsOfAFailureNamingThePath) {
  const ChannelPlane plane = RandomPlane(4, 4, 11);
  FakeUser user(dir.filePath(QStringLiteral("missing/red.png")));
  const test::ModalAnswerer answerer;
  EXPECT_FALSE(
      SaveChannelWithDialog(nullptr, plane, Channel::Red, ChannelLook::Tinted, {}, user.Hooks()));
  ASSERT_EQ(answerer.Texts().size(), 1);
  EXPECT_TRUE(answerer.Texts()[0].contains(QDir::toNativeSeparators(user.path)));
  EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ChannelExport, SaveWithDialogAsksBeforeReplacingThePngItAdded) {
  const ChannelPlane plane = RandomPlane(4, 4, 12);
  const QString existing = test::WriteBytes(dir, QStringLiteral("red.png"), "keep me");
  FakeUser user(dir.filePath(QStringLiteral("red")));
  EXPECT_FALSE(
      SaveChannelWithDialog(nullptr, plane, Channel::Red, ChannelLook::Tinted, {}, user.Hooks()));
  EXPECT_EQ(user.asked, QList<QStringList>{QStringList{existing}});
  EXPECT_EQ(Contents(existing), QByteArray("keep me"));

  user.allowOverwrite = true;
  EXPECT_TRUE(
      SaveChannelWithDialog(nullptr, plane, Channel::Red, ChannelLook::Tinted, {}, user.Hooks()));
  EXPECT_EQ(Mismatches(ReadBack(existing), plane, Channel::Red, ChannelLook::Tinted), 0);
}

class SaveAllChannels : public ChannelExport {
 protected:
  ChannelPlane red_ = RandomPlane(190, 181, 13);
  ChannelPlane green_ = RandomPlane(190, 181, 14);
  ChannelPlane blue_ = RandomPlane(190, 181, 15);
  [[nodiscard]] PerChannel<const ChannelPlane*> Planes() const {
    return {{&red_, &green_, &blue_}};
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
      nullptr,
      {{hsv.planes[Channel::Red].get(), hsv.planes[Channel::Green].get(),
        hsv.planes[Channel::Blue].get()}},
      ChannelLook::Tinted, QStringLiteral("/pics/cat.jpg"), user.Hooks(), ColourModel::HSV);
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
  const std::array<QString, 3> lab =
      ChannelSiblingPaths(QStringLiteral("/d/cat-Lab-b.png"), ColourModel::Lab);
  EXPECT_EQ(lab, (std::array<QString, 3>{QStringLiteral("/d/cat-Lab-L.png"),
                                         QStringLiteral("/d/cat-Lab-a.png"),
                                         QStringLiteral("/d/cat-Lab-b.png")}));
  const std::array<QString, 3> ycbcr =
      ChannelSiblingPaths(QStringLiteral("/d/cat-R.tif"), ColourModel::YCbCr);
  EXPECT_EQ(ycbcr[0], QStringLiteral("/d/cat-R-YCbCr-Y.tif"));
  EXPECT_EQ(ycbcr[2], QStringLiteral("/d/cat-R-YCbCr-Cr.tif"));
  EXPECT_EQ(
      SuggestedChannelPath(QStringLiteral("/d/cat.jpg"), Channel::Green, {}, ColourModel::CMY),
      QStringLiteral("/d/cat-CMY-M.png"));
}

TEST(CopyChannelToClipboard, PutsTheWholeChannelThere) {
  const ChannelPlane plane = RandomPlane(260, 190, 16);
  for (const ChannelLook look : {ChannelLook::Tinted, ChannelLook::Grey}) {
    ASSERT_TRUE(CopyChannelToClipboard(plane, Channel::Blue, look));
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(Mismatches(copied, plane, Channel::Blue, look), 0);
  }
}

}  // namespace
}  // namespace irobunkai
