#include "colour/cmyk_conversion.h"

#include <algorithm>

#include "colour/lcms_support.h"

namespace irobunkai {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

}  // namespace

void CmykToSrgb::Deleter::operator()(void* transform) const { cmsDeleteTransform(transform); }

CmykToSrgb::CmykToSrgb(std::unique_ptr<void, Deleter> transform)
    : transform_(std::move(transform)) {}

std::unique_ptr<const CmykToSrgb> CmykToSrgb::Of(std::span<const std::uint8_t> icc, bool inverted) {
  if (icc.empty()) {
    return nullptr;
  }
  const ColourProfile::Owned profile(
      cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  if (!profile || !lcms::IsCmykProfile(profile.get())) {
    return nullptr;
  }
  const ColourProfile::Owned srgb = lcms::Srgb();
  // The alpha byte is never written: Convert sets it before the colours.
  std::unique_ptr<void, Deleter> transform(
      cmsCreateTransform(profile.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, srgb.get(),
                         TYPE_RGBA_8, INTENT_PERCEPTUAL, lcms::kSharedFlags));
  if (!transform) {
    return nullptr;
  }
  return std::make_unique<const CmykToSrgb>(std::move(transform));
}

void CmykToSrgb::Convert(std::span<const std::uint8_t> cmyk, std::span<std::uint32_t> out) const {
  std::fill(out.begin(), out.end(), kOpaque);
  cmsDoTransform(transform_.get(), cmyk.data(), out.data(),
                 static_cast<cmsUInt32Number>(out.size()));
}

}  // namespace irobunkai
