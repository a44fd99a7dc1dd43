// The program's own paths on real photographs, end to end: opening a file until the source
// view is painted, and the separate button until the three channel views are painted, each
// against a baseline run on the same files (a bare decoder, a copy of the picture's bytes).
// Peak memory is measured in a fresh process per file, since a process's peak only grows.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "bench/bare_decode.h"
#include "bench/bench_photo.h"
#include "bench/copy_source.h"
#include "bench/plain_names.h"
#include "bench/save_bench.h"
#include "bench/window_wait.h"
#include "io/formats/first_sight.h"
#include "tests/formats/dng_writer.h"
#include "window/form1.h"

namespace irobunkai::bench {
namespace {

constexpr char kPeakMemoryFlag[] = "--peak-memory";

struct Size {
  const char* name;
  int width;
  int height;
};
constexpr std::array kSizes = {Size{"12mp", 4000, 3000}, Size{"48mp", 8000, 6000}};

struct Format {
  const char* name;
  const char* writer;
  const char* suffix;
};
constexpr std::array kFormats = {Format{"jpeg", "JPEG", "jpg"}, Format{"png", "PNG", "png"}};

QString PhotoPath(const QTemporaryDir& dir, const Format& format, const Size& size) {
  return dir.filePath(QStringLiteral("%1_%2.%3").arg(format.name, size.name, format.suffix));
}

// Formats Qt has no reader for: the PNG photo of the size encoded by Debian's encoder at its
// default quality, or, with no encoder, a DNG of what a camera's sensor records of the photo.
// The HEIC carries a thumbnail and the DNG previews, as phones and cameras write them.
struct Coded {
  const char* name;
  const char* encoder;
  Size size;
  BarePixels (*decode)(const std::string&);
  bool firstSight = false;
};
const std::array kCoded = {Coded{"heic", "heif-enc", kSizes[0], DecodeHeifFile, true},
                           Coded{"avif", "avifenc", kSizes[0], DecodeHeifFile},
                           Coded{"jxl", "cjxl", kSizes[0], DecodeJxlFile},
                           Coded{"dng", nullptr, {"24mp", 6000, 4000}, DecodeRawFile, true}};

QString CodedPath(const QTemporaryDir& dir, const Coded& coded) {
  return dir.filePath(QStringLiteral("%1_%2.%1").arg(coded.name, coded.size.name));
}

bool WriteDng(const QString& path, const Size& size) {
  const QImage photo = Photo(size.width, size.height);
  test::Dng dng;
  dng.width = size.width;
  dng.height = size.height;
  dng.black = 256;
  dng.neutral = {0.5, 1, 0.7};  // a camera under daylight sees less red and blue than green
  test::Expose(dng, [&photo](int x, int y) {
    const QRgb p = reinterpret_cast<const QRgb*>(photo.constScanLine(y))[x];
    return std::array{qRed(p), qGreen(p), qBlue(p)};
  });
  dng.previews = CameraPreviews(photo);
  const std::vector<std::uint8_t> bytes = test::EncodeDng(dng);
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.data()),
                                                       std::ssize(bytes)) == std::ssize(bytes);
}

bool WriteCoded(const QTemporaryDir& dir, const Coded& coded) {
  const QString path = CodedPath(dir, coded);
  if (coded.encoder == nullptr) {
    return WriteDng(path, coded.size);
  }
  const QString png = PhotoPath(dir, kFormats[1], coded.size);
  const QString encoder = QLatin1String(coded.encoder);
  return QProcess::execute(encoder, encoder == "heif-enc"
                                        ? QStringList{"-t", "320", png, "-o", path}
                                        : QStringList{png, path}) == 0;
}

// Made in a child, before any thread starts, so the encoders' memory stays out of ours.
// The large JPEG again, tagged with Adobe RGB (1998) as cameras set to it write it.
constexpr const char* kAdobeRgb = "/usr/share/color/icc/colord/AdobeRGB1998.icc";

QString TaggedPath(const QTemporaryDir& dir) {
  return dir.filePath(QStringLiteral("jpeg_48mp_adobergb.jpg"));
}

bool WriteTagged(const QTemporaryDir& dir) {
  QFile profile(QString::fromLatin1(kAdobeRgb));
  const Size& large = kSizes[1];
  return profile.open(QIODevice::ReadOnly) &&
         WritePhoto(TaggedPath(dir), kFormats[0].writer, large.width, large.height,
                    profile.readAll());
}

bool WritePhotos(const QTemporaryDir& dir) {
  return InChild([&dir] {
    for (const Size& size : kSizes) {
      for (const Format& format : kFormats) {
        if (!WritePhoto(PhotoPath(dir, format, size), format.writer, size.width, size.height)) {
          return false;
        }
      }
    }
    return WriteTagged(dir) && std::ranges::all_of(kCoded, [&dir](const Coded& coded) {
             return WriteCoded(dir, coded);
           });
  });
}

QWidget* Find(const Form1& form, const char* name) {
  return form.findChild<QWidget*>(QLatin1String(name));
}

bool Load(benchmark::State& state, Form1& form, const QString& path) {
  if (!OpenAndWait(form, path)) {
    state.SkipWithError("the photo did not load");
    return false;
  }
  return true;
}

void OpenToShown(benchmark::State& state, const QString& path) {
  Form1 form([](QWidget*) { return QString(); });
  QWidget* const picture1 = Find(form, "Picture1");
  for (auto _ : state) {
    if (!Load(state, form, path)) {
      break;
    }
    benchmark::DoNotOptimize(picture1->grab());
  }
}

// From the open to Picture1 painted with the smaller rendition the file carries; the
// exact picture that follows is waited for outside the timing.
void OpenToFirstSight(benchmark::State& state, const QString& path) {
  Form1 form([](QWidget*) { return QString(); });
  QWidget* const picture1 = Find(form, "Picture1");
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    form.LoadIntoPicture1(path);
    while (!form.Shown().ShownFirstSight() && form.IsBusy()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!form.Shown().ShownFirstSight()) {
      state.SkipWithError("no first sight was shown");
      break;
    }
    benchmark::DoNotOptimize(picture1->grab());
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    WaitIdle(form);
  }
}

void ClickToPainted(benchmark::State& state, const QString& path) {
  Form1 form([](QWidget*) { return QString(); });
  if (!Load(state, form, path)) {
    return;
  }
  auto* const command1 = form.findChild<QPushButton*>(QStringLiteral("Command1"));
  const std::array views = {Find(form, "Picture2"), Find(form, "Picture3"), Find(form, "Picture4")};
  // The first separation also faults in the planes' fresh memory; like the copy's
  // destination, they are touched before the timing starts.
  command1->click();
  WaitIdle(form);
  for (auto _ : state) {
    command1->click();
    WaitIdle(form);
    for (QWidget* view : views) {
      benchmark::DoNotOptimize(view->grab());
    }
  }
}

// Takes `entry` of the channel views' 色空間 submenu as a user does with the keyboard,
// once the menu has opened; starts the clock at the key that takes it.
void TakeModelEntry(const char* entry, std::chrono::steady_clock::time_point& pressed) {
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  auto* models = menu != nullptr ? menu->findChild<QMenu*>(QStringLiteral("ModelMenu")) : nullptr;
  auto* action =
      models != nullptr ? models->findChild<QAction*>(QString::fromLatin1(entry)) : nullptr;
  if (action == nullptr) {
    if (menu != nullptr) {
      menu->close();  // the benchmark then fails on the model left unchanged
    }
    return;
  }
  menu->setActiveAction(models->menuAction());
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(menu, &right);
  models->setActiveAction(action);
  pressed = std::chrono::steady_clock::now();
  QKeyEvent take(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(models, &take);
}

using ModelEntry = std::pair<const char*, ColourModel>;

// Chooses a model from the channel views' menu as a user does; false if it was not chosen.
// `pressed` is set when the entry is taken.
bool SwitchModel(Form1& form, const ModelEntry& entry,
                 std::chrono::steady_clock::time_point& pressed) {
  QTimer::singleShot(0, [name = entry.first, &pressed] { TakeModelEntry(name, pressed); });
  // The right button opens the menu; it returns once the chosen model has been handled.
  QWidget* const view = Find(form, "Picture2");
  const QPoint at = view->rect().center();
  QContextMenuEvent open(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
  QApplication::sendEvent(view, &open);
  WaitIdle(form);  // a large picture is split again on the worker
  return form.Shown().Separated().model == entry.second;
}

// From the key that chooses another colour model to every view painted again, with a 48
// megapixel picture separated. Every switch to `timed` is measured; from `other` untimed,
// unless `other` is timed too (then both ways).
void ModelSwitchToPainted(benchmark::State& state, const QString& path, ModelEntry timed,
                          ModelEntry other, bool bothWays) {
  Form1 form([](QWidget*) { return QString(); });
  if (!Load(state, form, path)) {
    return;
  }
  form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  WaitIdle(form);
  const std::array views = {Find(form, "Picture1"), Find(form, "Picture2"), Find(form, "Picture3"),
                            Find(form, "Picture4"), Find(form, "Picture5")};
  std::size_t next = 0;
  for (auto _ : state) {
    auto pressed = std::chrono::steady_clock::now();
    const bool toTimed = !bothWays || next++ % 2 == 0;
    if (!bothWays) {
      state.PauseTiming();
      if (!SwitchModel(form, other, pressed)) {
        state.SkipWithError("the menu did not choose the model");
        break;
      }
      state.ResumeTiming();
    }
    if (!SwitchModel(form, toTimed ? timed : other, pressed)) {
      state.SkipWithError("the menu did not choose the model");
      break;
    }
    for (QWidget* view : views) {
      if (view->isVisible()) {
        benchmark::DoNotOptimize(view->grab());
      }
    }
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count());
  }
}

void BareDecode(benchmark::State& state, BarePixels (*decode)(const std::string&),
                const std::string& path) {
  for (auto _ : state) {
    const BarePixels pixels = decode(path);
    if (!pixels.bytes) {
      state.SkipWithError("the photo did not decode");
      break;
    }
    benchmark::DoNotOptimize(pixels.bytes.get());
    benchmark::ClobberMemory();
  }
}

// A file's first sight alone, from a memory map, as a window reads only what it needs.
void FirstSightDecode(benchmark::State& state, const QString& path) {
  Image preview;
  for (auto _ : state) {
    QFile file(path);
    const uchar* mapped = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
    const std::optional<FirstSight> sight =
        mapped == nullptr ? std::nullopt
                          : ReadFirstSight(Bytes(mapped, static_cast<std::size_t>(file.size())));
    if (!sight) {
      state.SkipWithError("the file showed no first sight");
      break;
    }
    preview = sight->preview;
    benchmark::DoNotOptimize(preview.Data());
  }
  state.counters["preview_width"] = preview.Width();
  state.counters["preview_height"] = preview.Height();
}

void CopySource(benchmark::State& state, const Size& size) {
  CopySourceBytes(state, size.width, size.height);
}

// Runs this program again to open and separate one file, and reads back its peak.
void PeakMemory(benchmark::State& state, const QString& path, const Size& size) {
  double peakBytes = 0;
  for (auto _ : state) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kPeakMemoryFlag), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
      state.SkipWithError("the measuring process failed");
      break;
    }
    peakBytes = child.readAllStandardOutput().trimmed().toDouble();
  }
  state.counters["peak_bytes_per_pixel"] =
      peakBytes / (static_cast<double>(size.width) * size.height);
  state.counters["peak_MiB"] = peakBytes / (1 << 20);
}

// The process's high-water resident memory; unlike getrusage's, it is not carried over exec.
long long HighWaterBytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      long long kib = 0;
      status >> kib;
      return kib * 1024;
    }
  }
  return -1;
}

int MeasurePeak(const QString& path) {
  Form1 form([](QWidget*) { return QString(); });
  if (!OpenAndWait(form, path)) {
    return 1;
  }
  form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  WaitIdle(form);
  for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    Find(form, name)->grab();
  }
  std::printf("%lld\n", HighWaterBytes());
  return 0;
}

void Register(const QTemporaryDir& dir) {
  const auto name = [](const char* group, const std::string& variant) {
    return std::string(group) + "/" + variant;
  };
  const auto timed = [](benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime();
  };
  for (const Size& size : kSizes) {
    for (const Format& format : kFormats) {
      const std::string variant = std::string(format.name) + "_" + size.name;
      const QString path = PhotoPath(dir, format, size);
      timed(
          benchmark::RegisterBenchmark(name("BM_OpenToShown", variant).c_str(), OpenToShown, path));
      const bool jpeg = std::strcmp(format.name, "jpeg") == 0;
      timed(benchmark::RegisterBenchmark(name("BM_BareDecode", variant).c_str(), BareDecode,
                                         jpeg ? DecodeJpegFile : DecodePngFile,
                                         path.toStdString()));
    }
    const QString jpeg = PhotoPath(dir, kFormats[0], size);
    timed(benchmark::RegisterBenchmark(name("BM_ClickToPainted", size.name).c_str(), ClickToPainted,
                                       jpeg));
    timed(benchmark::RegisterBenchmark(name("BM_CopySource", size.name).c_str(), CopySource, size));
  }
  timed(benchmark::RegisterBenchmark("BM_OpenToShown/jpeg_48mp_adobergb", OpenToShown,
                                     TaggedPath(dir)));
  timed(benchmark::RegisterBenchmark("BM_BareDecode/jpeg_48mp_adobergb", BareDecode, DecodeJpegFile,
                                     TaggedPath(dir).toStdString()));
  benchmark::RegisterBenchmark("BM_SaveAllChannels/48mp", SaveAllChannels,
                               PhotoPath(dir, kFormats[0], kSizes[1]))
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
  // Between L*a*b* and HSV, the slowest formulas, both ways.
  benchmark::RegisterBenchmark("BM_ModelSwitchToPainted/48mp", ModelSwitchToPainted,
                               PhotoPath(dir, kFormats[0], kSizes[1]),
                               ModelEntry{"ModelActionL*a*b*", ColourModel::Lab},
                               ModelEntry{"ModelActionHSV", ColourModel::HSV}, true)
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
  // Into the press's four plates, from RGB, with the window growing by the black plate.
  benchmark::RegisterBenchmark("BM_ModelSwitchToPainted/48mp_cmyk", ModelSwitchToPainted,
                               PhotoPath(dir, kFormats[0], kSizes[1]),
                               ModelEntry{"ModelActionCMYK", ColourModel::CMYK},
                               ModelEntry{"ModelActionRGB", ColourModel::RGB}, false)
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
  for (const Coded& coded : kCoded) {
    const std::string variant = std::string(coded.name) + "_" + coded.size.name;
    const QString path = CodedPath(dir, coded);
    timed(benchmark::RegisterBenchmark(name("BM_OpenToShown", variant).c_str(), OpenToShown, path));
    timed(benchmark::RegisterBenchmark(name("BM_BareDecode", variant).c_str(), BareDecode,
                                       coded.decode, path.toStdString()));
    if (coded.firstSight) {
      timed(benchmark::RegisterBenchmark(name("BM_FirstSightDecode", variant).c_str(),
                                         FirstSightDecode, path));
      // Each round waits for the exact decode too: a few rounds are enough.
      benchmark::RegisterBenchmark(name("BM_OpenToFirstSight", variant).c_str(), OpenToFirstSight,
                                   path)
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond)
          ->UseManualTime();
    }
  }
  const Size& large = kSizes[1];
  for (const Format& format : kFormats) {
    benchmark::RegisterBenchmark(
        name("BM_PeakMemory", std::string(format.name) + "_" + large.name).c_str(), PeakMemory,
        PhotoPath(dir, format, large), large)
        ->Iterations(1)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

}  // namespace
}  // namespace irobunkai::bench

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc == 3 && std::strcmp(argv[1], irobunkai::bench::kPeakMemoryFlag) == 0) {
    const QApplication app(argc, argv);
    return irobunkai::bench::MeasurePeak(QString::fromLocal8Bit(argv[2]));
  }
  const QTemporaryDir dir;
  if (!dir.isValid() || !irobunkai::bench::WritePhotos(dir)) {
    std::fprintf(stderr, "open_bench: could not write the photos\n");
    return 1;
  }
  const QApplication app(argc, argv);
  return irobunkai::bench::RunWithPlainNames(argc, argv,
                                             [&dir] { irobunkai::bench::Register(dir); });
}
