#include "io/formats/exif.h"

#include <algorithm>
#include <array>

#include "io/formats/tiff_structure.h"

namespace irobunkai {
namespace {

constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint16_t kOrientation = 0x0112;
constexpr std::uint16_t kThumbnailOffset = 0x0201;
constexpr std::uint16_t kThumbnailLength = 0x0202;

// EXIF has at most five directories; a few more are allowed for what may come.
constexpr int kMaxDirectories = 10;

}  // namespace

std::optional<Bytes> ExifTiff(const std::vector<JpegSegment>& segments) {
  constexpr std::array<std::uint8_t, 6> kExif = {'E', 'x', 'i', 'f', 0, 0};
  for (const JpegSegment& segment : segments) {
    if (segment.marker == kApp1 && segment.payload.size() > kExif.size() &&
        std::ranges::equal(segment.payload.first(kExif.size()), kExif)) {
      return segment.payload.subspan(kExif.size());
    }
  }
  return std::nullopt;
}

int ExifOrientation(Bytes tiff) {
  const auto structure = TiffStructure::Of(tiff);
  if (!structure) {
    return 0;
  }
  std::uint32_t offset = structure->FirstDirectory();
  std::size_t after = 8;  // directories may only lie further on, so that chains end
  for (int n = 0; n < kMaxDirectories && offset >= after; ++n) {
    const auto directory = structure->DirectoryAt(offset);
    if (!directory) {
      return 0;
    }
    for (const TiffEntry& entry : directory->entries) {
      if (entry.tag == kOrientation) {
        const auto value =
            entry.type == TiffStructure::kShort ? structure->Number(entry) : std::nullopt;
        return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 0;
      }
    }
    if (directory->next == 0) {
      return 0;
    }
    after = directory->end;
    offset = directory->next;
  }
  return 0;
}

std::optional<Bytes> ExifThumbnail(Bytes tiff) {
  const auto structure = TiffStructure::Of(tiff);
  if (!structure) {
    return std::nullopt;
  }
  const auto first = structure->DirectoryAt(structure->FirstDirectory());
  if (!first || first->next == 0) {
    return std::nullopt;
  }
  const auto second = structure->DirectoryAt(first->next);
  if (!second) {
    return std::nullopt;
  }
  std::optional<std::uint32_t> offset;
  std::optional<std::uint32_t> length;
  for (const TiffEntry& entry : second->entries) {
    if (entry.tag == kThumbnailOffset) {
      offset = structure->Number(entry);
    } else if (entry.tag == kThumbnailLength) {
      length = structure->Number(entry);
    }
  }
  if (!offset || !length || *length == 0 || *offset > tiff.size() ||
      *length > tiff.size() - *offset) {
    return std::nullopt;
  }
  return tiff.subspan(*offset, *length);
}

}  // namespace irobunkai
