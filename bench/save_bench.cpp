// Saving all three channels of a separated photo as PNG through the window, against the bare
// decode of the same photo's PNG that open_bench measures in the same run: from the moment
// the file dialog is answered to the three files in their places and the window idle.
#include "bench/save_bench.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <ctime>

#include "bench/window_wait.h"

namespace irobunkai::bench {
namespace {

// CPU time of every thread of the process, in seconds.
double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool AllWritten(const QTemporaryDir& dir) {
  for (const char* name : {"photo-R.png", "photo-G.png", "photo-B.png"}) {
    if (!QFileInfo::exists(dir.filePath(QString::fromLatin1(name)))) {
      return false;
    }
  }
  return true;
}

// Answers the save dialog with `target` as a user would, noting when.
std::chrono::steady_clock::time_point SaveAnswering(QAction& action, const QString& target) {
  std::chrono::steady_clock::time_point answered{};
  QTimer answerer;
  answerer.setInterval(5);
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      files->selectFile(target);
      answered = std::chrono::steady_clock::now();
      static_cast<QDialog*>(files)->accept();  // public there
    }
  });
  answerer.start();
  action.trigger();
  return answered;
}

}  // namespace

void SaveAllChannels(benchmark::State& state, const QString& path) {
  Form1 form([](QWidget*) { return QString(); });
  const QTemporaryDir dir;
  auto* const action = form.findChild<QAction*>(QStringLiteral("SaveAllChannelsAction"));
  if (!dir.isValid() || action == nullptr || !OpenAndWait(form, path)) {
    state.SkipWithError("no photo, no folder or no save command");
    return;
  }
  form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  WaitIdle(form);
  const QString target = dir.filePath(QStringLiteral("photo-R.png"));
  const double cpuBefore = ProcessSeconds();
  for (auto _ : state) {
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
      QFile::remove(dir.filePath(name));
    }
    const auto answered = SaveAnswering(*action, target);
    WaitIdle(form);
    if (answered == std::chrono::steady_clock::time_point{} || !AllWritten(dir)) {
      state.SkipWithError("the channels were not saved");
      break;
    }
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - answered).count());
  }
  // The work of all threads, which the machine's other load shares its cores with.
  state.counters["cpu_ms_all_threads"] =
      benchmark::Counter((ProcessSeconds() - cpuBefore) * 1e3, benchmark::Counter::kAvgIterations);
}

}  // namespace irobunkai::bench
