#pragma once

#include <array>
#include <functional>
#include <map>
#include <vector>

#include "colour/colour_model.h"
#include "views/channel_look.h"
#include "views/view_mapping.h"

namespace irobunkai {

/// The total ink limits a press's paper may be given, in percent.
inline constexpr std::array kInkLimits = {240, 260, 280, 300, 320, 340, 360, 400};

/// What the four picture views share: one zoom and one region of their areas, and
/// how the channel views show their channel. Views subscribe
/// and repaint when it changes. None of it changes what a view holds.
///
/// Zoom levels follow the source area: the whole-area scale (1 for an area that fits
/// the place), halvings from it up to 1:1, then 2, 3, 4, 6 ... 64 place pixels per
/// area pixel. Level 0 is the default view.
class ViewState {
 public:
  using Observer = std::function<void()>;

  ViewState(int placeWidth, int placeHeight);
  ViewState(const ViewState&) = delete;
  ViewState& operator=(const ViewState&) = delete;

  /// Calls `observer` after every change; returns a key for Unsubscribe.
  int Subscribe(Observer observer);
  void Unsubscribe(int key);

  /// A new source picture: returns to the default view of its area, with every
  /// component shown.
  void Reset(int areaWidth, int areaHeight);

  [[nodiscard]] bool IsDefault() const { return level_ == 0; }
  [[nodiscard]] double Zoom() const { return levels_[level_]; }
  [[nodiscard]] const std::vector<double>& Levels() const { return levels_; }

  /// The mapping for a view whose area is `areaWidth` x `areaHeight`. In the default
  /// view every area is shown whole (or 1:1 when it fits); otherwise all views share
  /// the source's zoom and origin.
  [[nodiscard]] ViewMapping MappingFor(int areaWidth, int areaHeight) const;

  /// Zooms by `steps` levels (negative: out) keeping the area point under the place
  /// point (placeX, placeY) where it is. Returns whether the zoom changed.
  bool ZoomBy(int steps, double placeX, double placeY);
  /// Zooms around the centre of the place.
  bool ZoomBy(int steps) { return ZoomBy(steps, placeWidth_ / 2.0, placeHeight_ / 2.0); }
  /// Moves the shown region so that the picture moves by (dx, dy) place pixels.
  void PanBy(double dx, double dy);
  /// Scrolls the least needed to show `cell` whole.
  void ShowCell(Cell cell);

  /// Channel views in their own colour (the default) or in grey.
  [[nodiscard]] ChannelLook Look() const { return look_; }
  void SetLook(ChannelLook look);
  /// Whether channel views show their histograms, and on which scale.
  [[nodiscard]] bool ShowsHistograms() const { return histograms_; }
  void ShowHistograms(bool show);
  [[nodiscard]] bool LogarithmicHistograms() const { return logarithmic_; }
  void SetLogarithmicHistograms(bool logarithmic);

  /// The model whose components a separation splits into; RGB at start.
  [[nodiscard]] ColourModel Model() const { return model_; }
  /// Chooses another model, with all its components shown in the source view.
  void SetModel(ColourModel model);
  /// Which of the model's components the source view is rebuilt from.
  [[nodiscard]] const KeptComponents& Kept() const { return kept_; }
  [[nodiscard]] bool KeepsAll() const { return kept_ == KeptComponents{true, true, true}; }
  /// Switches component 0, 1 or 2 off or back on in the source view.
  void ToggleComponent(int component);

  /// The total ink a press's paper carries, in percent: pixels above it are marked over
  /// the source view while the warning is on.
  [[nodiscard]] int InkLimit() const { return inkLimit_; }
  void SetInkLimit(int percent);
  [[nodiscard]] bool ShowsInkWarning() const { return inkWarning_; }
  void ShowInkWarning(bool show);
  /// Whether the source view shows the picture as the press will print it.
  [[nodiscard]] bool ShowsProof() const { return proof_; }
  void ShowProof(bool show);

 private:
  void Clamp();
  void Notify() const;
  [[nodiscard]] double ClampOrigin(double origin, int area, int place) const;

  int placeWidth_;
  int placeHeight_;
  int areaWidth_;
  int areaHeight_;
  std::vector<double> levels_{1.0};
  std::size_t level_ = 0;
  double originX_ = 0.0;
  double originY_ = 0.0;
  ChannelLook look_ = ChannelLook::Tinted;
  bool histograms_ = false;
  bool logarithmic_ = false;
  ColourModel model_ = ColourModel::RGB;
  KeptComponents kept_{true, true, true};
  int inkLimit_ = 300;
  bool inkWarning_ = false;
  bool proof_ = false;
  std::map<int, Observer> observers_;
  int nextKey_ = 0;
};

/// The whole-area scale: at most 1, small enough to show the whole area in the place.
double FitScale(int placeWidth, int placeHeight, int areaWidth, int areaHeight);

}  // namespace irobunkai
