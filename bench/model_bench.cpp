// Separating a picture into each colour model's components, against a plain copy of the
// same picture's bytes, measured in one run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/channel_separation.h"
#include "bench/copy_source.h"
#include "bench/plain_names.h"
#include "colour/colour_profile.h"
#include "colour/press_separation.h"
#include "colour/profile_lab.h"

namespace irobunkai::bench {
namespace {

struct Size {
  const char* name;
  int width;
  int height;
};
constexpr Size kSize{"48mp", 8000, 6000};
constexpr const char* kPress = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

struct NamedModel {
  const char* name;
  ColourModel model;
};
constexpr std::array kModels = {
    NamedModel{"cmy", ColourModel::CMY}, NamedModel{"hsv", ColourModel::HSV},
    NamedModel{"hsl", ColourModel::HSL}, NamedModel{"ycbcr", ColourModel::YCbCr},
    NamedModel{"lab", ColourModel::Lab}};

// Gradients that cross dark, light, grey and saturated regions, with noise on top, so that
// neighbouring pixels differ as in a photograph and every branch of the formulas is taken.
Image PhotoLike(const Size& size) {
  std::mt19937 rng(42);
  std::vector<RgbaPixel> pixels(static_cast<std::size_t>(size.width) *
                                static_cast<std::size_t>(size.height));
  const auto level = [](double fraction, int noise) {
    return std::clamp(static_cast<int>(fraction * 255) + noise, 0, 255);
  };
  std::size_t i = 0;
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      const std::uint32_t bits = rng();
      const auto noise = [bits](int shift) { return static_cast<int>((bits >> shift) & 31u) - 16; };
      const double across = static_cast<double>(x) / size.width;
      const double down = static_cast<double>(y) / size.height;
      const int r = level(across, noise(0));
      const int g = level(down, noise(5));
      const int b = level((across + down) / 2, noise(10));
      pixels[i++] = MakeRgba(RGB(r, g, b));
    }
  }
  return Image::FromPixels(size.width, size.height, std::move(pixels));
}

void SeparateModelOf(benchmark::State& state, const PictureView& source, ColourModel model,
                     const ProfileLab* lab, const PressSeparation* press) {
  const SeparationOptions options{.model = model, .lab = lab, .press = press};
  Separation planes;
  SeparateChannels(source, planes, options);  // first touch of the planes
  for (auto _ : state) {
    SeparateChannels(source, planes, options);
    benchmark::DoNotOptimize(planes.BluePlane().Row(0));
    benchmark::ClobberMemory();
  }
}

// As the open benchmarks' copy of the source, so that the ratios compare.
void CopySource(benchmark::State& state, const Size& size) {
  CopySourceBytes(state, size.width, size.height);
}

// L*a*b* of a picture tagged Adobe RGB (1998), measured through its profile.
std::shared_ptr<const ProfileLab> AdobeRgbLab() {
  std::ifstream file("/usr/share/color/icc/colord/AdobeRGB1998.icc", std::ios::binary);
  ColourDescription description;
  description.icc.assign(std::istreambuf_iterator<char>(file), {});
  return std::make_shared<const ProfileLab>(ColourProfile::Of(description));
}

std::shared_ptr<const PressSeparation> DebianPress() {
  std::ifstream file(kPress, std::ios::binary);
  const std::vector<std::uint8_t> icc(std::istreambuf_iterator<char>(file), {});
  const auto profile = PressProfile::Of(icc);
  if (!profile) {
    std::fprintf(stderr, "%s: not a press profile\n", kPress);
    std::exit(1);
  }
  return PressSeparation::Make(nullptr, *profile, PressIntent::RelativeColorimetric);
}

void Register(const PictureView& source, const ProfileLab& adobeRgb, const PressSeparation& press) {
  for (const NamedModel& m : kModels) {
    benchmark::RegisterBenchmark((std::string("BM_SeparateModel/") + m.name).c_str(),
                                 SeparateModelOf, std::cref(source), m.model, nullptr, nullptr)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RegisterBenchmark("BM_SeparateModel/lab_adobergb", SeparateModelOf, std::cref(source),
                               ColourModel::Lab, &adobeRgb, nullptr)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  // Debian's press profile, relative colorimetric, from an untagged (sRGB) picture.
  benchmark::RegisterBenchmark("BM_SeparateModel/cmyk", SeparateModelOf, std::cref(source),
                               ColourModel::CMYK, nullptr, &press)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark((std::string("BM_CopySource/") + kSize.name).c_str(), CopySource,
                               kSize)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

}  // namespace
}  // namespace irobunkai::bench

int main(int argc, char* argv[]) {
  using irobunkai::bench::kSize;
  irobunkai::PictureView source(kSize.width, kSize.height, 0);
  source.SetPicture(irobunkai::bench::PhotoLike(kSize));
  const auto adobeRgb = irobunkai::bench::AdobeRgbLab();
  const auto press = irobunkai::bench::DebianPress();
  return irobunkai::bench::RunWithPlainNames(argc, argv, [&source, &adobeRgb, &press] {
    irobunkai::bench::Register(source, *adobeRgb, *press);
  });
}
