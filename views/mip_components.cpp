#include <bit>
#include <cstring>
#include <span>

#include "colour/model_rows.h"
#include "views/mip_pyramid.h"

namespace irobunkai {

static_assert(std::endian::native == std::endian::little, "level bytes are read as words");

std::array<MipPyramid, 4> MipPyramid::ComponentsOf(const MipPyramid& colour, ColourModel model,
                                                   const ProfileLab* lab,
                                                   const PressSeparation* press) {
  std::array<MipPyramid, 4> components;
  const auto count = static_cast<std::size_t>(ComponentCount(model));
  for (const Level& level : colour.levels_) {
    for (MipPyramid& pyramid : std::span(components).first(count)) {
      Level single{level.width, level.height, level.reduction, 1, {}};
      single.bytes.resize(static_cast<std::size_t>(level.width) *
                          static_cast<std::size_t>(level.height));
      pyramid.levels_.push_back(std::move(single));
    }
  }
  std::vector<ColorValue> row;
  for (std::size_t i = 0; i < colour.levels_.size(); ++i) {
    const Level& level = colour.levels_[i];
    const auto width = static_cast<std::size_t>(level.width);
    row.resize(width);
    for (int y = 0; y < level.height; ++y) {
      // R, G, B, unused bytes read as one little-endian word are a ColorValue whose
      // top byte SplitModelRow ignores.
      std::memcpy(row.data(), level.Row(y), width * 4);
      const auto at = [&](int c) {
        return components[static_cast<std::size_t>(c)].levels_[i].bytes.data() +
               static_cast<std::size_t>(y) * width;
      };
      SplitModelRow(model, row, {at(0), at(1), at(2), count > 3 ? at(3) : nullptr}, lab, press);
    }
  }
  return components;
}

}  // namespace irobunkai
