// Memory of the whole program path for a large photo: load, separate, read out,
// measured as the process's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <fstream>

#include "bench/window_wait.h"
#include "window/form1.h"

namespace {

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double CurrentRssMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// Written by a child process, so that making the file doesn't count in our peak.
void WritePhoto(const QString& path, int width, int height) {
  const pid_t child = fork();
  if (child == 0) {
    QImage photo(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
      auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
      for (int x = 0; x < width; ++x) {
        line[x] = qRgb(x % 256, y % 256, (x ^ y) % 256);
      }
    }
    _exit(photo.save(path, "JPEG", 90) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

void Separate(irobunkai::Form1& form) {
  form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  irobunkai::bench::WaitIdle(form);
}

void BM_LoadAndSeparate8000x6000(benchmark::State& state) {
  const QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("photo.jpg"));
  WritePhoto(path, 8000, 6000);
  irobunkai::Form1 form([](QWidget*) { return QString(); });
  const double before = PeakRssMiB();
  for (auto _ : state) {
    irobunkai::bench::OpenAndWait(form, path);
    Separate(form);
  }
  state.counters["peak_rss_MiB"] = PeakRssMiB();
  state.counters["window_rss_MiB"] = before;
}

// Load, separate and read out on varied pictures: resident memory after 100 rounds
// against after 10 shows whether anything is kept that should go.
void BM_RepeatedRounds(benchmark::State& state) {
  const QTemporaryDir dir;
  QStringList paths;
  for (const auto& [w, h] :
       {std::pair{640, 480}, std::pair{1200, 900}, std::pair{188, 179}, std::pair{2000, 300}}) {
    paths << dir.filePath(QStringLiteral("p%1x%2.png").arg(w).arg(h));
    WritePhoto(paths.back(), w, h);
  }
  irobunkai::Form1 form([](QWidget*) { return QString(); });
  double after10 = 0;
  for (auto _ : state) {
    for (int round = 0; round < 100; ++round) {
      irobunkai::bench::OpenAndWait(form, paths[round % paths.size()]);
      Separate(form);
      if (round == 9) {
        after10 = CurrentRssMiB();
      }
    }
  }
  state.counters["rss_after_10_MiB"] = after10;
  state.counters["rss_after_100_MiB"] = CurrentRssMiB();
}

// A picture of 10,000,000 x 2 pixels (20 MP, a 60 KB TIFF) in a view 179 pixels
// high: what it costs must follow its own pixels, not the background strip beside
// them. Loaded, separated and zoomed in a fresh process, whose peak is its own.
void BM_ThinPicturePeak(benchmark::State& state) {
  const QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("thin.tif"));
  if (fork() == 0) {
    QImage thin(10'000'000, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
      auto* line = reinterpret_cast<QRgb*>(thin.scanLine(y));
      for (int x = 0; x < thin.width(); ++x) {
        line[x] = qRgb(x % 256, 100 * y, 50);
      }
    }
    QImageWriter writer(path, "tiff");
    writer.setCompression(1);  // LZW
    _exit(writer.write(thin) ? 0 : 1);
  }
  wait(nullptr);
  for (auto _ : state) {
    int pipe[2];
    if (::pipe(pipe) != 0) {
      state.SkipWithError("no pipe");
      return;
    }
    if (fork() == 0) {
      irobunkai::Form1 form([](QWidget*) { return QString(); });
      form.show();
      const bool loaded = irobunkai::bench::OpenAndWait(form, path);
      Separate(form);
      auto* channel = form.findChild<QWidget*>(QStringLiteral("Picture2"));
      for (int step = 0; step < 30; ++step) {
        QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier, QStringLiteral("+"));
        QApplication::sendEvent(channel, &plus);
        for (auto* view :
             form.findChildren<QWidget*>(QRegularExpression(QStringLiteral("^Picture")))) {
          view->repaint();
        }
      }
      const double peak = loaded ? PeakRssMiB() : -1.0;
      static_cast<void>(write(pipe[1], &peak, sizeof peak));
      _exit(0);
    }
    close(pipe[1]);
    double peak = -1.0;
    static_cast<void>(read(pipe[0], &peak, sizeof peak));
    close(pipe[0]);
    wait(nullptr);
    if (peak < 0) {
      state.SkipWithError("the thin picture did not load");
      return;
    }
    state.counters["peak_rss_MiB"] = peak;
  }
}

BENCHMARK(BM_ThinPicturePeak)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSeparate8000x6000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepeatedRounds)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
