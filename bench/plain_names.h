#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace irobunkai::bench {

/// Reports runs under their plain names ("BM_OpenToShown/jpeg_48mp"), without the
/// "/real_time", "/iterations:1" or "/repeats:1" that Google Benchmark adds for how they
/// were run, so that tools reading the results find them by the names they know.
template <class Reporter>
class PlainNames : public Reporter {
 public:
  using Reporter::Reporter;

  void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
    std::vector<benchmark::BenchmarkReporter::Run> renamed = runs;
    for (auto& run : renamed) {
      run.run_name.iterations.clear();
      run.run_name.repetitions.clear();
      run.run_name.time_type.clear();
    }
    Reporter::ReportRuns(renamed);
  }
};

/// Reads the benchmark flags, registers the benchmarks with `registerAll`, and runs
/// them under their plain names on the console and, when --benchmark_out names a
/// file, in it.
inline int RunWithPlainNames(int& argc, char** argv, const std::function<void()>& registerAll) {
  // Google Benchmark takes its flags out of argv, and refuses a file reporter without a file.
  const bool toFile = std::any_of(argv + 1, argv + argc, [](const char* arg) {
    return std::strncmp(arg, "--benchmark_out=", std::strlen("--benchmark_out=")) == 0;
  });
  benchmark::Initialize(&argc, argv);
  registerAll();
  PlainNames<benchmark::ConsoleReporter> display(isatty(STDOUT_FILENO) != 0
                                                     ? benchmark::ConsoleReporter::OO_Defaults
                                                     : benchmark::ConsoleReporter::OO_Tabular);
  PlainNames<benchmark::JSONReporter> file;
  benchmark::RunSpecifiedBenchmarks(&display, toFile ? &file : nullptr);
  benchmark::Shutdown();
  return 0;
}

}  // namespace irobunkai::bench
