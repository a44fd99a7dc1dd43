#include "colour/frame_conversion.h"

#include <algorithm>

#include "colour/lcms_support.h"

namespace irobunkai {
namespace {

cmsUInt32Number FormatOf(const ColourProfile* profile) {
  return profile != nullptr && profile->IsGrey() ? lcms::kGreyOfFour : TYPE_BGRA_8;
}

// littleCMS's eight-bit shortcuts for grey lose up to nine levels near black, where the
// curves of most grey profiles are steepest; there are only 256 greys to work out in full.
std::shared_ptr<const FrameConversion> OfGreys(cmsHPROFILE source, cmsHPROFILE target,
                                               bool toGrey) {
  const lcms::Transform t(cmsCreateTransform(source, TYPE_GRAY_8, target,
                                             toGrey ? lcms::kGreyOfFour : TYPE_BGRA_8,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE));
  if (!t) {
    return nullptr;
  }
  std::array<std::uint8_t, 256> levels{};
  for (std::size_t i = 0; i < levels.size(); ++i) {
    levels[i] = static_cast<std::uint8_t>(i);
  }
  FrameConversion::GreyTable greys{};
  cmsDoTransform(t.get(), levels.data(), greys.data(), 256);
  for (std::uint32_t& bgr : greys) {
    bgr = toGrey ? (bgr & 0xFFu) * 0x010101u : bgr & 0xFFFFFFu;
  }
  return std::make_shared<const FrameConversion>(greys);
}

}  // namespace

void FrameConversion::Deleter::operator()(void* transform) const { cmsDeleteTransform(transform); }

FrameConversion::FrameConversion(std::unique_ptr<void, Deleter> transform, bool toGrey)
    : transform_(std::move(transform)), toGrey_(toGrey) {}

FrameConversion::FrameConversion(const GreyTable& greys) : greys_(greys) {}

std::shared_ptr<const FrameConversion> FrameConversion::Between(const ColourProfile* from,
                                                                const ColourProfile* to) {
  if (from == to || (from != nullptr && to != nullptr && from->Icc() == to->Icc())) {
    return nullptr;
  }
  const ColourProfile::Owned srgb = lcms::Srgb();
  cmsHPROFILE source = from != nullptr ? from->Handle() : srgb.get();
  cmsHPROFILE target = to != nullptr ? to->Handle() : srgb.get();
  if (from != nullptr && from->IsGrey()) {
    return OfGreys(source, target, to != nullptr && to->IsGrey());
  }
  // Alpha (or a grey pixel's other bytes) is never written: converted in place it stays.
  std::unique_ptr<void, Deleter> transform(
      cmsCreateTransform(source, FormatOf(from), target, FormatOf(to), INTENT_RELATIVE_COLORIMETRIC,
                         lcms::kSharedFlags));
  if (!transform) {
    return nullptr;
  }
  return std::make_shared<const FrameConversion>(std::move(transform),
                                                 to != nullptr && to->IsGrey());
}

void FrameConversion::Convert(std::uint32_t* pixels, std::size_t count) const {
  if (!transform_) {
    // A grey picture: its level is the blue byte.
    for (std::size_t i = 0; i < count; ++i) {
      pixels[i] = (pixels[i] & 0xFF000000u) | greys_[pixels[i] & 0xFFu];
    }
    return;
  }
  // cmsDoTransform counts pixels in 32 bits.
  constexpr std::size_t kChunk = std::size_t{1} << 30;
  for (std::size_t start = 0; start < count; start += kChunk) {
    const std::size_t n = std::min(kChunk, count - start);
    cmsDoTransform(transform_.get(), pixels + start, pixels + start,
                   static_cast<cmsUInt32Number>(n));
  }
  if (toGrey_) {
    // Only the blue byte was written; the grey level goes to green and red too.
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t grey = pixels[i] & 0xFFu;
      pixels[i] = (pixels[i] & 0xFF000000u) | grey << 16 | grey << 8 | grey;
    }
  }
}

ColorValue FrameConversion::Convert(ColorValue colour) const {
  const auto c = static_cast<std::uint32_t>(colour);
  // 0x00BBGGRR to B, G, R, A in memory, that is 0xAARRGGBB, and back.
  std::uint32_t pixel = 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
  Convert(&pixel, 1);
  return static_cast<ColorValue>((pixel >> 16 & 0xFFu) | (pixel & 0xFF00u) | (pixel & 0xFFu) << 16);
}

}  // namespace irobunkai
