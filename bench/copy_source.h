#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstring>
#include <memory>

namespace irobunkai::bench {

/// The baseline of the picture benchmarks: a copy of a width x height picture's bytes,
/// four a pixel, into memory touched (zeroed by make_unique) before the timing.
inline void CopySourceBytes(benchmark::State& state, int width, int height) {
  const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  const auto from = std::make_unique<unsigned char[]>(bytes);
  const auto to = std::make_unique<unsigned char[]>(bytes);
  std::memset(from.get(), 1, bytes);
  for (auto _ : state) {
    std::memcpy(to.get(), from.get(), bytes);
    benchmark::DoNotOptimize(to.get());
    benchmark::ClobberMemory();
  }
}

}  // namespace irobunkai::bench
