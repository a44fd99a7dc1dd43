#include "io/formats/heif_decoder.h"

#include <libheif/heif.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <variant>
#include <vector>

#include "io/formats/c_handle.h"
#include "io/formats/pixel_buffer.h"

namespace irobunkai {
namespace {

using Context = CHandle<heif_context, heif_context_free>;
using Handle = CHandle<const heif_image_handle, heif_image_handle_release>;
using Options = CHandle<heif_decoding_options, heif_decoding_options_free>;
using Nclx = CHandle<heif_color_profile_nclx, heif_nclx_color_profile_free>;

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

// A file's primary picture; the handle is released before the context.
struct Primary {
  Context context;
  Handle handle;
};

std::variant<Primary, FormatError> OpenPrimary(Bytes bytes, std::int64_t maxPixels) {
  Context context(heif_context_alloc());
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
  Handle handle(primary);
  const std::int64_t width = heif_image_handle_get_width(handle.get());
  const std::int64_t height = heif_image_handle_get_height(handle.get());
  if (width <= 0 || height <= 0) {
    return FormatError::Invalid;
  }
  if (width * height > maxPixels) {
    return FormatError::TooLarge;
  }
  return Primary{std::move(context), std::move(handle)};
}

// What libheif says of a decode's tiles, passed on as the fraction done.
struct TileProgress {
  const Progress* progress;
  int tiles = 0;
};

void StartTiles(heif_progress_step /*step*/, int tiles, void* data) {
  static_cast<TileProgress*>(data)->tiles = tiles;
}

void TileDone(heif_progress_step /*step*/, int done, void* data) {
  const auto* tiles = static_cast<const TileProgress*>(data);
  tiles->progress->Report(done, tiles->tiles);
}

// Turned and mirrored as the item's own properties say, which libheif does unless told not to.
// libheif reports tiles done but can't be stopped: a cancel is heard once the decode is over.
FormatResult DecodeItem(const heif_image_handle* item, const Progress& progress = {}) {
  const Options options(heif_decoding_options_alloc());
  options->convert_hdr_to_8bit = 1;
  TileProgress tiles{&progress};
  options->start_progress = StartTiles;
  options->on_progress = TileDone;
  options->progress_user_data = &tiles;
  heif_image* decoded = nullptr;
  if (const heif_error error = heif_decode_image(item, &decoded, heif_colorspace_RGB,
                                                 heif_chroma_interleaved_RGBA, options.get());
      error.code != heif_error_Ok) {
    return ErrorOf(error);
  }
  if (progress.Cancelled()) {
    heif_image_release(decoded);
    return FormatError::Cancelled;
  }
  return ToImage(std::shared_ptr<const heif_image>(decoded, heif_image_release),
                 heif_image_handle_has_alpha_channel(item) != 0);
}

// The ICC profile of a `prof` or `rICC` colour box, as its bytes.
std::vector<std::uint8_t> IccOf(const heif_image_handle* item) {
  std::vector<std::uint8_t> icc(heif_image_handle_get_raw_color_profile_size(item));
  if (icc.empty() ||
      heif_image_handle_get_raw_color_profile(item, icc.data()).code != heif_error_Ok) {
    return {};
  }
  return icc;
}

// An `nclx` colour box's code points, told as they are: 2 for those it leaves unspecified.
std::optional<CodedColour> CodedOf(const heif_image_handle* item) {
  heif_color_profile_nclx* read = nullptr;
  const heif_error error = heif_image_handle_get_nclx_color_profile(item, &read);
  // libheif refuses code points H.273 reserves after it has allocated the answer.
  const Nclx nclx(read);
  if (error.code != heif_error_Ok || !nclx) {
    return std::nullopt;
  }
  return CodedColour{nclx->color_primaries, nclx->transfer_characteristics,
                     nclx->matrix_coefficients, nclx->full_range_flag != 0};
}

// A file may carry both boxes; the profile outranks the code points where it is honoured.
ColourDescription ColourOf(const heif_image_handle* item) {
  return {IccOf(item), CodedOf(item), std::nullopt};
}

PictureResult Decode(Bytes bytes, std::int64_t maxPixels, const Progress& progress) {
  const auto opened = OpenPrimary(bytes, maxPixels);
  if (const auto* error = std::get_if<FormatError>(&opened)) {
    return *error;
  }
  const heif_image_handle* primary = std::get<Primary>(opened).handle.get();
  FormatResult decoded = DecodeItem(primary, progress);
  if (auto* image = std::get_if<Image>(&decoded)) {
    return DecodedPicture{std::move(*image), std::nullopt, ColourOf(primary)};
  }
  return std::get<FormatError>(decoded);
}

std::int64_t Area(const heif_image_handle* item) {
  return std::int64_t{heif_image_handle_get_width(item)} * heif_image_handle_get_height(item);
}

// Writers give one thumbnail, or a few of different sizes; a hostile file may list thousands.
constexpr int kMostThumbnails = 16;

// The largest thumbnail of `primary` within `maxPixels`, or null.
Handle LargestThumbnail(const heif_image_handle* primary, std::int64_t maxPixels) {
  std::array<heif_item_id, kMostThumbnails> ids{};
  const int count = heif_image_handle_get_list_of_thumbnail_IDs(
      primary, ids.data(),
      std::min(kMostThumbnails, heif_image_handle_get_number_of_thumbnails(primary)));
  Handle largest;
  for (int i = 0; i < count; ++i) {
    heif_image_handle* thumbnail = nullptr;
    if (heif_image_handle_get_thumbnail(primary, ids[static_cast<std::size_t>(i)], &thumbnail)
            .code != heif_error_Ok) {
      continue;
    }
    Handle candidate(thumbnail);
    const std::int64_t area = Area(candidate.get());
    if (area > 0 && area <= maxPixels && (!largest || area > Area(largest.get()))) {
      largest = std::move(candidate);
    }
  }
  return largest;
}

std::optional<FirstSight> Thumbnail(Bytes bytes, std::int64_t maxPixels) {
  const auto opened = OpenPrimary(bytes, maxPixels);
  const auto* primary = std::get_if<Primary>(&opened);
  if (primary == nullptr) {
    return std::nullopt;
  }
  const Handle thumbnail = LargestThumbnail(primary->handle.get(), maxPixels);
  if (!thumbnail) {
    return std::nullopt;
  }
  FormatResult decoded = DecodeItem(thumbnail.get());
  auto* preview = std::get_if<Image>(&decoded);
  if (preview == nullptr) {
    return std::nullopt;
  }
  return FirstSight{std::move(*preview), heif_image_handle_get_width(primary->handle.get()),
                    heif_image_handle_get_height(primary->handle.get())};
}

}  // namespace

bool IsHeif(Bytes head) {
  constexpr std::size_t kBrandBytes = 12;
  return head.size() >= kBrandBytes &&
         heif_check_filetype(head.data(), static_cast<int>(std::min<std::size_t>(
                                              head.size(), INT_MAX))) != heif_filetype_no;
}

std::optional<PictureResult> DecodeHeif(Bytes bytes, std::int64_t maxPixels,
                                        const Progress& progress) {
  if (!IsHeif(bytes)) {
    return std::nullopt;
  }
  return Decode(bytes, maxPixels, progress);
}

std::optional<FirstSight> HeifFirstSight(Bytes bytes, std::int64_t maxPixels) {
  if (!IsHeif(bytes)) {
    return std::nullopt;
  }
  return Thumbnail(bytes, maxPixels);
}

}  // namespace irobunkai
