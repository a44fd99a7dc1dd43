#pragma once

#include <QString>
#include <optional>

#include "views/first_sight.h"

namespace irobunkai {

/// The smaller rendition a picture file carries, when it has one (a HEIF thumbnail, a
/// camera raw file's preview), read without reading the whole file. Nullopt for any
/// file without one, or that can't be read: the exact decode then has its say.
std::optional<FirstSight> ReadFirstSightOfFile(const QString& path);

}  // namespace irobunkai
