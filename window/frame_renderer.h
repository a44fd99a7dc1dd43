#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <functional>
#include <optional>

#include "views/mip_pyramid.h"
#include "views/picture_view.h"
#include "views/view_mapping.h"

namespace irobunkai {

/// The visible part of an area, ready to draw: `image` covers `target`, in logical
/// pixels of the place. Zoomed in, `image` holds one pixel per area pixel and is drawn
/// without smoothing. Zoomed out it holds at most two pixels per device pixel along
/// each axis, already box-averaged, and is drawn with bilinear smoothing.
struct Frame {
  QImage image;
  QRectF target;
  bool smooth = false;
};

/// Supplies the view's pyramid when a frame needs one; built at most once per picture.
using PyramidSource = std::function<const MipPyramid&()>;

/// Renders what `view` shows through `mapping` in a place of `place` logical pixels at
/// `devicePixelRatio`. Only visible pixels are read; zoomed far out they come from the
/// pyramid, whose single-channel levels are shown as `channel` colours.
Frame RenderFrame(const PictureView& view, const ViewMapping& mapping, QSize place,
                  double devicePixelRatio, const PyramidSource& pyramid,
                  std::optional<Channel> channel);

}  // namespace irobunkai
