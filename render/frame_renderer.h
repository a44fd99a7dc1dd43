#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <optional>

#include "views/mip_pyramid.h"
#include "views/picture_view.h"
#include "views/view_mapping.h"

class QPainter;

namespace irobunkai {

/// The visible part of an area, ready to draw: `image` covers `target`, in logical
/// pixels of the place. Zoomed in, `image` holds one pixel per area pixel and is drawn
/// without smoothing. Zoomed out it holds at most two pixels per device pixel along
/// each axis, already box-averaged, and is drawn with bilinear smoothing; when it
/// covers only the area's content, `fill` gives the rest of the area's colour.
struct Frame {
  QImage image;
  QRectF target;
  bool smooth = false;
  struct Fill {
    QRectF area;
    ColorValue color = 0;
  };
  std::optional<Fill> fill;
};

/// What a frame is drawn from besides the view itself.
struct FrameSources {
  /// The view's levels, when it has them.
  const MipPyramid* levels = nullptr;
  /// The hue plane's levels, level for level, for a plane whose look needs the hue.
  const MipPyramid* hueLevels = nullptr;
  /// How a drawn plane's cells are shown.
  ChannelLook look = ChannelLook::Tinted;
};

/// Renders what `view` shows in `sources.look` through `mapping` in a place of `place`
/// logical pixels at `devicePixelRatio`. Only visible pixels are read; zoomed far out
/// they come from the levels, whose single-component levels are shown in the view's
/// plane look. Every zoom, the default view among them, is drawn this way. Allocates
/// only what the place shows.
Frame RenderFrame(const PictureView& view, const ViewMapping& mapping, QSize place,
                  double devicePixelRatio, const FrameSources& sources);

/// Paints a rendered frame in place coordinates.
void PaintFrame(QPainter& painter, const Frame& frame);

}  // namespace irobunkai
