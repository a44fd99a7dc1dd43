#pragma once

#include <QDialog>
#include <vector>

#include "window/commands.h"

namespace irobunkai {

/// A short list of every mouse and key control, in Japanese with English beside it,
/// then the colour models. It fits small screens: its lines wrap as it narrows.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  HelpWindow(QWidget* parent, const std::vector<HelpLine>& controls);
};

}  // namespace irobunkai
