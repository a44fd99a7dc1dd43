#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "colour/channel.h"
#include "colour/component_look.h"
#include "views/channel_look.h"

namespace irobunkai {

/// How a channel view shows the grey levels of its plane: tinted, as the colour that
/// each level of one model component contributes; or as the grey of the level.
class PlaneLook {
 public:
  /// Component 0, 1 or 2 (CMYK's K: 3) of the model `looks` belong to.
  PlaneLook(std::shared_ptr<const ComponentLooks> looks, int component);
  /// An RGB channel in its own pure colour.
  static PlaneLook Of(Channel channel);

  [[nodiscard]] ColourModel Model() const { return looks_->Model(); }
  [[nodiscard]] int Component() const { return component_; }
  /// Whether the tinted look of a level depends on the same pixel's hue level (the S
  /// of HSV and HSL).
  [[nodiscard]] bool NeedsHue() const;

  /// The tinted colours of levels 0..255, when the look needs no hue.
  [[nodiscard]] const std::array<ColorValue, 256>& Levels() const {
    return looks_->Levels(component_);
  }

  /// The colour that shows `level`; `hueLevel` is read only when NeedsHue().
  [[nodiscard]] ColorValue At(std::uint8_t level, std::uint8_t hueLevel,
                              ChannelLook look = ChannelLook::Tinted) const {
    if (look == ChannelLook::Grey) {
      const std::uint8_t grey = GreyOf(Model(), level);
      return RGB(grey, grey, grey);
    }
    return looks_->Look(component_, level, hueLevel);
  }

  /// The grey that shows `level` of a `model` component: the level itself, but ink as
  /// darkness, as a film or a plate shows it.
  static constexpr std::uint8_t GreyOf(ColourModel model, std::uint8_t level) {
    return model == ColourModel::CMYK ? static_cast<std::uint8_t>(255 - level) : level;
  }

 private:
  std::shared_ptr<const ComponentLooks> looks_;
  int component_;
};

}  // namespace irobunkai
