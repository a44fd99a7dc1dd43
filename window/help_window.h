#pragma once

#include <QDialog>

namespace irobunkai {

/// A short list of every mouse and key control, in Japanese with English beside it.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent);
};

}  // namespace irobunkai
