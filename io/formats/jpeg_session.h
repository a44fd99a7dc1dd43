#pragma once

#include <cstddef>
#include <optional>

// jpeglib.h needs FILE and size_t declared first.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include "io/formats/error_jump.h"
#include "io/formats/format_result.h"

namespace irobunkai {

/// A point in the decoding of a JPEG's scans.
struct JpegScanPoint {
  int scan = 0;            ///< the scan being read, from 1
  JDIMENSION iMcuRow = 0;  ///< the row of blocks (8 or 16 pixel rows) being read in it
};

/// libjpeg decompressing one JPEG held in memory. Its fatal errors end the Run they happen
/// in; its warnings are kept quiet, save what tells where the data ran out.
class JpegSession {
 public:
  /// Throws std::bad_alloc when libjpeg can't be set up.
  explicit JpegSession(Bytes file);
  ~JpegSession();
  JpegSession(const JpegSession&) = delete;
  JpegSession& operator=(const JpegSession&) = delete;

  [[nodiscard]] jpeg_decompress_struct& Info() { return info_; }
  [[nodiscard]] const jpeg_decompress_struct& Info() const { return info_; }

  /// Runs `step`, which calls libjpeg (see ErrorJump::Run); false when libjpeg failed.
  template <class Step>
  bool Run(Step&& step) {
    return jump_.Run(step);
  }

  /// Whether the last failure was libjpeg running out of memory.
  [[nodiscard]] bool OutOfMemory() const;
  /// Where the file's data ran out, libjpeg then reading an end-of-image marker in its place.
  [[nodiscard]] const std::optional<JpegScanPoint>& DataEnded() const { return dataEnded_; }
  /// Where, after that, a Huffman decoder first found its scan's data missing.
  [[nodiscard]] const std::optional<JpegScanPoint>& ScanCut() const { return scanCut_; }
  /// How much of the file libjpeg has read.
  [[nodiscard]] std::size_t BytesRead() const;

 private:
  static JpegSession& Of(j_common_ptr info);
  static void ErrorExit(j_common_ptr info);
  static void EmitMessage(j_common_ptr info, int level);
  static void OutputMessage(j_common_ptr info);
  static void InitSource(j_decompress_ptr info);
  static boolean FillInputBuffer(j_decompress_ptr info);
  static void SkipInputData(j_decompress_ptr info, long count);
  static void TermSource(j_decompress_ptr info);

  JpegScanPoint Here() const { return {info_.input_scan_number, info_.input_iMCU_row}; }

  Bytes file_;
  ErrorJump jump_;
  jpeg_error_mgr errors_{};
  jpeg_source_mgr source_{};
  jpeg_decompress_struct info_{};
  bool created_ = false;
  std::optional<JpegScanPoint> dataEnded_;
  std::optional<JpegScanPoint> scanCut_;
};

}  // namespace irobunkai
