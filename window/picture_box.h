#pragma once

#include <QFrame>
#include <QImage>

#include "views/picture_view.h"

namespace irobunkai {

/// A picture view on screen: a 2-pixel sunken frame around a drawable place that
/// paints its in-memory view. An area larger than the place is shown whole, scaled
/// down with its aspect ratio kept. Call Refresh after changing the view.
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kBorder = 2;

  PictureBox(int placeWidth, int placeHeight, ColorValue backColor, QWidget* parent);

  [[nodiscard]] PictureView& View() { return view_; }
  [[nodiscard]] const PictureView& View() const { return view_; }

  /// Remakes what is shown from the view.
  void Refresh();
  /// Remakes what is shown for a channel view whose planes came from `source`:
  /// a scaled channel image is the channel of the source's scaled image.
  void RefreshAsChannelOf(const PictureBox& source, Channel channel);

  /// Whether the area is shown one pixel per view pixel, rather than scaled down.
  [[nodiscard]] bool ShowsOneToOne() const;
  /// Logical pixels per area pixel where the area is scaled down; 1 otherwise.
  [[nodiscard]] double DisplayScale() const;

 signals:
  /// A mouse press on the place, at (x, y) in pixels of the view's area. A press
  /// where a scaled-down area doesn't reach gives a point beyond the area.
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PictureView view_;
  QImage shown_;
};

}  // namespace irobunkai
