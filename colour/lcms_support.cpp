#include "colour/lcms_support.h"

#include <cstddef>
#include <cstdint>
#include <string>
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

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string DescriptionOf(cmsHPROFILE profile) {
  const cmsUInt32Number bytes =
      cmsGetProfileInfo(profile, cmsInfoDescription, "en", "US", nullptr, 0);
  std::wstring wide(bytes / sizeof(wchar_t) + 1, L'\0');
  cmsGetProfileInfo(profile, cmsInfoDescription, "en", "US", wide.data(),
                    static_cast<cmsUInt32Number>(wide.size() * sizeof(wchar_t)));
  std::string name;
  for (const wchar_t c : wide) {
    if (c == L'\0') {
      break;
    }
    if (c >= 0x20 && c != 0x7F) {
      AppendUtf8(name, static_cast<char32_t>(c));
    }
  }
  const auto first = name.find_first_not_of(' ');
  name =
      first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(' ') - first + 1);
  return name.empty() ? "unnamed ICC profile" : name;
}

bool IsCmykProfile(cmsHPROFILE profile) {
  if (cmsGetColorSpace(profile) != cmsSigCmykData) {
    return false;
  }
  // A device link or an abstract profile maps between other spaces; it says nothing of
  // what these inks look like.
  const cmsProfileClassSignature kind = cmsGetDeviceClass(profile);
  if (kind == cmsSigLinkClass || kind == cmsSigAbstractClass || kind == cmsSigNamedColorClass) {
    return false;
  }
  const cmsColorSpaceSignature pcs = cmsGetPCS(profile);
  return pcs == cmsSigXYZData || pcs == cmsSigLabData;
}

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
