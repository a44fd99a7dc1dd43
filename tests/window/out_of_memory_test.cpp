// Running short of memory with a picture that loads: error 7, and the program goes on
// with the picture and views as they were.
#include <gtest/gtest.h>

#include <QTest>

#include "failing_allocator.h"
#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;

class Form1OutOfMemory : public test::Form1Views {
 protected:
  static QImage Grab(QWidget* view) { return view->grab().toImage(); }
  // Allocations of a megabyte fail: enough for the window, not for a picture's planes
  // or zoom levels.
  static constexpr std::size_t kLimit = 1'000'000;
};

TEST_F(Form1OutOfMemory, ASeparationWithoutMemoryIsErrorSevenAndTheViewsStay) {
  Load(test::CoordinateImage(300, 200), QStringLiteral("small.png"));
  Separate();
  Load(test::CoordinateImage(2000, 1500), QStringLiteral("large.png"));
  const QImage green = Grab(View("Picture3"));
  {
    const test::AllocationLimit limit(kLimit);
    const test::ModalAnswerer answerer;
    Separate();
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("エラー 7")));
    EXPECT_FALSE(answerer.Texts().at(0).contains(QStringLiteral("実行時エラー")));
  }
  EXPECT_EQ(Grab(View("Picture3")), green);
  EXPECT_EQ(View("Picture3")->View().ScaleWidth(), 300.0F);
  // The program goes on: a press reads out, and with memory to spare it separates.
  QTest::mouseClick(View("Picture1"), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(Readout().at(2), QStringLiteral("0"));
  Separate();
  EXPECT_EQ(View("Picture3")->View().ScaleWidth(), 2000.0F);
}

TEST_F(Form1OutOfMemory, AModelWithoutMemoryForItsZoomLevelsIsErrorSevenAndNothingChanges) {
  Load(test::CoordinateImage(3000, 2000));
  Separate();
  const QImage red = Grab(View("Picture2"));
  {
    // Enough for the menu, not for the components' zoom levels.
    const test::AllocationLimit limit(200'000);
    const test::ModalAnswerer answerer;
    ChooseInModelMenu("Picture2", "ModelActionHSV");
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("エラー 7")));
  }
  EXPECT_EQ(form.Shown().Separated().model, ColourModel::RGB);
  EXPECT_EQ(Grab(View("Picture2")), red);
  ChooseInModelMenu("Picture2", "ModelActionHSV");
  EXPECT_EQ(form.Shown().Separated().model, ColourModel::HSV);
}

TEST_F(Form1OutOfMemory, APictureWithoutMemoryForItsZoomLevelsIsNotShown) {
  Load(test::CoordinateImage(100, 80));
  const QImage before = Grab(View("Picture1"));
  const QString large =
      test::WriteImage(dir, "large.png", test::CoordinateImage(3000, 2000), "png");
  {
    const test::AllocationLimit limit(kLimit);
    const test::ModalAnswerer answerer;
    EXPECT_FALSE(test::Open(form, large));
    ASSERT_EQ(answerer.Texts().size(), 1);
    EXPECT_TRUE(answerer.Texts().at(0).contains(QStringLiteral("エラー 7")));
  }
  EXPECT_EQ(Grab(View("Picture1")), before);
  EXPECT_EQ(View("Picture1")->View().ScaleWidth(), 188.0F);
}

TEST_F(Form1OutOfMemory, ZoomingBuildsNothingThatGrowsWithThePicture) {
  Load(test::CoordinateImage(3000, 2000));
  Separate();
  const test::AllocationLimit limit(kLimit);
  const test::ModalAnswerer answerer;
  for (int step = 0; step < 8; ++step) {
    Key("Picture2", Qt::Key_Plus);
    for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
      View(name)->repaint();
    }
  }
  EXPECT_TRUE(answerer.Texts().isEmpty());
  EXPECT_GT(View("Picture1")->Mapping().scale, 1.0);
}

}  // namespace
}  // namespace irobunkai
