// The four views as one instrument: zoom and pan through real wheel, key and mouse events.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;

constexpr const char* kViews[] = {"Picture1", "Picture2", "Picture3", "Picture4"};

class Form1Zoom : public test::Form1Views {
 protected:
  // Every view's mapping, which must be one and the same when their areas agree.
  void ExpectLinked() {
    const ViewMapping first = View("Picture1")->Mapping();
    for (const char* name : kViews) {
      const ViewMapping m = View(name)->Mapping();
      EXPECT_DOUBLE_EQ(m.scale, first.scale) << name;
      EXPECT_DOUBLE_EQ(m.originX, first.originX) << name;
      EXPECT_DOUBLE_EQ(m.originY, first.originY) << name;
    }
  }
};

TEST_F(Form1Zoom, CtrlWheelOverAnyViewZoomsAllFourAroundThePointer) {
  Load(test::CoordinateImage(940, 716));
  Separate();
  const ViewMapping before = View("Picture3")->Mapping();
  const QPoint pointer(120, 40);
  test::Wheel(*View("Picture3"), pointer, 2, Qt::ControlModifier);
  const ViewMapping after = View("Picture3")->Mapping();
  EXPECT_DOUBLE_EQ(after.scale, before.scale * 4);
  EXPECT_NEAR(after.ToAreaX(pointer.x()), before.ToAreaX(pointer.x()), 1e-6);
  EXPECT_NEAR(after.ToAreaY(pointer.y()), before.ToAreaY(pointer.y()), 1e-6);
  ExpectLinked();
  test::Wheel(*View("Picture1"), pointer, -5, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(View("Picture4")->Mapping().scale, 0.2);  // back to the whole picture
  ExpectLinked();
}

TEST_F(Form1Zoom, KeysZoomAroundTheCentreAndZeroOrHomeReturnToTheDefault) {
  Load(test::CoordinateImage(100, 80));
  Key("Picture2", Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 2.0);
  Key("Picture4", Qt::Key_Plus, Qt::ControlModifier);
  Key("Picture1", Qt::Key_Equal, Qt::ControlModifier);  // Ctrl+= where + needs Shift
  EXPECT_DOUBLE_EQ(View("Picture3")->Mapping().scale, 4.0);
  Key("Picture1", Qt::Key_Minus);
  EXPECT_DOUBLE_EQ(View("Picture3")->Mapping().scale, 3.0);
  Key("Picture3", Qt::Key_0);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 1.0);
  Key("Picture1", Qt::Key_Minus);  // nothing below the default
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 1.0);
  ZoomTo(64.0);
  Key("Picture1", Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 64.0);
  Key("Picture2", Qt::Key_Home);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 1.0);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originX, 0.0);
}

TEST_F(Form1Zoom, TheWheelScrollsAndShiftWheelScrollsSideways) {
  Load(test::CoordinateImage(400, 400));
  test::Wheel(*View("Picture1"), {50, 50}, -1);  // the whole picture is shown: nothing moves
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originY, 0.0);
  ZoomTo(2.0);
  const ViewMapping start = View("Picture1")->Mapping();
  test::Wheel(*View("Picture2"), {50, 50}, -1);  // wheel towards the user: further down
  EXPECT_GT(View("Picture1")->Mapping().originY, start.originY);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originX, start.originX);
  test::Wheel(*View("Picture2"), {50, 50}, -1, Qt::ShiftModifier);
  EXPECT_GT(View("Picture1")->Mapping().originX, start.originX);
  ExpectLinked();
}

TEST_F(Form1Zoom, DraggingAChannelViewPansAllFourButPressingTheSourceOnlyReadsOut) {
  Load(test::CoordinateImage(600, 500));
  Separate();
  ZoomTo(2.0);
  Key("Picture1", Qt::Key_Home);
  ZoomTo(2.0);
  const ViewMapping start = View("Picture1")->Mapping();
  PictureBox* red = View("Picture2");
  QTest::mousePress(red, Qt::LeftButton, {}, {100, 100});
  QTest::mouseMove(red, {60, 70});
  QTest::mouseRelease(red, Qt::LeftButton, {}, {60, 70});
  // Dragging left and up shows what lies right and below.
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originX, start.originX + 20);
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originY, start.originY + 15);
  ExpectLinked();

  const ViewMapping panned = View("Picture1")->Mapping();
  PictureBox* source = View("Picture1");
  QTest::mousePress(source, Qt::LeftButton, {}, {100, 100});
  QTest::mouseMove(source, {20, 20});
  QTest::mouseRelease(source, Qt::LeftButton, {}, {20, 20});
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().originX, panned.originX);
  // The press read the pixel under it at 2x: place (98, 98) past the origin.
  const int x = static_cast<int>(panned.ToAreaX(98));
  const int y = static_cast<int>(panned.ToAreaY(98));
  EXPECT_EQ(Readout().at(0), QString::number(test::CoordinateColor(x, y)));
}

TEST_F(Form1Zoom, ArrowKeysOnAChannelViewPanAndStopAtTheEdges) {
  Load(test::CoordinateImage(300, 300));
  Separate();
  ZoomTo(4.0);
  Key("Picture1", Qt::Key_Home);
  ZoomTo(4.0);
  Key("Picture3", Qt::Key_Right);
  EXPECT_GT(View("Picture1")->Mapping().originX, 0.0);
  for (int i = 0; i < 100; ++i) {
    Key("Picture3", Qt::Key_Down, Qt::ShiftModifier);
  }
  const ViewMapping m = View("Picture1")->Mapping();
  EXPECT_DOUBLE_EQ(m.ToAreaY(179), 300.0);           // the last row at the bottom edge
  EXPECT_EQ(Readout().at(0), QStringLiteral("10"));  // panning is no readout
}

TEST_F(Form1Zoom, ZoomedInEveryPixelIsACrispBlockOfItsOwnColour) {
  Load(test::CoordinateImage(150, 120));
  ZoomTo(4.0);
  Key("Picture1", Qt::Key_Home);
  test::Wheel(*View("Picture1"), {0, 0}, 3, Qt::ControlModifier);  // 4x around the top-left
  const QImage shown = View("Picture1")->grab().toImage();
  int wrong = 0;
  for (int y = 0; y < 44; ++y) {
    for (int x = 0; x < 46; ++x) {
      const ColorValue expected = test::CoordinateColor(x, y);
      for (int dy = 0; dy < 4; ++dy) {
        for (int dx = 0; dx < 4; ++dx) {
          const QRgb p = shown.pixel(2 + 4 * x + dx, 2 + 4 * y + dy);
          wrong += RGB(qRed(p), qGreen(p), qBlue(p)) != expected ? 1 : 0;
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(Form1Zoom, ASeparationKeepsTheZoomSoTheChannelsLieUnderTheSourceRegion) {
  Load(test::CoordinateImage(700, 650));
  ZoomTo(1.0);
  Key("Picture1", Qt::Key_Home);
  test::Wheel(*View("Picture1"), {150, 120}, 5, Qt::ControlModifier);
  const ViewMapping zoomed = View("Picture1")->Mapping();
  Separate();
  ExpectLinked();
  EXPECT_DOUBLE_EQ(View("Picture2")->Mapping().originX, zoomed.originX);
  const QImage source = View("Picture1")->grab().toImage();
  const QImage green = View("Picture3")->grab().toImage();
  for (const QPoint at : {QPoint(10, 10), QPoint(100, 90), QPoint(180, 170)}) {
    EXPECT_EQ(qGreen(green.pixel(at)), qGreen(source.pixel(at))) << at.x() << "," << at.y();
    EXPECT_EQ(qRed(green.pixel(at)), 0);
    EXPECT_EQ(qBlue(green.pixel(at)), 0);
  }
}

TEST_F(Form1Zoom, LoadingAPictureReturnsEveryViewToTheDefault) {
  Load(test::CoordinateImage(700, 650));
  Separate();
  ZoomTo(8.0);
  Key("Picture2", Qt::Key_Right);
  Load(test::CoordinateImage(50, 50));
  for (const char* name : kViews) {
    EXPECT_DOUBLE_EQ(View(name)->Mapping().originX, 0.0) << name;
  }
  EXPECT_DOUBLE_EQ(View("Picture1")->Mapping().scale, 1.0);
  // The channel views still hold the larger separation, shown whole as before.
  EXPECT_DOUBLE_EQ(View("Picture2")->Mapping().scale, 188.0 / 700.0);
}

TEST_F(Form1Zoom, ZoomedOutFramesShowTheAveragedPicture) {
  // Stripes one pixel wide average to grey at every zoom below 1:1.
  QImage stripes(2000, 1600, QImage::Format_RGB32);
  for (int x = 0; x < stripes.width(); ++x) {
    for (int y = 0; y < stripes.height(); ++y) {
      stripes.setPixel(x, y, x % 2 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
  }
  Load(stripes);
  Separate();
  while (View("Picture1")->Mapping().scale < 1.0) {
    const QImage shown = View("Picture1")->grab().toImage();
    const QImage blue = View("Picture4")->grab().toImage();
    // Stripes narrower than a screen pixel may beat; over a patch they must average out.
    double red = 0;
    double blueMean = 0;
    int blueInRed = 0;
    constexpr int kPatch = 40;
    for (int y = 60; y < 60 + kPatch; ++y) {
      for (int x = 60; x < 60 + kPatch; ++x) {
        red += qRed(shown.pixel(x, y));
        blueMean += qBlue(blue.pixel(x, y));
        blueInRed += qRed(blue.pixel(x, y));
      }
    }
    EXPECT_NEAR(red / (kPatch * kPatch), 127.5, 3)
        << "at scale " << View("Picture1")->Mapping().scale;
    EXPECT_NEAR(blueMean / (kPatch * kPatch), 127.5, 3);
    EXPECT_EQ(blueInRed, 0);
    Key("Picture1", Qt::Key_Plus);
  }
}

}  // namespace
}  // namespace irobunkai
