#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/formats/format_result.h"

namespace irobunkai {

/// One entry of a TIFF image file directory.
struct TiffEntry {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::size_t valueAt = 0;  ///< where its four-byte value or offset field is
};

struct TiffDirectory {
  std::vector<TiffEntry> entries;
  std::size_t end = 0;     ///< just past the directory, its next-directory offset included
  std::uint32_t next = 0;  ///< the next directory's offset; 0 for none
};

/// A TIFF structure in memory, as EXIF and MPF segments hold one: every read is checked
/// against its bounds, so that lying offsets read nothing.
class TiffStructure {
 public:
  static constexpr std::uint16_t kShort = 3;
  static constexpr std::uint16_t kLong = 4;

  /// Nullopt when `bytes` don't begin with a TIFF header ("II*\0" or "MM\0*").
  static std::optional<TiffStructure> Of(Bytes bytes);

  [[nodiscard]] Bytes Data() const { return bytes_; }
  [[nodiscard]] std::optional<std::uint16_t> U16(std::size_t at) const;
  [[nodiscard]] std::optional<std::uint32_t> U32(std::size_t at) const;
  /// The first directory's offset.
  [[nodiscard]] std::uint32_t FirstDirectory() const { return *U32(4); }
  /// The directory at `offset`; nullopt when it doesn't fit.
  [[nodiscard]] std::optional<TiffDirectory> DirectoryAt(std::uint32_t offset) const;
  /// A SHORT or LONG entry's single value.
  [[nodiscard]] std::optional<std::uint32_t> Number(const TiffEntry& entry) const;

 private:
  TiffStructure(Bytes bytes, bool littleEndian) : bytes_(bytes), littleEndian_(littleEndian) {}

  Bytes bytes_;
  bool littleEndian_;
};

}  // namespace irobunkai
