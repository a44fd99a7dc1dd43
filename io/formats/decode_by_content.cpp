#include "io/formats/decode_by_content.h"

#include <new>

#include "io/formats/heif_decoder.h"
#include "io/formats/jxl_decoder.h"
#include "io/formats/raw_decoder.h"
#include "io/formats/raw_file.h"

namespace irobunkai {

bool MayDecodeByContent(Bytes head) { return IsHeif(head) || IsJxl(head) || MayBeRaw(head); }

std::optional<FormatResult> DecodeByContent(Bytes bytes, std::int64_t maxPixels) {
  try {
    if (auto heif = DecodeHeif(bytes, maxPixels)) {
      return heif;
    }
    if (auto jxl = DecodeJxl(bytes, maxPixels)) {
      return jxl;
    }
    return DecodeRaw(bytes, maxPixels);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace irobunkai
