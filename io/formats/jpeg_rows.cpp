#include "io/formats/jpeg_rows.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "io/formats/exif.h"
#include "io/formats/jpeg_markers.h"

namespace irobunkai {
namespace {

// Rows made between two looks at the progress: a few hundred looks for a large photo.
constexpr int kBatchRows = 16;
// Rows of blocks of a multi-scan file's scans read between two looks.
constexpr int kBlockRowsPerLook = 8;

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

}  // namespace

FormatError JpegRows::Failure() const {
  return session_.OutOfMemory() ? FormatError::TooLarge : FormatError::Invalid;
}

std::optional<FormatError> JpegRows::Start(std::int64_t maxPixels) {
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
  bool cmyk = false;
  switch (info.jpeg_color_space) {
    case JCS_CMYK:
    case JCS_YCCK:
      cmyk = true;
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
        jpeg_start_decompress(&info);
      })) {
    std::free(icc);
    return Failure();
  }
  const std::unique_ptr<JOCTET, decltype(&std::free)> owned(icc, &std::free);
  if (owned) {
    icc_.assign(owned.get(), owned.get() + iccLength);
  }
  if (cmyk) {
    // Adobe's files store the inks inverted; libjpeg hands them on as stored.
    invertedInks_ = info.saw_Adobe_marker != 0;
    cmyk_.emplace(icc_, invertedInks_);
    icc_.clear();  // the rows are made sRGB
  }
  if (info.output_width != info.image_width || info.output_height != info.image_height) {
    return FormatError::Invalid;
  }
  scratch_.resize(static_cast<std::size_t>(info.output_width) * kBatchRows);
  turned_.resize(info.output_width);
  return std::nullopt;
}

std::optional<FormatError> JpegRows::ReadScans(const Between& between) {
  jpeg_decompress_struct& info = session_.Info();
  bool complete = false;
  while (!complete) {
    if (!session_.Run([&] {
          for (int i = 0; i < kBlockRowsPerLook && !complete; ++i) {
            complete = jpeg_consume_input(&info) == JPEG_REACHED_EOI;
          }
        })) {
      return Failure();
    }
    if (!between(static_cast<double>(session_.BytesRead()) / static_cast<double>(file_.size()))) {
      return FormatError::Cancelled;
    }
  }
  if (!session_.Run([&info] { jpeg_start_output(&info, info.input_scan_number); })) {
    return Failure();
  }
  return std::nullopt;
}

std::optional<FormatError> JpegRows::ReadRows(OrientedPicture& picture, int end,
                                              const Between& between) {
  jpeg_decompress_struct& info = session_.Info();
  const int start = static_cast<int>(info.output_scanline);
  while (static_cast<int>(info.output_scanline) < end) {
    const int first = static_cast<int>(info.output_scanline);
    const int count = std::min(kBatchRows, end - first);
    std::array<JSAMPROW, kBatchRows> rows{};
    for (int i = 0; i < count; ++i) {
      rows[static_cast<std::size_t>(i)] =
          reinterpret_cast<JSAMPROW>(Target(picture, first + i, i).data());
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
    if (!between(static_cast<double>(first + count - start) / (end - start))) {
      return FormatError::Cancelled;
    }
  }
  return std::nullopt;
}

// Where libjpeg writes the file's row `y`, the `i`th of its batch: straight into the picture
// when it is RGB in its order, otherwise a scratch row.
std::span<RgbaPixel> JpegRows::Target(OrientedPicture& picture, int y, int i) {
  if (!cmyk_) {
    if (const auto row = picture.InPlaceRow(y)) {
      return *row;
    }
  }
  return ScratchRow(i);
}

void JpegRows::Deliver(OrientedPicture& picture, int y, int i) {
  const std::span<RgbaPixel> scratch = ScratchRow(i);
  const std::span<const std::uint8_t> samples(reinterpret_cast<const std::uint8_t*>(scratch.data()),
                                              scratch.size_bytes());
  if (cmyk_) {
    KeepInks(picture, y, samples);
  }
  if (const auto row = picture.InPlaceRow(y)) {
    if (cmyk_) {
      cmyk_->Convert(samples, *row);
    }
    picture.FinishInPlace(y);
  } else if (cmyk_) {
    cmyk_->Convert(samples, turned_);
    picture.Place(y, turned_);
  } else {
    picture.Place(y, scratch);
  }
}

void JpegRows::KeepInks(OrientedPicture& picture, int y, std::span<const std::uint8_t> samples) {
  if (!picture.KeepsInks()) {
    return;
  }
  if (!invertedInks_) {
    picture.PlaceInks(y, samples);
    return;
  }
  inks_.resize(samples.size());
  std::ranges::transform(samples, inks_.begin(),
                         [](std::uint8_t s) { return static_cast<std::uint8_t>(255 - s); });
  picture.PlaceInks(y, inks_);
}

std::span<RgbaPixel> JpegRows::ScratchRow(int i) {
  return std::span(scratch_).subspan(static_cast<std::size_t>(i) * turned_.size(), turned_.size());
}

std::optional<Shortfall> JpegRows::Missing() const {
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
  const int height = Height();
  Shortfall missing{height, height, false};
  if (cut && cut->scan <= 1) {
    missing.rowsPresent = static_cast<int>(
        std::min<std::int64_t>(height, std::int64_t{cut->iMcuRow} * BlockRowHeight()));
  }
  if (MultiScan()) {
    missing.finalPassesMissing = cut.has_value() || !AllCoefficientsKnown(info);
  }
  if (missing.rowsPresent == height && !missing.finalPassesMissing) {
    return std::nullopt;
  }
  return missing;
}

}  // namespace irobunkai
