#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "io/formats/cmyk_rows.h"
#include "io/formats/format_result.h"
#include "io/formats/jpeg_session.h"
#include "io/formats/oriented_picture.h"

namespace irobunkai {

/// One libjpeg decompressor making a JPEG's rows, in 8-bit RGBA, into an OrientedPicture:
/// grey and YCbCr converted by libjpeg straight into the picture's rows, CMYK converted here
/// to sRGB through its profile (see CmykRows), its inks kept as well when the picture keeps them.
class JpegRows {
 public:
  /// Told between batches how far the work is; false stops it.
  using Between = std::function<bool(double fraction)>;

  /// Throws std::bad_alloc when libjpeg can't be set up.
  explicit JpegRows(Bytes file) : file_(file), session_(file) {}

  /// Reads the header and starts decompressing. TooLarge when the picture has more than
  /// `maxPixels`; Invalid when it has no colours we read.
  std::optional<FormatError> Start(std::int64_t maxPixels);

  [[nodiscard]] int Width() const { return static_cast<int>(session_.Info().output_width); }
  [[nodiscard]] int Height() const { return static_cast<int>(session_.Info().output_height); }
  /// Pixel rows per row of blocks: a file cut short keeps whole ones.
  [[nodiscard]] int BlockRowHeight() const { return session_.Info().max_v_samp_factor * DCTSIZE; }
  [[nodiscard]] int Orientation() const { return orientation_; }
  /// Whether the picture is made of inks, CMYK or YCCK.
  [[nodiscard]] bool Cmyk() const { return cmyk_.has_value(); }
  /// Whether the file holds several scans, as progressive files do: they are read whole
  /// before any row is made.
  [[nodiscard]] bool MultiScan() const { return session_.Info().buffered_image != 0; }
  /// The file's ICC profile; none for CMYK, whose rows are made sRGB.
  [[nodiscard]] std::vector<std::uint8_t> TakeIccProfile() { return std::move(icc_); }

  /// A multi-scan file's scans; `between` hears the share of the file read.
  std::optional<FormatError> ReadScans(const Between& between);
  /// Makes the rows from the next up to `end` into `picture`; `between` hears the share of
  /// those rows made.
  std::optional<FormatError> ReadRows(OrientedPicture& picture, int end, const Between& between);

  /// What the file lacks, when it ended before the picture did.
  [[nodiscard]] std::optional<Shortfall> Missing() const;

 private:
  [[nodiscard]] FormatError Failure() const;
  std::span<RgbaPixel> Target(OrientedPicture& picture, int y, int i);
  void Deliver(OrientedPicture& picture, int y, int i);
  std::span<RgbaPixel> ScratchRow(int i);
  void KeepInks(OrientedPicture& picture, int y, std::span<const std::uint8_t> samples);

  Bytes file_;
  JpegSession session_;
  int orientation_ = 1;
  std::optional<CmykRows> cmyk_;
  bool invertedInks_ = false;
  std::vector<std::uint8_t> inks_;
  std::vector<std::uint8_t> icc_;
  std::vector<RgbaPixel> scratch_;
  std::vector<RgbaPixel> turned_;
};

}  // namespace irobunkai
