#include "io/formats/cmyk_tiff_decoder.h"

#include <tiffio.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <new>
#include <vector>

#include "io/formats/c_handle.h"
#include "io/formats/cmyk_rows.h"
#include "io/formats/oriented_picture.h"

namespace irobunkai {
namespace {

constexpr int kInks = 4;

// The file's bytes as libtiff's client I/O reads them.
struct MemoryFile {
  Bytes bytes;
  std::uint64_t at = 0;
};

MemoryFile& FileOf(thandle_t handle) { return *static_cast<MemoryFile*>(handle); }

tmsize_t ReadFile(thandle_t handle, void* to, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  if (size < 0 || file.at >= file.bytes.size()) {
    return 0;
  }
  const std::size_t count = std::min(static_cast<std::size_t>(size),
                                     static_cast<std::size_t>(file.bytes.size() - file.at));
  std::memcpy(to, file.bytes.data() + file.at, count);
  file.at += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t RefuseWrite(thandle_t /*handle*/, void* /*from*/, tmsize_t /*size*/) { return -1; }

toff_t SeekFile(thandle_t handle, toff_t offset, int whence) {
  MemoryFile& file = FileOf(handle);
  const std::uint64_t base = whence == SEEK_CUR   ? file.at
                             : whence == SEEK_END ? file.bytes.size()
                                                  : 0;
  file.at = base + offset;
  return file.at;
}

int CloseFile(thandle_t /*handle*/) { return 0; }

toff_t FileSize(thandle_t handle) { return FileOf(handle).bytes.size(); }

int NoMap(thandle_t /*handle*/, void** /*base*/, toff_t* /*size*/) { return 0; }

void NoUnmap(thandle_t /*handle*/, void* /*base*/, toff_t /*size*/) {}

// A damaged file is told by the calls' results; libtiff's messages would only reach stderr.
int Quiet(TIFF* /*tiff*/, void* /*user*/, const char* /*module*/, const char* /*format*/,
          va_list /*arguments*/) {
  return 1;  // handled: the global handlers stay silent too
}

using Tiff = CHandle<TIFF, &TIFFClose>;
using TiffOptions = CHandle<TIFFOpenOptions, &TIFFOpenOptionsFree>;

Tiff OpenTiff(MemoryFile& file) {
  const TiffOptions options(TIFFOpenOptionsAlloc());
  if (!options) {
    throw std::bad_alloc();
  }
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
  // "m": read through the client calls, never into the file's own (read-only) bytes.
  return Tiff(TIFFClientOpenExt("memory", "rm", &file, ReadFile, RefuseWrite, SeekFile, CloseFile,
                                FileSize, NoMap, NoUnmap, options.get()));
}

// How the first picture's samples are laid out, when it is CMYK that this decoder reads.
struct Layout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t rowsPerStrip = 0;
  int bytesPerSample = 1;
  int samples = kInks;  // per pixel, extra samples included
  bool planes = false;  // one plane per sample, rather than samples side by side
  int orientation = 1;
  Bytes icc;
};

bool IsCmyk(TIFF* tiff) {
  std::uint16_t photometric = 0;
  std::uint16_t inkSet = INKSET_CMYK;
  std::uint16_t samples = 0;
  std::uint16_t extras = 0;
  std::uint16_t* extraKinds = nullptr;
  std::uint16_t format = SAMPLEFORMAT_UINT;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extras, &extraKinds);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
  TIFFGetField(tiff, TIFFTAG_INKSET, &inkSet);
  return TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) == 1 &&
         photometric == PHOTOMETRIC_SEPARATED && inkSet == INKSET_CMYK && samples >= extras &&
         samples - extras == kInks && format == SAMPLEFORMAT_UINT && TIFFIsTiled(tiff) == 0;
}

std::optional<Layout> CmykLayout(TIFF* tiff) {
  if (!IsCmyk(tiff)) {
    return std::nullopt;
  }
  Layout layout;
  std::uint16_t bits = 0;
  std::uint16_t samples = 0;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  std::uint16_t orientation = ORIENTATION_TOPLEFT;
  std::uint32_t iccLength = 0;
  void* icc = nullptr;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &layout.rowsPerStrip);
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
  if (bits != 8 && bits != 16) {
    return std::nullopt;
  }
  if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &iccLength, &icc) == 1 && icc != nullptr) {
    layout.icc = Bytes(static_cast<const std::uint8_t*>(icc), iccLength);
  }
  layout.bytesPerSample = bits / 8;
  layout.samples = samples;
  layout.planes = planar == PLANARCONFIG_SEPARATE;
  layout.orientation = orientation;
  layout.rowsPerStrip = std::clamp<std::uint32_t>(layout.rowsPerStrip, 1, layout.height);
  return layout;
}

// 16-bit samples to the nearest of 8 bits.
std::uint8_t Sample(const std::uint8_t* at, int bytesPerSample) {
  if (bytesPerSample == 1) {
    return *at;
  }
  std::uint16_t wide = 0;
  std::memcpy(&wide, at, sizeof wide);  // libtiff hands samples on in the machine's order
  return static_cast<std::uint8_t>((wide * 255u + 32767u) / 65535u);
}

// Reads the strips of one CMYK picture into its oriented place, made sRGB, its inks kept too.
class StripReader {
 public:
  StripReader(TIFF* tiff, const Layout& layout)
      : tiff_(tiff),
        layout_(layout),
        cmyk_(layout.icc, false),
        rowBytes_(std::size_t{layout.width} * static_cast<std::size_t>(layout.bytesPerSample) *
                  static_cast<std::size_t>(layout.planes ? 1 : layout.samples)),
        inks_(std::size_t{layout.width} * kInks),
        rgba_(layout.width) {}

  // Strips from the one holding `row0`, of `rows` rows: one per ink when in planes.
  std::optional<FormatError> ReadStrip(std::uint32_t row0, std::uint32_t rows,
                                       OrientedPicture& picture) {
    const std::size_t bytes = rowBytes_ * rows;
    const int planes = layout_.planes ? kInks : 1;
    strips_.resize(static_cast<std::size_t>(planes));
    for (int p = 0; p < planes; ++p) {
      std::vector<std::uint8_t>& strip = strips_[static_cast<std::size_t>(p)];
      strip.resize(bytes);
      const tmsize_t got =
          TIFFReadEncodedStrip(tiff_, TIFFComputeStrip(tiff_, row0, static_cast<std::uint16_t>(p)),
                               strip.data(), static_cast<tmsize_t>(bytes));
      if (got < 0 || static_cast<std::size_t>(got) < bytes) {
        return FormatError::Invalid;
      }
    }
    for (std::uint32_t r = 0; r < rows; ++r) {
      GatherInks(r);
      cmyk_.Convert(inks_, rgba_);
      picture.Place(static_cast<int>(row0 + r), rgba_);
      picture.PlaceInks(static_cast<int>(row0 + r), inks_);
    }
    return std::nullopt;
  }

 private:
  // The four inks of row `r` of the strips just read, in 8 bits, side by side.
  void GatherInks(std::uint32_t r) {
    const int size = layout_.bytesPerSample;
    const std::size_t step = static_cast<std::size_t>(size) *
                             static_cast<std::size_t>(layout_.planes ? 1 : layout_.samples);
    for (int ink = 0; ink < kInks; ++ink) {
      const std::vector<std::uint8_t>& strip = strips_[layout_.planes ? ink : 0];
      const std::uint8_t* at =
          strip.data() + rowBytes_ * r + static_cast<std::size_t>(layout_.planes ? 0 : ink * size);
      for (std::size_t x = 0; x < layout_.width; ++x, at += step) {
        inks_[x * kInks + static_cast<std::size_t>(ink)] = Sample(at, size);
      }
    }
  }

  TIFF* tiff_;
  const Layout& layout_;
  CmykRows cmyk_;
  std::size_t rowBytes_;
  std::vector<std::vector<std::uint8_t>> strips_;
  std::vector<std::uint8_t> inks_;
  std::vector<RgbaPixel> rgba_;
};

PictureResult Decode(TIFF* tiff, const Layout& layout, const Progress& progress,
                     std::int64_t maxPixels) {
  if (layout.width == 0 || layout.height == 0) {
    return FormatError::Invalid;
  }
  if (std::int64_t{layout.width} * layout.height > maxPixels || layout.width > INT_MAX ||
      layout.height > INT_MAX) {
    return FormatError::TooLarge;
  }
  OrientedPicture picture(static_cast<int>(layout.width), static_cast<int>(layout.height),
                          layout.orientation, true);
  StripReader reader(tiff, layout);
  for (std::uint32_t row0 = 0; row0 < layout.height; row0 += layout.rowsPerStrip) {
    const std::uint32_t rows = std::min(layout.rowsPerStrip, layout.height - row0);
    if (const auto failed = reader.ReadStrip(row0, rows, picture)) {
      return *failed;
    }
    progress.Report(row0 + rows, layout.height);
    if (progress.Cancelled()) {
      return FormatError::Cancelled;
    }
  }
  return DecodedPicture{std::move(picture).Finish(false), std::nullopt, {}};
}

}  // namespace

bool IsTiff(Bytes head) {
  constexpr std::array<std::uint8_t, 4> kLittle = {'I', 'I', 42, 0};
  constexpr std::array<std::uint8_t, 4> kBig = {'M', 'M', 0, 42};
  constexpr std::array<std::uint8_t, 4> kBigTiffLittle = {'I', 'I', 43, 0};
  constexpr std::array<std::uint8_t, 4> kBigTiffBig = {'M', 'M', 0, 43};
  return head.size() >= 4 &&
         std::ranges::any_of(
             std::array{kLittle, kBig, kBigTiffLittle, kBigTiffBig},
             [head](const auto& magic) { return std::ranges::equal(head.first(4), magic); });
}

std::optional<PictureResult> DecodeCmykTiff(Bytes file, const Progress& progress,
                                            std::int64_t maxPixels) {
  if (!IsTiff(file)) {
    return std::nullopt;
  }
  try {
    MemoryFile memory{file};
    const Tiff tiff = OpenTiff(memory);
    if (!tiff) {
      return std::nullopt;
    }
    const std::optional<Layout> layout = CmykLayout(tiff.get());
    if (!layout) {
      return std::nullopt;
    }
    return Decode(tiff.get(), *layout, progress, maxPixels);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace irobunkai
