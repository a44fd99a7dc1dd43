#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

#include "colour/color_value.h"
#include "document/document.h"
#include "render/display_colours.h"
#include "views/view_state.h"

class QLabel;
class QPushButton;
class QWidget;

namespace irobunkai {

class PictureBox;

// The drawable area of every picture view as laid out.
inline constexpr int kViewWidth = 188;
inline constexpr int kViewHeight = 179;

/// A button in the caption font, filled flat with `color`.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, ColorValue color,
                        QRect geometry);

/// A label in the caption font that never takes the focus.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, ColorValue text,
                  ColorValue back, QRect geometry);

/// What the four picture views share.
struct ViewParts {
  std::shared_ptr<Document> document;
  /// The display painted on, shared by the four views.
  std::shared_ptr<const DisplayColours> display;
};

/// The picture view of `channel` (the source when none), its top-left corner at `at`.
PictureBox* MakeView(QWidget* parent, const char* name, const ViewParts& parts,
                     std::optional<Channel> channel, QPoint at);

}  // namespace irobunkai
