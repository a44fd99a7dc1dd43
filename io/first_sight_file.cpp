#include "io/first_sight_file.h"

#include <QFile>
#include <new>

#include "io/formats/first_sight.h"

namespace irobunkai {

std::optional<FirstSight> ReadFirstSightOfFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() <= 0) {
    return std::nullopt;
  }
  // Mapped, so that only the file's structure and the rendition are ever read.
  const uchar* bytes = file.map(0, file.size());
  if (bytes == nullptr) {
    return std::nullopt;
  }
  try {
    return ReadFirstSight({bytes, static_cast<std::size_t>(file.size())});
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace irobunkai
