#pragma once

#include <QByteArray>
#include <QColor>
#include <array>
#include <vector>

namespace irobunkai::test {

/// One GIF frame: width * height indices into the four-colour palette.
struct GifFrame {
  int width;
  int height;
  std::vector<int> indices;
};

/// Encodes frames as a GIF with a global four-colour palette. Qt reads GIF but
/// can't write it, so the tests make their own, with the simplest valid LZW stream:
/// literal codes only, the table cleared before it can grow.
QByteArray EncodeGif(const std::array<QRgb, 4>& palette, const std::vector<GifFrame>& frames);

}  // namespace irobunkai::test
