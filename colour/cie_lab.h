#pragma once

#include <array>

#include "colour/colour_model.h"

namespace irobunkai {

/// CIE 1976 L*a*b* of sRGB colours, relative to the D65 white.
struct CieLab {
  static constexpr double kEpsilon = 216.0 / 24389.0;
  static constexpr double kKappa = 24389.0 / 27.0;
  static constexpr std::array<double, 3> kWhite = {0.95047, 1.0, 1.08883};
  /// Linear sRGB to XYZ, rows X, Y, Z: the matrix made from the sRGB primaries and
  /// this white, to seven places, and its inverse.
  static constexpr std::array<std::array<double, 3>, 3> kRgbToXyz = {{
      {0.4124564, 0.3575761, 0.1804375},
      {0.2126729, 0.7151522, 0.0721750},
      {0.0193339, 0.1191920, 0.9503041},
  }};
  static constexpr std::array<std::array<double, 3>, 3> kXyzToRgb = {{
      {3.2404542, -1.5371385, -0.4985314},
      {-0.9692660, 1.8760108, 0.0415560},
      {0.0556434, -0.2040259, 1.0572252},
  }};
};

/// The linear light of an sRGB value 0..1 (IEC 61966-2-1), and back.
double DecodeSrgb(double encoded);
double EncodeSrgb(double linear);

/// L*, a*, b* of the sRGB colour (r, g, b), each 0..255.
Components LabOfSrgb(double r, double g, double b);

/// The sRGB colour, each channel 0..255, of (L*, a*, b*); colours outside sRGB are
/// clipped channel by channel in linear light.
std::array<double, 3> SrgbOfLab(const Components& lab);

}  // namespace irobunkai
