#pragma once

#include <QImage>

#include "colour/colour_model.h"

namespace irobunkai {

/// Shows every pixel of `image` rebuilt from the `kept` components of `model`, the
/// others neutral. Only the frame a view paints is rebuilt, never the picture.
void ShowRebuilt(QImage& image, ColourModel model, KeptComponents kept);

}  // namespace irobunkai
