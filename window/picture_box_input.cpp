// What a picture view does with the mouse, the wheel and the arrow keys.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "window/picture_box.h"

namespace irobunkai {
namespace {

constexpr int kWheelNotch = 120;
constexpr double kWheelPan = 40.0;  // place pixels per notch
constexpr double kKeyPan = 32.0;
constexpr int kBigStep = 10;

struct Step {
  int dx = 0;
  int dy = 0;
};

std::optional<Step> ArrowStep(int key) {
  switch (key) {
    case Qt::Key_Left:
      return Step{-1, 0};
    case Qt::Key_Right:
      return Step{1, 0};
    case Qt::Key_Up:
      return Step{0, -1};
    case Qt::Key_Down:
      return Step{0, 1};
    default:
      return std::nullopt;
  }
}

}  // namespace

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QRectF place = contentsRect();
  const QPointF at = event->position();
  if (!place.contains(at)) {
    return;  // a press on the frame is not on the picture
  }
  if (!IsSource()) {
    if (event->button() == Qt::LeftButton) {
      dragFrom_ = at;
      setCursor(Qt::ClosedHandCursor);
    }
    return;
  }
  const ViewMapping mapping = Mapping();
  const QPointF inPlace = at - place.topLeft();
  emit MouseDown(event->button(), event->modifiers(),
                 static_cast<float>(mapping.ToAreaX(inPlace.x())),
                 static_cast<float>(mapping.ToAreaY(inPlace.y())));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_ || !(event->buttons() & Qt::LeftButton)) {
    return;
  }
  const QPointF delta = event->position() - *dragFrom_;
  dragFrom_ = event->position();
  document_->Views().PanBy(delta.x(), delta.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (dragFrom_ && event->button() == Qt::LeftButton) {
    dragFrom_.reset();
    unsetCursor();
  }
}

void PictureBox::wheelEvent(QWheelEvent* event) {
  event->accept();
  const QPoint delta = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    wheelZoom_ += delta.y() != 0 ? delta.y() : delta.x();
    const int steps = wheelZoom_ / kWheelNotch;
    wheelZoom_ -= steps * kWheelNotch;
    const QPointF at = event->position() - QPointF(contentsRect().topLeft());
    document_->Views().ZoomBy(steps, at.x(), at.y());
    return;
  }
  QPointF pan(delta.x(), delta.y());
  if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) {
    pan = QPointF(delta.y(), 0);  // Shift turns the wheel sideways
  }
  document_->Views().PanBy(pan.x() * kWheelPan / kWheelNotch, pan.y() * kWheelPan / kWheelNotch);
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
  if (IsSource()) {
    event->ignore();  // a press on the source view reads out; it has no menu
    return;
  }
  event->accept();
  emit ContextMenu(event->reason() == QContextMenuEvent::Mouse
                       ? event->globalPos()
                       : mapToGlobal(contentsRect().center()));
}

// The keys that act the same wherever the focus is are the window's commands; a view
// takes only the arrows, whose meaning is its own.
void PictureBox::keyPressEvent(QKeyEvent* event) {
  const auto step = ArrowStep(event->key());
  if (!step) {
    QFrame::keyPressEvent(event);
    return;
  }
  const int size = (event->modifiers() & Qt::ShiftModifier) ? kBigStep : 1;
  if (IsSource()) {
    emit KeyDown(step->dx * size, step->dy * size);
  } else {
    document_->Views().PanBy(-step->dx * kKeyPan * size, -step->dy * kKeyPan * size);
  }
}

}  // namespace irobunkai
