#pragma once

#include <QFrame>
#include <QImage>
#include <memory>
#include <optional>

#include "analysis/channel_histogram.h"
#include "views/mip_pyramid.h"
#include "views/picture_view.h"
#include "views/view_state.h"

namespace irobunkai {

/// A picture view on screen: a 2-pixel sunken frame around a drawable place that
/// paints its in-memory view. By default an area larger than the place is shown
/// whole, scaled down with its aspect ratio kept; views that share a ViewState zoom
/// and pan together. Call Refresh after changing the view.
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kBorder = 2;

  PictureBox(int placeWidth, int placeHeight, ColorValue backColor, QWidget* parent);
  ~PictureBox() override;
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  /// Joins the views that show `state`. A source view reads out on every press and
  /// moves the read pixel with the arrow keys; a channel view (showing `channel`)
  /// pans with a drag or the arrow keys.
  void Share(std::shared_ptr<ViewState> state, std::optional<Channel> channel);

  [[nodiscard]] PictureView& View() { return view_; }
  [[nodiscard]] const PictureView& View() const { return view_; }

  /// Remakes what is shown from the view.
  void Refresh();
  /// Remakes what is shown for a channel view whose planes came from `source`:
  /// a scaled channel image is the channel of the source's scaled image.
  void RefreshAsChannelOf(const PictureBox& source, Channel channel);

  /// The histogram of the plane this channel view shows, when the separation counted
  /// it; otherwise it is counted when first shown.
  void SetHistogram(std::optional<ChannelHistogram> histogram);

  /// Whether the default view shows the area one pixel per view pixel, rather than scaled down.
  [[nodiscard]] bool ShowsOneToOne() const;
  /// Logical pixels per area pixel in the default view where the area is scaled down; 1 otherwise.
  [[nodiscard]] double DisplayScale() const;
  /// Memory held for showing the view zoomed out.
  [[nodiscard]] std::size_t ZoomBytes() const { return pyramid_ ? pyramid_->Bytes() : 0; }
  /// How the place maps onto the area now.
  [[nodiscard]] ViewMapping Mapping() const;

 signals:
  /// A mouse press on the place, at (x, y) in pixels of the view's area. A press
  /// where the area doesn't reach gives a point beyond the area.
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
  /// An arrow key on a source view: move the read pixel by (dx, dy).
  void KeyDown(int dx, int dy);
  /// A channel view's menu is asked for, by the right button, the Menu key or
  /// Shift+F10, to open at `globalPos`.
  void ContextMenu(QPoint globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  [[nodiscard]] bool IsSource() const { return !channel_.has_value(); }
  [[nodiscard]] const MipPyramid& Pyramid() const;
  [[nodiscard]] ChannelLook Look() const;
  [[nodiscard]] bool ChannelKey(const QKeyEvent& event);
  void PaintPicture(QPainter& painter, const ViewMapping& mapping);
  void PaintOverlays(QPainter& painter, const ViewMapping& mapping);
  void PaintHistogramBand(QPainter& painter);
  void Reshown();

  PictureView view_;
  QImage shown_;
  std::shared_ptr<ViewState> state_;
  int subscription_ = -1;
  int pictureNumber_ = 0;  // of the source picture this view shows
  std::optional<Channel> channel_;
  // Built on the first frame that needs them; they belong to what is shown now.
  mutable std::optional<MipPyramid> pyramid_;
  std::optional<ChannelHistogram> histogram_;
  QImage greyShown_;
  const PictureBox* source_ = nullptr;  // the source view whose planes a channel view shows
  std::optional<QPointF> dragFrom_;
  int wheelZoom_ = 0;
};

}  // namespace irobunkai
