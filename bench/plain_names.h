#pragma once

#include <benchmark/benchmark.h>

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

}  // namespace irobunkai::bench
