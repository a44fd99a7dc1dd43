#include "io/formats/decode_by_content.h"

#include <new>

#include "io/formats/heif_decoder.h"
#include "io/formats/jpeg_decoder.h"
#include "io/formats/jpeg_markers.h"
#include "io/formats/jxl_decoder.h"
#include "io/formats/png_decoder.h"
#include "io/formats/raw_decoder.h"
#include "io/formats/raw_file.h"

namespace irobunkai {

bool MayDecodeByContent(Bytes head) { return IsHeif(head) || IsJxl(head) || MayBeRaw(head); }

std::optional<FormatResult> DecodeByContent(Bytes bytes, std::int64_t maxPixels,
                                            const Progress& progress) {
  try {
    if (auto heif = DecodeHeif(bytes, maxPixels, progress)) {
      return heif;
    }
    if (auto jxl = DecodeJxl(bytes, maxPixels)) {
      return jxl;
    }
    return DecodeRaw(bytes, maxPixels, progress);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

bool MayDecodeWithoutQt(Bytes head) {
  return IsJpeg(head) || IsPng(head) || MayDecodeByContent(head);
}

std::optional<PictureResult> DecodeWithoutQt(Bytes bytes, const Progress& progress,
                                             std::int64_t maxPixels) {
  if (IsJpeg(bytes)) {
    return DecodeJpeg(bytes, progress, maxPixels);
  }
  if (IsPng(bytes)) {
    return DecodePng(bytes, progress, maxPixels);
  }
  std::optional<FormatResult> other = DecodeByContent(bytes, maxPixels, progress);
  if (!other) {
    return std::nullopt;
  }
  if (auto* image = std::get_if<Image>(&*other)) {
    return DecodedPicture{std::move(*image), std::nullopt, {}};
  }
  return std::get<FormatError>(*other);
}

}  // namespace irobunkai
