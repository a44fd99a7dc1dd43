#include "colour/model_formulas.h"

#include <algorithm>
#include <cmath>

#include "colour/cie_lab.h"
#include "colour/profile_lab.h"

namespace irobunkai {
namespace {

struct Rgb {
  double r;
  double g;
  double b;
};

Rgb RgbOf(ColorValue colour) {
  return {static_cast<double>(RedOf(colour)), static_cast<double>(GreenOf(colour)),
          static_cast<double>(BlueOf(colour))};
}

ColorValue Rounded(const Rgb& c) {
  const auto channel = [](double v) {
    return static_cast<ColorValue>(std::lround(std::clamp(v, 0.0, 255.0)));
  };
  return RGB(channel(c.r), channel(c.g), channel(c.b));
}

// Degrees 0..360, 0 for greys.
double HueOf(const Rgb& c, double max, double delta) {
  if (delta == 0) {
    return 0;
  }
  double sector = 0;
  if (max == c.r) {
    sector = (c.g - c.b) / delta;
    sector += sector < 0 ? 6 : 0;
  } else if (max == c.g) {
    sector = (c.b - c.r) / delta + 2;
  } else {
    sector = (c.r - c.g) / delta + 4;
  }
  return 60 * sector;
}

Components Hsv(const Rgb& c) {
  const double max = std::max({c.r, c.g, c.b});
  const double delta = max - std::min({c.r, c.g, c.b});
  return {HueOf(c, max, delta), max == 0 ? 0 : 100 * delta / max, 100 * max / 255};
}

Components Hsl(const Rgb& c) {
  const double max = std::max({c.r, c.g, c.b});
  const double min = std::min({c.r, c.g, c.b});
  const double delta = max - min;
  // 1 - |2L - 1| in 0..255 units.
  const double span = 255 - std::abs(max + min - 255);
  return {HueOf(c, max, delta), delta == 0 ? 0 : 100 * delta / span, 100 * (max + min) / 510};
}

Components YCbCr(const Rgb& c) {
  return {0.299 * c.r + 0.587 * c.g + 0.114 * c.b,
          128 - 0.168736 * c.r - 0.331264 * c.g + 0.5 * c.b,
          128 + 0.5 * c.r - 0.418688 * c.g - 0.081312 * c.b};
}

// Hue in sixths of the circle, 0..6.
double Sixths(double degrees) {
  const double wrapped = std::fmod(degrees, 360.0);
  return (wrapped < 0 ? wrapped + 360 : wrapped) / 60;
}

double Fraction(double percent) { return std::clamp(percent, 0.0, 100.0) / 100; }

Rgb FromHsv(const Components& v) {
  const double h = Sixths(v[0]);
  const double s = Fraction(v[1]);
  const double value = 255 * Fraction(v[2]);
  const auto channel = [&](double n) {
    const double k = std::fmod(n + h, 6.0);
    return value * (1 - s * std::clamp(std::min(k, 4 - k), 0.0, 1.0));
  };
  return {channel(5), channel(3), channel(1)};
}

Rgb FromHsl(const Components& v) {
  const double h = Sixths(v[0]);
  const double s = Fraction(v[1]);
  const double l = Fraction(v[2]);
  const double a = s * std::min(l, 1 - l);
  const auto channel = [&](double n) {
    const double k = std::fmod(n + 2 * h, 12.0);
    return 255 * (l - a * std::clamp(std::min(k - 3, 9 - k), -1.0, 1.0));
  };
  return {channel(0), channel(8), channel(4)};
}

Rgb FromYCbCr(const Components& v) {
  const double y = v[0];
  const double cb = v[1] - 128;
  const double cr = v[2] - 128;
  return {y + 1.402 * cr, y - 0.344136 * cb - 0.714136 * cr, y + 1.772 * cb};
}

Rgb FromLab(const Components& v) {
  const auto srgb = SrgbOfLab({std::clamp(v[0], 0.0, 100.0), v[1], v[2]});
  return {srgb[0], srgb[1], srgb[2]};
}

}  // namespace

Components ToModel(ColourModel model, ColorValue colour, const ProfileLab* lab) {
  const Rgb c = RgbOf(colour);
  switch (model) {
    case ColourModel::RGB:
      return {c.r, c.g, c.b};
    case ColourModel::CMY:
    case ColourModel::CMYK:  // a press's inks need its profile: PressSeparation
      return {255 - c.r, 255 - c.g, 255 - c.b};
    case ColourModel::HSV:
      return Hsv(c);
    case ColourModel::HSL:
      return Hsl(c);
    case ColourModel::YCbCr:
      return YCbCr(c);
    case ColourModel::Lab:
      return lab != nullptr ? lab->Of(colour) : LabOfSrgb(c.r, c.g, c.b);
  }
  return {};
}

ColorValue FromModel(ColourModel model, const Components& values) {
  switch (model) {
    case ColourModel::RGB:
      return Rounded({values[0], values[1], values[2]});
    case ColourModel::CMY:
    case ColourModel::CMYK:
      return Rounded({255 - values[0], 255 - values[1], 255 - values[2]});
    case ColourModel::HSV:
      return Rounded(FromHsv(values));
    case ColourModel::HSL:
      return Rounded(FromHsl(values));
    case ColourModel::YCbCr:
      return Rounded(FromYCbCr(values));
    case ColourModel::Lab:
      return Rounded(FromLab(values));
  }
  return kNoColor;
}

}  // namespace irobunkai
