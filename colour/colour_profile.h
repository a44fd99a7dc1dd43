#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "colour/colour_description.h"

namespace irobunkai {

/// A picture's or a display's colour profile, read by littleCMS. Immutable; shared between
/// threads.
class ColourProfile {
 public:
  /// The profile `description` stands for: its ICC profile if littleCMS reads it and it is
  /// RGB or grey; else one made from its H.273 code points or its PNG chunks. nullptr means
  /// "treat as sRGB": for sRGB itself, for no description, and for anything unreadable (a
  /// broken profile is ignored, as browsers do).
  static std::shared_ptr<const ColourProfile> Of(const ColourDescription& description);
  /// A display's profile from ICC bytes (the root window's _ICC_PROFILE); nullptr for none,
  /// unreadable, not RGB, or sRGB.
  static std::shared_ptr<const ColourProfile> OfDisplay(std::span<const std::uint8_t> icc);

  /// The profile's name as its description tag gives it, UTF-8; for coded colour and PNG
  /// chunks a name of their values ("Display P3", "gamma 1.8").
  [[nodiscard]] const std::string& Name() const { return name_; }
  /// ICC bytes: as embedded, or made by littleCMS for coded colour and PNG chunks.
  [[nodiscard]] const std::vector<std::uint8_t>& Icc() const { return icc_; }
  [[nodiscard]] bool IsGrey() const { return grey_; }
  /// The littleCMS profile (cmsHPROFILE) for the other classes of this room.
  [[nodiscard]] void* Handle() const { return handle_.get(); }

  struct Closer {
    void operator()(void* profile) const;
  };
  using Owned = std::unique_ptr<void, Closer>;

  ColourProfile(Owned handle, std::string name, std::vector<std::uint8_t> icc);

 private:
  Owned handle_;
  std::string name_;
  std::vector<std::uint8_t> icc_;
  bool grey_ = false;
};

}  // namespace irobunkai
