#pragma once

#include "views/first_sight.h"
#include "views/view_mapping.h"

class QPainter;

namespace irobunkai {

/// Paints a first sight where the exact picture will be: its preview stretched over the
/// exact picture's area as `mapping` shows that area.
void PaintFirstSight(QPainter& painter, const FirstSight& sight, const ViewMapping& mapping);

}  // namespace irobunkai
