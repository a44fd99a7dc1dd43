#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "form1_views_fixture.h"
#include "form1_waiting.h"
#include "gui_test_support.h"
#include "window/error_reports.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

using test::Child;

QImage Solid(int width, int height, QRgb color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

// Runs the event loop until the program ends it, or a few seconds pass.
int RunUntilEnd() {
  QTimer::singleShot(5000, [] { QCoreApplication::exit(-99); });
  return QApplication::exec();
}

class Form1Files : public test::Form1Views {
 protected:
  // Presses a button and waits for what it started in the background.
  void Press(const char* name) {
    QTest::mouseClick(Child<QWidget>(form, name), Qt::LeftButton);
    test::WaitIdle(form);
  }

  // Everything the window shows that a load must leave alone or change.
  [[nodiscard]] QImage Shown(const char* name) const {
    return Child<QWidget>(form, name)->grab().toImage();
  }
};

TEST_F(Form1Files, ThePickedPictureReplacesTheSourceAndNothingElse) {
  QTest::mouseClick(Child<QWidget>(form, "Picture1"), Qt::LeftButton, {}, QPoint(50, 50));
  Press("Command1");
  const QString readout = Child<QLabel>(form, "Label1")->text();
  const QImage red = Shown("Picture2");
  chosen = test::WriteImage(dir, "green.png", Solid(5, 4, qRgb(0, 128, 0)), "png");
  Press("Command3");
  const auto& view = Child<PictureBox>(form, "Picture1")->View();
  EXPECT_EQ(view.Point(4, 3), RGB(0, 128, 0));
  EXPECT_EQ(view.Point(5, 3), RGB(255, 0, 0));  // beyond it, the background
  EXPECT_EQ(test::GrabbedColor(*Child<QWidget>(form, "Picture1"), {2 + 4, 2 + 3}), RGB(0, 128, 0));
  EXPECT_EQ(Child<QLabel>(form, "Label1")->text(), readout);
  EXPECT_EQ(Shown("Picture2"), red);
}

TEST_F(Form1Files, CancelChangesNothing) {
  const QImage before = Shown("Picture1");
  chosen.clear();
  Press("Command3");
  EXPECT_EQ(Shown("Picture1"), before);
  EXPECT_EQ(Child<PictureBox>(form, "Picture1")->View().Picture().Width(), 188);
}

TEST_F(Form1Files, EachBadFileIsReportedAndThePictureKept) {
  chosen = test::WriteImage(dir, "first.png", Solid(30, 30, qRgb(9, 8, 7)), "png");
  Press("Command3");
  const QImage before = Shown("Picture1");
  const RgbaPixel* pixels = Child<PictureBox>(form, "Picture1")->View().Picture().Data();
  const std::pair<QString, int> bad[] = {
      {dir.filePath("nowhere.png"), 53},
      {dir.path(), 75},
      {test::WriteBytes(dir, "broken.gif", "GIF89a\x10\x00"), 481},
  };
  for (const auto& [path, number] : bad) {
    const test::ModalAnswerer answerer;
    chosen = path;
    Press("Command3");
    ASSERT_EQ(answerer.Texts().size(), 1) << path.toStdString();
    const QString text = answerer.Texts().front();
    EXPECT_TRUE(text.contains(QStringLiteral("エラー %1").arg(number))) << text.toStdString();
    EXPECT_TRUE(text.contains(QFileInfo(path).fileName())) << text.toStdString();
    EXPECT_EQ(Shown("Picture1"), before);
    EXPECT_EQ(Child<PictureBox>(form, "Picture1")->View().Picture().Data(), pixels);
  }
}

TEST_F(Form1Files, TheRealOpenDialogLoadsTheChoiceAndItsCancelKeepsThePicture) {
  Form1 real;  // with the platform's own open-file dialog
  ASSERT_NO_FATAL_FAILURE(test::Show(real));
  const QString path = test::WriteImage(dir, "blue.png", Solid(3, 3, qRgb(0, 0, 200)), "png");
  {
    const test::ModalAnswerer answerer([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) {  // nothing else may open; close it so the test can't hang
        ADD_FAILURE() << "unexpected " << modal->metaObject()->className();
        qobject_cast<QDialog*>(modal)->reject();
        return;
      }
      EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
      EXPECT_TRUE(dialog->nameFilters().join("").contains("*")) << "no filter of our own";
      // Typed whole into the name box, as a user would: a bare name would be taken
      // relative to whatever folder the dialog is still busy opening.
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      name->setText(path);
      static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(Child<QWidget>(real, "Command3"), Qt::LeftButton);
    test::WaitIdle(real);
    EXPECT_EQ(answerer.Texts().size(), 1);
  }
  EXPECT_EQ(Child<PictureBox>(real, "Picture1")->View().Point(2, 2), RGB(0, 0, 200));
  {
    const test::ModalAnswerer answerer(
        [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    QTest::mouseClick(Child<QWidget>(real, "Command3"), Qt::LeftButton);
    test::WaitIdle(real);
    EXPECT_EQ(answerer.Texts().size(), 1);
  }
  EXPECT_EQ(Child<PictureBox>(real, "Picture1")->View().Point(2, 2), RGB(0, 0, 200));
}

TEST_F(Form1Files, ADroppedFileLoadsAsTheSelectButtonWouldWithItsErrors) {
  const auto drop = [this](const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&form, &dropped);
    test::WaitIdle(form);
  };
  drop(test::WriteImage(dir, "dropped.png", Solid(2, 2, qRgb(1, 200, 3)), "png"));
  const auto& view = Child<PictureBox>(form, "Picture1")->View();
  EXPECT_EQ(view.Point(1, 1), RGB(1, 200, 3));
  const test::ModalAnswerer answerer;
  drop(test::WriteBytes(dir, "dropped.jpg", "not a picture"));
  ASSERT_EQ(answerer.Texts().size(), 1);
  EXPECT_TRUE(answerer.Texts().front().contains(QStringLiteral("エラー 481")));
  EXPECT_EQ(view.Point(1, 1), RGB(1, 200, 3));

  QMimeData text;
  text.setText("just words");
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &text, Qt::LeftButton, {});
  QApplication::sendEvent(&form, &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(Form1Files, TheEndButtonEndsTheProgram) {
  QTimer::singleShot(0, [this] { Press("Command2"); });
  EXPECT_EQ(RunUntilEnd(), 0);
}

TEST_F(Form1Files, TheCloseBoxEndsTheProgram) {
  QTimer::singleShot(0, [this] { form.close(); });
  EXPECT_EQ(RunUntilEnd(), 0);
}

TEST_F(Form1Files, AFaultInsideAHandlerIsReportedWithItsNumberAndEndsTheProgram) {
  const test::ModalAnswerer answerer;
  QTimer::singleShot(
      0, [this] { RunHandler(&form, [] { throw std::logic_error("broken invariant"); }); });
  EXPECT_EQ(RunUntilEnd(), 51);
  ASSERT_EQ(answerer.Texts().size(), 1);
  EXPECT_TRUE(answerer.Texts().front().contains("51"));
  EXPECT_TRUE(answerer.Texts().front().contains("broken invariant"));
}

}  // namespace
}  // namespace irobunkai
