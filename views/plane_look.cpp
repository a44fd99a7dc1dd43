#include "views/plane_look.h"

#include <stdexcept>

namespace irobunkai {

PlaneLook::PlaneLook(std::shared_ptr<const ComponentLooks> looks, int component)
    : looks_(std::move(looks)), component_(component) {
  if (!looks_ || component < 0 || component >= ComponentCount(looks_->Model())) {
    throw std::invalid_argument("PlaneLook: a component of the model (0 to 2, CMYK's K 3)");
  }
}

PlaneLook PlaneLook::Of(Channel channel) {
  return {std::make_shared<const ComponentLooks>(ColourModel::RGB), ComponentIndex(channel)};
}

bool PlaneLook::NeedsHue() const {
  return component_ == 1 && (Model() == ColourModel::HSV || Model() == ColourModel::HSL);
}

}  // namespace irobunkai
