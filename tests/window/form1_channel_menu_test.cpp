// The channel views' menu and keys: grey or tinted, histograms, saving and copying a channel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;

class Form1ChannelMenu : public test::Form1Views {
 protected:
  // Opens the menu with `open`, notes which entries are enabled, and picks `entry`
  // (an action's object name) or, when it is empty, closes the menu with Escape.
  QStringList Choose(const std::function<void()>& open, const char* entry) {
    Activate();  // before the menu's timer starts
    QStringList enabled;
    bool seen = false;
    QTimer::singleShot(50, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) {
        return;
      }
      seen = true;
      for (QAction* action : menu->actions()) {
        if (action->isEnabled() && !action->isSeparator()) {
          enabled << action->objectName();
        }
      }
      auto* action = menu->findChild<QAction*>(QString::fromLatin1(entry));
      if (entry[0] == '\0' || action == nullptr) {
        QTest::keyClick(menu, Qt::Key_Escape);
        return;
      }
      menu->setActiveAction(action);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    open();
    QTest::qWait(100);
    EXPECT_TRUE(seen) << "no menu opened";
    return enabled;
  }
  void RightClick(const char* view) {
    QTest::mouseClick(View(view), Qt::RightButton, {}, {60, 60});
    // Offscreen Qt makes no context-menu event from the press; send what X11 would.
    QContextMenuEvent event(QContextMenuEvent::Mouse, {60, 60},
                            View(view)->mapToGlobal(QPoint(60, 60)));
    QApplication::sendEvent(View(view), &event);
  }
};

QImage Gradient(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x + y) % 256));
    }
  }
  return image;
}

TEST_F(Form1ChannelMenu, OnlyChannelViewsHaveAMenuAndItCannotSaveBeforeASeparation) {
  const QStringList before = Choose([&] { RightClick("Picture3"); }, "");
  EXPECT_TRUE(before.contains(QStringLiteral("GreyAction")));
  EXPECT_TRUE(before.contains(QStringLiteral("HistogramAction")));
  EXPECT_FALSE(before.contains(QStringLiteral("SaveChannelAction")));
  EXPECT_FALSE(before.contains(QStringLiteral("CopyChannelAction")));
  Separate();
  const QStringList after = Choose([&] { Key("Picture4", Qt::Key_F10, Qt::ShiftModifier); }, "");
  for (const char* name : {"SaveChannelAction", "SaveAllChannelsAction", "CopyChannelAction"}) {
    EXPECT_TRUE(after.contains(QString::fromLatin1(name))) << name;
  }
  Choose([&] { Key("Picture2", Qt::Key_Menu); }, "");

  // A right press on the source reads out, as every press does, and opens nothing.
  QTest::mouseClick(View("Picture1"), Qt::RightButton, {}, {20, 20});
  QContextMenuEvent event(QContextMenuEvent::Mouse, {20, 20},
                          View("Picture1")->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(View("Picture1"), &event);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_NE(Child<QLabel>(form, "Label1")->text(), QStringLiteral("10"));
}

TEST_F(Form1ChannelMenu, GreyShowsEveryChannelAsIntensityButChangesNothingThatIsRead) {
  Load(Gradient(100, 80));
  const QImage redBefore = View("Picture2")->grab().toImage();
  Key("Picture2", Qt::Key_G);  // before a separation only the background shows: it stays
  EXPECT_EQ(View("Picture2")->grab().toImage(), redBefore);
  Key("Picture2", Qt::Key_G);
  Separate();
  Key("Picture3", Qt::Key_G);
  for (const auto& [name, shift] :
       {std::pair{"Picture2", 16}, std::pair{"Picture3", 8}, std::pair{"Picture4", 0}}) {
    const QImage shown = View(name)->grab().toImage();
    const QRgb expected = Gradient(100, 80).pixel(30, 20);
    const int v = static_cast<int>((expected >> shift) & 0xFFu);
    EXPECT_EQ(shown.pixel(2 + 30, 2 + 20) & 0xFFFFFFu, qRgb(v, v, v) & 0xFFFFFFu) << name;
    // Beyond the picture the separated area shows the source's red background, as grey.
    const int red = shift == 16 ? 255 : 0;
    EXPECT_EQ(shown.pixel(2 + 150, 2 + 150) & 0xFFFFFFu, qRgb(red, red, red) & 0xFFFFFFu) << name;
  }
  EXPECT_EQ(View("Picture3")->View().Point(30, 20), RGB(0, 100, 0));
  Separate();  // a separation paints what it always paints
  EXPECT_EQ(View("Picture2")->View().Point(30, 20), RGB(210, 0, 0));
  // And back through the menu.
  Choose([&] { RightClick("Picture4"); }, "GreyAction");
  const QImage tinted = View("Picture3")->grab().toImage();
  EXPECT_EQ(tinted.pixel(2 + 30, 2 + 20) & 0xFFFFFFu, qRgb(0, 100, 0) & 0xFFFFFFu);
}

TEST_F(Form1ChannelMenu, HistogramsAppearAlongTheBottomOnlyAndFollowTheScaleEntry) {
  // Two greens, one far commoner than the other: the scales draw the rare one differently.
  QImage twoTone = Gradient(188, 179);
  for (int y = 0; y < 179; ++y) {
    for (int x = 0; x < 188; ++x) {
      twoTone.setPixel(x, y, qRgb(x, x < 160 ? 10 : 200, y));
    }
  }
  Load(twoTone);
  Separate();
  const QImage plain = View("Picture2")->grab().toImage();
  Key("Picture2", Qt::Key_H);
  const QImage linear = View("Picture3")->grab().toImage();
  const QImage redWith = View("Picture2")->grab().toImage();
  EXPECT_EQ(redWith.copy(0, 0, 192, 100), plain.copy(0, 0, 192, 100));    // above the band
  EXPECT_NE(redWith.copy(0, 130, 192, 50), plain.copy(0, 130, 192, 50));  // the band
  Choose([&] { RightClick("Picture3"); }, "LogScaleAction");
  EXPECT_NE(View("Picture3")->grab().toImage(), linear);
  // Separating with histograms on counts them with the planes: the same picture again.
  Separate();
  EXPECT_NE(View("Picture3")->grab().toImage(), linear);
  Choose([&] { RightClick("Picture2"); }, "HistogramAction");
  EXPECT_EQ(View("Picture2")->grab().toImage(), plain);
}

TEST_F(Form1ChannelMenu, CopyPutsTheWholeChannelOnTheClipboardInItsLook) {
  const QImage source = Gradient(400, 300);  // larger than the view: shown scaled down
  Load(source);
  Separate();
  Choose([&] { RightClick("Picture3"); }, "CopyChannelAction");
  test::WaitIdle(form);  // the picture is made off the GUI thread
  QImage copied = QGuiApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(400, 300));
  int wrong = 0;
  for (int y = 0; y < 300; y += 7) {
    for (int x = 0; x < 400; x += 3) {
      wrong +=
          (copied.pixel(x, y) & 0xFFFFFFu) != (qRgb(0, qGreen(source.pixel(x, y)), 0) & 0xFFFFFFu);
    }
  }
  EXPECT_EQ(wrong, 0);
  Key("Picture3", Qt::Key_G);
  Choose([&] { RightClick("Picture4"); }, "CopyChannelAction");
  test::WaitIdle(form);
  copied = QGuiApplication::clipboard()->image();
  const int b = qBlue(source.pixel(123, 45));
  EXPECT_EQ(copied.pixel(123, 45) & 0xFFFFFFu, qRgb(b, b, b) & 0xFFFFFFu);
}

TEST_F(Form1ChannelMenu, SaveWritesTheChannelBesideThePictureThroughTheRealDialog) {
  Load(Gradient(300, 200), QStringLiteral("photo.png"));
  Separate();
  const QString target = dir.filePath(QStringLiteral("photo-R.png"));
  {
    const test::ModalAnswerer answerer([&](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      if (files == nullptr) {
        return;
      }
      // The dialog offers the picture's name with the channel's suffix, in its folder.
      const QString offered = files->findChild<QLineEdit*>()->text();
      EXPECT_EQ(offered, QStringLiteral("photo-R.png"));
      files->findChild<QLineEdit*>()->setText(target);
      QTest::keyClick(files->findChild<QLineEdit*>(), Qt::Key_Return);
    });
    Choose([&] { RightClick("Picture2"); }, "SaveChannelAction");
    test::WaitIdle(form);  // the file is written off the GUI thread
  }
  const QImage saved(target);
  ASSERT_EQ(saved.size(), QSize(300, 200));
  EXPECT_EQ(saved.pixel(250, 150) & 0xFFFFFFu,
            qRgb(qRed(Gradient(300, 200).pixel(250, 150)), 0, 0) & 0xFFFFFFu);
}

// Saving runs while the window goes on; Escape stops it and no file is left behind.
TEST_F(Form1ChannelMenu, SavingAllRunsInTheBackgroundAndEscapeLeavesNoFile) {
  Load(Gradient(6000, 4000), QStringLiteral("large.png"));
  Separate();
  const QString target = dir.filePath(QStringLiteral("large-R.png"));
  {
    const test::ModalAnswerer answerer([&](QWidget* dialog) {
      if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        files->findChild<QLineEdit*>()->setText(target);
        QTest::keyClick(files->findChild<QLineEdit*>(), Qt::Key_Return);
      }
    });
    Choose([&] { RightClick("Picture2"); }, "SaveAllChannelsAction");
  }
  ASSERT_TRUE(form.IsBusy()) << "three 24 MP channels take longer than the menu";
  // The window reads out while the files are written.
  QTest::mouseClick(View("Picture1"), Qt::LeftButton, {}, {20, 20});
  EXPECT_NE(Child<QLabel>(form, "Label1")->text(), QStringLiteral("10"));
  Key("Picture1", Qt::Key_Escape);
  EXPECT_FALSE(form.IsBusy());
  QTest::qWait(500);
  for (const char* name : {"large-R.png", "large-G.png", "large-B.png"}) {
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QString::fromLatin1(name)))) << name;
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "only the picture itself";
}

}  // namespace
}  // namespace irobunkai

namespace irobunkai {
namespace {

TEST_F(Form1ChannelMenu, APastedPicturesChannelIsOfferedUnderTheClipboardsName) {
  auto* pasted = new QMimeData;
  pasted->setImageData(Gradient(40, 30));
  QGuiApplication::clipboard()->setMimeData(pasted);
  QTest::keyClick(View("Picture1"), Qt::Key_V, Qt::ControlModifier);
  Separate();
  QString offered;
  {
    const test::ModalAnswerer answerer([&](QWidget* dialog) {
      if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        offered = files->findChild<QLineEdit*>()->text();
        files->reject();
      }
    });
    Choose([&] { RightClick("Picture3"); }, "SaveChannelAction");
    QTest::qWait(200);
  }
  EXPECT_EQ(offered, QStringLiteral("clipboard-G.png"));
}

}  // namespace
}  // namespace irobunkai
