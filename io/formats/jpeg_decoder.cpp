#include "io/formats/jpeg_decoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>

#include "io/formats/exif.h"
#include "io/formats/jpeg_markers.h"
#include "io/formats/jpeg_session.h"
#include "io/formats/naive_cmyk.h"
#include "io/formats/oriented_picture.h"

namespace irobunkai {
namespace {

// Rows decoded between two looks at the progress: a few hundred looks for a large photo.
constexpr int kBatchRows = 16;
// Rows of blocks of a multi-scan file read between two looks.
constexpr int kBlockRowsPerLook = 8;
// Of a progressive file's decode, the share spent reading its scans before any row is made.
constexpr double kScanShare = 0.7;
// What stands where a file that ends early has no pixels.
constexpr RgbaPixel kMissingPixel = 0xFF808080u;

// Whether every coefficient of a progressive file has all its bits: its final scans are in.
bool AllCoefficientsKnown(const jpeg_decompress_struct& info) {
  if (!info.progressive_mode || info.coef_bits == nullptr) {
    return false;
  }
  for (int c = 0; c < info.num_components; ++c) {
    if (!std::all_of(info.coef_bits[c], info.coef_bits[c] + DCTSIZE2,
                     [](int bits) { return bits == 0; })) {
      return false;
    }
  }
  return true;
}

class JpegDecoding {
 public:
  JpegDecoding(Bytes file, const Progress& progress)
      : file_(file), progress_(progress), session_(file) {}

  PictureResult Run(std::int64_t maxPixels) {
    if (auto error = ReadHeader(maxPixels)) {
      return *error;
    }
    jpeg_decompress_struct& info = session_.Info();
    OrientedPicture picture(static_cast<int>(info.image_width), static_cast<int>(info.image_height),
                            orientation_);
    if (!session_.Run([&info] { jpeg_start_decompress(&info); }) ||
        info.output_width != info.image_width || info.output_height != info.image_height) {
      return Failure();
    }
    if (auto error = ReadScans()) {
      return *error;
    }
    if (auto error = ReadRows(picture)) {
      return *error;
    }
    std::optional<Shortfall> missing = Missing();
    if (missing && missing->rowsPresent == 0) {
      return FormatError::Invalid;  // nothing of the picture is in the file
    }
    if (missing) {
      // What libjpeg made of the rows it had no data for is grey, or noise from an arithmetic
      // decoder fed zeros: grey throughout, as the user is told.
      picture.FillFrom(missing->rowsPresent, kMissingPixel);
    }
    return DecodedPicture{std::move(picture).Finish(false), missing, std::move(icc_)};
  }

 private:
  FormatError Failure() const {
    return session_.OutOfMemory() ? FormatError::TooLarge : FormatError::Invalid;
  }

  std::optional<FormatError> ReadHeader(std::int64_t maxPixels) {
    jpeg_decompress_struct& info = session_.Info();
    if (!session_.Run([&info] {
          jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);  // where ICC profiles are
          jpeg_read_header(&info, TRUE);
        })) {
      return Failure();
    }
    if (std::int64_t{info.image_width} * info.image_height > maxPixels) {
      return FormatError::TooLarge;
    }
    switch (info.jpeg_color_space) {
      case JCS_CMYK:
      case JCS_YCCK:
        cmyk_ = true;
        info.out_color_space = JCS_CMYK;
        break;
      case JCS_GRAYSCALE:
      case JCS_YCbCr:
      case JCS_RGB:
        info.out_color_space = JCS_EXT_RGBA;
        break;
      default:
        return FormatError::Invalid;
    }
    if (const auto exif = ExifTiff(JpegHeaderSegments(file_))) {
      orientation_ = ExifOrientation(*exif);
    }
    JOCTET* icc = nullptr;
    unsigned int iccLength = 0;
    if (!session_.Run([&] {
          info.buffered_image = jpeg_has_multiple_scans(&info);
          jpeg_read_icc_profile(&info, &icc, &iccLength);
        })) {
      return Failure();
    }
    const std::unique_ptr<JOCTET, decltype(&std::free)> owned(icc, &std::free);
    if (owned) {
      icc_.assign(owned.get(), owned.get() + iccLength);
    }
    return std::nullopt;
  }

  // A multi-scan file's scans, read whole before any row is made.
  std::optional<FormatError> ReadScans() {
    jpeg_decompress_struct& info = session_.Info();
    if (!info.buffered_image) {
      return std::nullopt;
    }
    bool complete = false;
    while (!complete) {
      if (!session_.Run([&] {
            for (int i = 0; i < kBlockRowsPerLook && !complete; ++i) {
              complete = jpeg_consume_input(&info) == JPEG_REACHED_EOI;
            }
          })) {
        return Failure();
      }
      progress_.Report(kScanShare * static_cast<double>(session_.BytesRead()) /
                       static_cast<double>(file_.size()));
      if (progress_.Cancelled()) {
        return FormatError::Cancelled;
      }
    }
    if (!session_.Run([&info] { jpeg_start_output(&info, info.input_scan_number); })) {
      return Failure();
    }
    return std::nullopt;
  }

  std::optional<FormatError> ReadRows(OrientedPicture& picture) {
    jpeg_decompress_struct& info = session_.Info();
    const auto height = static_cast<int>(info.output_height);
    width_ = info.output_width;
    scratch_.resize(width_ * kBatchRows);
    turned_.resize(width_);
    while (static_cast<int>(info.output_scanline) < height) {
      const int first = static_cast<int>(info.output_scanline);
      const int count = std::min(kBatchRows, height - first);
      std::array<JSAMPROW, kBatchRows> rows{};
      for (int i = 0; i < count; ++i) {
        rows[i] = reinterpret_cast<JSAMPROW>(Target(picture, first + i, i).data());
      }
      JDIMENSION done = 0;
      if (!session_.Run([&] {
            JDIMENSION got = 1;
            while (done < static_cast<JDIMENSION>(count) && got > 0) {
              got = jpeg_read_scanlines(&info, rows.data() + done, count - done);
              done += got;
            }
          }) ||
          done != static_cast<JDIMENSION>(count)) {
        return Failure();
      }
      for (int i = 0; i < count; ++i) {
        Deliver(picture, first + i, i);
      }
      ReportRows(first + count, height);
      if (progress_.Cancelled()) {
        return FormatError::Cancelled;
      }
    }
    return std::nullopt;
  }

  // Where libjpeg writes the file's row `y`, the `i`th of its batch: straight into the picture
  // when it is RGB in its order, otherwise a scratch row.
  std::span<RgbaPixel> Target(OrientedPicture& picture, int y, int i) {
    if (!cmyk_) {
      if (const auto row = picture.InPlaceRow(y)) {
        return *row;
      }
    }
    return ScratchRow(i);
  }

  void Deliver(OrientedPicture& picture, int y, int i) {
    const std::span<RgbaPixel> scratch = ScratchRow(i);
    const std::span<const std::uint8_t> samples(
        reinterpret_cast<const std::uint8_t*>(scratch.data()), scratch.size_bytes());
    if (const auto row = picture.InPlaceRow(y)) {
      if (cmyk_) {
        NaiveCmykToRgba(samples, *row, AdobeInverted());
      }
      picture.FinishInPlace(y);
    } else if (cmyk_) {
      NaiveCmykToRgba(samples, turned_, AdobeInverted());
      picture.Place(y, turned_);
    } else {
      picture.Place(y, scratch);
    }
  }

  std::span<RgbaPixel> ScratchRow(int i) {
    return std::span(scratch_).subspan(static_cast<std::size_t>(i) * width_, width_);
  }

  [[nodiscard]] bool AdobeInverted() const { return session_.Info().saw_Adobe_marker != 0; }

  void ReportRows(int done, int height) const {
    const double rows = static_cast<double>(done) / height;
    progress_.Report(session_.Info().buffered_image ? kScanShare + (1 - kScanShare) * rows : rows);
  }

  std::optional<Shortfall> Missing() const;

  Bytes file_;
  const Progress& progress_;
  JpegSession session_;
  int orientation_ = 1;
  bool cmyk_ = false;
  std::vector<std::uint8_t> icc_;
  std::size_t width_ = 0;
  std::vector<RgbaPixel> scratch_;
  std::vector<RgbaPixel> turned_;
};

std::optional<Shortfall> JpegDecoding::Missing() const {
  const std::optional<JpegScanPoint>& ended = session_.DataEnded();
  if (!ended) {
    return std::nullopt;
  }
  const jpeg_decompress_struct& info = session_.Info();
  // A Huffman decoder warns when its scan's data is missing; an arithmetic one does not, so
  // there the end of the data inside a scan counts.
  const std::optional<JpegScanPoint> cut =
      !info.arith_code ? session_.ScanCut()
                       : (ended->iMcuRow < info.total_iMCU_rows ? ended : std::nullopt);
  const auto height = static_cast<int>(info.output_height);
  Shortfall missing{height, height, false};
  if (cut && cut->scan <= 1) {
    const auto rowsPerBlockRow = static_cast<std::int64_t>(info.max_v_samp_factor) * DCTSIZE;
    missing.rowsPresent = static_cast<int>(
        std::min<std::int64_t>(height, std::int64_t{cut->iMcuRow} * rowsPerBlockRow));
  }
  if (info.buffered_image) {
    missing.finalPassesMissing = cut.has_value() || !AllCoefficientsKnown(info);
  }
  if (missing.rowsPresent == height && !missing.finalPassesMissing) {
    return std::nullopt;
  }
  return missing;
}

}  // namespace

PictureResult DecodeJpeg(Bytes file, const Progress& progress, std::int64_t maxPixels) {
  if (!IsJpeg(file)) {
    return FormatError::Invalid;
  }
  try {
    return JpegDecoding(file, progress).Run(maxPixels);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace irobunkai
