#pragma once

#include <QFrame>
#include <memory>
#include <optional>

#include "document/document.h"
#include "render/display_colours.h"
#include "views/view_state.h"

namespace irobunkai {

/// A picture view on screen: a 2-pixel sunken frame around a drawable place that
/// paints one view of the document, the source or a channel. By default an area
/// larger than the place is shown whole, scaled down with its aspect ratio kept; the
/// views zoom and pan together through the shared view state. It takes input and
/// paints; what it shows, and how, lives in the document.
class PictureBox : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kBorder = 2;

  /// Shows the source view of `document`, or the view of `channel`. A source view
  /// reads out on every press and moves the read pixel with the arrow keys; a
  /// channel view pans with a drag or the arrow keys.
  PictureBox(std::shared_ptr<Document> document, std::optional<Channel> channel, QWidget* parent);
  ~PictureBox() override;
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  /// The in-memory view this box shows.
  [[nodiscard]] const PictureView& View() const;

  /// Whether the default view shows the area one pixel per view pixel, rather than scaled down.
  [[nodiscard]] bool ShowsOneToOne() const;
  /// Logical pixels per area pixel in the default view where the area is scaled down; 1 otherwise.
  [[nodiscard]] double DisplayScale() const;
  /// How the place maps onto the area now.
  [[nodiscard]] ViewMapping Mapping() const;

  /// What the view's top-left corner says: in a model other than RGB a channel view's
  /// component, with its value at the read pixel; the source view's kept components
  /// while any is switched off. Empty when nothing is said.
  [[nodiscard]] QString CornerCaption() const;
  /// What a channel view writes inside a pixel of its plane at high zoom: the
  /// component's value there, in the model's units.
  [[nodiscard]] QString ValueText(Cell cell) const;

  /// The display painted on: frames are brought from their colour space to it.
  void SetDisplay(std::shared_ptr<const DisplayColours> display);

 signals:
  /// A mouse press on the place, at (x, y) in pixels of the view's area. A press
  /// where the area doesn't reach gives a point beyond the area.
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
  /// An arrow key on a source view: move the read pixel by (dx, dy).
  void KeyDown(int dx, int dy);
  /// The platform asks for a channel view's menu (the right button), to open at
  /// `globalPos`; the menu keys are the window's.
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
  // The first sight a source view shows in place of its picture, or nullptr.
  [[nodiscard]] const FirstSight* ShownFirstSight() const;
  [[nodiscard]] ChannelLook Look() const;
  void PaintPicture(QPainter& painter, const ViewMapping& mapping) const;
  void PaintOverlays(QPainter& painter, const ViewMapping& mapping) const;
  void PaintHistogramBand(QPainter& painter) const;
  void PaintInkWarning(QPainter& painter, const ViewMapping& mapping) const;
  // How painted pixels reach the display: through the press when proofing the source.
  [[nodiscard]] const FrameConversion* Conversion() const;
  // The model component a channel view shows: 0, 1 or 2.
  [[nodiscard]] int Component() const;
  [[nodiscard]] double SeparatedValueAt(Cell cell) const;
  // The space of the colours a frame shows: the picture's own, but for the models' looks.
  [[nodiscard]] std::shared_ptr<const ColourProfile> FrameSpace() const;

  std::shared_ptr<Document> document_;
  std::optional<Channel> channel_;
  std::shared_ptr<const DisplayColours> display_ = std::make_shared<const DisplayColours>();
  int documentSubscription_ = -1;
  int stateSubscription_ = -1;
  std::optional<QPointF> dragFrom_;
  int wheelZoom_ = 0;
};

}  // namespace irobunkai
