#include "render/display_colours.h"

#include <cstdint>

#include "colour/proof_conversion.h"

namespace irobunkai {
namespace {

// More spaces than a session shows at once: the oldest are made again if asked for.
constexpr std::size_t kKept = 8;

}  // namespace

DisplayColours::DisplayColours(std::shared_ptr<const ColourProfile> display)
    : display_(std::move(display)) {}

const FrameConversion* DisplayColours::From(
    const std::shared_ptr<const ColourProfile>& space) const {
  if (!space && !display_) {
    return nullptr;
  }
  const auto found = made_.find(space.get());
  if (found != made_.end() && found->second.space == space) {
    return found->second.conversion.get();
  }
  if (made_.size() >= kKept) {
    made_.clear();
  }
  auto conversion = FrameConversion::Between(space.get(), display_.get());
  const FrameConversion* const made = conversion.get();
  made_[space.get()] = {space, std::move(conversion)};
  return made;
}

const FrameConversion* DisplayColours::ProofFrom(const std::shared_ptr<const ColourProfile>& space,
                                                 const std::shared_ptr<const PressProfile>& press,
                                                 PressIntent intent) const {
  if (!proof_ || proof_->space != space || proof_->press != press || proof_->intent != intent) {
    proof_ =
        Proof{space, press, intent, ProofConversion(space.get(), *press, intent, display_.get())};
  }
  return proof_->conversion.get();
}

void ConvertForDisplay(Frame& frame, const FrameConversion* conversion) {
  if (conversion == nullptr) {
    return;
  }
  QImage& image = frame.image;
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
    image.convertTo(QImage::Format_RGB32);
  }
  for (int y = 0; y < image.height(); ++y) {
    conversion->Convert(reinterpret_cast<std::uint32_t*>(image.scanLine(y)),
                        static_cast<std::size_t>(image.width()));
  }
  if (frame.fill) {
    frame.fill->color = conversion->Convert(frame.fill->color);
  }
}

}  // namespace irobunkai
