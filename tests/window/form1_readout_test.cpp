#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "form1_views_fixture.h"
#include "gui_test_support.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

using test::Child;

class Form1Readout : public test::Form1Views {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Form1Views::SetUp());
    source = Child<PictureBox>(form, "Picture1");
  }

  // Clicks the source view at a point of its drawable place.
  void PressAt(QPoint place, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers shift = {}) {
    QTest::mousePress(source, button, shift, place + QPoint(2, 2));
    QTest::mouseRelease(source, button, shift, place + QPoint(2, 2));
  }

  void LoadPicture(const QImage& image) { Load(image); }

  PictureBox* source = nullptr;
};

TEST_F(Form1Readout, AnyButtonWithAnyModifiersReadsThePixelUnderThePointer) {
  QImage image(3, 1, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(255, 255, 255));
  image.setPixel(1, 0, qRgb(0, 0, 0));
  image.setPixel(2, 0, qRgb(255, 192, 255));
  LoadPicture(image);
  EXPECT_EQ(Readout(), QStringList({"10", "16", "R", "G", "B"}));

  PressAt({0, 0}, Qt::LeftButton);
  EXPECT_EQ(Readout(), QStringList({"16777215", "FFFFFF", "255", "255", "255"}));
  PressAt({1, 0}, Qt::RightButton, Qt::ShiftModifier);
  EXPECT_EQ(Readout(), QStringList({"0", "0", "0", "0", "0"}));
  PressAt({2, 0}, Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Readout(), QStringList({"16761087", "FFC0FF", "255", "192", "255"}));
  // Where the picture doesn't reach, the red background is read.
  PressAt({100, 100}, Qt::LeftButton);
  EXPECT_EQ(Readout(), QStringList({"255", "FF", "255", "0", "0"}));
}

TEST_F(Form1Readout, DraggingReleasingOrPressingOnTheFrameReadsNothing) {
  QTest::mousePress(source, Qt::LeftButton, {}, QPoint(52, 52));
  const QStringList pressed = Readout();
  QTest::mouseMove(source, QPoint(120, 30));
  QTest::mouseMove(source, QPoint(3, 170));
  QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(3, 170));
  EXPECT_EQ(Readout(), pressed);
  // On the border; QTest takes a null point to mean the widget's centre.
  QTest::mousePress(source, Qt::LeftButton, {}, QPoint(1, 0));
  QTest::mouseRelease(source, Qt::LeftButton, {}, QPoint(1, 0));
  EXPECT_EQ(Readout(), pressed);
}

TEST_F(Form1Readout, ReadsTheSampleBeforeAnySeparation) {
  const QImage sample = test::SampleImage();
  for (const QPoint at : {QPoint(0, 0), QPoint(94, 90), QPoint(187, 178)}) {
    PressAt(at);
    const QRgb p = sample.pixel(at);
    const ColorValue c = RGB(qRed(p), qGreen(p), qBlue(p));
    EXPECT_EQ(Readout().at(0), QString::number(c)) << at.x() << "," << at.y();
    EXPECT_EQ(Readout().at(3), QString::number(qGreen(p)));
  }
}

TEST_F(Form1Readout, AGrownPictureReadsItsOwnPixelsNeverABlend) {
  // 940 x 358 is shown at a fifth of its size: 188 x 71.6 of the 188 x 179 place.
  LoadPicture(test::CoordinateImage(940, 358));
  ASSERT_FALSE(source->ShowsOneToOne());
  EXPECT_DOUBLE_EQ(source->DisplayScale(), 0.2);
  for (const QPoint at : {QPoint(0, 0), QPoint(1, 1), QPoint(100, 33), QPoint(187, 71)}) {
    PressAt(at);
    const ColorValue expected = test::CoordinateColor(at.x() * 5, at.y() * 5);
    EXPECT_EQ(Readout().at(0), QString::number(expected)) << at.x() << "," << at.y();
  }
  PressAt({100, 150});  // below the scaled picture: the background shown there
  EXPECT_EQ(Readout(), QStringList({"255", "FF", "255", "0", "0"}));
}

TEST_F(Form1Readout, SeparationLeavesTheReadoutOnTheSource) {
  QImage image(1, 1, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(1, 2, 3));
  LoadPicture(image);
  QTest::mouseClick(Child<QWidget>(form, "Command1"), Qt::LeftButton);
  PressAt({0, 0});
  EXPECT_EQ(Readout(), QStringList({"197121", "30201", "1", "2", "3"}));
}

}  // namespace
}  // namespace irobunkai
