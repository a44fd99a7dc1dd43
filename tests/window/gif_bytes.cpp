#include "gif_bytes.h"

namespace irobunkai::test {
namespace {

void PutWord(QByteArray& out, int value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}

QByteArray LzwLiterals(const std::vector<int>& indices) {
  constexpr int kClear = 4;
  constexpr int kEnd = 5;
  constexpr int kWidth = 3;  // minimum code size 2, plus one
  QByteArray bytes;
  unsigned bits = 0;
  int count = 0;
  const auto put = [&](int code) {
    bits |= static_cast<unsigned>(code) << count;
    count += kWidth;
    while (count >= 8) {
      bytes.append(static_cast<char>(bits & 0xFF));
      bits >>= 8;
      count -= 8;
    }
  };
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % 2 == 0) {
      put(kClear);
    }
    put(indices[i]);
  }
  put(kEnd);
  if (count > 0) {
    bytes.append(static_cast<char>(bits & 0xFF));
  }
  return bytes;
}

}  // namespace

QByteArray EncodeGif(const std::array<QRgb, 4>& palette, const std::vector<GifFrame>& frames) {
  QByteArray out("GIF89a");
  PutWord(out, frames.front().width);
  PutWord(out, frames.front().height);
  out.append(static_cast<char>(0xF1));  // global table of 2^(1+1) colours
  out.append(2, '\0');
  for (const QRgb color : palette) {
    out.append(static_cast<char>(qRed(color)));
    out.append(static_cast<char>(qGreen(color)));
    out.append(static_cast<char>(qBlue(color)));
  }
  for (const GifFrame& frame : frames) {
    out.append("\x21\xF9\x04\x00", 4);  // graphic control: no transparency
    PutWord(out, 10);                   // 0.1 s per frame
    out.append(2, '\0');
    out.append('\x2C');
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, frame.width);
    PutWord(out, frame.height);
    out.append('\0');
    out.append('\x02');
    const QByteArray data = LzwLiterals(frame.indices);
    for (qsizetype at = 0; at < data.size(); at += 255) {
      const QByteArray block = data.mid(at, 255);
      out.append(static_cast<char>(block.size()));
      out.append(block);
    }
    out.append('\0');
  }
  out.append('\x3B');
  return out;
}

}  // namespace irobunkai::test
