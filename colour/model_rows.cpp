#include "colour/model_rows.h"

#include <algorithm>
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

// Pixels of a row in one stretch of the L*a*b* split, small enough for the stack.
constexpr std::size_t kStretch = 256;

struct LinearStretch {
  std::array<float, kStretch> r;
  std::array<float, kStretch> g;
  std::array<float, kStretch> b;
};

inline std::int32_t Bits(float v) { return std::bit_cast<std::int32_t>(v); }

// `a` if `pick`, else `b`, chosen by masking bits: the vectoriser leaves alone a loop
// that chooses between computed floats.
inline float Pick(bool pick, float a, float b) {
  const std::int32_t mask = -static_cast<std::int32_t>(pick);
  return std::bit_cast<float>((Bits(a) & mask) | (Bits(b) & ~mask));
}

// f(t) of CIE 1976: the cube root above ε, from an estimate of t^(-1/3) by its float
// bits refined by two Newton steps, which need no division; a line below ε.
inline float LabF(float t) {
  constexpr auto kEpsilon = static_cast<float>(CieLab::kEpsilon);
  constexpr auto kKappa = static_cast<float>(CieLab::kKappa);
  // t is never negative, and such floats order as their bits do.
  const bool cube = Bits(t) > Bits(kEpsilon);
  const float above = Pick(cube, t, kEpsilon);
  const auto estimate = static_cast<float>(Bits(above)) * (1.0f / 3.0f);
  float r = std::bit_cast<float>(0x54A2FA8C - static_cast<std::int32_t>(estimate));
  r = r * (4.0f - above * r * r * r) * (1.0f / 3.0f);
  r = r * (4.0f - above * r * r * r) * (1.0f / 3.0f);
  return Pick(cube, above * r * r, t * (kKappa / 116.0f) + 16.0f / 116.0f);
}

// Row i of the matrix to XYZ over that white component.
constexpr std::array<float, 3> RelativeRow(std::size_t i) {
  const auto& row = CieLab::kRgbToXyz[i];
  const double white = CieLab::kWhite[i];
  return {static_cast<float>(row[0] / white), static_cast<float>(row[1] / white),
          static_cast<float>(row[2] / white)};
}

inline void LabOfStretch(const LinearStretch& in, std::size_t n, GreyRows out) {
  constexpr auto kX = RelativeRow(0);
  constexpr auto kY = RelativeRow(1);
  constexpr auto kZ = RelativeRow(2);
  for (std::size_t x = 0; x < n; ++x) {
    const float fx = LabF(kX[0] * in.r[x] + kX[1] * in.g[x] + kX[2] * in.b[x]);
    const float fy = LabF(kY[0] * in.r[x] + kY[1] * in.g[x] + kY[2] * in.b[x]);
    const float fz = LabF(kZ[0] * in.r[x] + kZ[1] * in.g[x] + kZ[2] * in.b[x]);
    // L* * 2.55, a* + 128, b* + 128.
    out.first[x] = Level(fy * (116.0f * 2.55f) - 16.0f * 2.55f);
    out.second[x] = Level(500.0f * (fx - fy) + 128.0f);
    out.third[x] = Level(200.0f * (fy - fz) + 128.0f);
  }
}

IROBUNKAI_ROW_LOOP void SplitLab(const std::array<float, 256>& linear, const ColorValue* colours,
                                 std::size_t n, GreyRows out) {
  LinearStretch stretch;
  for (std::size_t start = 0; start < n; start += kStretch) {
    const std::size_t count = std::min(kStretch, n - start);
    for (std::size_t x = 0; x < count; ++x) {
      const Bytes c = BytesOf(colours[start + x]);
      stretch.r[x] = linear[static_cast<std::size_t>(c.r)];
      stretch.g[x] = linear[static_cast<std::size_t>(c.g)];
      stretch.b[x] = linear[static_cast<std::size_t>(c.b)];
    }
    LabOfStretch(stretch, count, {out.first + start, out.second + start, out.third + start});
  }
}

}  // namespace

ModelRowSplitter::ModelRowSplitter(ColourModel model) : model_(model) {
  for (std::size_t v = 0; v < linear_.size(); ++v) {
    linear_[v] = static_cast<float>(DecodeSrgb(static_cast<double>(v) / 255.0));
  }
}

void ModelRowSplitter::Split(std::span<const ColorValue> colours, GreyRows out) const {
  const ColorValue* const c = colours.data();
  const std::size_t n = colours.size();
  switch (model_) {
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
      return SplitLab(linear_, c, n, out);
  }
}

}  // namespace irobunkai
