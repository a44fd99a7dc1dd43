#include "io/formats/jpeg_markers.h"

namespace irobunkai {
namespace {

constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;

// Markers that stand alone, without a length: TEM and the restart markers.
bool StandsAlone(std::uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Start-of-frame markers: SOF0 to SOF15 less DHT (C4), JPG (C8) and DAC (CC).
bool StartsFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

int BigEndian16(Bytes bytes, std::size_t at) { return (bytes[at] << 8) | bytes[at + 1]; }

}  // namespace

bool IsJpeg(Bytes head) {
  return head.size() >= 3 && head[0] == 0xFF && head[1] == kStartOfImage && head[2] == 0xFF;
}

std::vector<JpegSegment> JpegHeaderSegments(Bytes file) {
  std::vector<JpegSegment> segments;
  if (!IsJpeg(file)) {
    return segments;
  }
  std::size_t at = 2;
  while (at + 1 < file.size() && file[at] == 0xFF) {
    while (at + 1 < file.size() && file[at + 1] == 0xFF) {
      ++at;  // fill bytes before a marker
    }
    if (at + 1 >= file.size()) {
      break;
    }
    const std::uint8_t marker = file[at + 1];
    at += 2;
    if (StandsAlone(marker)) {
      continue;
    }
    if (marker == kEndOfImage || marker == 0x00 || at + 2 > file.size()) {
      break;
    }
    const auto length = static_cast<std::size_t>(BigEndian16(file, at));
    if (length < 2 || at + length > file.size()) {
      break;
    }
    segments.push_back({marker, file.subspan(at + 2, length - 2), at + 2});
    if (marker == kStartOfScan) {
      break;
    }
    at += length;
  }
  return segments;
}

std::optional<PixelSize> JpegFrameSize(Bytes file) {
  for (const JpegSegment& segment : JpegHeaderSegments(file)) {
    // Precision, then height and width, then the components.
    if (StartsFrame(segment.marker) && segment.payload.size() >= 6) {
      const PixelSize size{BigEndian16(segment.payload, 3), BigEndian16(segment.payload, 1)};
      if (size.width == 0 || size.height == 0) {
        return std::nullopt;
      }
      return size;
    }
  }
  return std::nullopt;
}

}  // namespace irobunkai
