#include "io/png_rows.h"

#include <libdeflate.h>

#include <QIODevice>
#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

namespace irobunkai {
namespace {

// Rows between two progress reports: often enough for a smooth bar, rarely enough to cost
// nothing.
constexpr int kRowsPerReport = 64;
// Coded bytes per IDAT chunk.
constexpr std::size_t kChunkBytes = 256 * 1024;
// Each byte less the same sample of the pixel to its left: on photographs this deflates a
// little smaller than the row above (Up) and costs the same.
constexpr std::uint8_t kFilterSub = 1;
// libdeflate's fastest level: level 2 makes files about 2 % smaller for twice the time.
constexpr int kDeflateLevel = 1;
// A profile is a few kilobytes, so it is worth the best level.
constexpr int kProfileLevel = 12;
// What the iCCP chunk calls the profile: any Latin-1 name of 1 to 79 characters will do.
constexpr std::string_view kProfileName = "ICC Profile";
// How far the bar is once every row is filtered, and once they are deflated; writing the
// chunks fills the rest.
constexpr double kRowsShare = 0.2;
constexpr double kDeflatedShare = 0.95;

// Bytes that are all written before they are read, so never cleared first.
struct Bytes {
  explicit Bytes(std::size_t n)
      : data(std::make_unique_for_overwrite<std::uint8_t[]>(n)), size(n) {}
  [[nodiscard]] std::span<std::uint8_t> Span() const { return {data.get(), size}; }

  std::unique_ptr<std::uint8_t[]> data;
  std::size_t size;
};

struct FreeCompressor {
  void operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
  }
};

void PutBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

// Writes PNG chunks to a device; false once a write has failed.
class ChunkWriter {
 public:
  explicit ChunkWriter(QIODevice& device) : device_(device) {}

  bool Signature() {
    static constexpr std::array<std::uint8_t, 8> kSignature = {137,  'P',  'N', 'G',
                                                               '\r', '\n', 26,  '\n'};
    return Write(kSignature);
  }

  bool Chunk(const char (&type)[5], std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> head;
    PutBigEndian(head, static_cast<std::uint32_t>(data.size()));
    head.insert(head.end(), type, type + 4);
    auto crc = libdeflate_crc32(0, head.data() + 4, 4);
    if (!data.empty()) {  // libdeflate starts afresh on a null buffer
      crc = libdeflate_crc32(crc, data.data(), data.size());
    }
    std::vector<std::uint8_t> tail;
    PutBigEndian(tail, crc);
    return Write(head) && Write(data) && Write(tail);
  }

 private:
  bool Write(std::span<const std::uint8_t> bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return device_.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
  }

  QIODevice& device_;
};

std::vector<std::uint8_t> Header(int width, int height, PngPixels pixels) {
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  // 8 bits a sample, grey (0) or RGB (2); deflate, filtered rows, not interlaced.
  header.insert(header.end(),
                {8, pixels == PngPixels::Grey ? std::uint8_t{0} : std::uint8_t{2}, 0, 0, 0});
  return header;
}

// `row` filtered into `out`, after its filter type.
void FilterSub(std::span<const std::uint8_t> row, std::size_t pixelBytes,
               std::span<std::uint8_t> out) {
  out[0] = kFilterSub;
  std::copy_n(row.begin(), pixelBytes, out.begin() + 1);
  for (std::size_t x = pixelBytes; x < row.size(); ++x) {
    out[x + 1] = static_cast<std::uint8_t>(row[x] - row[x - pixelBytes]);
  }
}

// Every row, filtered after its filter type, into `out`; false once cancelled.
bool FilterRows(int height, std::size_t pixelBytes, const PngRowSource& rows,
                const Progress& progress, std::span<std::uint8_t> out) {
  const std::size_t rowBytes = out.size() / static_cast<std::size_t>(height) - 1;
  std::vector<std::uint8_t> row(rowBytes);
  for (int y = 0; y < height; ++y) {
    if (progress.Cancelled()) {
      return false;
    }
    rows(y, row);
    FilterSub(row, pixelBytes, out.subspan(static_cast<std::size_t>(y) * (rowBytes + 1)));
    if ((y + 1) % kRowsPerReport == 0) {
      progress.Report(kRowsShare * (y + 1) / height);
    }
  }
  return true;
}

// One zlib stream of all of `bytes`, as PNG's IDAT and iCCP chunks hold it. Throws
// std::bad_alloc.
Bytes Deflated(std::span<const std::uint8_t> bytes, int level = kDeflateLevel) {
  const std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor(
      libdeflate_alloc_compressor(level));
  if (!compressor) {
    throw std::bad_alloc();
  }
  // Room for the worst case, though only the pages written are ever taken from the system.
  Bytes coded(libdeflate_zlib_compress_bound(compressor.get(), bytes.size()));
  coded.size = libdeflate_zlib_compress(compressor.get(), bytes.data(), bytes.size(),
                                        coded.data.get(), coded.size);
  return coded;
}

// The iCCP chunk of `icc`: its name, a nul, compression method 0 (zlib), the deflated
// profile. Empty when it cannot be compressed. Throws std::bad_alloc.
std::vector<std::uint8_t> ProfileChunk(std::span<const std::uint8_t> icc) {
  const Bytes coded = Deflated(icc, kProfileLevel);
  if (coded.size == 0) {
    return {};
  }
  std::vector<std::uint8_t> chunk(kProfileName.begin(), kProfileName.end());
  chunk.insert(chunk.end(), {0, 0});
  chunk.insert(chunk.end(), coded.data.get(), coded.data.get() + coded.size);
  return chunk;
}

// The stream in IDAT chunks and the end; false once a write failed or the work is cancelled.
bool WriteChunks(ChunkWriter& png, std::span<const std::uint8_t> stream, const Progress& progress) {
  for (std::size_t at = 0; at < stream.size(); at += kChunkBytes) {
    const std::size_t end = std::min(at + kChunkBytes, stream.size());
    if (progress.Cancelled() || !png.Chunk("IDAT", stream.subspan(at, end - at))) {
      return false;
    }
    progress.Report(kDeflatedShare + (1.0 - kDeflatedShare) * static_cast<double>(end) /
                                         static_cast<double>(stream.size()));
  }
  return png.Chunk("IEND", {});
}

}  // namespace

PngWriteResult WritePngRows(QIODevice& device, int width, int height, PngPixels pixels,
                            const PngRowSource& rows, const Progress& progress,
                            std::span<const std::uint8_t> icc) {
  using Status = PngWriteResult::Status;
  if (width <= 0 || height <= 0) {
    return {Status::Failed, QStringLiteral("A PNG picture has at least one pixel a side.")};
  }
  const std::vector<std::uint8_t> profile =
      icc.empty() ? std::vector<std::uint8_t>{} : ProfileChunk(icc);
  if (!icc.empty() && profile.empty()) {
    return {Status::Failed, QStringLiteral("The colour profile could not be compressed.")};
  }
  const std::size_t pixelBytes = pixels == PngPixels::Grey ? 1 : 3;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
  // Deflated whole: libdeflate takes no stream in parts, and IDAT holds one stream.
  Bytes filtered((rowBytes + 1) * static_cast<std::size_t>(height));
  if (!FilterRows(height, pixelBytes, rows, progress, filtered.Span()) || progress.Cancelled()) {
    return {Status::Cancelled, {}};
  }
  const Bytes stream = Deflated(filtered.Span());
  filtered.data.reset();  // done with, and as large as the picture
  if (stream.size == 0) {
    return {Status::Failed, QStringLiteral("The picture could not be compressed.")};
  }
  if (progress.Cancelled()) {
    return {Status::Cancelled, {}};
  }
  progress.Report(kDeflatedShare);
  ChunkWriter png(device);
  // The profile comes before the pixels, as PNG requires.
  if (!png.Signature() || !png.Chunk("IHDR", Header(width, height, pixels)) ||
      (!profile.empty() && !png.Chunk("iCCP", profile))) {
    return {Status::Failed, device.errorString()};
  }
  if (!WriteChunks(png, stream.Span(), progress)) {
    if (progress.Cancelled()) {
      return {Status::Cancelled, {}};
    }
    return {Status::Failed, device.errorString()};
  }
  progress.Report(1.0);
  return {Status::Written, {}};
}

}  // namespace irobunkai
