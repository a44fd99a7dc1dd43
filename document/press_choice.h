#pragma once

#include <memory>
#include <optional>

#include "colour/press_separation.h"
#include "document/picture_colours.h"

namespace irobunkai {

/// The press CMYK plates are made for: its output profile and rendering intent, and the
/// separation through it of the last picture colours asked for, kept for the next time.
/// GUI thread only; what it hands out is immutable and may go to any thread.
class PressChoice {
 public:
  void Set(std::shared_ptr<const PressProfile> profile, PressIntent intent);
  [[nodiscard]] const std::shared_ptr<const PressProfile>& Profile() const { return profile_; }
  [[nodiscard]] PressIntent Intent() const { return intent_; }

  /// How pictures of `colours` are split into the press's inks; null without a press
  /// profile, or when littleCMS can't join the two. May throw std::bad_alloc.
  [[nodiscard]] std::shared_ptr<const PressSeparation> For(const PictureColours& colours) const;

  /// What `For` needs to make a separation away from the GUI thread: the press, and the
  /// separation already made for `colours`, if any.
  struct Request {
    std::shared_ptr<const PressProfile> profile;
    PressIntent intent = PressIntent::RelativeColorimetric;
    std::shared_ptr<const PressSeparation> made;

    /// The separation for `colours`: the one made, else one made now. May throw
    /// std::bad_alloc.
    [[nodiscard]] std::shared_ptr<const PressSeparation> For(const PictureColours& colours) const;
  };
  [[nodiscard]] Request RequestFor(const PictureColours& colours) const;
  /// Keeps `made`, a separation of `colours` made elsewhere from a request, when the press is
  /// still the one it was made for.
  void Adopt(const PictureColours& colours, const Request& request,
             std::shared_ptr<const PressSeparation> made) const;

 private:
  std::shared_ptr<const PressProfile> profile_;
  PressIntent intent_ = PressIntent::RelativeColorimetric;
  mutable std::shared_ptr<const ColourProfile> madeFrom_;
  mutable std::shared_ptr<const PressSeparation> made_;
};

}  // namespace irobunkai
