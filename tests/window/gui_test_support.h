#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "colour/color_value.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace irobunkai::test {

/// The widget of `form` with Qt object name `name`; fails the test if missing.
template <typename T>
T* Child(const QWidget& form, const char* name) {
  T* child = form.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) {
    ADD_FAILURE() << "no control named " << name;
  }
  return child;
}

/// Shows `window` and waits until it is on screen.
void Show(QWidget& window);

/// The colour of one pixel of a widget as it paints itself.
ColorValue GrabbedColor(QWidget& widget, QPoint at);

/// The built-in sample picture, decoded independently of the program's loader.
QImage SampleImage();

/// Writes `image` into `dir` as `name` in `format`; returns the path.
QString WriteImage(const QTemporaryDir& dir, const QString& name, const QImage& image,
                   const char* format, int quality = -1);

/// Writes raw bytes into `dir` as `name`; returns the path.
QString WriteBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);

/// A picture whose every pixel tells its own position: R = x % 256, G = y % 256,
/// B = 16 * (x / 256) + y / 256.
QImage CoordinateImage(int width, int height);
ColorValue CoordinateColor(int x, int y);

/// Turns the mouse wheel by `notches` over a picture view at a point of its place.
void Wheel(QWidget& view, QPoint place, int notches, Qt::KeyboardModifiers modifiers = {});

/// Until it is destroyed, answers every modal dialog that opens (message boxes,
/// file dialogs) with `answer`, after recording the dialog's text.
class ModalAnswerer {
 public:
  /// By default a dialog is closed with its default answer (OK for a message box).
  explicit ModalAnswerer(std::function<void(QWidget* dialog)> answer = {});

  [[nodiscard]] const QStringList& Texts() const { return texts_; }

 private:
  QTimer timer_;
  QStringList texts_;
};

}  // namespace irobunkai::test
