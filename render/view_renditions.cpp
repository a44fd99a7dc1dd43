#include "render/view_renditions.h"

#include "views/view_state.h"

namespace irobunkai {

std::optional<MipPyramid> ViewRenditions::SourceLevels(const PictureView& source) {
  // A picture larger than the view is shown scaled down, from the first draw on.
  if (FitScale(source.LayoutWidth(), source.LayoutHeight(), source.AreaWidth(),
               source.AreaHeight()) < 1.0) {
    return MipPyramid::OfView(source);
  }
  return std::nullopt;
}

void ViewRenditions::SetSourceLevels(std::optional<MipPyramid> levels, int picture) {
  source_ = levels ? std::make_shared<const MipPyramid>(*std::move(levels)) : nullptr;
  sourcePicture_ = picture;
}

std::shared_ptr<const MipPyramid> ViewRenditions::SourceLevelsOf(int picture) const {
  return sourcePicture_ == picture ? source_ : nullptr;
}

ViewRenditions::ChannelLevels ViewRenditions::ChannelLevelsOf(const PictureView& split, int picture,
                                                              ColourModel model) const {
  return ChannelLevelsFrom(SourceLevelsOf(picture).get(), split, model);
}

ViewRenditions::ChannelLevels ViewRenditions::ChannelLevelsFrom(const MipPyramid* colour,
                                                                const PictureView& split,
                                                                ColourModel model) {
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
  auto components = MipPyramid::ComponentsOf(*colour, model);
  for (const Channel channel : kChannels) {
    levels[channel] = std::move(components[static_cast<std::size_t>(ComponentIndex(channel))]);
  }
  return levels;
}

void ViewRenditions::SetChannelLevels(ChannelLevels levels, int picture) {
  channels_ = std::move(levels);
  channelPicture_ = picture;
}

const MipPyramid* ViewRenditions::LevelsFor(const Document& document,
                                            std::optional<Channel> channel) const {
  if (!channel) {
    return source_ && sourcePicture_ == document.PictureNumber() ? source_.get() : nullptr;
  }
  const auto& levels = channels_[*channel];
  return levels && document.IsSeparated() && channelPicture_ == document.SeparatedPicture()
             ? &*levels
             : nullptr;
}

const MipPyramid* ViewRenditions::HueLevelsFor(const Document& document) const {
  const ColourModel model = document.Separated().model;
  if (model != ColourModel::HSV && model != ColourModel::HSL) {
    return nullptr;
  }
  return LevelsFor(document, Channel::Red);
}

std::size_t ViewRenditions::Bytes() const {
  std::size_t bytes = source_ ? source_->Bytes() : 0;
  for (const auto& levels : channels_) {
    bytes += levels ? levels->Bytes() : 0;
  }
  return bytes;
}

}  // namespace irobunkai
