#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include "colour/color_value.h"

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

/// A picture view with its top-left corner at `at`.
PictureBox* MakeView(QWidget* parent, const char* name, ColorValue back, QPoint at);

}  // namespace irobunkai
