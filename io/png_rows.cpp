#include "io/png_rows.h"

#include <zlib.h>

#include <QIODevice>
#include <array>
#include <vector>

#include "io/deflate_stream.h"

namespace irobunkai {
namespace {

// Rows between two progress reports: often enough for a smooth bar, rarely enough to cost
// nothing.
constexpr int kRowsPerReport = 64;
// Coded bytes per IDAT chunk.
constexpr std::size_t kChunkBytes = 256 * 1024;
constexpr std::uint8_t kFilterUp = 2;

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
    auto crc = crc32_z(0, head.data() + 4, 4);
    if (!data.empty()) {  // zlib starts afresh on a null buffer
      crc = crc32_z(crc, data.data(), data.size());
    }
    std::vector<std::uint8_t> tail;
    PutBigEndian(tail, static_cast<std::uint32_t>(crc));
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

}  // namespace

PngWriteResult WritePngRows(QIODevice& device, int width, int height, PngPixels pixels,
                            const PngRowSource& rows, const Progress& progress) {
  using Status = PngWriteResult::Status;
  if (width <= 0 || height <= 0) {
    return {Status::Failed, QStringLiteral("A PNG picture has at least one pixel a side.")};
  }
  const auto failed = [&device] { return PngWriteResult{Status::Failed, device.errorString()}; };
  ChunkWriter png(device);
  if (!png.Signature() || !png.Chunk("IHDR", Header(width, height, pixels))) {
    return failed();
  }
  const std::size_t rowBytes =
      static_cast<std::size_t>(width) * (pixels == PngPixels::Grey ? 1 : 3);
  std::vector<std::uint8_t> above(rowBytes, 0);  // the row above the first is black
  std::vector<std::uint8_t> row(rowBytes);
  std::vector<std::uint8_t> filtered(rowBytes + 1);
  filtered[0] = kFilterUp;
  DeflateStream stream;
  for (int y = 0; y < height; ++y) {
    if (progress.Cancelled()) {
      return {Status::Cancelled, {}};
    }
    rows(y, row);
    for (std::size_t x = 0; x < rowBytes; ++x) {
      filtered[x + 1] = static_cast<std::uint8_t>(row[x] - above[x]);
    }
    stream.Add(filtered);
    above.swap(row);
    if (stream.Output().size() >= kChunkBytes) {
      if (!png.Chunk("IDAT", stream.Output())) {
        return failed();
      }
      stream.Output().clear();
    }
    if ((y + 1) % kRowsPerReport == 0) {
      progress.Report(y + 1, height);
    }
  }
  stream.Finish();
  if (!png.Chunk("IDAT", stream.Output()) || !png.Chunk("IEND", {})) {
    return failed();
  }
  progress.Report(1.0);
  return {Status::Written, {}};
}

}  // namespace irobunkai
