#include "colour/cie_lab.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace irobunkai {
namespace {

using Vector = std::array<double, 3>;

Vector Times(const std::array<Vector, 3>& matrix, const Vector& v) {
  Vector out{};
  for (std::size_t i = 0; i < 3; ++i) {
    out[i] = matrix[i][0] * v[0] + matrix[i][1] * v[1] + matrix[i][2] * v[2];
  }
  return out;
}

double LabF(double t) {
  return t > CieLab::kEpsilon ? std::cbrt(t) : (CieLab::kKappa * t + 16.0) / 116.0;
}

double LabFInverse(double f) {
  const double cube = f * f * f;
  return cube > CieLab::kEpsilon ? cube : (116.0 * f - 16.0) / CieLab::kKappa;
}

}  // namespace

double DecodeSrgb(double encoded) {
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double EncodeSrgb(double linear) {
  return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}

Components LabOfSrgb(double r, double g, double b) {
  const Vector xyz = Times(CieLab::kRgbToXyz,
                           {DecodeSrgb(r / 255.0), DecodeSrgb(g / 255.0), DecodeSrgb(b / 255.0)});
  const double fx = LabF(xyz[0] / CieLab::kWhite[0]);
  const double fy = LabF(xyz[1] / CieLab::kWhite[1]);
  const double fz = LabF(xyz[2] / CieLab::kWhite[2]);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

std::array<double, 3> SrgbOfLab(const Components& lab) {
  const double fy = (lab[0] + 16.0) / 116.0;
  const Vector xyz = {LabFInverse(fy + lab[1] / 500.0) * CieLab::kWhite[0],
                      LabFInverse(fy) * CieLab::kWhite[1],
                      LabFInverse(fy - lab[2] / 200.0) * CieLab::kWhite[2]};
  const Vector linear = Times(CieLab::kXyzToRgb, xyz);
  std::array<double, 3> srgb{};
  for (std::size_t i = 0; i < 3; ++i) {
    srgb[i] = 255.0 * EncodeSrgb(std::clamp(linear[i], 0.0, 1.0));
  }
  return srgb;
}

}  // namespace irobunkai
