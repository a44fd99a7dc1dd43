#pragma once

#include <QFont>

namespace irobunkai {

/// The font of every caption: MS PGothic 12 point bold, or on machines without it a
/// like Japanese proportional gothic (IPAPGothic on Debian).
QFont CaptionFont();

}  // namespace irobunkai
