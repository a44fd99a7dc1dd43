#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "form1_views_fixture.h"
#include "tests/formats/dng_writer.h"

namespace irobunkai {
namespace {

constexpr ColorValue kPreviewColour = 0x00336699;

class Form1FirstSight : public test::Form1Views {
 protected:
  // A camera raw file whose embedded preview is one plain colour, unlike its picture.
  QString WriteRaw(bool withPreview) {
    test::Dng dng;
    dng.width = 400;
    dng.height = 300;
    dng.black = 64;
    dng.white = 64 + 255 * 16;
    test::Expose(dng, [](int x, int) { return std::array{160, 100 + x % 50, 60}; });
    if (withPreview) {
      test::DngPreview preview{.width = 40, .height = 30, .bytes = {}, .jpeg = false};
      for (int i = 0; i < 40 * 30; ++i) {
        preview.bytes.insert(preview.bytes.end(), {0x99, 0x66, 0x33});
      }
      dng.previews.push_back(std::move(preview));
    }
    const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
    return test::WriteBytes(
        dir, withPreview ? QStringLiteral("preview.dng") : QStringLiteral("bare.dng"),
        QByteArray(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qsizetype>(bytes.size())));
  }
  // Runs `act` on the window the moment it shows a first sight, before anything else
  // can happen; records what the document announced.
  void WhenFirstSightShown(const std::function<void()>& act) {
    subscription = form.Shown().Subscribe([this, act](Document::Change change) {
      heard.push_back(change);
      if (change == Document::Change::FirstSight && form.Shown().ShownFirstSight()) {
        sightGrab = View("Picture1")->grab().toImage();
        act();
      }
    });
  }
  void TearDown() override { form.Shown().Unsubscribe(subscription); }

  int subscription = -1;
  std::vector<Document::Change> heard;
  QImage sightGrab;
};

TEST_F(Form1FirstSight, ThePreviewIsShownFirstAndAPressWaitsForTheExactPicture) {
  const QString path = WriteRaw(true);
  WhenFirstSightShown([this] {
    // In the first sight's place, at the exact picture's pixel (100, 50).
    const double fit = View("Picture1")->Mapping().scale;
    EXPECT_DOUBLE_EQ(fit, 188.0 / 400.0);
    QTest::mouseClick(View("Picture1"), Qt::LeftButton, {},
                      QPoint(2 + static_cast<int>(100.5 * fit), 2 + static_cast<int>(50.5 * fit)));
    QTest::mouseClick(test::Child<QWidget>(form, "Command1"), Qt::LeftButton);
    EXPECT_FALSE(form.Shown().LastReadout()) << "nothing is read from a first sight";
    EXPECT_FALSE(form.Shown().IsSeparated());
  });
  form.LoadIntoPicture1(path);
  test::WaitIdle(form);
  ASSERT_FALSE(sightGrab.isNull()) << "no first sight was shown";
  const QRgb sight = sightGrab.pixel(2 + 90, 2 + 60);
  EXPECT_EQ(RGB(qRed(sight), qGreen(sight), qBlue(sight)), kPreviewColour);
  ASSERT_FALSE(form.Shown().ShownFirstSight());
  EXPECT_EQ(form.Shown().Origin().path, path.toStdString());
  // The press and the separation were made on the exact picture when it came.
  ASSERT_TRUE(form.Shown().LastReadout());
  const irobunkai::Readout& readout = *form.Shown().LastReadout();
  // The cell under the press in the first sight's place, which shows the exact area.
  const auto cellUnder = [](double at) {
    const double fit = 188.0 / 400.0;
    return static_cast<int>(std::floor(std::floor(at * fit) / fit));
  };
  EXPECT_EQ(readout.cell, (Cell{cellUnder(100.5), cellUnder(50.5)}));
  EXPECT_EQ(readout.color, form.Shown().Source().Point(static_cast<float>(readout.cell.column),
                                                       static_cast<float>(readout.cell.row)));
  EXPECT_NE(readout.color, kPreviewColour);
  EXPECT_EQ(Readout().at(0), QString::number(readout.color));
  EXPECT_TRUE(form.Shown().IsSeparated());
  EXPECT_EQ(form.Shown().SeparatedPicture(), form.Shown().PictureNumber());
  EXPECT_NE(test::GrabbedColor(*View("Picture1"), {2 + 90, 2 + 60}), kPreviewColour);
}

TEST_F(Form1FirstSight, EscapeOnAFirstSightBringsThePictureBackAndForgetsThePress) {
  const QImage before = View("Picture1")->grab().toImage();
  const int number = form.Shown().PictureNumber();
  WhenFirstSightShown([this] {
    QTest::mouseClick(View("Picture1"), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::keyClick(View("Picture1"), Qt::Key_Escape);
  });
  form.LoadIntoPicture1(WriteRaw(true));
  test::WaitIdle(form);
  QTest::qWait(100);
  ASSERT_FALSE(sightGrab.isNull());
  EXPECT_FALSE(form.Shown().ShownFirstSight());
  EXPECT_EQ(form.Shown().PictureNumber(), number);
  EXPECT_EQ(View("Picture1")->grab().toImage(), before);
  EXPECT_FALSE(form.Shown().LastReadout());
}

TEST_F(Form1FirstSight, AFileWithoutAPreviewGoesStraightToItsPicture) {
  WhenFirstSightShown([] {});
  ASSERT_TRUE(test::Open(form, WriteRaw(false)));
  EXPECT_TRUE(sightGrab.isNull());
  EXPECT_EQ(std::count(heard.begin(), heard.end(), Document::Change::FirstSight), 0);
}

}  // namespace
}  // namespace irobunkai
