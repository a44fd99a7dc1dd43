#include "document/zoom_levels.h"

#include <span>

#include "views/view_state.h"

namespace irobunkai {

std::optional<MipPyramid> SourceLevels(const PictureView& source) {
  // A picture larger than the view is shown scaled down, from the first draw on.
  if (FitScale(source.LayoutWidth(), source.LayoutHeight(), source.AreaWidth(),
               source.AreaHeight()) < 1.0) {
    return MipPyramid::OfView(source);
  }
  return std::nullopt;
}

ChannelLevels ChannelLevelsFrom(const MipPyramid* colour, const PictureView& split,
                                ColourModel model, const ProfileLab* lab,
                                const PressSeparation* press) {
  if (model == ColourModel::CMYK && split.ShownInks() != nullptr) {
    return {};  // levels of the colours would not be the stored inks
  }
  std::optional<MipPyramid> made;
  if (colour == nullptr) {
    made = SourceLevels(split);
    colour = made ? &*made : nullptr;
  }
  ChannelLevels levels;
  if (colour == nullptr) {
    return levels;
  }
  if (model == ColourModel::RGB) {
    for (const Channel channel : kChannels) {
      levels[channel] = MipPyramid::ChannelOf(*colour, channel);
    }
    return levels;
  }
  auto components = MipPyramid::ComponentsOf(*colour, model, lab, press);
  for (const Channel channel :
       std::span(kPlates).first(static_cast<std::size_t>(ComponentCount(model)))) {
    levels[channel] = std::move(components[static_cast<std::size_t>(ComponentIndex(channel))]);
  }
  return levels;
}

}  // namespace irobunkai
