#include "io/formats/first_sight.h"

#include <new>

#include "io/formats/heif_decoder.h"
#include "io/formats/jpeg_first_sight.h"
#include "io/formats/raw_preview.h"

namespace irobunkai {

std::optional<FirstSight> ReadFirstSight(Bytes bytes, std::int64_t maxPixels) {
  try {
    if (auto thumbnail = HeifFirstSight(bytes, maxPixels)) {
      return thumbnail;
    }
    if (auto preview = JpegFirstSight(bytes, maxPixels)) {
      return preview;
    }
    return RawFirstSight(bytes, maxPixels);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace irobunkai
