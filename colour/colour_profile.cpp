#include "colour/colour_profile.h"

#include <optional>
#include <utility>
#include <variant>

#include "colour/lcms_support.h"
#include "colour/made_profile.h"

namespace irobunkai {
namespace {

enum class Use { Picture, Display };

// What ICC bytes turned out to be.
struct Unreadable {};
struct IsSrgb {};
using Reading = std::variant<Unreadable, IsSrgb, std::shared_ptr<const ColourProfile>>;

bool Usable(cmsHPROFILE profile, Use use) {
  const cmsColorSpaceSignature space = cmsGetColorSpace(profile);
  const bool grey = space == cmsSigGrayData;
  if (space != cmsSigRgbData && !(grey && use == Use::Picture)) {
    return false;
  }
  const cmsProfileClassSignature kind = cmsGetDeviceClass(profile);
  if (kind == cmsSigLinkClass || kind == cmsSigAbstractClass || kind == cmsSigNamedColorClass) {
    return false;
  }
  const cmsColorSpaceSignature pcs = cmsGetPCS(profile);
  if (pcs != cmsSigXYZData && pcs != cmsSigLabData) {
    return false;
  }
  // Its tags are read only now: a profile whose header reads but whose curves or tables do
  // not is as unreadable as one whose header doesn't.
  const ColourProfile::Owned srgb = lcms::Srgb();
  const lcms::Transform t =
      use == Use::Picture
          ? lcms::Transform(cmsCreateTransform(profile, grey ? TYPE_GRAY_8 : TYPE_RGB_8, srgb.get(),
                                               TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0))
          : lcms::Transform(cmsCreateTransform(srgb.get(), TYPE_RGB_8, profile, TYPE_RGB_8,
                                               INTENT_RELATIVE_COLORIMETRIC, 0));
  return t != nullptr;
}

Reading ReadIcc(std::span<const std::uint8_t> icc, Use use) {
  if (icc.empty()) {
    return Unreadable{};
  }
  ColourProfile::Owned handle(
      cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  if (!handle || !Usable(handle.get(), use)) {
    return Unreadable{};
  }
  if (lcms::IsSrgb(handle.get())) {
    return IsSrgb{};
  }
  std::string name = lcms::DescriptionOf(handle.get());
  return std::make_shared<const ColourProfile>(std::move(handle), std::move(name),
                                               std::vector<std::uint8_t>(icc.begin(), icc.end()));
}

std::vector<std::uint8_t> BytesOf(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  if (!cmsSaveProfileToMem(profile, nullptr, &size)) {
    return {};
  }
  std::vector<std::uint8_t> bytes(size);
  if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) {
    return {};
  }
  bytes.resize(size);
  return bytes;
}

std::shared_ptr<const ColourProfile> FromMade(std::optional<MadeProfile> made) {
  if (!made || lcms::IsSrgb(made->handle.get())) {
    return nullptr;
  }
  std::vector<std::uint8_t> bytes = BytesOf(made->handle.get());
  return std::make_shared<const ColourProfile>(std::move(made->handle), std::move(made->name),
                                               std::move(bytes));
}

}  // namespace

void ColourProfile::Closer::operator()(void* profile) const { cmsCloseProfile(profile); }

ColourProfile::ColourProfile(Owned handle, std::string name, std::vector<std::uint8_t> icc)
    : handle_(std::move(handle)),
      name_(std::move(name)),
      icc_(std::move(icc)),
      grey_(cmsGetColorSpace(handle_.get()) == cmsSigGrayData) {}

std::shared_ptr<const ColourProfile> ColourProfile::Of(const ColourDescription& description) {
  Reading reading = ReadIcc(description.icc, Use::Picture);
  if (std::holds_alternative<IsSrgb>(reading)) {
    return nullptr;
  }
  if (auto* profile = std::get_if<std::shared_ptr<const ColourProfile>>(&reading)) {
    return std::move(*profile);
  }
  // No ICC profile, or one that can't be read: what else the file says counts.
  if (description.coded) {
    return FromMade(ProfileOfCoded(*description.coded));
  }
  if (description.png) {
    return FromMade(ProfileOfPng(*description.png));
  }
  return nullptr;
}

std::shared_ptr<const ColourProfile> ColourProfile::OfDisplay(std::span<const std::uint8_t> icc) {
  Reading reading = ReadIcc(icc, Use::Display);
  if (auto* profile = std::get_if<std::shared_ptr<const ColourProfile>>(&reading)) {
    return std::move(*profile);
  }
  return nullptr;
}

}  // namespace irobunkai
