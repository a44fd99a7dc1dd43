#include "io/formats/jpeg_decoder.h"

#include <new>

#include "io/formats/jpeg_markers.h"
#include "io/formats/jpeg_rows.h"

namespace irobunkai {
namespace {

// Of a progressive file's decode, the share spent reading its scans before any row is made.
constexpr double kScanShare = 0.7;
// What stands where a file that ends early has no pixels.
constexpr RgbaPixel kMissingPixel = 0xFF808080u;

// Reads the file's scans first when it has several, then makes the rows: `progress` hears the
// data read, then the rows made.
std::optional<FormatError> MakeRows(JpegRows& rows, OrientedPicture& picture,
                                    const Progress& progress) {
  const double scanShare = rows.MultiScan() ? kScanShare : 0;
  if (rows.MultiScan()) {
    if (auto error = rows.ReadScans([&](double read) {
          progress.Report(scanShare * read);
          return !progress.Cancelled();
        })) {
      return error;
    }
  }
  return rows.ReadRows(picture, rows.Height(), [&](double share) {
    progress.Report(scanShare + (1 - scanShare) * share);
    return !progress.Cancelled();
  });
}

PictureResult Decode(Bytes file, const Progress& progress, std::int64_t maxPixels) {
  JpegRows rows(file);
  if (auto error = rows.Start(maxPixels)) {
    return *error;
  }
  // A CMYK picture's inks are kept as the file stores them, for a separation of its own.
  OrientedPicture picture(rows.Width(), rows.Height(), rows.Orientation(), rows.Cmyk());
  if (auto error = MakeRows(rows, picture, progress)) {
    return *error;
  }
  const std::optional<Shortfall> missing = rows.Missing();
  if (missing && missing->rowsPresent == 0) {
    return FormatError::Invalid;  // nothing of the picture is in the file
  }
  if (missing) {
    // What libjpeg made of the rows it had no data for is grey, or noise from an arithmetic
    // decoder fed zeros: grey throughout, as the user is told.
    picture.FillFrom(missing->rowsPresent, kMissingPixel);
  }
  return DecodedPicture{std::move(picture).Finish(false), missing, {rows.TakeIccProfile(), {}, {}}};
}

}  // namespace

PictureResult DecodeJpeg(Bytes file, const Progress& progress, std::int64_t maxPixels) {
  if (!IsJpeg(file)) {
    return FormatError::Invalid;
  }
  try {
    return Decode(file, progress, maxPixels);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace irobunkai
