// Separation against a plain copy of the same source bytes, measured in one run.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <random>
#include <vector>

#include "analysis/channel_separation.h"

namespace irobunkai {
namespace {

Image NoiseImage(int width, int height) {
  std::mt19937 rng(42);
  std::vector<RgbaPixel> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (auto& p : pixels) {
    p = MakeRgba(static_cast<ColorValue>(rng() & 0xFFFFFFu));
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void Separate(benchmark::State& state, SeparationOptions options) {
  const auto width = static_cast<int>(state.range(0));
  const auto height = static_cast<int>(state.range(1));
  PictureView source(188, 179, 0x0000FF);
  source.SetPicture(NoiseImage(width, height));
  Separation planes;
  const std::size_t before = HeapInUse();
  SeparateChannels(source, planes, options);  // first touch of the planes
  const std::size_t extra = HeapInUse() - before;
  for (auto _ : state) {
    SeparateChannels(source, planes, options);
    benchmark::DoNotOptimize(planes.BluePlane().Row(0));
    benchmark::ClobberMemory();
  }
  const double pixels = static_cast<double>(width) * height;
  state.counters["extra_bytes_per_pixel"] = static_cast<double>(extra) / pixels;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels * 4));
}

void BM_Separate(benchmark::State& state) { Separate(state, {}); }

// The same separation, counting each channel's histogram as it goes.
void BM_SeparateCounting(benchmark::State& state) { Separate(state, {.countHistograms = true}); }

void BM_Copy(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0)) *
                     static_cast<std::size_t>(state.range(1)) * sizeof(RgbaPixel);
  std::vector<unsigned char> from(bytes, 1);
  std::vector<unsigned char> to(bytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"width", "height"})->Unit(benchmark::kMillisecond)->UseRealTime();
  b->Args({188, 179})->Args({4000, 3000})->Args({8000, 6000});
}

BENCHMARK(BM_Separate)->Apply(Sizes);
BENCHMARK(BM_SeparateCounting)->Apply(Sizes);
BENCHMARK(BM_Copy)->Apply(Sizes);

}  // namespace
}  // namespace irobunkai

BENCHMARK_MAIN();
