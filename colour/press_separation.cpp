#include "colour/press_separation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "colour/lcms_support.h"
#include "colour/row_lanes.h"

namespace irobunkai {
namespace {

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

// The node below each level and the way to the next; the last level lies at the top of the
// last cell, so every cell has a node above it.
PressSeparation::Axis AxisOf(int stride) {
  PressSeparation::Axis axis{};
  for (int level = 0; level < 256; ++level) {
    const double position = level * (kNodes - 1) / 255.0;
    const int below = std::min(static_cast<int>(position), kNodes - 2);
    axis.offset[static_cast<std::size_t>(level)] = 4 * stride * below;
    axis.fraction[static_cast<std::size_t>(level)] = static_cast<float>(position - below);
  }
  return axis;
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

using Axes = std::array<PressSeparation::Axis, 3>;

// A node's four inks in one register: the inks of a pixel are worked out side by side.
using Quad = float __attribute__((vector_size(16)));
using QuadInt = std::int32_t __attribute__((vector_size(16)));

inline Quad QuadAt(const float* node) {
  Quad q;
  std::memcpy(&q, node, sizeof(q));
  return q;
}

// Tetrahedral interpolation in the cell around `colour`: the cube is cut along its diagonal
// into six tetrahedra, and the one holding the colour is found by ordering the fractions.
// The choices are selects, not branches.
inline Quad Interpolate(const float* nodes, const Axes& axes, ColorValue colour) {
  const lanes::Bytes c = lanes::BytesOf(colour);
  const auto r = static_cast<std::size_t>(c.r);
  const auto g = static_cast<std::size_t>(c.g);
  const auto b = static_cast<std::size_t>(c.b);
  const float fr = axes[0].fraction[r];
  const float fg = axes[1].fraction[g];
  const float fb = axes[2].fraction[b];
  constexpr std::int32_t kR = 4 * kNodes * kNodes;
  constexpr std::int32_t kG = 4 * kNodes;
  constexpr std::int32_t kB = 4;
  const std::int32_t rg = fr >= fg;
  const std::int32_t gb = fg >= fb;
  const std::int32_t rb = fr >= fb;
  // The axis of the largest fraction is stepped first, that of the smallest last; chosen by
  // arithmetic on the comparisons, as a branch here would be mispredicted at every cell.
  const std::int32_t first = kB + (kR - kB) * (rg & rb) + (kG - kB) * ((1 - rg) & gb);
  const std::int32_t last = kR + (kB - kR) * (rb & gb) + (kG - kR) * (rg & (1 - gb));
  const float high = std::max(fr, std::max(fg, fb));
  const float low = std::min(fr, std::min(fg, fb));
  const float middle = fr + fg + fb - high - low;
  const float* c0 = nodes + axes[0].offset[r] + axes[1].offset[g] + axes[2].offset[b];
  return QuadAt(c0) * (1.0f - high) + QuadAt(c0 + first) * (high - middle) +
         QuadAt(c0 + (kR + kG + kB - last)) * (middle - low) + QuadAt(c0 + (kR + kG + kB)) * low;
}

IROBUNKAI_ROW_LOOP void SplitRgbRow(const float* nodes, const Axes& axes,
                                    std::span<const ColorValue> colours, std::uint8_t* c,
                                    std::uint8_t* m, std::uint8_t* y, std::uint8_t* k) {
  for (std::size_t i = 0; i < colours.size(); ++i) {
    // Interpolated between levels 0..255 with weights that sum to one: no clamping needed.
    const QuadInt levels =
        __builtin_convertvector(Interpolate(nodes, axes, colours[i]) + 0.5f, QuadInt);
    c[i] = static_cast<std::uint8_t>(levels[0]);
    m[i] = static_cast<std::uint8_t>(levels[1]);
    y[i] = static_cast<std::uint8_t>(levels[2]);
    k[i] = static_cast<std::uint8_t>(levels[3]);
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
  axes_ = {AxisOf(kNodes * kNodes), AxisOf(kNodes), AxisOf(1)};
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
  SplitRgbRow(nodes_.data(), axes_, colours, c, m, y, k);
}

std::array<std::uint8_t, 4> PressSeparation::Levels(ColorValue colour) const {
  std::array<std::uint8_t, 4> levels{};
  SplitRow({&colour, 1}, &levels[0], &levels[1], &levels[2], &levels[3]);
  return levels;
}

}  // namespace irobunkai
