#include "io/formats/png_decoder.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "io/formats/adam7.h"
#include "io/formats/error_jump.h"
#include "io/formats/pixel_buffer.h"

namespace irobunkai {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kReadPieceBytes = 1024;
// Rows decoded between two looks at the progress.
constexpr int kBatchRows = 32;
// What stands where a file that ends early has no pixels: grey, as libjpeg leaves a JPEG.
constexpr RgbaPixel kMissingPixel = 0xFF808080u;

class PngDecoding {
 public:
  PngDecoding(Bytes file, const Progress& progress) : file_(file), progress_(progress) {
    if (!jump_.Run([this] {
          png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
          info_ = png_ != nullptr ? png_create_info_struct(png_) : nullptr;
          if (info_ != nullptr) {
            png_set_read_fn(png_, this, OnRead);
            // libpng reads image data in pieces of this size, and a piece the file ends
            // inside is lost: small pieces keep what a file cut short holds.
            png_set_compression_buffer_size(png_, kReadPieceBytes);
          }
        }) ||
        info_ == nullptr) {
      png_destroy_read_struct(&png_, &info_, nullptr);
      throw std::bad_alloc();
    }
  }
  ~PngDecoding() { png_destroy_read_struct(&png_, &info_, nullptr); }
  PngDecoding(const PngDecoding&) = delete;
  PngDecoding& operator=(const PngDecoding&) = delete;

  PictureResult Run(std::int64_t maxPixels) {
    if (!jump_.Run([this] { png_read_info(png_, info_); })) {
      return Failure();
    }
    width_ = static_cast<int>(png_get_image_width(png_, info_));
    height_ = static_cast<int>(png_get_image_height(png_, info_));
    type_ = png_get_color_type(png_, info_);
    depth_ = png_get_bit_depth(png_, info_);
    // Asked before the transformations, which drop tRNS from what libpng tells.
    transparentBlack_ = TransparentBlack();
    hasAlpha_ = QtHasAlpha();
    if (std::int64_t{width_} * height_ > maxPixels) {
      return FormatError::TooLarge;
    }
    if (!jump_.Run([this] { Configure(); }) ||
        png_get_rowbytes(png_, info_) != static_cast<std::size_t>(width_) * sizeof(RgbaPixel)) {
      return Failure();
    }
    PixelBuffer pixels(width_, height_);
    const bool interlaced = png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE;
    if (auto error = interlaced ? ReadPasses(pixels) : ReadRows(pixels)) {
      return *error;
    }
    std::optional<Shortfall> missing = FillMissing(pixels, interlaced);
    if (missing && missing->rowsPresent == 0) {
      return FormatError::Invalid;  // nothing of the picture is in the file
    }
    return DecodedPicture{std::move(pixels).Finish(hasAlpha_), missing, Colour()};
  }

 private:
  static PngDecoding& Of(png_structp png) {
    return *static_cast<PngDecoding*>(png_get_error_ptr(png));
  }
  static void OnError(png_structp png, png_const_charp message) {
    PngDecoding& self = Of(png);
    self.outOfMemory_ = std::strstr(message, "memory") != nullptr;
    self.jump_.Jump();
  }
  static void OnWarning(png_structp /*png*/, png_const_charp /*message*/) {}
  static void OnRead(png_structp png, png_bytep data, std::size_t length) {
    auto& self = *static_cast<PngDecoding*>(png_get_io_ptr(png));
    if (length > self.file_.size() - self.at_) {
      self.ranOut_ = true;
      png_error(png, "the file ends early");
    }
    std::memcpy(data, self.file_.data() + self.at_, length);
    self.at_ += length;
  }

  FormatError Failure() const {
    return outOfMemory_ ? FormatError::TooLarge : FormatError::Invalid;
  }

  // libpng's output: 8-bit RGBA, whatever the file holds. 16-bit samples are rounded to 8
  // bits as Qt rounded them, after tRNS has been matched at 16 bits.
  void Configure() {
    const bool transparency = png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
    png_set_expand(png_);  // palettes to RGB, grey to 8 bits, tRNS to alpha
    png_set_scale_16(png_);
    if ((type_ & PNG_COLOR_MASK_COLOR) == 0) {
      png_set_gray_to_rgb(png_);
    }
    if ((type_ & PNG_COLOR_MASK_ALPHA) == 0 && !transparency) {
      png_set_filler(png_, 0xFF, PNG_FILLER_AFTER);
    }
    png_read_update_info(png_, info_);
  }

  // Qt keeps a grey PNG's transparent level as transparent black when it has 2 to 8 bits.
  bool TransparentBlack() const {
    return type_ == PNG_COLOR_TYPE_GRAY && depth_ > 1 && depth_ < 16 &&
           png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
  }

  // Whether Qt's reader gave the picture an alpha channel: with tRNS too, save a transparent
  // grey level beyond what the depth holds.
  bool QtHasAlpha() const;

  ColourDescription Colour() const { return {Profile(), std::nullopt, ColourChunks()}; }

  std::vector<std::uint8_t> Profile() const {
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(png_, info_, &name, &compression, &profile, &length) == 0) {
      return {};
    }
    return {profile, profile + length};
  }

  std::optional<PngColourChunks> ColourChunks() const;

  // Reads one row, of `out.size()` pixels, into `out`.
  void ReadRow(std::span<RgbaPixel> out) {
    png_read_row(png_, reinterpret_cast<png_bytep>(out.data()), nullptr);
    if (transparentBlack_) {
      std::ranges::replace_if(
          out, [](RgbaPixel p) { return AlphaOf(p) == 0; }, RgbaPixel{0});
    }
  }

  std::optional<FormatError> ReadRows(PixelBuffer& pixels);
  std::optional<FormatError> ReadPasses(PixelBuffer& pixels);
  // After a batch: whether to go on; an error when the batch failed or the load is cancelled.
  std::optional<FormatError> AfterBatch(bool read, long long done, long long total);
  // Greys what the file did not reach, or spreads the passes it holds; says what is missing.
  std::optional<Shortfall> FillMissing(PixelBuffer& pixels, bool interlaced) const;

  Bytes file_;
  std::size_t at_ = 0;
  const Progress& progress_;
  ErrorJump jump_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  // The file's own size, colour type and bit depth, before libpng's transformations.
  int width_ = 0;
  int height_ = 0;
  int type_ = 0;
  int depth_ = 0;
  bool transparentBlack_ = false;
  bool hasAlpha_ = false;
  bool ranOut_ = false;
  bool outOfMemory_ = false;
  // How far reading got: the pass being read (0 when not interlaced) and its rows read.
  int pass_ = 0;
  int passRowsRead_ = 0;
};

bool PngDecoding::QtHasAlpha() const {
  if ((type_ & PNG_COLOR_MASK_ALPHA) != 0) {
    return true;
  }
  png_bytep alpha = nullptr;
  int count = 0;
  png_color_16p colour = nullptr;
  if (png_get_tRNS(png_, info_, &alpha, &count, &colour) == 0) {
    return false;
  }
  if (type_ == PNG_COLOR_TYPE_PALETTE) {
    return alpha != nullptr && std::any_of(alpha, alpha + count, [](auto a) { return a != 255; });
  }
  return !TransparentBlack() || (colour != nullptr && colour->gray < (1 << depth_));
}

std::optional<PngColourChunks> PngDecoding::ColourChunks() const {
  PngColourChunks chunks;
  int intent = 0;
  chunks.srgb = png_get_sRGB(png_, info_, &intent) != 0;
  if (double gamma = 0; png_get_gAMA(png_, info_, &gamma) != 0) {
    chunks.gamma = gamma;
  }
  std::array<double, 8> c{};
  if (png_get_cHRM(png_, info_, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]) != 0) {
    chunks.chromaticities = c;
  }
  if (!chunks.srgb && !chunks.gamma && !chunks.chromaticities) {
    return std::nullopt;
  }
  return chunks;
}

std::optional<FormatError> PngDecoding::AfterBatch(bool read, long long done, long long total) {
  if (!read && !ranOut_) {
    return Failure();
  }
  progress_.Report(done, total);
  if (progress_.Cancelled()) {
    return FormatError::Cancelled;
  }
  return std::nullopt;
}

std::optional<FormatError> PngDecoding::ReadRows(PixelBuffer& pixels) {
  while (passRowsRead_ < height_ && !ranOut_) {
    const int end = std::min(height_, passRowsRead_ + kBatchRows);
    const bool read = jump_.Run([&] {
      for (; passRowsRead_ < end; ++passRowsRead_) {
        ReadRow(pixels.Row(passRowsRead_));
      }
    });
    if (auto stop = AfterBatch(read, passRowsRead_, height_)) {
      return stop;
    }
  }
  return std::nullopt;
}

std::optional<FormatError> PngDecoding::ReadPasses(PixelBuffer& pixels) {
  const Adam7 adam7(width_, height_);
  std::vector<RgbaPixel> passRow(static_cast<std::size_t>(width_));
  long long done = 0;
  for (pass_ = 0; pass_ < Adam7::kPasses; ++pass_) {
    const PixelSize size = adam7.PassSize(pass_);
    if (size.width == 0) {
      continue;  // libpng skips an empty pass too
    }
    const std::span<RgbaPixel> row(passRow.data(), static_cast<std::size_t>(size.width));
    for (passRowsRead_ = 0; passRowsRead_ < size.height;) {
      const int before = passRowsRead_;
      const int end = std::min(size.height, before + kBatchRows);
      const bool read = jump_.Run([&] {
        for (; passRowsRead_ < end; ++passRowsRead_) {
          ReadRow(row);
          adam7.Place(pixels, pass_, passRowsRead_, row);
        }
      });
      done += passRowsRead_ - before;
      if (auto stop = AfterBatch(read, done, adam7.TotalRows())) {
        return stop;
      }
      if (ranOut_) {
        return std::nullopt;
      }
    }
  }
  return std::nullopt;
}

std::optional<Shortfall> PngDecoding::FillMissing(PixelBuffer& pixels, bool interlaced) const {
  if (!ranOut_) {
    return std::nullopt;
  }
  if (!interlaced) {
    for (int y = passRowsRead_; y < height_; ++y) {
      std::ranges::fill(pixels.Row(y), kMissingPixel);
    }
    return Shortfall{passRowsRead_, height_, false};
  }
  const Adam7 adam7(width_, height_);
  adam7.FillMissing(pixels, pass_, passRowsRead_, kMissingPixel);
  return Shortfall{adam7.RowsReached(pass_, passRowsRead_), height_, true};
}

}  // namespace

bool IsPng(Bytes head) {
  return head.size() >= kSignature.size() &&
         std::ranges::equal(head.first(kSignature.size()), kSignature);
}

PictureResult DecodePng(Bytes file, const Progress& progress, std::int64_t maxPixels) {
  if (!IsPng(file)) {
    return FormatError::Invalid;
  }
  try {
    return PngDecoding(file, progress).Run(maxPixels);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace irobunkai
