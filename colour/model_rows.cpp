#include "colour/model_rows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdlib>

#include "colour/cie_lab.h"

namespace irobunkai {
namespace {

// The loops below are written for the vectoriser: no calls and no branches, only
// choices it can make with masks. Each is built for AVX2 as well as for any x86-64,
// and the program runs the one its processor has: twice the lanes, and multiplies
// of 32-bit lanes in one instruction.
#if defined(__x86_64__)
#define IROBUNKAI_ROW_LOOP [[gnu::target_clones("avx2", "default")]]
#else
#define IROBUNKAI_ROW_LOOP
#endif

struct Bytes {
  int r;
  int g;
  int b;
};

inline Bytes BytesOf(ColorValue colour) {
  const auto c = static_cast<std::uint32_t>(colour);
  return {static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
          static_cast<int>((c >> 16) & 0xFFu)};
}

inline std::uint8_t Level(float v) {
  // Clamped as an integer: the vectoriser does not select on float comparisons.
  const int level = static_cast<int>(v + 0.5f);
  return static_cast<std::uint8_t>(std::min(std::max(level, 0), 255));
}

// A divisor for a quotient that is wanted only when `v` is positive.
inline float Divisor(int v) { return static_cast<float>(v > 0 ? v : 1); }

IROBUNKAI_ROW_LOOP void SplitRgb(const ColorValue* colours, std::size_t n, GreyRows out) {
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    out.first[x] = static_cast<std::uint8_t>(c.r);
    out.second[x] = static_cast<std::uint8_t>(c.g);
    out.third[x] = static_cast<std::uint8_t>(c.b);
  }
}

IROBUNKAI_ROW_LOOP void SplitCmy(const ColorValue* colours, std::size_t n, GreyRows out) {
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    out.first[x] = static_cast<std::uint8_t>(255 - c.r);
    out.second[x] = static_cast<std::uint8_t>(255 - c.g);
    out.third[x] = static_cast<std::uint8_t>(255 - c.b);
  }
}

// JFIF's coefficients in 8-bit fixed point, close enough for levels within one of the
// exact ones, and small enough for every sum to fit 16 bits, which doubles the lanes.
// Y′'s sum to 256 and Cb's and Cr's to 0, so that greys are exact; Cb and Cr start
// just under 128.5, so that their largest sum is 65535 rather than wrapping to 0.
IROBUNKAI_ROW_LOOP void SplitYCbCr(const ColorValue* colours, std::size_t n, GreyRows out) {
  constexpr int kHalf = 128;
  constexpr int kMid = (128 << 8) + kHalf - 1;
  const auto level = [](int sum) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(sum) >> 8);
  };
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    out.first[x] = level(77 * c.r + 150 * c.g + 29 * c.b + kHalf);
    out.second[x] = level(kMid - 43 * c.r - 85 * c.g + 128 * c.b);
    out.third[x] = level(kMid + 128 * c.r - 107 * c.g - 21 * c.b);
  }
}

struct Extremes {
  int max;
  int min;
};

inline Extremes ExtremesOf(const Bytes& c) {
  return {std::max(c.r, std::max(c.g, c.b)), std::min(c.r, std::min(c.g, c.b))};
}

struct HueAndSaturation {
  float hue;
  float saturation;
};

// Both as levels: the hue 255/360 of its degrees, 0 for greys, and the saturation
// delta / base, where base is positive unless delta is 0. One division serves both.
inline HueAndSaturation HueAndSaturationOf(const Bytes& c, const Extremes& e, int base) {
  const int delta = e.max - e.min;
  const bool redMax = e.max == c.r;
  const bool greenMax = !redMax && e.max == c.g;
  const int towards = redMax ? c.g - c.b : greenMax ? c.b - c.r : c.r - c.g;
  const int sector = redMax ? (c.g < c.b ? 6 : 0) : greenMax ? 2 : 4;
  const float inverse = 1.0f / Divisor(delta * base);
  const float sixths = static_cast<float>(sector) + static_cast<float>(towards * base) * inverse;
  // A factor rather than a choice of results: the vectoriser will not select
  // between results of a division, which might trap.
  return {sixths * (delta == 0 ? 0.0f : 255.0f / 6.0f),
          255.0f * static_cast<float>(delta * delta) * inverse};
}

IROBUNKAI_ROW_LOOP void SplitHsv(const ColorValue* colours, std::size_t n, GreyRows out) {
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    const Extremes e = ExtremesOf(c);
    const HueAndSaturation hs = HueAndSaturationOf(c, e, e.max);
    out.first[x] = Level(hs.hue);
    out.second[x] = Level(hs.saturation);
    out.third[x] = static_cast<std::uint8_t>(e.max);
  }
}

IROBUNKAI_ROW_LOOP void SplitHsl(const ColorValue* colours, std::size_t n, GreyRows out) {
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    const Extremes e = ExtremesOf(c);
    const int sum = e.max + e.min;
    // 1 - |2L - 1| in levels.
    const HueAndSaturation hs = HueAndSaturationOf(c, e, 255 - std::abs(sum - 255));
    out.first[x] = Level(hs.hue);
    out.second[x] = Level(hs.saturation);
    out.third[x] = static_cast<std::uint8_t>((sum + 1) >> 1);
  }
}

inline std::int32_t Bits(float v) { return std::bit_cast<std::int32_t>(v); }

// `a` if `pick`, else `b`, chosen by masking bits: the vectoriser leaves alone a loop
// that chooses between computed floats.
inline float Pick(bool pick, float a, float b) {
  const std::int32_t mask = -static_cast<std::int32_t>(pick);
  return std::bit_cast<float>((Bits(a) & mask) | (Bits(b) & ~mask));
}

// The sRGB decoding of a level, as a polynomial rather than a table, whose look-ups
// the vectoriser could only make one lane at a time. Above level 10 it is the least-
// squares fit of degree 6 to the decoding at the levels 11 to 255, in u = (level -
// 133) / 122, within 1.5e-5 of it; at 10 and below the decoding is a line.
inline float LinearOf(int level) {
  constexpr std::array<float, 7> kFit = {0.234551474f,    0.467129527f,    0.271290515f,
                                         0.0298301856f,   -0.00358389748f, 0.00135557171f,
                                         -0.000581300376f};
  const auto v = static_cast<float>(level);
  const float u = v * (1.0f / 122.0f) - 133.0f / 122.0f;
  float fit = kFit[6];
  for (std::size_t i = kFit.size() - 1; i-- > 0;) {
    fit = fit * u + kFit[i];
  }
  return Pick(level > 10, fit, v * static_cast<float>(1.0 / (255.0 * 12.92)));
}

// f(t) of CIE 1976: the cube root above ε, a line below it. The root is t * r², with
// r = t^(-1/3) estimated from t's float bits, within 3.5 %, and refined by one step of
// the series r (1 + d/3 + 2d²/9), d = 1 - t r³, to within 3.5e-4: an error of at most
// 0.35 levels in a*, the most sensitive component. No division, no branch.
inline float LabF(float t) {
  constexpr auto kEpsilon = static_cast<float>(CieLab::kEpsilon);
  constexpr auto kKappa = static_cast<float>(CieLab::kKappa);
  // t is never negative, and such floats order as their bits do.
  const bool cube = Bits(t) > Bits(kEpsilon);
  const float above = Pick(cube, t, kEpsilon);
  const auto third = static_cast<float>(Bits(above)) * (1.0f / 3.0f);
  const float r = std::bit_cast<float>(0x54A21D2A - static_cast<std::int32_t>(third));
  const float d = 1.0f - above * r * r * r;
  const float refined = r + r * d * (1.0f / 3.0f + d * (2.0f / 9.0f));
  return Pick(cube, above * refined * refined, t * (kKappa / 116.0f) + 16.0f / 116.0f);
}

// Row i of the matrix to XYZ over that white component.
constexpr std::array<float, 3> RelativeRow(std::size_t i) {
  const auto& row = CieLab::kRgbToXyz[i];
  const double white = CieLab::kWhite[i];
  return {static_cast<float>(row[0] / white), static_cast<float>(row[1] / white),
          static_cast<float>(row[2] / white)};
}

// Pixels in one stretch of the L*a*b* split: XYZ first, then L*a*b*, in two loops
// that each keep their values in registers.
constexpr std::size_t kStretch = 256;

struct XyzStretch {
  std::array<float, kStretch> x;
  std::array<float, kStretch> y;
  std::array<float, kStretch> z;
};

inline void XyzOf(const ColorValue* colours, std::size_t n, XyzStretch& xyz) {
  constexpr auto kX = RelativeRow(0);
  constexpr auto kY = RelativeRow(1);
  constexpr auto kZ = RelativeRow(2);
  for (std::size_t i = 0; i < n; ++i) {
    const Bytes c = BytesOf(colours[i]);
    const float r = LinearOf(c.r);
    const float g = LinearOf(c.g);
    const float b = LinearOf(c.b);
    xyz.x[i] = kX[0] * r + kX[1] * g + kX[2] * b;
    xyz.y[i] = kY[0] * r + kY[1] * g + kY[2] * b;
    xyz.z[i] = kZ[0] * r + kZ[1] * g + kZ[2] * b;
  }
}

inline void LabOf(const XyzStretch& xyz, std::size_t n, GreyRows out) {
  for (std::size_t i = 0; i < n; ++i) {
    const float fx = LabF(xyz.x[i]);
    const float fy = LabF(xyz.y[i]);
    const float fz = LabF(xyz.z[i]);
    // L* * 2.55, a* + 128, b* + 128.
    out.first[i] = Level(fy * (116.0f * 2.55f) - 16.0f * 2.55f);
    out.second[i] = Level(500.0f * (fx - fy) + 128.0f);
    out.third[i] = Level(200.0f * (fy - fz) + 128.0f);
  }
}

IROBUNKAI_ROW_LOOP void SplitLab(const ColorValue* colours, std::size_t n, GreyRows out) {
  XyzStretch xyz;
  for (std::size_t start = 0; start < n; start += kStretch) {
    const std::size_t count = std::min(kStretch, n - start);
    XyzOf(colours + start, count, xyz);
    LabOf(xyz, count, {out.first + start, out.second + start, out.third + start});
  }
}

}  // namespace

void SplitModelRow(ColourModel model, std::span<const ColorValue> colours, GreyRows out) {
  const ColorValue* const c = colours.data();
  const std::size_t n = colours.size();
  switch (model) {
    case ColourModel::RGB:
      return SplitRgb(c, n, out);
    case ColourModel::CMY:
      return SplitCmy(c, n, out);
    case ColourModel::HSV:
      return SplitHsv(c, n, out);
    case ColourModel::HSL:
      return SplitHsl(c, n, out);
    case ColourModel::YCbCr:
      return SplitYCbCr(c, n, out);
    case ColourModel::Lab:
      return SplitLab(c, n, out);
  }
}

}  // namespace irobunkai
