#pragma once

#include <QString>
#include <QTest>

#include "window/form1.h"

namespace irobunkai::test {

/// Runs the event loop until the window's background work has ended and its results
/// are shown; fails the test if it takes over a minute.
inline void WaitIdle(const Form1& form) {
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.IsBusy(); }, 60'000)) << "still busy";
}

/// Opens `path` as the window does and waits for the outcome: whether the source view
/// now shows that file.
inline bool Open(Form1& form, const QString& path) {
  const int before = form.Shown().PictureNumber();
  form.LoadIntoPicture1(path);
  WaitIdle(form);
  return form.Shown().PictureNumber() != before && form.Shown().Origin().path == path.toStdString();
}

}  // namespace irobunkai::test
