#pragma once

#include <QImage>

#include "colour/colour_model.h"
#include "render/frame_renderer.h"

namespace irobunkai {

/// Shows every pixel of `image` rebuilt from the `kept` components of `model`, the
/// others neutral. Only the frame a view paints is rebuilt, never the picture.
void ShowRebuilt(QImage& image, ColourModel model, KeptComponents kept);

/// Renders the source view's frame as RenderFrame does, rebuilt from the `kept` components
/// of `model` unless all are kept.
Frame RenderSourceFrame(const PictureView& view, const ViewMapping& mapping, QSize place,
                        double devicePixelRatio, const FrameSources& sources, ColourModel model,
                        KeptComponents kept);

}  // namespace irobunkai
