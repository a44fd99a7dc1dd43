// Looking closer at pixels: the mark, the grid and values, keyboard readout, copy, paste and help.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;

class Form1Inspect : public test::Form1Views {
 protected:
  void SetUp() override {
    Form1Views::SetUp();
    QGuiApplication::clipboard()->clear();
  }

  void Press(QPoint place) {
    QTest::mousePress(View("Picture1"), Qt::LeftButton, {}, place + QPoint(2, 2));
    QTest::mouseRelease(View("Picture1"), Qt::LeftButton, {}, place + QPoint(2, 2));
  }
  // A window shortcut: the window must be the active one, as it is again after a message box.
  void Shortcut(int key) {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, static_cast<Qt::Key>(key), Qt::ControlModifier);
    test::WaitIdle(form);  // a pasted file opens in the background
  }
  // Zooms in with Ctrl + wheel at the top-left, which stays put.
  void ZoomTopLeftTo(double scale) {
    while (View("Picture1")->Mapping().scale < scale) {
      test::Wheel(*View("Picture1"), {0, 0}, 1, Qt::ControlModifier);
    }
    ASSERT_DOUBLE_EQ(View("Picture1")->Mapping().scale, scale);
    ASSERT_DOUBLE_EQ(View("Picture1")->Mapping().originX, 0.0);
  }
  QString Text(const char* label) { return Child<QLabel>(form, label)->text(); }
  static QImage Grab(QWidget* view) { return view->grab().toImage(); }

  // Pixels of a grab that differ from `colour` inside the place rectangle `rect`.
  static int Differing(const QImage& shown, QRect rect, QRgb colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      for (int x = rect.left(); x <= rect.right(); ++x) {
        count += (shown.pixel(x + 2, y + 2) & 0xFFFFFFu) != (colour & 0xFFFFFFu) ? 1 : 0;
      }
    }
    return count;
  }
};

QImage Solid(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

TEST_F(Form1Inspect, TheReadPixelIsMarkedInAllFourViewsButNeverInTheirPixels) {
  Load(Solid(188, 179, qRgb(255, 192, 255)));
  Separate();
  const QImage before = Grab(View("Picture3"));
  Press({90, 90});
  for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    const QImage shown = Grab(View(name));
    EXPECT_GT(Differing(shown, {80, 80, 21, 21}, shown.pixel(2 + 90, 2 + 60)), 0) << name;
    EXPECT_EQ(Differing(shown, {0, 0, 60, 60}, shown.pixel(2 + 30, 2 + 30)), 0) << name;
  }
  // What the views hold, and so what a readout or a separation reads, is untouched.
  EXPECT_EQ(View("Picture1")->View().Point(90, 90), RGB(255, 192, 255));
  EXPECT_EQ(View("Picture3")->View().Point(90, 90), RGB(0, 192, 0));
  Separate();
  EXPECT_EQ(View("Picture2")->View().Point(90, 90), RGB(255, 0, 0));
  EXPECT_NE(Grab(View("Picture3")), before);

  // Zoomed in the mark is an outline around the pixel: black just outside, white inside.
  ZoomTo(8.0);
  const ViewMapping m = View("Picture1")->Mapping();
  const QImage zoomed = Grab(View("Picture1"));
  const int left = static_cast<int>(m.ToPlaceX(90)) + 2;
  const int top = static_cast<int>(m.ToPlaceY(90)) + 2;
  EXPECT_EQ(zoomed.pixel(left + 4, top - 1) & 0xFFFFFFu, 0u);
  EXPECT_EQ(zoomed.pixel(left + 4, top) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(zoomed.pixel(left + 4, top + 4) & 0xFFFFFFu, qRgb(255, 192, 255) & 0xFFFFFFu);
}

TEST_F(Form1Inspect, LoadingClearsTheMarkFromTheNewPicture) {
  Load(Solid(188, 179, qRgb(10, 20, 30)));
  Press({50, 50});
  Load(Solid(188, 179, qRgb(10, 20, 30)), QStringLiteral("again.png"));
  const QImage shown = Grab(View("Picture1"));
  EXPECT_EQ(Differing(shown, {0, 0, 188, 179}, qRgb(10, 20, 30)), 0);
}

TEST_F(Form1Inspect, AGridFrom8xAndValuesInsideLargeEnoughPixels) {
  QImage picture = Solid(100, 100, qRgb(200, 100, 50));
  picture.setPixel(1, 0, qRgb(0, 0, 0));
  Load(picture);
  Separate();
  const auto cellDiffers = [&](const char* name, int column, int row, QRgb colour) {
    const ViewMapping m = View(name)->Mapping();
    const int inset = 3;  // clear of the grid lines
    const QRect inside(
        static_cast<int>(m.ToPlaceX(column)) + inset, static_cast<int>(m.ToPlaceY(row)) + inset,
        static_cast<int>(m.scale) - 2 * inset, static_cast<int>(m.scale) - 2 * inset);
    return Differing(Grab(View(name)), inside, colour);
  };
  ZoomTopLeftTo(6.0);
  const QImage noGrid = Grab(View("Picture2"));
  EXPECT_EQ(Differing(noGrid, {0, 0, 6 * 5, 6 * 5}, qRgb(200, 0, 0)),
            6 * 6);  // only the black pixel
  ZoomTopLeftTo(8.0);
  const QImage grid = Grab(View("Picture2"));
  EXPECT_NE(grid.pixel(2 + 16, 2 + 20) & 0xFFFFFFu,
            qRgb(200, 0, 0) & 0xFFFFFFu);                        // a line at x = 16
  EXPECT_EQ(cellDiffers("Picture2", 2, 1, qRgb(200, 0, 0)), 0);  // no numbers yet
  ZoomTopLeftTo(32.0);
  EXPECT_GT(cellDiffers("Picture2", 2, 1, qRgb(200, 0, 0)), 0);     // "200"
  EXPECT_GT(cellDiffers("Picture3", 2, 1, qRgb(0, 100, 0)), 0);     // "100"
  EXPECT_GT(cellDiffers("Picture2", 1, 0, qRgb(0, 0, 0)), 0);       // "0", white on black
  EXPECT_EQ(cellDiffers("Picture1", 2, 1, qRgb(200, 100, 50)), 0);  // three lines need more room
  ZoomTopLeftTo(48.0);
  EXPECT_GT(cellDiffers("Picture1", 2, 1, qRgb(200, 100, 50)), 0);
}

TEST_F(Form1Inspect, ArrowKeysOnThePictureReadOutPixelByPixelAndStopAtTheEdges) {
  Load(test::CoordinateImage(300, 200));
  Key("Picture1", Qt::Key_Right);  // from (0, 0)
  EXPECT_EQ(Text("Label1"), QString::number(test::CoordinateColor(1, 0)));
  Key("Picture1", Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Text("Label1"), QString::number(test::CoordinateColor(1, 10)));
  EXPECT_EQ(Text("Label4"), QStringLiteral("10"));
  Press({30, 40});  // a click moves the start: 1 picture pixel per 0.627 place pixels
  const ViewMapping m = View("Picture1")->Mapping();
  const int x = static_cast<int>(m.ToAreaX(30));
  const int y = static_cast<int>(m.ToAreaY(40));
  Key("Picture1", Qt::Key_Left);
  EXPECT_EQ(Text("Label1"), QString::number(test::CoordinateColor(x - 1, y)));
  for (int i = 0; i < 40; ++i) {
    Key("Picture1", Qt::Key_Up, Qt::ShiftModifier);
    Key("Picture1", Qt::Key_Right, Qt::ShiftModifier);
  }
  EXPECT_EQ(Text("Label1"), QString::number(test::CoordinateColor(299, 0)));

  // Zoomed in, the views follow the read pixel.
  ZoomTo(16.0);
  for (int i = 0; i < 15; ++i) {
    Key("Picture1", Qt::Key_Down, Qt::ShiftModifier);
  }
  EXPECT_EQ(Text("Label1"), QString::number(test::CoordinateColor(299, 150)));
  const ViewMapping followed = View("Picture2")->Mapping();
  EXPECT_LE(followed.ToAreaX(0), 299.0);
  EXPECT_GE(followed.ToAreaX(188), 300.0);
  EXPECT_LE(followed.ToAreaY(0), 150.0);
  EXPECT_GE(followed.ToAreaY(179), 151.0);
}

TEST_F(Form1Inspect, CtrlCCopiesTheReadoutAsOneLineAndNothingBeforeAReadout) {
  QImage picture = Solid(20, 40, qRgb(0, 0, 0));
  picture.setPixel(12, 34, qRgb(255, 192, 255));
  Load(picture);
  QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
  Shortcut(Qt::Key_C);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
  Press({12, 34});
  QTest::keyClick(View("Picture3"), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QStringLiteral("x=12 y=34 R=255 G=192 B=255 #FFC0FF 16761087 FFC0FF"));
}

TEST_F(Form1Inspect, TheValueBoxesExplainThemselvesAndTheViewsHaveNoTooltips) {
  Load(Solid(5, 5, qRgb(255, 192, 255)));
  Press({1, 1});
  EXPECT_EQ(Child<QLabel>(form, "Label1")->toolTip(),
            QStringLiteral("16761087 = 255 + 256 x 192 + 65536 x 255"));
  EXPECT_TRUE(
      Child<QLabel>(form, "Label2")->toolTip().startsWith(QStringLiteral("FFC0FF = FF (B)")));
  for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    EXPECT_TRUE(View(name)->toolTip().isEmpty()) << name;
  }
}

TEST_F(Form1Inspect, CtrlVLoadsAPictureAFileOrAPathFromTheClipboard) {
  auto* image = new QMimeData;
  image->setImageData(Solid(30, 20, qRgb(1, 2, 3)));
  QGuiApplication::clipboard()->setMimeData(image);
  Shortcut(Qt::Key_V);
  EXPECT_EQ(View("Picture1")->View().Point(29, 19), RGB(1, 2, 3));
  EXPECT_EQ(View("Picture1")->View().Point(30, 19), RGB(255, 0, 0));

  const QString file = test::WriteImage(dir, "file.png", Solid(40, 10, qRgb(4, 5, 6)), "png");
  auto* urls = new QMimeData;
  urls->setUrls({QUrl::fromLocalFile(file)});
  QGuiApplication::clipboard()->setMimeData(urls);
  Shortcut(Qt::Key_V);
  EXPECT_EQ(View("Picture1")->View().Point(39, 9), RGB(4, 5, 6));

  const QString path = test::WriteImage(dir, "path.png", Solid(7, 7, qRgb(7, 8, 9)), "png");
  QGuiApplication::clipboard()->setText(QStringLiteral("  %1\n").arg(path));
  Shortcut(Qt::Key_V);
  EXPECT_EQ(View("Picture1")->View().Point(6, 6), RGB(7, 8, 9));
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 1.0);
}

TEST_F(Form1Inspect, CtrlVTakesThePngWhenAProgramOffersItsOwnFormatFirst) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(Solid(12, 8, qRgb(10, 20, 30)).save(&buffer, "PNG"));
  auto* offered = new QMimeData;
  offered->setData(QStringLiteral("image/x-inkscape-svg"),
                   QByteArray("<svg xmlns="
                              "'http://www.w3.org/2000/svg'/>"));
  offered->setData(QStringLiteral("image/bmp"), QByteArray("BM broken"));
  offered->setData(QStringLiteral("image/png"), png);
  QGuiApplication::clipboard()->setMimeData(offered);
  const test::ModalAnswerer answerer;
  Shortcut(Qt::Key_V);
  EXPECT_TRUE(answerer.Texts().isEmpty());
  EXPECT_EQ(View("Picture1")->View().Point(11, 7), RGB(10, 20, 30));
}

TEST_F(Form1Inspect, ABadClipboardGivesAMessageAndKeepsThePicture) {
  Load(Solid(10, 10, qRgb(40, 50, 60)));
  const QImage before = Grab(View("Picture1"));
  auto* broken = new QMimeData;
  broken->setData(QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\nnot really", 18));
  QGuiApplication::clipboard()->setMimeData(broken);
  {
    const test::ModalAnswerer answerer;
    Shortcut(Qt::Key_V);
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("481")));
  }
  QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
  {
    const test::ModalAnswerer answerer;
    Shortcut(Qt::Key_V);
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("no picture")));
  }
  QGuiApplication::clipboard()->setText(dir.filePath(QStringLiteral("missing.png")));
  {
    const test::ModalAnswerer answerer;
    Shortcut(Qt::Key_V);
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("53")));
  }
  EXPECT_EQ(Grab(View("Picture1")), before);
  EXPECT_EQ(View("Picture1")->View().Point(9, 9), RGB(40, 50, 60));
}

TEST_F(Form1Inspect, F1OpensTheHelpListingTheControlsInJapaneseAndEnglish) {
  QTest::keyClick(View("Picture1"), Qt::Key_F1);
  auto* help = form.findChild<QWidget*>(QStringLiteral("HelpWindow"));
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  const QString text = Child<QLabel>(*help, "HelpText")->text();
  for (const char* expected :
       {"Ctrl + ホイール", "Ctrl + wheel", "Ctrl + C", "Ctrl + V", "0 / Home", "Shift", "F1"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
  }
  QTest::keyClick(View("Picture1"), Qt::Key_F1);  // again: the same window, not a second one
  EXPECT_EQ(form.findChildren<QWidget*>(QStringLiteral("HelpWindow")).size(), 1);
}

}  // namespace
}  // namespace irobunkai
