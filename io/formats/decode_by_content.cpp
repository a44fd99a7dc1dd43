#include "io/formats/decode_by_content.h"

#include <new>

#include "io/formats/cmyk_tiff_decoder.h"
#include "io/formats/heif_decoder.h"
#include "io/formats/jpeg_decoder.h"
#include "io/formats/jpeg_markers.h"
#include "io/formats/jxl_decoder.h"
#include "io/formats/png_decoder.h"
#include "io/formats/raw_decoder.h"
#include "io/formats/raw_file.h"

namespace irobunkai {

bool MayDecodeByContent(Bytes head) { return IsHeif(head) || IsJxl(head) || MayBeRaw(head); }

namespace {

// Each of DecodeByContent's formats, with the colour the file tells.
std::optional<PictureResult> DecodeContent(Bytes bytes, std::int64_t maxPixels,
                                           const Progress& progress) {
  try {
    if (auto heif = DecodeHeif(bytes, maxPixels, progress)) {
      return heif;
    }
    if (auto jxl = DecodeJxl(bytes, maxPixels)) {
      return jxl;
    }
    std::optional<FormatResult> raw = DecodeRaw(bytes, maxPixels, progress);
    if (!raw) {
      return std::nullopt;
    }
    if (auto* image = std::get_if<Image>(&*raw)) {
      return DecodedPicture{std::move(*image), std::nullopt, {}};
    }
    return std::get<FormatError>(*raw);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace

std::optional<FormatResult> DecodeByContent(Bytes bytes, std::int64_t maxPixels,
                                            const Progress& progress) {
  std::optional<PictureResult> decoded = DecodeContent(bytes, maxPixels, progress);
  if (!decoded) {
    return std::nullopt;
  }
  if (auto* picture = std::get_if<DecodedPicture>(&*decoded)) {
    return std::move(picture->image);
  }
  return std::get<FormatError>(*decoded);
}

bool MayDecodeWithoutQt(Bytes head) {
  return IsJpeg(head) || IsPng(head) || IsTiff(head) || MayDecodeByContent(head);
}

std::optional<PictureResult> DecodeWithoutQt(Bytes bytes, const Progress& progress,
                                             std::int64_t maxPixels) {
  if (IsJpeg(bytes)) {
    return DecodeJpeg(bytes, progress, maxPixels);
  }
  if (IsPng(bytes)) {
    return DecodePng(bytes, progress, maxPixels);
  }
  if (auto cmyk = DecodeCmykTiff(bytes, progress, maxPixels)) {
    return cmyk;
  }
  return DecodeContent(bytes, maxPixels, progress);
}

}  // namespace irobunkai
