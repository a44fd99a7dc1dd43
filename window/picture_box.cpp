#include "window/picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "window/display_image.h"
#include "window/qt_colour.h"

namespace irobunkai {

PictureBox::PictureBox(int placeWidth, int placeHeight, ColorValue backColor, QWidget* parent)
    : QFrame(parent), view_(placeWidth, placeHeight, backColor) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setLineWidth(kBorder);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(placeWidth + 2 * kBorder, placeHeight + 2 * kBorder);
  Refresh();
}

bool PictureBox::ShowsOneToOne() const {
  return view_.AreaWidth() <= view_.LayoutWidth() && view_.AreaHeight() <= view_.LayoutHeight();
}

double PictureBox::DisplayScale() const {
  if (ShowsOneToOne()) {
    return 1.0;
  }
  return std::min(static_cast<double>(view_.LayoutWidth()) / view_.AreaWidth(),
                  static_cast<double>(view_.LayoutHeight()) / view_.AreaHeight());
}

void PictureBox::Refresh() {
  shown_ =
      ShowsOneToOne() ? RenderArea(view_) : ScaledArea(view_, DisplayScale(), devicePixelRatioF());
  update();
}

void PictureBox::RefreshAsChannelOf(const PictureBox& source, Channel channel) {
  if (ShowsOneToOne() || source.ShowsOneToOne()) {
    Refresh();
    return;
  }
  shown_ = ChannelOf(source.shown_, channel);
  update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect place = contentsRect();
  painter.fillRect(place, ToQColor(view_.BackColor()));
  painter.setClipRect(place);
  // No smoothing: at 1:1 each area pixel is one block of device pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(place.topLeft(), shown_);
  painter.setClipping(false);
  drawFrame(&painter);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QRectF place = contentsRect();
  const QPointF at = event->position();
  if (!place.contains(at)) {
    return;  // a press on the frame is not on the picture
  }
  const QPointF inArea = (at - place.topLeft()) / DisplayScale();
  emit MouseDown(event->button(), event->modifiers(), static_cast<float>(inArea.x()),
                 static_cast<float>(inArea.y()));
}

}  // namespace irobunkai
