#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/formats/format_result.h"

namespace irobunkai {

/// One marker segment of a JPEG file's header.
struct JpegSegment {
  std::uint8_t marker = 0;    ///< the byte after 0xFF: 0xE1 for APP1
  Bytes payload;              ///< what follows the segment's length field
  std::size_t payloadAt = 0;  ///< where the payload begins in the file
};

/// Whether a file beginning with `head` is a JPEG: it starts with the start-of-image marker.
bool IsJpeg(Bytes head);

/// The marker segments of a JPEG file from its start up to its first scan, in order. Stops
/// early, keeping what came before, at anything that doesn't fit or make sense.
std::vector<JpegSegment> JpegHeaderSegments(Bytes file);

/// The picture's size as its frame header says; nullopt when there is none before the scan.
std::optional<PixelSize> JpegFrameSize(Bytes file);

}  // namespace irobunkai
