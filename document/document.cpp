#include "document/document.h"

#include <cmath>
#include <utility>

#include "analysis/pixel_readout.h"

namespace irobunkai {

Document::Document(int layoutWidth, int layoutHeight, ColorValue sourceBack,
                   PerChannel<ColorValue> channelBacks)
    : source_(layoutWidth, layoutHeight, sourceBack),
      channelViews_{{PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Red]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Green]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Blue])}},
      separatedSource_(source_) {}

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
  firstSight_.reset();
  source_.SetPicture(std::move(picture));
  origin_ = std::move(source);
  developed_.reset();
  ++picture_;
  Notify(Change::Picture);
}

void Document::ShowFirstSight(FirstSight sight) {
  firstSight_ = std::move(sight);
  Notify(Change::FirstSight);
}

void Document::DropFirstSight() {
  deferred_ = {};
  if (firstSight_) {
    firstSight_.reset();
    Notify(Change::FirstSight);
  }
}

void Document::DeferReadout(float x, float y) { deferred_.readout = {x, y}; }

void Document::DeferSeparation() { deferred_.separation = true; }

Document::Deferred Document::TakeDeferred() { return std::exchange(deferred_, {}); }

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
  SplitAndShow(source_, options);
  separatedSource_ = source_;
  separatedPicture_ = picture_;
  separatedOrigin_ = origin_;
  Notify(Change::Separation);
}

void Document::SeparateAgain(SeparationOptions options) {
  if (!IsSeparated()) {
    return;
  }
  SplitAndShow(separatedSource_, options);
  Notify(Change::Separation);
}

void Document::ShowSeparation(Separation separation, PictureView from, int picture,
                              PictureSource origin) {
  if (!looks_ || looks_->Model() != separation.model) {
    looks_ = std::make_shared<const ComponentLooks>(separation.model);
  }
  separation_ = std::move(separation);
  ShowPlanes();
  separatedSource_ = std::move(from);
  separatedPicture_ = picture;
  separatedOrigin_ = std::move(origin);
  Notify(Change::Separation);
}

void Document::SplitAndShow(const PictureView& from, SeparationOptions options) {
  auto looks = looks_ && looks_->Model() == options.model
                   ? looks_
                   : std::make_shared<const ComponentLooks>(options.model);
  // Fills the planes the channel views show in place when they fit: nothing is
  // written before every allocation has succeeded.
  SeparateChannels(from, separation_, options);
  looks_ = std::move(looks);
  ShowPlanes();
}

void Document::ShowPlanes() {
  for (const Channel channel : kChannels) {
    PictureView& view = channelViews_[channel];
    view.Cls();
    // S is shown in its pixel's hue, which is the first plane of HSV and HSL.
    view.DrawPlane(separation_.planes[channel], PlaneLook(looks_, ComponentIndex(channel)),
                   separation_.planes[Channel::Red]);
  }
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
