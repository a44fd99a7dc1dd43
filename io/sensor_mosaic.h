#pragma once

#include <QString>
#include <variant>

#include "io/run_time_error.h"
#include "views/image.h"

namespace irobunkai {

/// The file holds no colour mosaic: it is no camera raw file, or its raw data is
/// already demosaiced, or monochrome.
struct NoSensorMosaic {};

/// A camera raw file's photosites, each in its filter's colour at its recorded
/// strength, over the developed picture's area and turned as it is.
using SensorMosaic = std::variant<Image, NoSensorMosaic, RunTimeError>;

/// Reads the sensor mosaic of the raw file at `path`. Failures come back as errors
/// 53, 75, 481 or 7, as for loading a picture.
SensorMosaic LoadSensorMosaic(const QString& path);

}  // namespace irobunkai
