#include "io/sensor_mosaic.h"

#include <QFile>
#include <QFileInfo>
#include <new>

#include "io/formats/raw_mosaic.h"

namespace irobunkai {

SensorMosaic LoadSensorMosaic(const QString& path) {
  if (!QFileInfo::exists(path)) {
    return MakeRunTimeError(error_number::kFileNotFound);
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return MakeRunTimeError(error_number::kFileAccess);
  }
  try {
    const QByteArray bytes = file.readAll();
    MosaicResult mosaic = RawMosaic({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size())});
    if (auto* image = std::get_if<Image>(&mosaic)) {
      return std::move(*image);
    }
    if (const auto* error = std::get_if<FormatError>(&mosaic)) {
      return MakeRunTimeError(*error == FormatError::TooLarge ? error_number::kOutOfMemory
                                                              : error_number::kInvalidPicture);
    }
    return NoSensorMosaic{};
  } catch (const std::bad_alloc&) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
}

}  // namespace irobunkai
