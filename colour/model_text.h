#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "colour/color_value.h"
#include "colour/colour_model.h"

namespace irobunkai {

class ProfileLab;

/// One component value as ComponentCaption writes it, without the name: "210°", "+80.09".
std::string ComponentValueText(ColourModel model, int component, double value);

/// One component value with its name: "R 255", "H 210°", "S 45%", "Cb 85",
/// "L* 53.24", "a* +80.09". Degrees and percent are whole; RGB, CMY and Y′CbCr whole
/// levels 0..255; L*a*b* has two decimals, a* and b* always signed.
std::string ComponentCaption(ColourModel model, int component, double value);

/// The colour in `model` for the clipboard: "CMY=0,255,255", "HSV=0°,100%,100%",
/// "HSL=0°,100%,50%", "YCbCr=76,85,255", "Lab=53.24,80.09,67.20" (a sign only when
/// negative). None for RGB, whose components the readout already has.
std::optional<std::string> ClipboardField(ColourModel model, ColorValue colour,
                                          const ProfileLab* lab = nullptr);

/// What a rebuilt picture shows: the kept components' names and "−" for the others,
/// e.g. "R G −" or "Y′ − −".
/// A press's four ink levels, C, M, Y and K, 0..255 for 0..100 %.
using InkLevels = std::array<std::uint8_t, 4>;

/// An ink level in whole percent, rounded.
int InkPercent(int level);
/// The total ink of four levels in whole percent, rounded from the exact levels.
int TotalInkPercent(const InkLevels& levels);
/// "CMYK=15%,100%,100%,6% TAC=221%", for the copied readout.
std::string InkField(const InkLevels& levels);

std::string ShownCaption(ColourModel model, KeptComponents kept);

}  // namespace irobunkai
