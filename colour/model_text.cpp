#include "colour/model_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

#include "colour/model_formulas.h"

namespace irobunkai {
namespace {

constexpr std::string_view kMinus = "\u2212";

enum class Sign { OnlyNegative, Always };

std::string Whole(double value) { return std::to_string(std::lround(value)); }

std::string TwoDecimals(double value, Sign sign) {
  double rounded = std::round(value * 100) / 100;
  if (rounded == 0) {
    rounded = 0;  // no "-0.00"
  }
  std::array<char, 32> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), rounded,
                                    std::chars_format::fixed, 2);
  std::string text = sign == Sign::Always && rounded >= 0 ? "+" : "";
  text.append(digits.data(), result.ptr);
  return text;
}

std::string ValueText(ColourModel model, int component, double value, Sign sign) {
  switch (model) {
    case ColourModel::HSV:
    case ColourModel::HSL:
      if (component == 0) {
        // 359.6° reads as 0°, the same hue.
        return std::to_string(std::lround(value) % 360) + "\u00B0";
      }
      return Whole(value) + "%";
    case ColourModel::Lab:
      return component == 0 ? TwoDecimals(value, Sign::OnlyNegative) : TwoDecimals(value, sign);
    case ColourModel::CMYK:
      return Whole(std::clamp(value, 0.0, 100.0)) + "%";
    case ColourModel::RGB:
    case ColourModel::CMY:
    case ColourModel::YCbCr:
      break;
  }
  return Whole(std::clamp(value, 0.0, 255.0));
}

std::string_view ClipboardName(ColourModel model) {
  return model == ColourModel::Lab ? "Lab" : MenuText(model);
}

}  // namespace

std::string ComponentValueText(ColourModel model, int component, double value) {
  return ValueText(model, component, value, Sign::Always);
}

std::string ComponentCaption(ColourModel model, int component, double value) {
  std::string caption(ComponentName(model, component));
  caption += ' ';
  caption += ComponentValueText(model, component, value);
  return caption;
}

std::optional<std::string> ClipboardField(ColourModel model, ColorValue colour,
                                          const ProfileLab* lab) {
  if (model == ColourModel::RGB || model == ColourModel::CMYK) {
    return std::nullopt;  // CMYK's inks need a press: InkField
  }
  const Components values = ToModel(model, colour, lab);
  std::string field(ClipboardName(model));
  field += '=';
  for (int i = 0; i < 3; ++i) {
    field += i > 0 ? "," : "";
    field += ValueText(model, i, values[static_cast<std::size_t>(i)], Sign::OnlyNegative);
  }
  return field;
}

int InkPercent(int level) { return static_cast<int>(std::lround(level * 100.0 / 255.0)); }

int TotalInkPercent(const InkLevels& levels) {
  return static_cast<int>(
      std::lround((levels[0] + levels[1] + levels[2] + levels[3]) * 100.0 / 255.0));
}

std::string InkField(const InkLevels& levels) {
  std::string field = "CMYK=";
  for (std::size_t i = 0; i < levels.size(); ++i) {
    if (i > 0) {
      field += ',';
    }
    field += std::to_string(InkPercent(levels[i]));
    field += '%';
  }
  field += " TAC=";
  field += std::to_string(TotalInkPercent(levels));
  field += '%';
  return field;
}

std::string ShownCaption(ColourModel model, KeptComponents kept) {
  std::string caption;
  for (int i = 0; i < 3; ++i) {
    caption += i > 0 ? " " : "";
    caption += kept[static_cast<std::size_t>(i)] ? ComponentName(model, i) : kMinus;
  }
  return caption;
}

}  // namespace irobunkai
