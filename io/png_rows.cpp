#include "io/png_rows.h"

#include <png.h>
#include <zlib.h>

#include <QIODevice>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace irobunkai {
namespace {

// Rows between two progress reports: often enough for a smooth bar, rarely enough to cost
// nothing.
constexpr int kRowsPerReport = 64;
// Bytes of compressed data per IDAT chunk: fewer, larger writes than libpng's 8 KiB.
constexpr std::size_t kChunkBytes = 256 * 1024;

// What libpng's callbacks reach. An error longjmps over the frames that use it, so it is
// plain data.
struct Sink {
  QIODevice* device;
  bool writeFailed;
  char message[160];
};

void WriteData(png_structp png, png_bytep data, std::size_t length) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  const auto size = static_cast<qint64>(length);
  if (sink->device->write(reinterpret_cast<const char*>(data), size) != size) {
    sink->writeFailed = true;
    png_error(png, "write failed");
  }
}

void FlushData(png_structp /*png*/) {}

void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
  std::strncpy(sink->message, message, sizeof sink->message - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp /*png*/, png_const_charp /*message*/) {}

struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;
  explicit PngWriter(Sink& sink)
      : png(png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning)),
        info(png != nullptr ? png_create_info_struct(png) : nullptr) {}
  ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

enum class Encoded { Done, Cancelled, Failed };

// The header, every row and the end. Returns false when cancelled.
bool WriteAll(png_structp png, png_infop info, int width, int height, PngPixels pixels,
              const PngRowSource& rows, std::span<std::uint8_t> row, const Progress& progress) {
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               pixels == PngPixels::Grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_set_compression_buffer_size(png, kChunkBytes);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    if (progress.Cancelled()) {
      return false;
    }
    rows(y, row);
    png_write_row(png, row.data());
    if ((y + 1) % kRowsPerReport == 0) {
      progress.Report(y + 1, height);
    }
  }
  png_write_end(png, info);
  return true;
}

// libpng's errors longjmp back to here: nothing in this frame has a destructor.
Encoded Encode(png_structp png, png_infop info, int width, int height, PngPixels pixels,
               const PngRowSource& rows, std::span<std::uint8_t> row, const Progress& progress) {
  if (setjmp(png_jmpbuf(png)) != 0) {
    return Encoded::Failed;
  }
  return WriteAll(png, info, width, height, pixels, rows, row, progress) ? Encoded::Done
                                                                         : Encoded::Cancelled;
}

}  // namespace

PngWriteResult WritePngRows(QIODevice& device, int width, int height, PngPixels pixels,
                            const PngRowSource& rows, const Progress& progress) {
  using Status = PngWriteResult::Status;
  Sink sink{&device, false, {}};
  const PngWriter writer(sink);
  if (writer.info == nullptr) {
    throw std::bad_alloc();
  }
  const std::size_t bytesPerPixel = pixels == PngPixels::Grey ? 1 : 3;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(std::max(width, 0)) * bytesPerPixel);
  png_set_write_fn(writer.png, &sink, WriteData, FlushData);
  switch (Encode(writer.png, writer.info, width, height, pixels, rows, row, progress)) {
    case Encoded::Done:
      progress.Report(1.0);
      return {Status::Written, {}};
    case Encoded::Cancelled:
      return {Status::Cancelled, {}};
    case Encoded::Failed:
      break;
  }
  return {Status::Failed,
          sink.writeFailed ? device.errorString() : QString::fromUtf8(sink.message)};
}

}  // namespace irobunkai
