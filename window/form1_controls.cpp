#include "window/form1_controls.h"

#include <QLabel>
#include <QPushButton>

#include "render/qt_colour.h"
#include "window/caption_font.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

QString CssColor(ColorValue c) { return ToQColor(c).name(QColor::HexRgb); }

}  // namespace

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, ColorValue color,
                        QRect geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(CaptionFont());
  // A style sheet makes the fill flat in the button's own colour under every style.
  button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black;"
                                       " border: 2px outset %1; }"
                                       "QPushButton:pressed { border-style: inset; }"
                                       "QPushButton:focus { border: 2px solid black; }")
                            .arg(CssColor(color)));
  button->setFocusPolicy(Qt::StrongFocus);
  button->setGeometry(geometry);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, ColorValue text,
                  ColorValue back, QRect geometry) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(CaptionFont());
  label->setStyleSheet(QStringLiteral("QLabel { color: %1; background-color: %2; }")
                           .arg(CssColor(text), CssColor(back)));
  label->setAlignment(Qt::AlignCenter);
  label->setFocusPolicy(Qt::NoFocus);
  label->setGeometry(geometry);
  return label;
}

PictureBox* MakeView(QWidget* parent, const char* name, const ViewParts& parts,
                     std::optional<Channel> channel, QPoint at) {
  auto* box = new PictureBox(parts.document, channel, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->SetDisplay(parts.display);
  box->move(at);
  return box;
}

}  // namespace irobunkai
