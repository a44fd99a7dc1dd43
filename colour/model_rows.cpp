#include "colour/model_rows.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "colour/hue_rows.h"
#include "colour/lab_rows.h"
#include "colour/press_separation.h"
#include "colour/profile_lab.h"
#include "colour/row_lanes.h"

namespace irobunkai {
namespace {

using lanes::Bytes;
using lanes::BytesOf;

IROBUNKAI_ROW_LOOP void SplitRgb(const ColorValue* colours, std::size_t n, GreyRows out) {
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    out.first[x] = static_cast<std::uint8_t>(c.r);
    out.second[x] = static_cast<std::uint8_t>(c.g);
    out.third[x] = static_cast<std::uint8_t>(c.b);
  }
}

IROBUNKAI_ROW_LOOP void SplitCmy(const ColorValue* colours, std::size_t n, GreyRows out) {
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    out.first[x] = static_cast<std::uint8_t>(255 - c.r);
    out.second[x] = static_cast<std::uint8_t>(255 - c.g);
    out.third[x] = static_cast<std::uint8_t>(255 - c.b);
  }
}

// JFIF's coefficients in 8-bit fixed point, close enough for levels within one of the
// exact ones, and small enough for every sum to fit 16 bits, which doubles the lanes.
// Y′'s sum to 256 and Cb's and Cr's to 0, so that greys are exact; Cb and Cr start
// just under 128.5, so that their largest sum is 65535 rather than wrapping to 0.
IROBUNKAI_ROW_LOOP void SplitYCbCr(const ColorValue* colours, std::size_t n, GreyRows out) {
  constexpr int kHalf = 128;
  constexpr int kMid = (128 << 8) + kHalf - 1;
  const auto level = [](int sum) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(sum) >> 8);
  };
  for (std::size_t x = 0; x < n; ++x) {
    const Bytes c = BytesOf(colours[x]);
    out.first[x] = level(77 * c.r + 150 * c.g + 29 * c.b + kHalf);
    out.second[x] = level(kMid - 43 * c.r - 85 * c.g + 128 * c.b);
    out.third[x] = level(kMid + 128 * c.r - 107 * c.g - 21 * c.b);
  }
}

}  // namespace

void SplitModelRow(ColourModel model, std::span<const ColorValue> colours, GreyRows out,
                   const ProfileLab* lab, const PressSeparation* press) {
  const ColorValue* const c = colours.data();
  const std::size_t n = colours.size();
  switch (model) {
    case ColourModel::RGB:
      return SplitRgb(c, n, out);
    case ColourModel::CMY:
      return SplitCmy(c, n, out);
    case ColourModel::CMYK:
      if (press != nullptr) {
        return press->SplitRow(colours, out.first, out.second, out.third, out.fourth);
      }
      SplitCmy(c, n, out);
      if (out.fourth != nullptr) {
        std::fill_n(out.fourth, n, std::uint8_t{0});
      }
      return;
    case ColourModel::HSV:
      return SplitHsvRow(colours, out);
    case ColourModel::HSL:
      return SplitHslRow(colours, out);
    case ColourModel::YCbCr:
      return SplitYCbCr(c, n, out);
    case ColourModel::Lab:
      return lab != nullptr ? lab->SplitRow(colours, out) : SplitLabRow(colours, out);
  }
}

}  // namespace irobunkai
