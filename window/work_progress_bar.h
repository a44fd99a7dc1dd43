#pragma once

#include <QProgressBar>
#include <QTimer>

#include "window/background_work.h"

namespace irobunkai {

/// A progress bar in the place of a hint, for work that takes long enough to be
/// noticed: it appears when a request has run for a while, shows its percentage
/// (or a busy bar until the work reports one), and gives the place back to the hint
/// when the work ends.
class WorkProgressBar : public QProgressBar {
  Q_OBJECT

 public:
  /// How long work runs before the bar appears.
  static constexpr int kDelayMs = 300;

  WorkProgressBar(const BackgroundWork& work, QWidget* hint, QWidget* parent);

 private:
  void OnStarted();
  void OnProgressed(double fraction);
  void OnEnded();
  void Appear();

  const BackgroundWork& work_;
  QWidget* hint_;
  QTimer delay_;
};

}  // namespace irobunkai
