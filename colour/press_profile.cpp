#include "colour/press_profile.h"

#include <utility>

#include "colour/lcms_support.h"

namespace irobunkai {
namespace {

// Both ways a separation and a proof go, in floating point as they are worked out.
bool Converts(cmsHPROFILE press) {
  const ColourProfile::Owned srgb = lcms::Srgb();
  for (const int intent : {INTENT_RELATIVE_COLORIMETRIC, INTENT_PERCEPTUAL}) {
    const lcms::Transform to(cmsCreateTransform(srgb.get(), TYPE_RGB_DBL, press, TYPE_CMYK_DBL,
                                                intent, cmsFLAGS_NOCACHE));
    if (!to) {
      return false;
    }
  }
  const lcms::Transform from(cmsCreateTransform(press, TYPE_CMYK_DBL, srgb.get(), TYPE_RGB_DBL,
                                                INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE));
  return from != nullptr;
}

std::shared_ptr<const PressProfile> Refused(std::string* why, const char* reason) {
  if (why != nullptr) {
    *why = reason;
  }
  return nullptr;
}

}  // namespace

PressProfile::PressProfile(ColourProfile::Owned handle, std::string name,
                           std::vector<std::uint8_t> icc)
    : handle_(std::move(handle)), name_(std::move(name)), icc_(std::move(icc)) {}

std::shared_ptr<const PressProfile> PressProfile::Of(std::span<const std::uint8_t> icc,
                                                     std::string* why) {
  ColourProfile::Owned handle(
      icc.empty() ? nullptr
                  : cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  if (!handle) {
    return Refused(why, "ICC プロファイルとして読めません (not a readable ICC profile)");
  }
  if (!lcms::IsCmykProfile(handle.get())) {
    return Refused(why, "CMYK の出力プロファイルではありません (not a CMYK output profile)");
  }
  // A profile whose header reads but whose tables do not is as unreadable as any.
  if (!Converts(handle.get())) {
    return Refused(why,
                   "littleCMS がこのプロファイルで変換できません "
                   "(littleCMS cannot convert through this profile)");
  }
  std::string name = lcms::DescriptionOf(handle.get());
  return std::make_shared<const PressProfile>(std::move(handle), std::move(name),
                                              std::vector<std::uint8_t>(icc.begin(), icc.end()));
}

}  // namespace irobunkai
