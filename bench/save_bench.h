#pragma once

#include <benchmark/benchmark.h>

#include <QString>

namespace irobunkai::bench {

/// Saving all three channels of the separated photo at `path` as PNG through the window:
/// from the file dialog's answer to the three files written and the window idle.
void SaveAllChannels(benchmark::State& state, const QString& path);

}  // namespace irobunkai::bench
