#include "gui_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>
#include <QWheelEvent>

namespace irobunkai::test {

void Show(QWidget& window) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
}

ColorValue GrabbedColor(QWidget& widget, QPoint at) {
  const QImage image = widget.grab().toImage();
  const QRgb p = image.pixel(at * image.devicePixelRatio());
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

QImage SampleImage() {
  QImage sample(QStringLiteral(IROBUNKAI_SOURCE_DIR "/assets/sample.gif"));
  EXPECT_EQ(sample.size(), QSize(188, 179));
  return sample.convertToFormat(QImage::Format_RGB32);
}

QString WriteImage(const QTemporaryDir& dir, const QString& name, const QImage& image,
                   const char* format, int quality) {
  const QString path = dir.filePath(name);
  QImageWriter writer(path, format);
  writer.setQuality(quality);
  EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
  return path;
}

QString WriteBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

ColorValue CoordinateColor(int x, int y) { return RGB(x % 256, y % 256, 16 * (x / 256) + y / 256); }

QImage CoordinateImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const ColorValue c = CoordinateColor(x, y);
      image.setPixel(x, y, qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
    }
  }
  return image;
}

void Wheel(QWidget& view, QPoint place, int notches, Qt::KeyboardModifiers modifiers) {
  const QPointF at = place + QPoint(2, 2);  // inside the 2-pixel frame
  QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &event);
}

ModalAnswerer::ModalAnswerer(std::function<void(QWidget*)> answer) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      return;
    }
    if (const auto* box = qobject_cast<QMessageBox*>(modal)) {
      texts_.append(box->text());
    } else {
      texts_.append(modal->windowTitle());
    }
    if (answer) {
      answer(modal);
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->accept();
    }
  });
  timer_.start();
}

}  // namespace irobunkai::test
