#pragma once

#include <QString>
#include <variant>

#include "io/picture_loader.h"

class QMimeData;

namespace irobunkai {

/// Nothing on the clipboard that could be a picture.
struct NoPicture {};

/// What the clipboard offers: a picture's file (to load as a file is loaded), a
/// decoded picture or the error that decoding it gave, or nothing usable.
using ClipboardOffer = std::variant<NoPicture, QString, LoadResult>;

/// Looks for a picture in clipboard data: encoded image bytes first (as a browser
/// copies them), PNG before other types, the first type that decodes; then a decoded
/// image, then a local file as a URL or a path. When only undecodable image bytes
/// are offered, their error.
ClipboardOffer PictureOffered(const QMimeData* data);

}  // namespace irobunkai
