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

InkLevels InksAt(const PictureView& view, Cell cell, ColorValue colour,
                 const PressSeparation& press) {
  const InkSamples* inks = view.Picture().Inks();
  if (inks != nullptr && !view.HasDrawing() && cell.column >= 0 && cell.row >= 0 &&
      cell.column < inks->width && cell.row < inks->height) {
    const std::uint8_t* at = inks->Row(cell.row) + static_cast<std::ptrdiff_t>(cell.column) * 4;
    return {at[0], at[1], at[2], at[3]};
  }
  return press.Levels(colour);
}

}  // namespace irobunkai
