#include "document/document.h"

#include <cmath>

#include "analysis/pixel_readout.h"

namespace irobunkai {

Document::Document(int layoutWidth, int layoutHeight, ColorValue sourceBack,
                   PerChannel<ColorValue> channelBacks)
    : source_(layoutWidth, layoutHeight, sourceBack),
      channelViews_{{PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Red]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Green]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Blue])}} {}

int Document::Subscribe(Observer observer) const {
  observers_.emplace(nextKey_, std::move(observer));
  return nextKey_++;
}

void Document::Unsubscribe(int key) const { observers_.erase(key); }

void Document::Notify(Change change) const {
  for (const auto& [key, observer] : observers_) {
    observer(change);
  }
}

PictureView Document::SourceWith(Image picture) const {
  PictureView view(source_.LayoutWidth(), source_.LayoutHeight(), source_.BackColor());
  view.SetPicture(std::move(picture));
  return view;
}

void Document::ShowPicture(Image picture, PictureSource source) {
  source_.SetPicture(std::move(picture));
  origin_ = std::move(source);
  developed_.reset();
  ++picture_;
  Notify(Change::Picture);
}

void Document::ShowMosaic(Image mosaic) {
  if (!developed_) {
    developed_ = source_.Picture();
  }
  source_.SetPicture(std::move(mosaic));
  ++picture_;
  Notify(Change::Picture);
}

void Document::ShowDeveloped() {
  if (!developed_) {
    return;
  }
  source_.SetPicture(*std::move(developed_));
  developed_.reset();
  ++picture_;
  Notify(Change::Picture);
}

void Document::Separate(SeparationOptions options) {
  // Fills the planes the channel views show in place when they fit: nothing is
  // written before every allocation has succeeded.
  SeparateChannels(source_, separation_, options);
  for (const Channel channel : kChannels) {
    PictureView& view = channelViews_[channel];
    view.Cls();
    view.DrawPlane(separation_.planes[channel], channel);
  }
  separatedPicture_ = picture_;
  separatedOrigin_ = origin_;
  Notify(Change::Separation);
}

const ChannelHistogram* Document::Histogram(Channel channel) const {
  return separation_.histograms ? &(*separation_.histograms)[channel] : nullptr;
}

void Document::CountHistograms() {
  if (separation_.IsEmpty() || separation_.histograms) {
    return;
  }
  ChannelHistograms histograms;
  for (const Channel channel : kChannels) {
    histograms[channel] = CountPlane(*separation_.planes[channel]);
  }
  separation_.histograms = histograms;
  Notify(Change::Histograms);
}

const Readout& Document::ReadOut(float x, float y) {
  readout_ = Readout{Cell{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))},
                     ShownColor(source_, x, y), source_.Point(x, y) != kNoColor, picture_};
  Notify(Change::Readout);
  return *readout_;
}

std::optional<Cell> Document::MarkOn(int picture) const {
  if (!readout_ || !readout_->inArea || readout_->picture != picture) {
    return std::nullopt;
  }
  return readout_->cell;
}

}  // namespace irobunkai
