#include "io/formats/tiff_structure.h"

namespace irobunkai {

std::optional<TiffStructure> TiffStructure::Of(Bytes bytes) {
  constexpr std::size_t kHeaderBytes = 8;
  if (bytes.size() < kHeaderBytes) {
    return std::nullopt;
  }
  if (bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0) {
    return TiffStructure(bytes, true);
  }
  if (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42) {
    return TiffStructure(bytes, false);
  }
  return std::nullopt;
}

std::optional<std::uint16_t> TiffStructure::U16(std::size_t at) const {
  if (at > bytes_.size() || bytes_.size() - at < 2) {
    return std::nullopt;
  }
  const unsigned first = bytes_[at];
  const unsigned second = bytes_[at + 1];
  return static_cast<std::uint16_t>(littleEndian_ ? first | (second << 8) : (first << 8) | second);
}

std::optional<std::uint32_t> TiffStructure::U32(std::size_t at) const {
  const auto low = U16(littleEndian_ ? at : at + 2);
  const auto high = U16(littleEndian_ ? at + 2 : at);
  if (!low || !high) {
    return std::nullopt;
  }
  return (std::uint32_t{*high} << 16) | *low;
}

std::optional<TiffDirectory> TiffStructure::DirectoryAt(std::uint32_t offset) const {
  constexpr std::size_t kEntryBytes = 12;
  const auto count = U16(offset);
  if (!count) {
    return std::nullopt;
  }
  const std::size_t first = std::size_t{offset} + 2;
  const std::size_t end = first + kEntryBytes * *count + 4;
  const auto next = U32(end - 4);
  if (!next) {
    return std::nullopt;
  }
  TiffDirectory directory{{}, end, *next};
  directory.entries.reserve(*count);
  for (std::size_t at = first; at + 4 < end; at += kEntryBytes) {
    directory.entries.push_back({*U16(at), *U16(at + 2), *U32(at + 4), at + 8});
  }
  return directory;
}

std::optional<std::uint32_t> TiffStructure::Number(const TiffEntry& entry) const {
  if (entry.count != 1) {
    return std::nullopt;
  }
  if (entry.type == kShort) {
    return U16(entry.valueAt);
  }
  if (entry.type == kLong) {
    return U32(entry.valueAt);
  }
  return std::nullopt;
}

}  // namespace irobunkai
