#include "io/formats/jpeg_preview.h"

#include <algorithm>
#include <array>
#include <vector>

#include "io/formats/exif.h"
#include "io/formats/jpeg_markers.h"
#include "io/formats/tiff_structure.h"

namespace irobunkai {
namespace {

constexpr std::uint8_t kApp2 = 0xE2;
constexpr std::uint16_t kMpEntry = 0xB002;
constexpr std::uint16_t kUndefined = 7;
constexpr std::size_t kMpEntryBytes = 16;
// MP entry image types: large thumbnails of VGA and of full-HD size.
constexpr std::uint32_t kTypeMask = 0x00FFFFFF;
constexpr std::array<std::uint32_t, 2> kPreviewTypes = {0x010001, 0x010002};

// The previews an MPF segment (APP2 "MPF\0") lists, where they lie wholly in the file.
void AddMpfPreviews(const JpegSegment& segment, Bytes file, std::vector<Bytes>& found) {
  constexpr std::array<std::uint8_t, 4> kMpf = {'M', 'P', 'F', 0};
  if (segment.marker != kApp2 || segment.payload.size() <= kMpf.size() ||
      !std::ranges::equal(segment.payload.first(kMpf.size()), kMpf)) {
    return;
  }
  // Image offsets count from the MP header's byte-order mark.
  const std::size_t base = segment.payloadAt + kMpf.size();
  const auto tiff = TiffStructure::Of(segment.payload.subspan(kMpf.size()));
  const auto index = tiff ? tiff->DirectoryAt(tiff->FirstDirectory()) : std::nullopt;
  if (!index) {
    return;
  }
  for (const TiffEntry& entry : index->entries) {
    const auto list = tiff->U32(entry.valueAt);
    if (entry.tag != kMpEntry || entry.type != kUndefined || !list) {
      continue;
    }
    const std::size_t count =
        std::min<std::size_t>(entry.count / kMpEntryBytes, tiff->Data().size() / kMpEntryBytes);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = std::size_t{*list} + i * kMpEntryBytes;
      const auto attribute = tiff->U32(at);
      const auto size = tiff->U32(at + 4);
      const auto offset = tiff->U32(at + 8);
      if (!attribute || !size || !offset || *offset == 0 ||
          std::ranges::find(kPreviewTypes, *attribute & kTypeMask) == kPreviewTypes.end()) {
        continue;
      }
      const std::size_t start = base + *offset;
      if (start < file.size() && *size <= file.size() - start) {
        found.push_back(file.subspan(start, *size));
      }
    }
  }
}

std::int64_t Area(const PixelSize& size) { return std::int64_t{size.width} * size.height; }

}  // namespace

std::optional<Bytes> JpegPreview(Bytes file) {
  const std::vector<JpegSegment> segments = JpegHeaderSegments(file);
  const auto own = JpegFrameSize(file);
  if (!own) {
    return std::nullopt;
  }
  std::vector<Bytes> candidates;
  if (const auto exif = ExifTiff(segments)) {
    if (const auto thumbnail = ExifThumbnail(*exif)) {
      candidates.push_back(*thumbnail);
    }
  }
  for (const JpegSegment& segment : segments) {
    AddMpfPreviews(segment, file, candidates);
  }
  std::optional<Bytes> best;
  std::int64_t bestArea = 0;
  for (const Bytes candidate : candidates) {
    const auto size = JpegFrameSize(candidate);
    if (size && Area(*size) < Area(*own) && Area(*size) > bestArea) {
      best = candidate;
      bestArea = Area(*size);
    }
  }
  return best;
}

}  // namespace irobunkai
