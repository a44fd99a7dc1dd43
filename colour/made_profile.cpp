#include "colour/made_profile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "colour/lcms_support.h"

namespace irobunkai {
namespace {

struct CurveDeleter {
  void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
using Curve = std::unique_ptr<cmsToneCurve, CurveDeleter>;

// White x, y, then red, green and blue x, y, as cHRM orders them.
using Chromaticities = std::array<double, 8>;

constexpr Chromaticities kSrgbPrimaries = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};

struct Primaries {
  std::string_view name;
  Chromaticities xy;
};

Primaries PrimariesOf(int code) {
  switch (code) {
    case 1:
      return {"BT.709", kSrgbPrimaries};
    case 5:
      return {"BT.601 625", {0.3127, 0.3290, 0.64, 0.33, 0.29, 0.60, 0.15, 0.06}};
    case 6:
    case 7:
      return {"BT.601 525", {0.3127, 0.3290, 0.630, 0.340, 0.310, 0.595, 0.155, 0.070}};
    case 9:
      return {"Rec. 2020", {0.3127, 0.3290, 0.708, 0.292, 0.170, 0.797, 0.131, 0.046}};
    case 11:
      return {"DCI-P3", {0.314, 0.351, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060}};
    case 12:
      return {"Display P3", {0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060}};
    default:
      return {"sRGB", kSrgbPrimaries};
  }
}

Curve SrgbCurve() {
  const std::array<double, 5> p = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  return Curve(cmsBuildParametricToneCurve(nullptr, 4, p.data()));
}

Curve Bt709Curve() {
  const std::array<double, 5> p = {1.0 / 0.45, 1.0 / 1.099, 0.099 / 1.099, 1.0 / 4.5, 0.081};
  return Curve(cmsBuildParametricToneCurve(nullptr, 4, p.data()));
}

template <typename Decode>
Curve TabulatedCurve(Decode decode) {
  constexpr int kEntries = 4096;
  std::vector<float> values(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    const double v = decode(i / double{kEntries - 1});
    values[static_cast<std::size_t>(i)] = static_cast<float>(std::clamp(v, 0.0, 1.0));
  }
  return Curve(cmsBuildTabulatedToneCurveFloat(nullptr, kEntries, values.data()));
}

// SMPTE ST 2084, with the reference white of 203 cd/m² at full level.
double PqLight(double v) {
  constexpr double m1 = 2610.0 / 16384.0;
  constexpr double m2 = 2523.0 / 4096.0 * 128.0;
  constexpr double c1 = 3424.0 / 4096.0;
  constexpr double c2 = 2413.0 / 4096.0 * 32.0;
  constexpr double c3 = 2392.0 / 4096.0 * 32.0;
  const double p = std::pow(v, 1.0 / m2);
  const double light = std::pow(std::max(p - c1, 0.0) / (c2 - c3 * p), 1.0 / m1);
  return light * 10000.0 / 203.0;
}

// ARIB STD-B67 scene light, with the system gamma of 1.2 and the reference white (75 %) at
// full level.
double HlgLight(double v) {
  constexpr double a = 0.17883277;
  constexpr double b = 1.0 - 4.0 * a;
  const double c = 0.5 - a * std::log(4.0 * a);
  const auto scene = [&](double e) {
    return e <= 0.5 ? e * e / 3.0 : (std::exp((e - c) / a) + b) / 12.0;
  };
  return std::pow(scene(v) / scene(0.75), 1.2);
}

struct Transfer {
  std::string_view suffix;  // after the primaries' name; empty for the usual curve
  Curve curve;
};

Transfer TransferOf(int code, int primaries) {
  const bool video =
      primaries == 1 || primaries == 5 || primaries == 6 || primaries == 7 || primaries == 9;
  switch (code) {
    case 1:
    case 6:
    case 14:
    case 15:
      return {video ? "" : " BT.709 curve", Bt709Curve()};
    case 4:
      return {" gamma 2.2", Curve(cmsBuildGamma(nullptr, 2.2))};
    case 5:
      return {" gamma 2.8", Curve(cmsBuildGamma(nullptr, 2.8))};
    case 8:
      return {" linear", Curve(cmsBuildGamma(nullptr, 1.0))};
    case 16:
      return {" PQ", TabulatedCurve(PqLight)};
    case 17:
      return {primaries == 11 ? "" : " gamma 2.6", Curve(cmsBuildGamma(nullptr, 2.6))};
    case 18:
      return {" HLG", TabulatedCurve(HlgLight)};
    default:
      return {video ? " sRGB curve" : "", SrgbCurve()};
  }
}

void Describe(cmsHPROFILE profile, const std::string& name) {
  cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
  cmsMLUsetASCII(mlu, "en", "US", name.c_str());
  cmsWriteTag(profile, cmsSigProfileDescriptionTag, mlu);
  cmsMLUfree(mlu);
}

std::optional<MadeProfile> Make(const Chromaticities& xy, const Curve& curve, std::string name) {
  if (!curve) {
    return std::nullopt;
  }
  const cmsCIExyY white = {xy[0], xy[1], 1.0};
  const cmsCIExyYTRIPLE primaries = {{xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}, {xy[6], xy[7], 1.0}};
  std::array<cmsToneCurve*, 3> curves = {curve.get(), curve.get(), curve.get()};
  ColourProfile::Owned handle(cmsCreateRGBProfile(&white, &primaries, curves.data()));
  if (!handle) {
    return std::nullopt;
  }
  Describe(handle.get(), name);
  return MadeProfile{std::move(handle), std::move(name)};
}

bool Plausible(const Chromaticities& xy) {
  for (std::size_t i = 0; i < xy.size(); i += 2) {
    const double x = xy[i];
    const double y = xy[i + 1];
    if (!std::isfinite(x) || !std::isfinite(y) || x < 0 || y <= 1e-4 || x + y > 1.0001) {
      return false;
    }
  }
  return true;
}

// "1.8", "2.2", "2.35": two places at most, no trailing zeros.
std::string GammaText(double gamma) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.2f", gamma);
  std::string s(text.data());
  while (s.back() == '0') {
    s.pop_back();
  }
  if (s.back() == '.') {
    s.pop_back();
  }
  return s;
}

bool SameAs(const Chromaticities& a, const Chromaticities& b) {
  return std::equal(a.begin(), a.end(), b.begin(),
                    [](double x, double y) { return std::abs(x - y) < 1e-3; });
}

}  // namespace

std::optional<MadeProfile> ProfileOfCoded(const CodedColour& coded) {
  const Primaries primaries = PrimariesOf(coded.primaries);
  const Transfer transfer = TransferOf(coded.transfer, coded.primaries);
  return Make(primaries.xy, transfer.curve,
              std::string(primaries.name) + std::string(transfer.suffix));
}

std::optional<MadeProfile> ProfileOfPng(const PngColourChunks& png) {
  if (png.srgb || (!png.gamma && !png.chromaticities)) {
    return std::nullopt;
  }
  const Chromaticities xy = png.chromaticities.value_or(kSrgbPrimaries);
  if (!Plausible(xy)) {
    return std::nullopt;
  }
  const bool srgbPrimaries = SameAs(xy, kSrgbPrimaries);
  // Most writers (ImageMagick, GIMP, Photoshop's "save for web") add gAMA 1/2.2 and sRGB's
  // cHRM to sRGB pictures; browsers take these for sRGB, and so do we.
  constexpr double kSrgbFileGamma = 1.0 / 2.2;
  if (srgbPrimaries && (!png.gamma || std::abs(*png.gamma - kSrgbFileGamma) < 5e-4)) {
    return std::nullopt;
  }
  const std::string own = srgbPrimaries ? "" : " with its own primaries";
  if (!png.gamma) {
    return Make(xy, SrgbCurve(), "sRGB curve" + own);
  }
  const double fileGamma = *png.gamma;
  if (!std::isfinite(fileGamma) || fileGamma < 0.01 || fileGamma > 100) {
    return std::nullopt;
  }
  const double gamma = 1.0 / fileGamma;
  return Make(xy, Curve(cmsBuildGamma(nullptr, gamma)), "gamma " + GammaText(gamma) + own);
}

}  // namespace irobunkai
