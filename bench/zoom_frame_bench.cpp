// One frame of all four views at every zoom level of a 48-megapixel picture: a pan
// step (or, where nothing can pan, a plain repaint) and the painting it causes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <memory>

#include "bench/bench_photo.h"
#include "bench/window_wait.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

constexpr int kWidth = 8000;
constexpr int kHeight = 6000;

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Fixture {
  QTemporaryDir dir;
  std::unique_ptr<Form1> form;
  std::array<PictureBox*, 4> views{};
  double loadedPeakMiB = 0;
};

Fixture& Shared() {
  static Fixture* fixture = [] {
    auto* f = new Fixture;
    const QString path = f->dir.filePath(QStringLiteral("photo.jpg"));
    bench::InChild([&path] { return bench::WritePhoto(path, "JPEG", kWidth, kHeight); });
    f->form = std::make_unique<Form1>([](QWidget*) { return QString(); });
    f->form->show();
    // Painting happens only once the window is on the (offscreen) screen.
    while (f->form->windowHandle() == nullptr || !f->form->windowHandle()->isExposed()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    bench::OpenAndWait(*f->form, path);
    f->form->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    bench::WaitIdle(*f->form);
    f->loadedPeakMiB = PeakRssMiB();
    for (std::size_t i = 0; i < f->views.size(); ++i) {
      f->views[i] = f->form->findChild<PictureBox*>(QStringLiteral("Picture%1").arg(i + 1));
    }
    return f;
  }();
  return *fixture;
}

void Press(QWidget* view, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(view, &press);
}

void PaintAll(const Fixture& f) {
  for (PictureBox* view : f.views) {
    view->repaint();
  }
}

void BM_FrameAllFourViews(benchmark::State& state) {
  Fixture& f = Shared();
  Press(f.views[0], Qt::Key_Home);
  for (int i = 0; i < state.range(0); ++i) {
    Press(f.views[0], Qt::Key_Plus);
  }
  // The middle of the picture, where a pan has room both ways.
  for (int i = 0; i < 400; ++i) {
    Press(f.views[1], Qt::Key_Down);
  }
  PaintAll(f);  // the first frame at a level may build what later ones reuse
  int step = 0;
  for (auto _ : state) {
    Press(f.views[1], (step++ % 2 == 0) ? Qt::Key_Right : Qt::Key_Left);
    PaintAll(f);
  }
  const std::size_t zoomBytes = f.form->Shown().LevelBytes();
  state.counters["scale"] = f.views[0]->Mapping().scale;
  state.counters["zoom_bytes_per_pixel"] =
      static_cast<double>(zoomBytes) / (static_cast<double>(kWidth) * kHeight);
  state.counters["loaded_peak_rss_MiB"] = f.loadedPeakMiB;
  state.counters["peak_rss_MiB"] = PeakRssMiB();
}

}  // namespace
}  // namespace irobunkai

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Every level from the whole picture (0) to 64x: 6 halvings up to 1:1, then 11 steps.
  benchmark::RegisterBenchmark("BM_FrameAllFourViews", irobunkai::BM_FrameAllFourViews)
      ->DenseRange(0, 17)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
