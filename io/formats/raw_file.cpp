#include "io/formats/raw_file.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace irobunkai {
namespace {

using namespace std::string_view_literals;

struct Signature {
  std::size_t offset;
  std::string_view bytes;
};

constexpr std::array kRawSignatures = {
    Signature{0, "II*\0"sv},     // TIFF: DNG, CR2, NEF, ARW, PEF, SRW...
    Signature{0, "MM\0*"sv},     // TIFF, big-endian
    Signature{0, "IIRO"sv},      // Olympus ORF
    Signature{0, "IIRS"sv},      // Olympus ORF
    Signature{0, "MMOR"sv},      // Olympus ORF, big-endian
    Signature{0, "IIU\0"sv},     // Panasonic RW2
    Signature{0, "FUJIFILM"sv},  // Fujifilm RAF
    Signature{4, "ftypcrx "sv},  // Canon CR3
    Signature{6, "HEAPCCDR"sv},  // Canon CRW
    Signature{0, "\0MRM"sv},     // Minolta MRW
};

bool Begins(Bytes head, const Signature& signature) {
  return head.size() >= signature.offset + signature.bytes.size() &&
         std::equal(signature.bytes.begin(), signature.bytes.end(),
                    head.begin() + static_cast<std::ptrdiff_t>(signature.offset),
                    [](char expected, std::uint8_t byte) {
                      return static_cast<std::uint8_t>(expected) == byte;
                    });
}

// What LibRaw allocates for a picture, at most: four 16-bit samples a pixel.
constexpr std::int64_t kRawBytesPerPixel = 8;

unsigned MemoryLimitMiB(std::int64_t maxPixels) {
  return static_cast<unsigned>(maxPixels * kRawBytesPerPixel / (1 << 20) + 1);
}

}  // namespace

bool MayBeRaw(Bytes head) {
  return std::ranges::any_of(kRawSignatures,
                             [head](const Signature& s) { return Begins(head, s); });
}

std::unique_ptr<LibRaw> OpenRaw(Bytes bytes, std::int64_t maxPixels) {
  if (!MayBeRaw(bytes)) {
    return nullptr;
  }
  // Without the callbacks LibRaw would print every data error on the terminal.
  auto raw = std::make_unique<LibRaw>(LIBRAW_OPIONS_NO_MEMERR_CALLBACK |
                                      LIBRAW_OPIONS_NO_DATAERR_CALLBACK);
  raw->imgdata.params.max_raw_memory_mb = MemoryLimitMiB(maxPixels);
  // LibRaw only reads the buffer; its interface predates const.
  if (raw->open_buffer(const_cast<std::uint8_t*>(bytes.data()), bytes.size()) != LIBRAW_SUCCESS) {
    return nullptr;
  }
  return raw;
}

std::optional<FormatError> RawSizeError(const LibRaw& raw, std::int64_t maxPixels) {
  const libraw_image_sizes_t& sizes = raw.imgdata.sizes;
  const std::int64_t picture = std::int64_t{sizes.width} * sizes.height;
  const std::int64_t sensor = std::int64_t{sizes.raw_width} * sizes.raw_height;
  if (picture == 0) {
    return FormatError::Invalid;
  }
  if (std::max(picture, sensor) > maxPixels) {
    return FormatError::TooLarge;
  }
  return std::nullopt;
}

FormatError RawError(int code) {
  if (code == LIBRAW_CANCELLED_BY_CALLBACK) {
    return FormatError::Cancelled;
  }
  return code == LIBRAW_UNSUFFICIENT_MEMORY || code == LIBRAW_TOO_BIG ? FormatError::TooLarge
                                                                      : FormatError::Invalid;
}

}  // namespace irobunkai
