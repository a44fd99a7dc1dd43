#include "window/picture_box.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "window/display_image.h"
#include "window/frame_renderer.h"
#include "window/histogram_overlay.h"
#include "window/qt_colour.h"
#include "window/view_overlays.h"

namespace irobunkai {
namespace {

constexpr int kWheelNotch = 120;
constexpr double kWheelPan = 40.0;  // place pixels per notch
constexpr double kKeyPan = 32.0;
constexpr int kBigStep = 10;
constexpr int kToDefault = -1000;

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

QString ComponentText(const char* name, ColorValue value) {
  return QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(value);
}

}  // namespace

PictureBox::PictureBox(int placeWidth, int placeHeight, ColorValue backColor, QWidget* parent)
    : QFrame(parent), view_(placeWidth, placeHeight, backColor) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setLineWidth(kBorder);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(placeWidth + 2 * kBorder, placeHeight + 2 * kBorder);
  Refresh();
}

PictureBox::~PictureBox() {
  if (state_) {
    state_->Unsubscribe(subscription_);
  }
}

void PictureBox::Share(std::shared_ptr<ViewState> state, std::optional<Channel> channel) {
  if (state_) {
    state_->Unsubscribe(subscription_);
  }
  state_ = std::move(state);
  channel_ = channel;
  subscription_ = state_->Subscribe([this] { update(); });
  pictureNumber_ = state_->PictureNumber();
  update();
}

bool PictureBox::ShowsOneToOne() const {
  return view_.AreaWidth() <= view_.LayoutWidth() && view_.AreaHeight() <= view_.LayoutHeight();
}

double PictureBox::DisplayScale() const {
  return FitScale(view_.LayoutWidth(), view_.LayoutHeight(), view_.AreaWidth(), view_.AreaHeight());
}

ViewMapping PictureBox::Mapping() const {
  if (state_) {
    return state_->MappingFor(view_.AreaWidth(), view_.AreaHeight());
  }
  return {DisplayScale(), 0.0, 0.0};
}

void PictureBox::Reshown() {
  pyramid_.reset();
  histogram_.reset();
  greyShown_ = QImage();
  if (state_) {
    pictureNumber_ = state_->PictureNumber();
  }
  update();
}

void PictureBox::Refresh() {
  shown_ =
      ShowsOneToOne() ? RenderArea(view_) : ScaledArea(view_, DisplayScale(), devicePixelRatioF());
  Reshown();
}

void PictureBox::RefreshAsChannelOf(const PictureBox& source, Channel channel) {
  source_ = &source;
  if (ShowsOneToOne() || source.ShowsOneToOne()) {
    Refresh();
    return;
  }
  shown_ = ChannelOf(source.shown_, channel);
  Reshown();
}

void PictureBox::SetHistogram(std::optional<ChannelHistogram> histogram) {
  histogram_ = std::move(histogram);
  update();
}

const MipPyramid& PictureBox::Pyramid() const {
  if (pyramid_) {
    return *pyramid_;
  }
  const ChannelPlane* plane = view_.Plane();
  // A plane covering the whole area needs a byte per level pixel, not four.
  const bool planeOnly = plane != nullptr && channel_.has_value() && !view_.HasPixelsSet() &&
                         plane->Width() == view_.AreaWidth() &&
                         plane->Height() == view_.AreaHeight();
  if (!planeOnly) {
    pyramid_ = MipPyramid::OfView(view_);
  } else if (source_ != nullptr && source_->pictureNumber_ == pictureNumber_) {
    // The source still shows the picture these planes were split from: its levels
    // hold this channel already.
    pyramid_ = MipPyramid::ChannelOf(source_->Pyramid(), *channel_);
  } else {
    pyramid_ = MipPyramid::OfPlane(*plane);
  }
  return *pyramid_;
}

ChannelLook PictureBox::Look() const {
  // Only separated pixels change their look; a view's background stays as it is.
  return state_ && channel_ && view_.Plane() != nullptr ? state_->Look() : ChannelLook::Tinted;
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect place = contentsRect();
  painter.fillRect(place, ToQColor(view_.BackColor()));
  painter.setClipRect(place);
  painter.translate(place.topLeft());
  const ViewMapping mapping = Mapping();
  PaintPicture(painter, mapping);
  PaintOverlays(painter, mapping);
  painter.resetTransform();
  painter.setClipping(false);
  drawFrame(&painter);
}

void PictureBox::PaintPicture(QPainter& painter, const ViewMapping& mapping) {
  // No smoothing: zoomed in, each area pixel is one crisp block of device pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const ChannelLook look = Look();
  if (!state_ || state_->IsDefault()) {
    if (look == ChannelLook::Tinted) {
      painter.drawImage(QPointF(0, 0), shown_);
      return;
    }
    if (greyShown_.isNull()) {
      greyShown_ = shown_;
      ShowInLook(greyShown_, *channel_, look);
    }
    painter.drawImage(QPointF(0, 0), greyShown_);
    return;
  }
  Frame frame = RenderFrame(
      view_, mapping, {view_.LayoutWidth(), view_.LayoutHeight()}, devicePixelRatioF(),
      [this]() -> const MipPyramid& { return Pyramid(); }, channel_);
  if (!frame.image.isNull()) {
    if (channel_) {
      ShowInLook(frame.image, *channel_, look);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, frame.smooth);
    painter.drawImage(frame.target, frame.image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
}

void PictureBox::PaintOverlays(QPainter& painter, const ViewMapping& mapping) {
  if (!state_) {
    return;
  }
  const CellRange cells = mapping.VisibleCells(view_.LayoutWidth(), view_.LayoutHeight(),
                                               view_.AreaWidth(), view_.AreaHeight());
  if (mapping.scale >= kGridScale) {
    PaintPixelGrid(painter, mapping, cells);
  }
  if (IsSource() && mapping.scale >= ValueScale(QStringLiteral("R 255"), 3)) {
    PaintCellValues(painter, mapping, cells, [this](Cell cell) {
      const ColorValue c =
          view_.Point(static_cast<float>(cell.column), static_cast<float>(cell.row));
      return CellText{{ComponentText("R", RedOf(c)), ComponentText("G", GreenOf(c)),
                       ComponentText("B", BlueOf(c))},
                      c};
    });
  } else if (!IsSource() && view_.Plane() != nullptr &&
             mapping.scale >= ValueScale(QStringLiteral("255"), 1)) {
    PaintCellValues(painter, mapping, cells, [this](Cell cell) {
      const ColorValue c =
          view_.Point(static_cast<float>(cell.column), static_cast<float>(cell.row));
      return CellText{{QString::number(ComponentOf(*channel_, c))}, c};
    });
  }
  PaintHistogramBand(painter);
  const auto mark = state_->MarkOn(pictureNumber_);
  if (mark && mark->column < view_.AreaWidth() && mark->row < view_.AreaHeight()) {
    PaintMark(painter, mapping, *mark);
  }
}

void PictureBox::PaintHistogramBand(QPainter& painter) {
  const ChannelPlane* plane = view_.Plane();
  if (!channel_ || plane == nullptr || !state_->ShowsHistograms()) {
    return;
  }
  if (!histogram_) {
    histogram_ = CountPlane(*plane);  // first shown: counted once per separation
  }
  PaintHistogram(
      painter, QRectF(0, 0, view_.LayoutWidth(), view_.LayoutHeight()), *histogram_, *channel_,
      state_->LogarithmicHistograms() ? HistogramScale::Logarithmic : HistogramScale::Linear);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QRectF place = contentsRect();
  const QPointF at = event->position();
  if (!place.contains(at)) {
    return;  // a press on the frame is not on the picture
  }
  if (!IsSource()) {
    if (event->button() == Qt::LeftButton && state_) {
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
  state_->PanBy(delta.x(), delta.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (dragFrom_ && event->button() == Qt::LeftButton) {
    dragFrom_.reset();
    unsetCursor();
  }
}

void PictureBox::wheelEvent(QWheelEvent* event) {
  if (!state_) {
    QFrame::wheelEvent(event);
    return;
  }
  event->accept();
  const QPoint delta = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    wheelZoom_ += delta.y() != 0 ? delta.y() : delta.x();
    const int steps = wheelZoom_ / kWheelNotch;
    wheelZoom_ -= steps * kWheelNotch;
    const QPointF at = event->position() - QPointF(contentsRect().topLeft());
    state_->ZoomBy(steps, at.x(), at.y());
    return;
  }
  QPointF pan(delta.x(), delta.y());
  if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) {
    pan = QPointF(delta.y(), 0);  // Shift turns the wheel sideways
  }
  state_->PanBy(pan.x() * kWheelPan / kWheelNotch, pan.y() * kWheelPan / kWheelNotch);
}

bool PictureBox::ChannelKey(const QKeyEvent& event) {
  if (IsSource()) {
    return false;
  }
  const int key = event.key();
  const bool plain = (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (key == Qt::Key_G && plain) {
    state_->SetLook(state_->Look() == ChannelLook::Grey ? ChannelLook::Tinted : ChannelLook::Grey);
  } else if (key == Qt::Key_H && plain) {
    state_->ShowHistograms(!state_->ShowsHistograms());
  } else if (key == Qt::Key_L && plain) {
    state_->SetLogarithmicHistograms(!state_->LogarithmicHistograms());
  } else if ((key == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier) ||
             key == Qt::Key_Menu) {
    emit ContextMenu(mapToGlobal(contentsRect().center()));
  } else {
    return false;
  }
  return true;
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
  if (IsSource() || !state_) {
    event->ignore();  // a press on the source view reads out; it has no menu
    return;
  }
  event->accept();
  emit ContextMenu(event->reason() == QContextMenuEvent::Mouse
                       ? event->globalPos()
                       : mapToGlobal(contentsRect().center()));
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  if (!state_) {
    QFrame::keyPressEvent(event);
    return;
  }
  if (ChannelKey(*event)) {
    return;
  }
  const int key = event->key();
  if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
    state_->ZoomBy(1);
  } else if (key == Qt::Key_Minus) {
    state_->ZoomBy(-1);
  } else if (key == Qt::Key_0 || key == Qt::Key_Home) {
    state_->ZoomBy(kToDefault);
  } else if (const auto step = ArrowStep(key)) {
    const int size = (event->modifiers() & Qt::ShiftModifier) ? kBigStep : 1;
    if (IsSource()) {
      emit KeyDown(step->dx * size, step->dy * size);
    } else {
      state_->PanBy(-step->dx * kKeyPan * size, -step->dy * kKeyPan * size);
    }
  } else {
    QFrame::keyPressEvent(event);
  }
}

}  // namespace irobunkai
