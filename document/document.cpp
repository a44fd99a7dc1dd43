#include "document/document.h"

#include <cmath>
#include <utility>

#include "analysis/pixel_readout.h"
#include "analysis/total_ink.h"

namespace irobunkai {

Document::Document(int layoutWidth, int layoutHeight, ColorValue sourceBack,
                   PerChannel<ColorValue> channelBacks)
    : source_(layoutWidth, layoutHeight, sourceBack),
      views_(layoutWidth, layoutHeight),
      channelViews_{{PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Red]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Green]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Blue]),
                     PictureView(layoutWidth, layoutHeight, channelBacks[Channel::Black])}},
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

void Document::SetSourceLevels(std::optional<MipPyramid> levels) {
  sourceLevels_ = levels ? std::make_shared<const MipPyramid>(*std::move(levels)) : nullptr;
}

void Document::ShowPicture(Image picture, PictureSource source) {
  std::optional<MipPyramid> levels = SourceLevels(SourceWith(picture));
  PictureColours colours = PictureColours::Of(source.colour);
  ShowPicture(std::move(picture), std::move(source), std::move(levels), std::move(colours));
}

void Document::ShowPicture(Image picture, PictureSource source, std::optional<MipPyramid> levels,
                           PictureColours colours) {
  firstSight_.reset();
  SetSourceLevels(std::move(levels));
  source_.SetPicture(std::move(picture));
  // A new picture is looked at from the start: whole.
  views_.Reset(source_.AreaWidth(), source_.AreaHeight());
  colours_ = std::move(colours);
  origin_ = std::move(source);
  developed_.reset();
  ++picture_;
  Notify(Change::Picture);
}

void Document::LookAtNewArea(const Image& before) {
  // The mosaic covers the developed picture's area: the learner flips between the two
  // where they are looking.
  const Image& now = source_.Picture();
  if (now.Width() != before.Width() || now.Height() != before.Height()) {
    views_.Reset(source_.AreaWidth(), source_.AreaHeight());
  }
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

void Document::ShowMosaic(Image mosaic, std::optional<MipPyramid> levels) {
  if (!developed_) {
    developed_ = source_.Picture();
  }
  SetSourceLevels(std::move(levels));
  const Image before = source_.Picture();
  source_.SetPicture(std::move(mosaic));
  LookAtNewArea(before);
  ++picture_;
  Notify(Change::Picture);
}

void Document::ShowDeveloped(std::optional<MipPyramid> levels) {
  if (!developed_) {
    return;
  }
  SetSourceLevels(std::move(levels));
  const Image before = source_.Picture();
  source_.SetPicture(*std::move(developed_));
  LookAtNewArea(before);
  developed_.reset();
  ++picture_;
  Notify(Change::Picture);
}

namespace {

std::shared_ptr<const PressSeparation> PressFor(const PressChoice& press, ColourModel model,
                                                const PictureColours& colours) {
  return model == ColourModel::CMYK ? press.For(colours) : nullptr;
}

}  // namespace

void Document::Separate(SeparationOptions options) {
  options.lab = colours_.Lab();
  auto press = PressFor(press_, options.model, colours_);
  options.press = press.get();
  PreparePress(source_, options);
  // Everything is allocated before anything changes.
  ChannelLevels levels =
      ChannelLevelsFrom(sourceLevels_.get(), source_, options.model, options.lab, options.press);
  SplitAndShow(source_, options, std::move(press));
  channelLevels_ = std::move(levels);
  separatedLevels_ = sourceLevels_;
  separatedSource_ = source_;
  separatedPicture_ = picture_;
  separatedOrigin_ = origin_;
  separatedColours_ = colours_;
  Notify(Change::Separation);
}

void Document::SeparateAgain(SeparationOptions options) {
  if (!IsSeparated()) {
    return;
  }
  options.lab = separatedColours_.Lab();
  auto press = PressFor(press_, options.model, separatedColours_);
  options.press = press.get();
  PreparePress(separatedSource_, options);
  ChannelLevels levels = ChannelLevelsFrom(separatedLevels_.get(), separatedSource_, options.model,
                                           options.lab, options.press);
  SplitAndShow(separatedSource_, options, std::move(press));
  channelLevels_ = std::move(levels);
  Notify(Change::Separation);
}

SeparationWork Document::SeparationOfSource(SeparationOptions options) const {
  return {
      source_, picture_, origin_, sourceLevels_, options, colours_, press_.RequestFor(colours_)};
}

SeparationWork Document::SeparationOfSeparated(SeparationOptions options) const {
  return {separatedSource_,
          separatedPicture_,
          separatedOrigin_,
          separatedLevels_,
          options,
          separatedColours_,
          press_.RequestFor(separatedColours_)};
}

MadeSeparation SeparationWork::Make() const {
  SeparationOptions through = options;
  through.lab = colours.Lab();
  // Sampling the press's table takes a moment: here, on the worker, rather than when asked.
  auto made = through.model == ColourModel::CMYK ? press.For(colours) : nullptr;
  through.press = made.get();
  PreparePress(from, through);
  ChannelLevels levels =
      ChannelLevelsFrom(sourceLevels.get(), from, through.model, through.lab, through.press);
  return {SeparateChannels(from, through),
          std::move(levels),
          from,
          picture,
          origin,
          sourceLevels,
          colours,
          std::move(made),
          press};
}

void Document::ShowSeparation(MadeSeparation made) {
  looks_ = LooksFor(made.separation.model, made.press);
  press_.Adopt(made.colours, made.pressRequest, made.press);
  separatedPress_ = std::move(made.press);
  separation_ = std::move(made.separation);
  ShowPlanes();
  channelLevels_ = std::move(made.levels);
  separatedLevels_ = std::move(made.sourceLevels);
  separatedSource_ = std::move(made.from);
  separatedPicture_ = made.picture;
  separatedOrigin_ = std::move(made.origin);
  separatedColours_ = std::move(made.colours);
  Notify(Change::Separation);
}

std::shared_ptr<const ComponentLooks> Document::LooksFor(
    ColourModel model, const std::shared_ptr<const PressSeparation>& press) const {
  if (model == ColourModel::CMYK && press) {
    // Each press prints its inks its own way: the looks go with the separation made.
    return press == separatedPress_ && looks_ && looks_->Model() == model
               ? looks_
               : std::make_shared<const ComponentLooks>(press->InkLooks());
  }
  return looks_ && looks_->Model() == model ? looks_
                                            : std::make_shared<const ComponentLooks>(model);
}

void Document::SplitAndShow(const PictureView& from, SeparationOptions options,
                            std::shared_ptr<const PressSeparation> press) {
  auto looks = LooksFor(options.model, press);
  // Fills the planes the channel views show in place when they fit: nothing is
  // written before every allocation has succeeded.
  SeparateChannels(from, separation_, options);
  looks_ = std::move(looks);
  separatedPress_ = std::move(press);
  ShowPlanes();
}

void Document::ShowPlanes() {
  for (const Channel channel : kPlates) {
    PictureView& view = channelViews_[channel];
    view.Cls();
    if (!separation_.Has(channel)) {
      continue;  // the black plate's view stays blank outside CMYK
    }
    // S is shown in its pixel's hue, which is the first plane of HSV and HSL.
    view.DrawPlane(separation_.planes[channel], PlaneLook(looks_, ComponentIndex(channel)),
                   separation_.planes[Channel::Red]);
  }
}

const MipPyramid* Document::LevelsFor(std::optional<Channel> channel) const {
  if (!channel) {
    return sourceLevels_.get();
  }
  const auto& levels = channelLevels_[*channel];
  return levels && IsSeparated() ? &*levels : nullptr;
}

const MipPyramid* Document::HueLevels() const {
  // The hue is the first component of HSV and HSL.
  const ColourModel model = separation_.model;
  return model == ColourModel::HSV || model == ColourModel::HSL ? LevelsFor(Channel::Red) : nullptr;
}

std::size_t Document::LevelBytes() const {
  std::size_t bytes = sourceLevels_ ? sourceLevels_->Bytes() : 0;
  for (const auto& levels : channelLevels_) {
    bytes += levels ? levels->Bytes() : 0;
  }
  return bytes;
}

void Document::SetPress(std::shared_ptr<const PressProfile> profile, PressIntent intent) {
  press_.Set(std::move(profile), intent);
  Notify(Change::Press);
}

std::optional<InkLevels> Document::InksAtReadout() const {
  if (!readout_ || !readout_->inArea || readout_->picture != picture_) {
    return std::nullopt;
  }
  const auto press = press_.For(colours_);
  if (!press) {
    return std::nullopt;
  }
  return InksAt(source_, readout_->cell, readout_->color, *press);
}

std::optional<std::int64_t> Document::CountOverInk(int limitPercent) const {
  const auto press = press_.For(colours_);
  if (!press || firstSight_) {
    return std::nullopt;
  }
  if (!inkCount_ || inkCount_->picture != picture_ || inkCount_->press != press ||
      inkCount_->limit != limitPercent) {
    const std::int64_t over = CountOverInkLimit(source_, *press, limitPercent);
    inkCount_ = InkCount{picture_, press, limitPercent, over};
  }
  return inkCount_->over;
}

const ChannelHistogram* Document::Histogram(Channel channel) const {
  return separation_.histograms ? &(*separation_.histograms)[channel] : nullptr;
}

void Document::CountHistograms() {
  if (separation_.IsEmpty() || separation_.histograms) {
    return;
  }
  separation_.histograms = CountPlanes(separation_);
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
