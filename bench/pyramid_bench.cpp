// Building the zoomed-out levels of a 48-megapixel view: what the first zoom-out step
// costs, once per picture, for the source (colour) and for one channel plane.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "analysis/channel_separation.h"
#include "views/mip_pyramid.h"

namespace irobunkai {
namespace {

constexpr int kWidth = 8000;
constexpr int kHeight = 6000;

PictureView NoiseView() {
  std::minstd_rand rng(42);
  std::vector<RgbaPixel> pixels(static_cast<std::size_t>(kWidth) * kHeight);
  for (auto& p : pixels) {
    p = MakeRgba(static_cast<ColorValue>(rng() & 0xFFFFFFu));
  }
  PictureView view(188, 179, 0x0000FF);
  view.SetPicture(Image::FromPixels(kWidth, kHeight, std::move(pixels)));
  return view;
}

void BM_PyramidOfView(benchmark::State& state) {
  const PictureView view = NoiseView();
  for (auto _ : state) {
    benchmark::DoNotOptimize(MipPyramid::OfView(view));
  }
}

BENCHMARK(BM_PyramidOfView)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace irobunkai

BENCHMARK_MAIN();
