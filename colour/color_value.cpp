#include "colour/color_value.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace irobunkai {

std::string DecimalText(ColorValue c) { return std::to_string(c); }

std::string Hex(ColorValue c) {
  std::array<char, 8> digits{};
  const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(),
                                       static_cast<std::uint32_t>(c), 16);
  std::string text(digits.data(), end);
  std::ranges::transform(text, text.begin(),
                         [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
  return text;
}

}  // namespace irobunkai
