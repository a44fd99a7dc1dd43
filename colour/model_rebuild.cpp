#include "colour/model_rebuild.h"

#include <array>
#include <cstddef>

#include "colour/model_formulas.h"

namespace irobunkai {
namespace {

// In the order of ColourModel.
constexpr std::array<Components, kColourModels.size() + 1> kNeutral = {{
    {0, 0, 0},
    {0, 0, 0},
    {0, 0, 100},
    {0, 0, 50},
    {128, 128, 128},
    {50, 0, 0},
    {0, 0, 0},
}};

}  // namespace

double NeutralValue(ColourModel model, int component) {
  return kNeutral[static_cast<std::size_t>(model)][static_cast<std::size_t>(component)];
}

ColorValue Rebuild(ColourModel model, ColorValue colour, KeptComponents kept) {
  Components values = ToModel(model, colour);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!kept[i]) {
      values[i] = NeutralValue(model, static_cast<int>(i));
    }
  }
  return FromModel(model, values);
}

}  // namespace irobunkai
