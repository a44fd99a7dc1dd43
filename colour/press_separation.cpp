#include "colour/press_separation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "colour/lcms_support.h"
#include "colour/row_lanes.h"

namespace irobunkai {
namespace {

using lanes::kStretch;
constexpr int kNodes = PressSeparation::kNodes;
constexpr std::size_t kNodeCount = std::size_t{kNodes} * kNodes * kNodes;
// littleCMS gives ink in percent.
constexpr double kLevelsPerPercent = 2.55;

float LevelOfInk(double percent) {
  return static_cast<float>(std::clamp(percent * kLevelsPerPercent, 0.0, 255.0));
}

std::uint8_t RoundedLevel(double percent) {
  return static_cast<std::uint8_t>(LevelOfInk(percent) + 0.5f);
}

std::vector<double> GridColours() {
  std::vector<double> rgb(3 * kNodeCount);
  std::size_t i = 0;
  for (int r = 0; r < kNodes; ++r) {
    for (int g = 0; g < kNodes; ++g) {
      for (int b = 0; b < kNodes; ++b) {
        rgb[i++] = r / (kNodes - 1.0);
        rgb[i++] = g / (kNodes - 1.0);
        rgb[i++] = b / (kNodes - 1.0);
      }
    }
  }
  return rgb;
}

// Each node through littleCMS's floating-point transform, on every core: this runs when a
// picture is first separated.
std::vector<float> NodesOf(void* transform) {
  const std::vector<double> rgb = GridColours();
  std::vector<double> cmyk(4 * kNodeCount);
  constexpr std::size_t kSlab = std::size_t{kNodes} * kNodes;
#pragma omp parallel for schedule(static)
  for (int r = 0; r < kNodes; ++r) {
    const std::size_t first = static_cast<std::size_t>(r) * kSlab;
    cmsDoTransform(transform, &rgb[3 * first], &cmyk[4 * first],
                   static_cast<cmsUInt32Number>(kSlab));
  }
  std::vector<float> nodes(cmyk.size());
  std::transform(cmyk.begin(), cmyk.end(), nodes.begin(), LevelOfInk);
  return nodes;
}

PressSeparation::GreyInks GreysOf(void* transform) {
  std::array<double, 256> levels{};
  for (std::size_t i = 0; i < levels.size(); ++i) {
    levels[i] = static_cast<double>(i) / 255.0;
  }
  std::array<std::array<double, 4>, 256> cmyk{};
  cmsDoTransform(transform, levels.data(), cmyk.data(), 256);
  PressSeparation::GreyInks greys{};
  for (std::size_t i = 0; i < greys.size(); ++i) {
    for (std::size_t ink = 0; ink < 4; ++ink) {
      greys[i][ink] = RoundedLevel(cmyk[i][ink]);
    }
  }
  return greys;
}

// The press alone, relative colorimetric: its paper is white and its black the grey it
// prints.
PressSeparation::InkTable InkLooksOf(const PressProfile& press) {
  const ColourProfile::Owned srgb = lcms::Srgb();
  const lcms::Transform t(cmsCreateTransform(press.Handle(), TYPE_CMYK_DBL, srgb.get(),
                                             TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                                             lcms::kSharedFlags));
  PressSeparation::InkTable looks{};
  if (!t) {
    return looks;
  }
  std::array<std::array<double, 4>, 256> inks{};
  std::array<std::array<double, 3>, 256> rgb{};
  for (std::size_t ink = 0; ink < 4; ++ink) {
    for (std::size_t level = 0; level < 256; ++level) {
      inks[level] = {};
      inks[level][ink] = static_cast<double>(level) / kLevelsPerPercent;
    }
    cmsDoTransform(t.get(), inks.data(), rgb.data(), 256);
    for (std::size_t level = 0; level < 256; ++level) {
      const auto byte = [&](std::size_t c) {
        return static_cast<ColorValue>(std::lround(std::clamp(rgb[level][c], 0.0, 1.0) * 255.0));
      };
      looks[ink][level] = RGB(byte(0), byte(1), byte(2));
    }
  }
  return looks;
}

// A node's four inks in one register: the inks of a pixel are worked out side by side.
using Quad = float __attribute__((vector_size(16)));
using QuadInt = std::int32_t __attribute__((vector_size(16)));

inline Quad QuadAt(const float* node) {
  Quad q;
  std::memcpy(&q, node, sizeof(q));
  return q;
}

// Where a stretch of colours lies in the table: for each, its tetrahedron's four corners (the
// cell's first node, and the second and third corners as offsets from it; the last is the
// cell's far corner) and their weights.
struct Cells {
  std::array<std::int32_t, kStretch> base;
  std::array<std::int32_t, kStretch> second;
  std::array<std::int32_t, kStretch> third;
  std::array<float, kStretch> w0;
  std::array<float, kStretch> w1;
  std::array<float, kStretch> w2;
  std::array<float, kStretch> w3;
};

constexpr std::int32_t kR = 4 * kNodes * kNodes;
constexpr std::int32_t kG = 4 * kNodes;
constexpr std::int32_t kB = 4;

// Tetrahedral interpolation: the cube is cut along its diagonal into six tetrahedra, and the
// one holding the colour is found by ordering the fractions. Worked out across the stretch
// by the vectoriser: the cell by arithmetic rather than a table, the choices by arithmetic
// on comparisons, as a branch would be mispredicted at every cell.
inline void CellsOf(const ColorValue* colours, std::size_t n, Cells& cells) {
  constexpr float kScale = (kNodes - 1) / 255.0f;
  for (std::size_t i = 0; i < n; ++i) {
    const lanes::Bytes c = lanes::BytesOf(colours[i]);
    const float pr = static_cast<float>(c.r) * kScale;
    const float pg = static_cast<float>(c.g) * kScale;
    const float pb = static_cast<float>(c.b) * kScale;
    // The top level lies at the top of the last cell.
    const std::int32_t ir = std::min(static_cast<std::int32_t>(pr), kNodes - 2);
    const std::int32_t ig = std::min(static_cast<std::int32_t>(pg), kNodes - 2);
    const std::int32_t ib = std::min(static_cast<std::int32_t>(pb), kNodes - 2);
    const float fr = pr - static_cast<float>(ir);
    const float fg = pg - static_cast<float>(ig);
    const float fb = pb - static_cast<float>(ib);
    const std::int32_t rg = fr >= fg;
    const std::int32_t gb = fg >= fb;
    const std::int32_t rb = fr >= fb;
    // The axis of the largest fraction is stepped first, that of the smallest last.
    const std::int32_t first = kB + (kR - kB) * (rg & rb) + (kG - kB) * ((1 - rg) & gb);
    const std::int32_t last = kR + (kB - kR) * (rb & gb) + (kG - kR) * (rg & (1 - gb));
    const float high = std::max(fr, std::max(fg, fb));
    const float low = std::min(fr, std::min(fg, fb));
    const float middle = fr + fg + fb - high - low;
    cells.base[i] = ir * kR + ig * kG + ib * kB;
    cells.second[i] = first;
    cells.third[i] = kR + kG + kB - last;
    cells.w0[i] = 1.0f - high;
    cells.w1[i] = high - middle;
    cells.w2[i] = middle - low;
    cells.w3[i] = low;
  }
}

IROBUNKAI_ROW_LOOP void SplitRgbRow(const float* nodes, std::span<const ColorValue> colours,
                                    std::uint8_t* c, std::uint8_t* m, std::uint8_t* y,
                                    std::uint8_t* k) {
  Cells cells;
  for (std::size_t start = 0; start < colours.size(); start += kStretch) {
    const std::size_t count = std::min(kStretch, colours.size() - start);
    CellsOf(colours.data() + start, count, cells);
    for (std::size_t i = 0; i < count; ++i) {
      const float* c0 = nodes + cells.base[i];
      const Quad inks = QuadAt(c0) * cells.w0[i] + QuadAt(c0 + cells.second[i]) * cells.w1[i] +
                        QuadAt(c0 + cells.third[i]) * cells.w2[i] +
                        QuadAt(c0 + (kR + kG + kB)) * cells.w3[i];
      // Interpolated between levels 0..255 with weights that sum to one: no clamping needed.
      const QuadInt levels = __builtin_convertvector(inks + 0.5f, QuadInt);
      c[start + i] = static_cast<std::uint8_t>(levels[0]);
      m[start + i] = static_cast<std::uint8_t>(levels[1]);
      y[start + i] = static_cast<std::uint8_t>(levels[2]);
      k[start + i] = static_cast<std::uint8_t>(levels[3]);
    }
  }
}

}  // namespace

PressSeparation::PressSeparation(void* transform, bool grey, InkTable inkLooks)
    : grey_(grey), inkLooks_(inkLooks) {
  if (grey) {
    greys_ = GreysOf(transform);
    return;
  }
  nodes_ = NodesOf(transform);
}

std::shared_ptr<const PressSeparation> PressSeparation::Make(const ColourProfile* source,
                                                             const PressProfile& press,
                                                             PressIntent intent) {
  const ColourProfile::Owned srgb = lcms::Srgb();
  const bool grey = source != nullptr && source->IsGrey();
  const bool relative = intent == PressIntent::RelativeColorimetric;
  const lcms::Transform t(cmsCreateTransform(
      source != nullptr ? source->Handle() : srgb.get(), grey ? TYPE_GRAY_DBL : TYPE_RGB_DBL,
      press.Handle(), TYPE_CMYK_DBL, relative ? INTENT_RELATIVE_COLORIMETRIC : INTENT_PERCEPTUAL,
      lcms::kSharedFlags | (relative ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0)));
  if (!t) {
    return nullptr;
  }
  return std::make_shared<const PressSeparation>(t.get(), grey, InkLooksOf(press));
}

void PressSeparation::SplitRow(std::span<const ColorValue> colours, std::uint8_t* c,
                               std::uint8_t* m, std::uint8_t* y, std::uint8_t* k) const {
  if (grey_) {
    for (std::size_t i = 0; i < colours.size(); ++i) {
      const auto& inks = greys_[static_cast<std::size_t>(lanes::BytesOf(colours[i]).b)];
      c[i] = inks[0];
      m[i] = inks[1];
      y[i] = inks[2];
      k[i] = inks[3];
    }
    return;
  }
  SplitRgbRow(nodes_.data(), colours, c, m, y, k);
}

std::array<std::uint8_t, 4> PressSeparation::Levels(ColorValue colour) const {
  std::array<std::uint8_t, 4> levels{};
  SplitRow({&colour, 1}, &levels[0], &levels[1], &levels[2], &levels[3]);
  return levels;
}

}  // namespace irobunkai
