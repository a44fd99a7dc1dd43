#include "views/view_state.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace irobunkai {
namespace {

constexpr std::array kMagnifications = {2.0,  3.0,  4.0,  6.0,  8.0, 12.0,
                                        16.0, 24.0, 32.0, 48.0, 64.0};

std::vector<double> LevelsFrom(double fit) {
  std::vector<double> levels;
  // Halvings from the whole-area scale; a step of under a tenth to 1:1 would feel like none.
  for (double scale = fit; scale < 0.9; scale *= 2) {
    levels.push_back(scale);
  }
  levels.push_back(1.0);
  levels.insert(levels.end(), kMagnifications.begin(), kMagnifications.end());
  return levels;
}

}  // namespace

double FitScale(int placeWidth, int placeHeight, int areaWidth, int areaHeight) {
  if (areaWidth <= placeWidth && areaHeight <= placeHeight) {
    return 1.0;
  }
  return std::min(static_cast<double>(placeWidth) / areaWidth,
                  static_cast<double>(placeHeight) / areaHeight);
}

ViewState::ViewState(int placeWidth, int placeHeight)
    : placeWidth_(placeWidth),
      placeHeight_(placeHeight),
      areaWidth_(placeWidth),
      areaHeight_(placeHeight) {
  if (placeWidth <= 0 || placeHeight <= 0) {
    throw std::invalid_argument("ViewState: the place must have pixels");
  }
  levels_ = LevelsFrom(1.0);
}

int ViewState::Subscribe(Observer observer) {
  observers_.emplace(nextKey_, std::move(observer));
  return nextKey_++;
}

void ViewState::Unsubscribe(int key) { observers_.erase(key); }

void ViewState::Notify() const {
  for (const auto& [key, observer] : observers_) {
    observer();
  }
}

void ViewState::Reset(int areaWidth, int areaHeight) {
  areaWidth_ = std::max(1, areaWidth);
  areaHeight_ = std::max(1, areaHeight);
  levels_ = LevelsFrom(FitScale(placeWidth_, placeHeight_, areaWidth_, areaHeight_));
  level_ = 0;
  originX_ = 0.0;
  originY_ = 0.0;
  kept_ = {true, true, true};
  // A new picture is shown as it is: marks and proofs were asked of the one before.
  inkWarning_ = false;
  proof_ = false;
  Notify();
}

ViewMapping ViewState::MappingFor(int areaWidth, int areaHeight) const {
  if (IsDefault()) {
    return {FitScale(placeWidth_, placeHeight_, areaWidth, areaHeight), 0.0, 0.0};
  }
  return {Zoom(), originX_, originY_};
}

double ViewState::ClampOrigin(double origin, int area, int place) const {
  const double shown = place / Zoom();
  if (shown >= area) {
    return 0.0;  // the whole area fits: keep it at the top-left, as at 1:1
  }
  origin = std::clamp(origin, 0.0, area - shown);
  if (Zoom() >= 1.0) {
    // Whole place pixels per area pixel: every pixel is drawn as an equal block.
    origin = std::round(origin * Zoom()) / Zoom();
  }
  return origin;
}

void ViewState::Clamp() {
  originX_ = ClampOrigin(originX_, areaWidth_, placeWidth_);
  originY_ = ClampOrigin(originY_, areaHeight_, placeHeight_);
}

bool ViewState::ZoomBy(int steps, double placeX, double placeY) {
  const auto last = static_cast<long>(levels_.size()) - 1;
  const auto target =
      static_cast<std::size_t>(std::clamp(static_cast<long>(level_) + steps, 0L, last));
  if (target == level_) {
    return false;
  }
  const double areaX = originX_ + placeX / Zoom();
  const double areaY = originY_ + placeY / Zoom();
  level_ = target;
  originX_ = areaX - placeX / Zoom();
  originY_ = areaY - placeY / Zoom();
  Clamp();
  Notify();
  return true;
}

void ViewState::PanBy(double dx, double dy) {
  if (IsDefault()) {
    return;  // the default view shows the whole area
  }
  const double oldX = originX_;
  const double oldY = originY_;
  originX_ -= dx / Zoom();
  originY_ -= dy / Zoom();
  Clamp();
  if (originX_ != oldX || originY_ != oldY) {
    Notify();
  }
}

void ViewState::ShowCell(Cell cell) {
  if (!IsDefault()) {
    const double shownWidth = placeWidth_ / Zoom();
    const double shownHeight = placeHeight_ / Zoom();
    const auto scrollTo = [](double origin, int at, double shown) {
      if (at < origin) {
        return static_cast<double>(at);
      }
      if (at + 1 > origin + shown) {
        return at + 1 - shown;
      }
      return origin;
    };
    originX_ = scrollTo(originX_, cell.column, shownWidth);
    originY_ = scrollTo(originY_, cell.row, shownHeight);
    Clamp();
  }
  Notify();
}

void ViewState::SetLook(ChannelLook look) {
  look_ = look;
  Notify();
}

void ViewState::ShowHistograms(bool show) {
  histograms_ = show;
  Notify();
}

void ViewState::SetLogarithmicHistograms(bool logarithmic) {
  logarithmic_ = logarithmic;
  Notify();
}

void ViewState::SetModel(ColourModel model) {
  model_ = model;
  kept_ = {true, true, true};
  Notify();
}

void ViewState::ToggleComponent(int component) {
  if (component < 0 || component > 2) {
    throw std::out_of_range("ViewState::ToggleComponent: a component is 0, 1 or 2");
  }
  auto& kept = kept_[static_cast<std::size_t>(component)];
  kept = !kept;
  Notify();
}

void ViewState::SetInkLimit(int percent) {
  inkLimit_ = percent;
  Notify();
}

void ViewState::ShowInkWarning(bool show) {
  inkWarning_ = show;
  Notify();
}

void ViewState::ShowProof(bool show) {
  proof_ = show;
  Notify();
}

}  // namespace irobunkai
