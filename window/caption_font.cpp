#include "window/caption_font.h"

#include <QStringList>

namespace irobunkai {

QFont CaptionFont() {
  QFont font;
  font.setFamilies(QStringList() << QStringLiteral("ＭＳ Ｐゴシック")
                                 << QStringLiteral("MS PGothic") << QStringLiteral("IPAPGothic")
                                 << QStringLiteral("IPA Pゴシック"));
  font.setStyleHint(QFont::SansSerif);
  // 12 point at the 96 dots per inch the pixel layout is made for; in pixels, so the
  // captions keep fitting their fixed places whatever the screen's DPI.
  font.setPixelSize(16);
  font.setWeight(QFont::Bold);
  return font;
}

}  // namespace irobunkai
