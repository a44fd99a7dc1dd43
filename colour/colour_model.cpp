#include "colour/colour_model.h"

#include <cstddef>

namespace irobunkai {
namespace {

struct ModelNames {
  std::string_view menu;
  std::array<std::string_view, 4> components;
};

// In the order of ColourModel.
constexpr std::array<ModelNames, kColourModels.size() + 1> kNames = {{
    {"RGB", {"R", "G", "B"}},
    {"CMY", {"C", "M", "Y"}},
    {"HSV", {"H", "S", "V"}},
    {"HSL", {"H", "S", "L"}},
    {"YCbCr", {"Y\u2032", "Cb", "Cr"}},
    {"L*a*b*", {"L*", "a*", "b*"}},
    {"CMYK", {"C", "M", "Y", "K"}},
}};

const ModelNames& NamesOf(ColourModel model) { return kNames[static_cast<std::size_t>(model)]; }

}  // namespace

std::string_view MenuText(ColourModel model) { return NamesOf(model).menu; }

std::string_view ComponentName(ColourModel model, int component) {
  return NamesOf(model).components[static_cast<std::size_t>(component)];
}

}  // namespace irobunkai
