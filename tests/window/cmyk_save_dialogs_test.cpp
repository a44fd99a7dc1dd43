#include <gtest/gtest.h>

#include <QColorSpace>
#include <QDir>
#include <QFileInfo>
#include <functional>
#include <numeric>
#include <random>
#include <utility>

#include "analysis/channel_separation.h"
#include "cmyk_tiff_read_back.h"
#include "gui_test_support.h"
#include "io/channel_saving.h"
#include "window/channel_save_dialogs.h"

QT_BEGIN_NAMESPACE
// A picture that differs is described, not dumped.
inline void PrintTo(const QImage& image, std::ostream* os) {
  *os << image.width() << " x " << image.height() << ", format " << image.format();
}
QT_END_NAMESPACE

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

// The plate as 8-bit grey with its ink as darkness.
QImage InkAsDarkness(const ChannelPlane& plate) {
  QImage grey(kWidth, kHeight, QImage::Format_Grayscale8);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      grey.scanLine(y)[x] = 255 - plate.At(x, y);
    }
  }
  return grey;
}

// How many inks of the CMYK TIFF at `path` are not the plates' levels.
int WrongInks(const QString& path, const Separation& separation) {
  return test::WrongInks(test::ReadCmykTiff(path), kWidth, kHeight, [&](int x, int y, int ink) {
    return separation.planes[kPlates[static_cast<std::size_t>(ink)]]->At(x, y);
  });
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

using CmykSaving = test::SaveFolder;

TEST_F(CmykSaving, SaveAllWritesFourGreyPlatesInkAsDarknessAfterOneQuestion) {
  const Separation separation = Plates(1);
  const QString kept = Put(QStringLiteral("cat-CMYK-K.png"), "keep me");
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
  ASSERT_EQ(written.size(), 4);
  std::vector<QString> siblings;
  for (std::size_t i = 0; i < kPlates.size(); ++i) {
    const QString name = QStringLiteral("cat-CMYK-") + QLatin1Char("CMYK"[i]);
    EXPECT_EQ(written[static_cast<qsizetype>(i)], Path(name + QStringLiteral(".png")));
    EXPECT_EQ(QImage(Path(name + QStringLiteral(".png"))),
              InkAsDarkness(*separation.planes[kPlates[i]]));
    siblings.push_back(QStringLiteral("/d/") + name + QStringLiteral(".tif"));
  }
  EXPECT_EQ(ChannelSiblingPaths(QStringLiteral("/d/cat-CMYK-K.tif"), ColourModel::CMYK), siblings);
}

TEST_F(CmykSaving, APlateIsSavedAndCopiedAsGreyInkAsDarknessWhateverTheLook) {
  const Separation separation = Plates(2);
  const auto icc = std::make_shared<const std::vector<std::uint8_t>>(200, std::uint8_t{7});
  FakeUser user(Path(QStringLiteral("black.png")));
  EXPECT_TRUE(SaveChannelWithDialog(nullptr, separation, Channel::Black, ChannelLook::Tinted,
                                    QStringLiteral("/pics/cat.gif"), user.Hooks(), icc));
  EXPECT_EQ(user.suggested, QStringLiteral("/pics/cat-CMYK-K.png"));
  EXPECT_EQ(QImage(user.path), InkAsDarkness(*separation.planes[Channel::Black]));

  for (const ChannelPicture& picture : FrozenChannels(separation, ChannelLook::Tinted, icc)) {
    EXPECT_EQ(picture.look, ChannelLook::Grey) << ComponentIndex(picture.channel);
    EXPECT_EQ(picture.icc, nullptr);
  }
  const ChannelPicture magenta =
      FrozenChannel(separation, Channel::Green, ChannelLook::Tinted, icc);
  EXPECT_EQ(magenta.icc, nullptr);
  const QImage copied = ChannelImage(magenta, Progress());
  EXPECT_FALSE(copied.colorSpace().isValid());
  EXPECT_EQ(copied, InkAsDarkness(*separation.planes[Channel::Green]));
}

TEST_F(CmykSaving, CmykTiffHoldsThePlatesAsCopiedAndThePressProfile) {
  Separation separation = Plates(3);
  const Separation original = Plates(3);
  std::vector<std::uint8_t> press(3000);
  std::iota(press.begin(), press.end(), std::uint8_t{0});
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

  EXPECT_EQ(WrongInks(outcome.Written().value(0), original), 0);
  EXPECT_EQ(test::ReadCmykTiff(outcome.Written().value(0)).icc, press);

  // Written at once, a picture without a file is named after its unnamed base.
  user.path = Path(QStringLiteral("again.tiff"));
  EXPECT_TRUE(SaveCmykTiffWithDialog(nullptr, original, press, {{}, QStringLiteral("clipboard")},
                                     user.Hooks()));
  EXPECT_EQ(QFileInfo(user.suggested).fileName(), QStringLiteral("clipboard-CMYK.tif"));
  EXPECT_EQ(WrongInks(user.path, original), 0);
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
  const QString kept = Put(QStringLiteral("press.tif"), "keep me");
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
