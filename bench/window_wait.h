#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QString>

#include "window/form1.h"

namespace irobunkai::bench {

/// Runs the window's events until its background work is done and its result shown,
/// as a user waits for it.
inline void WaitIdle(const Form1& form) {
  while (form.IsBusy()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

/// Opens `path` as the window does; returns whether it is shown.
inline bool OpenAndWait(Form1& form, const QString& path) {
  const int before = form.Shown().PictureNumber();
  form.LoadIntoPicture1(path);
  WaitIdle(form);
  return form.Shown().PictureNumber() != before;
}

}  // namespace irobunkai::bench
