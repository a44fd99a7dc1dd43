#include "window/work_progress_bar.h"

namespace irobunkai {

WorkProgressBar::WorkProgressBar(const BackgroundWork& work, QWidget* hint, QWidget* parent)
    : QProgressBar(parent), work_(work), hint_(hint) {
  setObjectName(QStringLiteral("WorkProgress"));
  setGeometry(hint->x(), hint->y(), std::max(hint->width(), 160), hint->height());
  setTextVisible(true);
  setFormat(QStringLiteral("%p%"));
  hide();
  delay_.setSingleShot(true);
  delay_.setInterval(kDelayMs);
  connect(&delay_, &QTimer::timeout, this, &WorkProgressBar::Appear);
  connect(&work, &BackgroundWork::Started, this, &WorkProgressBar::OnStarted);
  connect(&work, &BackgroundWork::Progressed, this,
          [this](BackgroundWork::Lane, double f) { OnProgressed(f); });
  connect(&work, &BackgroundWork::Ended, this, &WorkProgressBar::OnEnded);
}

void WorkProgressBar::OnStarted() {
  // A busy bar until the work says how far it is.
  setRange(0, 0);
  if (!isVisible()) {
    delay_.start();
  }
}

void WorkProgressBar::OnProgressed(double fraction) {
  setRange(0, 1000);
  setValue(static_cast<int>(fraction * 1000.0));
}

void WorkProgressBar::OnEnded() {
  if (work_.IsBusy()) {
    return;
  }
  delay_.stop();
  hide();
  hint_->show();
}

void WorkProgressBar::Appear() {
  if (!work_.IsBusy()) {
    return;
  }
  hint_->hide();
  show();
  raise();
}

}  // namespace irobunkai
