#include "colour/press_separation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "colour/lcms_support.h"
#include "colour/press_chain.h"
#include "colour/rgb_cells.h"

namespace irobunkai {
namespace {

using cells::kNodeCount;
using lanes::kStretch;
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
  for (std::size_t node = 0; node < kNodeCount; ++node) {
    const std::array<double, 3> colour = cells::NodeColour(node);
    std::copy(colour.begin(), colour.end(), rgb.begin() + static_cast<std::ptrdiff_t>(3 * node));
  }
  return rgb;
}

// Each node through littleCMS's floating-point transform, on every core: this runs when a
// picture is first separated.
std::vector<float> NodesOf(void* transform) {
  const std::vector<double> rgb = GridColours();
  std::vector<double> cmyk(4 * kNodeCount);
  constexpr std::size_t kSlab = std::size_t{cells::kNodes} * cells::kNodes;
#pragma omp parallel for schedule(static)
  for (int r = 0; r < cells::kNodes; ++r) {
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

IROBUNKAI_ROW_LOOP void SplitRgbRow(const float* nodes, std::span<const ColorValue> colours,
                                    std::uint8_t* c, std::uint8_t* m, std::uint8_t* y,
                                    std::uint8_t* k) {
  cells::Cells cells;
  for (std::size_t start = 0; start < colours.size(); start += kStretch) {
    const std::size_t count = std::min(kStretch, colours.size() - start);
    cells::CellsOf(colours.data() + start, count, cells);
    for (std::size_t i = 0; i < count; ++i) {
      const cells::Quad inks = cells::Interpolated(nodes, cells, i);
      // Interpolated between levels 0..255 with weights that sum to one: no clamping needed.
      const auto levels = __builtin_convertvector(inks + 0.5f, cells::QuadInt);
      c[start + i] = static_cast<std::uint8_t>(levels[0]);
      m[start + i] = static_cast<std::uint8_t>(levels[1]);
      y[start + i] = static_cast<std::uint8_t>(levels[2]);
      k[start + i] = static_cast<std::uint8_t>(levels[3]);
    }
  }
}

// Every 8-bit colour's four levels, C in the low byte, indexed by the colour: worked out once,
// on every core, so that splitting a picture costs one read per pixel.
std::vector<std::uint32_t> EveryColour(const PressChain* chain, const std::vector<float>& nodes) {
  constexpr std::size_t kLevels = 256;
  std::vector<std::uint32_t> inks(kLevels * kLevels * kLevels);
#pragma omp parallel for schedule(dynamic)
  for (int rg = 0; rg < static_cast<int>(kLevels * kLevels); ++rg) {
    std::array<ColorValue, kLevels> colours{};
    std::array<std::array<std::uint8_t, kLevels>, 4> levels{};
    for (std::size_t b = 0; b < kLevels; ++b) {
      colours[b] = static_cast<ColorValue>((static_cast<std::uint32_t>(rg) & 0xFFu) |
                                           ((static_cast<std::uint32_t>(rg) >> 8) << 8) |
                                           (static_cast<std::uint32_t>(b) << 16));
    }
    if (chain != nullptr) {
      chain->SplitRow(colours, levels[0].data(), levels[1].data(), levels[2].data(),
                      levels[3].data());
    } else {
      SplitRgbRow(nodes.data(), colours, levels[0].data(), levels[1].data(), levels[2].data(),
                  levels[3].data());
    }
    for (std::size_t b = 0; b < kLevels; ++b) {
      inks[static_cast<std::size_t>(colours[b])] = levels[0][b] | (levels[1][b] << 8) |
                                                   (levels[2][b] << 16) |
                                                   (static_cast<std::uint32_t>(levels[3][b]) << 24);
    }
  }
  return inks;
}

}  // namespace

PressSeparation::PressSeparation(void* transform, bool grey,
                                 std::unique_ptr<const PressChain> chain, InkTable inkLooks)
    : chain_(std::move(chain)), grey_(grey), inkLooks_(inkLooks) {
  if (grey) {
    greys_ = GreysOf(transform);
  } else if (chain_ == nullptr) {
    nodes_ = NodesOf(transform);
  }
}

void PressSeparation::PrepareForLargePictures() const {
  if (grey_) {
    return;  // a grey source's table is already one read per pixel
  }
  std::call_once(prepare_, [this] {
    everyColour_ = EveryColour(chain_.get(), nodes_);
    prepared_.store(true, std::memory_order_release);
  });
}

PressSeparation::~PressSeparation() = default;

std::shared_ptr<const PressSeparation> PressSeparation::Make(const ColourProfile* source,
                                                             const PressProfile& press,
                                                             PressIntent intent) {
  const ColourProfile::Owned srgb = lcms::Srgb();
  const bool grey = source != nullptr && source->IsGrey();
  const bool relative = intent == PressIntent::RelativeColorimetric;
  void* const from = source != nullptr ? source->Handle() : srgb.get();
  const cmsUInt32Number lcmsIntent = relative ? INTENT_RELATIVE_COLORIMETRIC : INTENT_PERCEPTUAL;
  const lcms::Transform t(cmsCreateTransform(
      from, grey ? TYPE_GRAY_DBL : TYPE_RGB_DBL, press.Handle(), TYPE_CMYK_DBL, lcmsIntent,
      lcms::kSharedFlags | (relative ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0)));
  if (!t) {
    return nullptr;
  }
  auto chain =
      grey ? nullptr : PressChain::Make(from, press.Handle(), lcmsIntent, relative, t.get());
  return std::make_shared<const PressSeparation>(t.get(), grey, std::move(chain),
                                                 InkLooksOf(press));
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
  if (!prepared_.load(std::memory_order_acquire)) {
    if (chain_ != nullptr) {
      chain_->SplitRow(colours, c, m, y, k);
    } else {
      SplitRgbRow(nodes_.data(), colours, c, m, y, k);
    }
    return;
  }
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::uint32_t inks = everyColour_[static_cast<std::uint32_t>(colours[i]) & 0xFFFFFFu];
    c[i] = static_cast<std::uint8_t>(inks);
    m[i] = static_cast<std::uint8_t>(inks >> 8);
    y[i] = static_cast<std::uint8_t>(inks >> 16);
    k[i] = static_cast<std::uint8_t>(inks >> 24);
  }
}

std::array<std::uint8_t, 4> PressSeparation::Levels(ColorValue colour) const {
  std::array<std::uint8_t, 4> levels{};
  SplitRow({&colour, 1}, &levels[0], &levels[1], &levels[2], &levels[3]);
  return levels;
}

}  // namespace irobunkai
