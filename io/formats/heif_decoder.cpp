#include "io/formats/heif_decoder.h"

#include <libheif/heif.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "io/formats/c_handle.h"
#include "io/formats/pixel_buffer.h"

namespace irobunkai {
namespace {

using Context = CHandle<heif_context, heif_context_free>;
using Handle = CHandle<const heif_image_handle, heif_image_handle_release>;
using Options = CHandle<heif_decoding_options, heif_decoding_options_free>;

// libheif's own bound on a side, checked before it allocates; ours on the area comes after.
constexpr int kMaxSide = 1 << 17;

FormatError ErrorOf(const heif_error& error) {
  return error.code == heif_error_Memory_allocation_error ? FormatError::TooLarge
                                                          : FormatError::Invalid;
}

// Shares libheif's pixels when their rows fall on whole pixels, as they do; copies otherwise.
Image ToImage(std::shared_ptr<const heif_image> decoded, bool hasAlpha) {
  int strideBytes = 0;
  const std::uint8_t* plane =
      heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &strideBytes);
  const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
  const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
  if (strideBytes % sizeof(RgbaPixel) == 0 &&
      reinterpret_cast<std::uintptr_t>(plane) % alignof(RgbaPixel) == 0) {
    std::shared_ptr<const RgbaPixel[]> pixels(reinterpret_cast<const RgbaPixel*>(plane),
                                              [keep = std::move(decoded)](const RgbaPixel*) {});
    return {width, height, strideBytes / static_cast<int>(sizeof(RgbaPixel)), std::move(pixels),
            hasAlpha};
  }
  PixelBuffer copy(width, height);
  for (int y = 0; y < height; ++y) {
    std::memcpy(copy.Row(y).data(), plane + static_cast<std::ptrdiff_t>(y) * strideBytes,
                copy.Row(y).size_bytes());
  }
  return std::move(copy).Finish(hasAlpha);
}

FormatResult Decode(Bytes bytes, std::int64_t maxPixels) {
  const Context context(heif_context_alloc());
  if (!context) {
    return FormatError::TooLarge;
  }
  heif_context_set_maximum_image_size_limit(context.get(), kMaxSide);
  if (const heif_error error = heif_context_read_from_memory_without_copy(
          context.get(), bytes.data(), bytes.size(), nullptr);
      error.code != heif_error_Ok) {
    return ErrorOf(error);
  }
  heif_image_handle* primary = nullptr;
  if (heif_context_get_primary_image_handle(context.get(), &primary).code != heif_error_Ok) {
    return FormatError::Invalid;
  }
  const Handle handle(primary);
  const std::int64_t width = heif_image_handle_get_width(handle.get());
  const std::int64_t height = heif_image_handle_get_height(handle.get());
  if (width <= 0 || height <= 0) {
    return FormatError::Invalid;
  }
  if (width * height > maxPixels) {
    return FormatError::TooLarge;
  }
  const Options options(heif_decoding_options_alloc());
  options->convert_hdr_to_8bit = 1;
  heif_image* decoded = nullptr;
  if (const heif_error error = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                                                 heif_chroma_interleaved_RGBA, options.get());
      error.code != heif_error_Ok) {
    return ErrorOf(error);
  }
  return ToImage(std::shared_ptr<const heif_image>(decoded, heif_image_release),
                 heif_image_handle_has_alpha_channel(handle.get()) != 0);
}

}  // namespace

bool IsHeif(Bytes head) {
  constexpr std::size_t kBrandBytes = 12;
  return head.size() >= kBrandBytes &&
         heif_check_filetype(head.data(), static_cast<int>(std::min<std::size_t>(
                                              head.size(), INT_MAX))) != heif_filetype_no;
}

std::optional<FormatResult> DecodeHeif(Bytes bytes, std::int64_t maxPixels) {
  if (!IsHeif(bytes)) {
    return std::nullopt;
  }
  return Decode(bytes, maxPixels);
}

}  // namespace irobunkai
