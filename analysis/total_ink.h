#pragma once

#include <cstdint>

#include "colour/model_text.h"
#include "colour/press_separation.h"
#include "views/picture_view.h"
#include "views/view_mapping.h"

namespace irobunkai {

/// Whether four ink levels together carry more than `limitPercent` % of ink, judged from the
/// exact levels (255 is 100 %), not from rounded percentages.
constexpr bool OverInkLimit(const InkLevels& levels, int limitPercent) {
  const int total = levels[0] + levels[1] + levels[2] + levels[3];
  return total * 100 > limitPercent * 255;
}

/// The inks at `cell` of `view`, whose colour there is `colour`: a CMYK picture's own as
/// stored, else the colour's through `press`.
InkLevels InksAt(const PictureView& view, Cell cell, ColorValue colour,
                 const PressSeparation& press);

/// How many of the picture's own pixels in `source` (its content, not the background
/// beyond) carry more ink than `limitPercent` on the press: a CMYK picture's stored inks,
/// else its colours' through `press`. Runs on every core; allocates nothing that grows
/// with the picture.
std::int64_t CountOverInkLimit(const PictureView& source, const PressSeparation& press,
                               int limitPercent);

}  // namespace irobunkai
