#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace irobunkai {

enum class PressIntent { RelativeColorimetric, Perceptual };

/// A press's CMYK output profile, read by littleCMS. Immutable, shared between threads.
class PressProfile {
 public:
  static std::shared_ptr<const PressProfile> Of(std::span<const std::uint8_t> icc,
                                                std::string* why = nullptr);
  [[nodiscard]] const std::string& Name() const;
  [[nodiscard]] const std::vector<std::uint8_t>& Icc() const;
  [[nodiscard]] void* Handle() const;
};

}  // namespace irobunkai
