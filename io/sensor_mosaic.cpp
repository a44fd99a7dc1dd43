#include "io/sensor_mosaic.h"

#include <QFile>
#include <new>

#include "io/formats/raw_mosaic.h"

namespace irobunkai {

SensorMosaic LoadSensorMosaic(const QString& path) {
  if (auto error = CheckReadable(path)) {
    return *error;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return MakeRunTimeError(error_number::kFileAccess);  // taken away since
  }
  try {
    const QByteArray bytes = file.readAll();
    MosaicResult mosaic = RawMosaic({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size())});
    if (auto* image = std::get_if<Image>(&mosaic)) {
      return std::move(*image);
    }
    if (const auto* error = std::get_if<FormatError>(&mosaic)) {
      return ErrorOf(*error);
    }
    return NoSensorMosaic{};
  } catch (const std::bad_alloc&) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
}

}  // namespace irobunkai
