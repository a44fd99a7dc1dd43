#include "colour/lcms_support.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace irobunkai::lcms {
namespace {

// Well below what an eye or the readout's two decimals would notice, and well above the
// differences between the sRGB profiles in circulation (0.05 at most), which differ in
// how they round their primaries and tabulate their curves.
constexpr double kSameColour = 0.25;

std::vector<cmsCIELab> LabOf(cmsHPROFILE profile, cmsUInt32Number format,
                             const std::vector<std::uint8_t>& colours, std::size_t count) {
  const ColourProfile::Owned lab(cmsCreateLab4Profile(nullptr));
  const Transform t(cmsCreateTransform(profile, format, lab.get(), TYPE_Lab_DBL,
                                       INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE));
  if (!t) {
    return {};
  }
  std::vector<cmsCIELab> out(count);
  cmsDoTransform(t.get(), colours.data(), out.data(), static_cast<cmsUInt32Number>(count));
  return out;
}

// Every 17th level in each channel: black, white, greys, primaries and what lies between;
// for grey, every level.
std::vector<std::uint8_t> Grid(bool grey) {
  std::vector<std::uint8_t> grid;
  if (grey) {
    for (int level = 0; level < 256; ++level) {
      grid.push_back(static_cast<std::uint8_t>(level));
    }
    return grid;
  }
  for (int r = 0; r < 256; r += 17) {
    for (int g = 0; g < 256; g += 17) {
      for (int b = 0; b < 256; b += 17) {
        grid.insert(grid.end(), {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                 static_cast<std::uint8_t>(b)});
      }
    }
  }
  return grid;
}

std::vector<std::uint8_t> AsRgb(const std::vector<std::uint8_t>& greys) {
  std::vector<std::uint8_t> rgb;
  for (const std::uint8_t level : greys) {
    rgb.insert(rgb.end(), {level, level, level});
  }
  return rgb;
}

}  // namespace

bool IsSrgb(cmsHPROFILE profile) {
  const bool grey = cmsGetColorSpace(profile) == cmsSigGrayData;
  const std::vector<std::uint8_t> grid = Grid(grey);
  const std::size_t count = grey ? grid.size() : grid.size() / 3;
  const std::vector<cmsCIELab> own = LabOf(profile, grey ? TYPE_GRAY_8 : TYPE_RGB_8, grid, count);
  const ColourProfile::Owned srgb = Srgb();
  const std::vector<cmsCIELab> expected =
      LabOf(srgb.get(), TYPE_RGB_8, grey ? AsRgb(grid) : grid, count);
  if (own.size() != count || expected.size() != count) {
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (cmsDeltaE(&own[i], &expected[i]) > kSameColour) {
      return false;
    }
  }
  return true;
}

}  // namespace irobunkai::lcms
