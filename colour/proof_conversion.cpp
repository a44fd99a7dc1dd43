#include "colour/proof_conversion.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "colour/lcms_support.h"

namespace irobunkai {
namespace {

// A grey picture's 256 levels through the chain once, as FrameConversion takes greys.
std::shared_ptr<const FrameConversion> OfGreys(void* transform, bool toGrey) {
  std::array<std::uint8_t, 256> levels{};
  for (std::size_t i = 0; i < levels.size(); ++i) {
    levels[i] = static_cast<std::uint8_t>(i);
  }
  FrameConversion::GreyTable greys{};
  cmsDoTransform(transform, levels.data(), greys.data(), 256);
  for (std::uint32_t& bgr : greys) {
    bgr = toGrey ? (bgr & 0xFFu) * 0x010101u : bgr & 0xFFFFFFu;
  }
  return std::make_shared<const FrameConversion>(greys);
}

}  // namespace

std::shared_ptr<const FrameConversion> ProofConversion(const ColourProfile* from,
                                                       const PressProfile& press,
                                                       PressIntent intent,
                                                       const ColourProfile* display) {
  const ColourProfile::Owned srgb = lcms::Srgb();
  const bool relative = intent == PressIntent::RelativeColorimetric;
  const cmsUInt32Number into = relative ? INTENT_RELATIVE_COLORIMETRIC : INTENT_PERCEPTUAL;
  // The press twice: as the output of the separation, then as the input of the print's
  // look. Each entry's intent and compensation govern the step into that profile.
  std::array<cmsHPROFILE, 4> chain = {from != nullptr ? from->Handle() : srgb.get(), press.Handle(),
                                      press.Handle(),
                                      display != nullptr ? display->Handle() : srgb.get()};
  std::array<cmsBool, 4> compensated = {relative, relative, FALSE, FALSE};
  std::array<cmsUInt32Number, 4> intents = {into, into, INTENT_RELATIVE_COLORIMETRIC,
                                            INTENT_RELATIVE_COLORIMETRIC};
  std::array<cmsFloat64Number, 4> adaptation = {1, 1, 1, 1};
  const bool fromGrey = from != nullptr && from->IsGrey();
  const bool toGrey = display != nullptr && display->IsGrey();
  // A grey source is worked out level by level, unoptimised, as FrameConversion does.
  std::unique_ptr<void, FrameConversion::Deleter> transform(cmsCreateExtendedTransform(
      nullptr, static_cast<cmsUInt32Number>(chain.size()), chain.data(), compensated.data(),
      intents.data(), adaptation.data(), nullptr, 0, fromGrey ? TYPE_GRAY_8 : TYPE_BGRA_8,
      toGrey ? lcms::kGreyOfFour : TYPE_BGRA_8,
      lcms::kSharedFlags | cmsFLAGS_HIGHRESPRECALC | (fromGrey ? cmsFLAGS_NOOPTIMIZE : 0)));
  if (!transform) {
    return nullptr;
  }
  if (fromGrey) {
    return OfGreys(transform.get(), toGrey);
  }
  return std::make_shared<const FrameConversion>(std::move(transform), toGrey);
}

}  // namespace irobunkai
