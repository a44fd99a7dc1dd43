#include "document/press_choice.h"

namespace irobunkai {

void PressChoice::Set(std::shared_ptr<const PressProfile> profile, PressIntent intent) {
  profile_ = std::move(profile);
  intent_ = intent;
  made_.reset();
  madeFrom_.reset();
}

std::shared_ptr<const PressSeparation> PressChoice::For(const PictureColours& colours) const {
  if (!profile_) {
    return nullptr;
  }
  // Pictures are mostly sRGB or share a profile: the table is sampled again only for another.
  if (!made_ || madeFrom_ != colours.profile) {
    made_ = PressSeparation::Make(colours.profile.get(), *profile_, intent_);
    madeFrom_ = colours.profile;
  }
  return made_;
}

PressChoice::Request PressChoice::RequestFor(const PictureColours& colours) const {
  const bool made = made_ && madeFrom_ == colours.profile;
  return {profile_, intent_, made ? made_ : nullptr};
}

std::shared_ptr<const PressSeparation> PressChoice::Request::For(
    const PictureColours& colours) const {
  if (made || !profile) {
    return made;
  }
  return PressSeparation::Make(colours.profile.get(), *profile, intent);
}

void PressChoice::Adopt(const PictureColours& colours, const Request& request,
                        std::shared_ptr<const PressSeparation> made) const {
  if (made && request.profile == profile_ && request.intent == intent_) {
    made_ = std::move(made);
    madeFrom_ = colours.profile;
  }
}

}  // namespace irobunkai
