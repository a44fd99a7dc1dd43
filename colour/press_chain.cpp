#include "colour/press_chain.h"

#include <lcms2_plugin.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "colour/lcms_support.h"
#include "colour/rgb_cells.h"

namespace irobunkai {
namespace {

using cells::Quad;
using cells::QuadAt;
using cells::QuadInt;
using lanes::kStretch;

struct PipelineDeleter {
  void operator()(cmsPipeline* p) const { cmsPipelineFree(p); }
};
using Pipeline = std::unique_ptr<cmsPipeline, PipelineDeleter>;

constexpr double kTop = 65535.0;

// The pipeline cmsCreateTransform builds, with its rules for black point compensation.
Pipeline LinkOf(void* source, void* press, std::uint32_t intent, bool compensated) {
  std::array<cmsHPROFILE, 2> profiles{source, press};
  std::array<cmsUInt32Number, 2> intents{intent, intent};
  std::array<cmsBool, 2> bpc{};
  std::array<cmsFloat64Number, 2> adaptation{};
  for (std::size_t i = 0; i < 2; ++i) {
    const bool forced = (intent == INTENT_PERCEPTUAL || intent == INTENT_SATURATION) &&
                        cmsGetEncodedICCversion(profiles[i]) >= 0x4000000;
    bpc[i] = intent != INTENT_ABSOLUTE_COLORIMETRIC && (compensated || forced);
    adaptation[i] = cmsSetAdaptationState(-1);
  }
  const cmsUInt32Number flags =
      lcms::kSharedFlags | (compensated ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0);
  return Pipeline(_cmsDefaultICCintents(cmsGetProfileContextID(press), 2, intents.data(),
                                        profiles.data(), bpc.data(), adaptation.data(), flags));
}

// Whether the pipeline gives the transform's inks at the cube's corners and centre.
bool SameAs(const cmsPipeline* link, void* transform) {
  constexpr std::array<std::array<float, 3>, 9> kColours = {{{0, 0, 0},
                                                             {1, 0, 0},
                                                             {0, 1, 0},
                                                             {0, 0, 1},
                                                             {1, 1, 0},
                                                             {1, 0, 1},
                                                             {0, 1, 1},
                                                             {1, 1, 1},
                                                             {0.5f, 0.25f, 0.75f}}};
  for (const auto& colour : kColours) {
    const std::array<double, 3> in{colour[0], colour[1], colour[2]};
    std::array<double, 4> percent{};
    cmsDoTransform(transform, in.data(), percent.data(), 1);
    std::array<float, 4> inks{};
    cmsPipelineEvalFloat(colour.data(), inks.data(), link);
    for (std::size_t i = 0; i < 4; ++i) {
      if (std::abs(percent[i] / 100.0 - inks[i]) > 1e-5) {
        return false;
      }
    }
  }
  return true;
}

bool IsCurves(const cmsStage* s, cmsUInt32Number channels) {
  return cmsStageType(s) == cmsSigCurveSetElemType && cmsStageInputChannels(s) == channels;
}

// The last three stages if they are curves, a 16-bit grid from three inputs to four outputs,
// and curves.
std::optional<std::array<cmsStage*, 3>> PressPart(const cmsPipeline* link) {
  std::vector<cmsStage*> stages;
  for (cmsStage* s = cmsPipelineGetPtrToFirstStage(link); s != nullptr; s = cmsStageNext(s)) {
    stages.push_back(s);
  }
  if (stages.size() < 3) {
    return std::nullopt;
  }
  const std::array<cmsStage*, 3> part{stages[stages.size() - 3], stages[stages.size() - 2],
                                      stages.back()};
  if (!IsCurves(part[0], 3) || !IsCurves(part[2], 4) ||
      cmsStageType(part[1]) != cmsSigCLutElemType) {
    return std::nullopt;
  }
  const auto* grid = static_cast<const _cmsStageCLutData*>(cmsStageData(part[1]));
  const cmsInterpParams* p = grid->Params;
  const bool shaped = !grid->HasFloatValues && p->nInputs == 3 && p->nOutputs == 4 &&
                      p->nSamples[0] >= 2 && p->nSamples[1] >= 2 && p->nSamples[2] >= 2;
  return shaped ? std::optional(part) : std::nullopt;
}

cmsToneCurve* CurveOf(const cmsStage* curves, std::size_t i) {
  return static_cast<const _cmsStageToneCurvesData*>(cmsStageData(curves))->TheCurves[i];
}

// `curve` sampled at its own table's nodes, where littleCMS's interpolation between them
// has its kinks, times `unit`.
template <typename Curve>
Curve Sampled(const cmsToneCurve* curve, double unit) {
  const std::int32_t n =
      std::max(2, static_cast<std::int32_t>(cmsGetToneCurveEstimatedTableEntries(curve)));
  std::vector<float> values(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const float x = static_cast<float>(static_cast<double>(i) / (n - 1));
    values[static_cast<std::size_t>(i)] =
        static_cast<float>(cmsEvalToneCurveFloat(curve, x) * unit);
  }
  Curve sampled;
  for (std::size_t i = 0; i + 1 < values.size(); ++i) {
    sampled.steps.insert(sampled.steps.end(), {values[i], values[i + 1] - values[i]});
  }
  sampled.scale = static_cast<float>((n - 1) / kTop);
  sampled.last = n - 2;
  return sampled;
}

// The grid's 16-bit output through the curve as littleCMS evaluates it, out in percent and
// rounded to a level as PressSeparation rounds the transform's inks.
std::vector<std::uint8_t> LevelsOf(const cmsToneCurve* curve) {
  std::vector<std::uint8_t> levels(65536);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const double percent = cmsEvalToneCurveFloat(curve, static_cast<float>(i / kTop)) * 100.0;
    const float level = static_cast<float>(std::clamp(percent * 2.55, 0.0, 255.0));
    levels[i] = static_cast<std::uint8_t>(level + 0.5f);
  }
  return levels;
}

// The pipeline before the press part at each RGB node, as 16-bit values in floats.
std::vector<float> NodesOf(const cmsPipeline* head) {
  std::vector<float> nodes(4 * cells::kNodeCount);
  constexpr std::size_t kSlab = std::size_t{cells::kNodes} * cells::kNodes;
#pragma omp parallel for schedule(static)
  for (int r = 0; r < cells::kNodes; ++r) {
    const std::size_t first = static_cast<std::size_t>(r) * kSlab;
    for (std::size_t node = first; node < first + kSlab; ++node) {
      const std::array<double, 3> colour = cells::NodeColour(node);
      const std::array<float, 3> in{static_cast<float>(colour[0]), static_cast<float>(colour[1]),
                                    static_cast<float>(colour[2])};
      std::array<float, 3> out{};
      cmsPipelineEvalFloat(in.data(), out.data(), head);
      for (std::size_t i = 0; i < 3; ++i) {
        nodes[4 * node + i] = static_cast<float>(out[i] * kTop);
      }
    }
  }
  return nodes;
}

struct CurveView {
  const float* steps;
  float scale;
  std::int32_t last;
};

struct Tables {
  const float* nodes;
  std::array<CurveView, 3> first;
  const float* grid;
  std::array<std::int32_t, 3> points;
  std::array<const std::uint8_t*, 4> last;
  bool trilinear;
};

// Rounded, then clamped as integers: clamping floats would take the vectoriser branches.
inline std::int32_t Rounded(float v, std::int32_t top) {
  return std::clamp(static_cast<std::int32_t>(v + 0.5f), 0, top);
}

// littleCMS rounds the values between its stages to 16 bits.
inline float Word(float v) { return static_cast<float>(Rounded(v, 65535)); }

inline float Through(const CurveView& curve, float word) {
  const float x = word * curve.scale;
  const std::int32_t j = std::min(static_cast<std::int32_t>(x), curve.last);
  const float f = x - static_cast<float>(j);
  return curve.steps[2 * j] + f * curve.steps[2 * j + 1];
}

// A stretch of colours on their way through the press's part.
struct Stretch {
  std::array<Quad, kStretch> in;
  std::array<std::int32_t, kStretch> base;
  std::array<std::array<float, kStretch>, 3> fractions;
  std::array<Quad, kStretch> out;
};

// The values fed to the first curves, interpolated over RGB.
inline void ValuesOf(const float* nodes, const cells::Cells& rgb, std::size_t n, Stretch& s) {
  for (std::size_t i = 0; i < n; ++i) {
    s.in[i] = cells::Interpolated(nodes, rgb, i);
  }
}

// Through the first curves to the grid's cells and fractions, a channel at a time across the
// stretch for the vectoriser.
inline void GridCellsOf(const Tables& t, std::size_t n, Stretch& s) {
  const std::int32_t s1 = 4 * t.points[2];
  const std::array<std::int32_t, 3> strides{s1 * t.points[1], s1, 4};
  std::fill_n(s.base.begin(), n, 0);
  for (std::size_t a = 0; a < 3; ++a) {
    const CurveView curve = t.first[a];
    const float scale = static_cast<float>((t.points[a] - 1) / kTop);
    const std::int32_t top = t.points[a] - 2;
    for (std::size_t i = 0; i < n; ++i) {
      const float p = Word(Through(curve, Word(s.in[i][a]))) * scale;
      // The top value lies at the top of the last cell.
      const std::int32_t cell = std::min(static_cast<std::int32_t>(p), top);
      s.base[i] += cell * strides[a];
      s.fractions[a][i] = p - static_cast<float>(cell);
    }
  }
}

inline Quad Lerp(Quad a, Quad b, float f) { return a + (b - a) * f; }

inline void TrilinearOutputsOf(const Tables& t, std::size_t n, Stretch& s) {
  const std::int32_t s1 = 4 * t.points[2];
  const std::int32_t s0 = s1 * t.points[1];
  for (std::size_t i = 0; i < n; ++i) {
    const float* b = t.grid + s.base[i];
    const float f2 = s.fractions[2][i];
    const Quad x00 = Lerp(QuadAt(b), QuadAt(b + 4), f2);
    const Quad x01 = Lerp(QuadAt(b + s1), QuadAt(b + s1 + 4), f2);
    const Quad x10 = Lerp(QuadAt(b + s0), QuadAt(b + s0 + 4), f2);
    const Quad x11 = Lerp(QuadAt(b + s0 + s1), QuadAt(b + s0 + s1 + 4), f2);
    const float f1 = s.fractions[1][i];
    s.out[i] = Lerp(Lerp(x00, x01, f1), Lerp(x10, x11, f1), s.fractions[0][i]);
  }
}

inline void TetrahedralOutputsOf(const Tables& t, std::size_t n, Stretch& s,
                                 cells::Cells& tetrahedra) {
  const std::int32_t s1 = 4 * t.points[2];
  const std::int32_t s0 = s1 * t.points[1];
  for (std::size_t i = 0; i < n; ++i) {
    tetrahedra.base[i] = s.base[i];
    cells::Tetrahedron(s.fractions[0][i], s.fractions[1][i], s.fractions[2][i], s0, s1, 4,
                       tetrahedra, i);
  }
  for (std::size_t i = 0; i < n; ++i) {
    s.out[i] = cells::Interpolated(t.grid, tetrahedra, i, s0 + s1 + 4);
  }
}

// Through the last curves to levels.
inline void LevelsOf(const Tables& t, const Stretch& s, std::size_t n,
                     std::array<std::uint8_t*, 4> rows) {
  for (std::size_t ink = 0; ink < 4; ++ink) {
    std::array<std::int32_t, kStretch> words;
    for (std::size_t i = 0; i < n; ++i) {
      words[i] = Rounded(s.out[i][ink], 65535);
    }
    const std::uint8_t* levels = t.last[ink];
    for (std::size_t i = 0; i < n; ++i) {
      rows[ink][i] = levels[words[i]];
    }
  }
}

IROBUNKAI_ROW_LOOP void SplitChainRow(const Tables& t, std::span<const ColorValue> colours,
                                      std::array<std::uint8_t*, 4> rows) {
  cells::Cells rgb;
  Stretch s;
  for (std::size_t start = 0; start < colours.size(); start += kStretch) {
    const std::size_t count = std::min(kStretch, colours.size() - start);
    cells::CellsOf(colours.data() + start, count, rgb);
    ValuesOf(t.nodes, rgb, count, s);
    GridCellsOf(t, count, s);
    if (t.trilinear) {
      TrilinearOutputsOf(t, count, s);
    } else {
      TetrahedralOutputsOf(t, count, s, rgb);
    }
    LevelsOf(t, s, count, rows);
    for (std::uint8_t*& row : rows) {
      row += count;
    }
  }
}

}  // namespace

std::unique_ptr<const PressChain> PressChain::Make(void* source, void* press, std::uint32_t intent,
                                                   bool compensated, void* transform) {
  const Pipeline link = LinkOf(source, press, intent, compensated);
  if (!link || !SameAs(link.get(), transform)) {
    return nullptr;
  }
  const auto part = PressPart(link.get());
  if (!part) {
    return nullptr;
  }
  auto chain = std::make_unique<PressChain>();
  for (std::size_t i = 0; i < 3; ++i) {
    chain->first_[i] = Sampled<Curve>(CurveOf((*part)[0], i), kTop);
  }
  const auto* grid = static_cast<const _cmsStageCLutData*>(cmsStageData((*part)[1]));
  chain->grid_.assign(grid->Tab.T, grid->Tab.T + grid->nEntries);
  chain->trilinear_ = (grid->Params->dwFlags & CMS_LERP_FLAGS_TRILINEAR) != 0;
  for (std::size_t i = 0; i < 3; ++i) {
    chain->points_[i] = static_cast<std::int32_t>(grid->Params->nSamples[i]);
  }
  for (std::size_t i = 0; i < 4; ++i) {
    chain->last_[i] = LevelsOf(CurveOf((*part)[2], i));
  }
  for (int i = 0; i < 3; ++i) {
    cmsPipelineUnlinkStage(link.get(), cmsAT_END, nullptr);
  }
  chain->nodes_ = NodesOf(link.get());
  return chain;
}

void PressChain::SplitRow(std::span<const ColorValue> colours, std::uint8_t* c, std::uint8_t* m,
                          std::uint8_t* y, std::uint8_t* k) const {
  const auto view = [](const Curve& curve) {
    return CurveView{curve.steps.data(), curve.scale, curve.last};
  };
  const Tables t{nodes_.data(),
                 {view(first_[0]), view(first_[1]), view(first_[2])},
                 grid_.data(),
                 points_,
                 {last_[0].data(), last_[1].data(), last_[2].data(), last_[3].data()},
                 trilinear_};
  SplitChainRow(t, colours, {c, m, y, k});
}

}  // namespace irobunkai
