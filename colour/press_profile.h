#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "colour/colour_profile.h"

namespace irobunkai {

enum class PressIntent { RelativeColorimetric, Perceptual };

/// A press's CMYK output profile, read by littleCMS. Immutable, shared between threads.
class PressProfile {
 public:
  /// nullptr when `icc` is not a CMYK output profile littleCMS can convert to and from; `why`
  /// (if given) then gets a short reason in Japanese and English.
  static std::shared_ptr<const PressProfile> Of(std::span<const std::uint8_t> icc,
                                                std::string* why = nullptr);

  /// The description tag, UTF-8.
  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] const std::vector<std::uint8_t>& Icc() const { return icc_; }
  /// The littleCMS profile (cmsHPROFILE).
  [[nodiscard]] void* Handle() const { return handle_.get(); }

  PressProfile(ColourProfile::Owned handle, std::string name, std::vector<std::uint8_t> icc);

 private:
  ColourProfile::Owned handle_;
  std::string name_;
  std::vector<std::uint8_t> icc_;
};

}  // namespace irobunkai
