#include "io/formats/pixel_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace irobunkai {
namespace {

// Below this the faults cost less than starting a thread.
constexpr std::size_t kPrefaultFrom = std::size_t{32} << 20;
// Faulted in one piece at a time, so that a picture given up stops the filling soon.
constexpr std::size_t kPrefaultPiece = std::size_t{4} << 20;

// An anonymous mapping whose pages a thread faults in from the start. Huge pages are not
// asked for: where the kernel must compact memory to find them, the first large picture
// waited for it several tenths of a second.
class PrefaultedMapping {
 public:
  explicit PrefaultedMapping(std::size_t bytes)
      : bytes_(bytes),
        start_(mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {
    if (start_ == MAP_FAILED) {
      throw std::bad_alloc();
    }
    try {
      filler_ = std::jthread([this](const std::stop_token& stop) { Fill(stop); });
    } catch (const std::system_error&) {
      // No thread to spare: the decoder's own writes fault the pages in.
    }
  }
  PrefaultedMapping(const PrefaultedMapping&) = delete;
  PrefaultedMapping& operator=(const PrefaultedMapping&) = delete;
  ~PrefaultedMapping() {
    if (filler_.joinable()) {
      filler_.request_stop();
      filler_.join();
    }
    munmap(start_, bytes_);
  }

  [[nodiscard]] RgbaPixel* Pixels() const { return static_cast<RgbaPixel*>(start_); }

 private:
  void Fill(const std::stop_token& stop) const {
    auto* const bytes = static_cast<unsigned char*>(start_);
    for (std::size_t done = 0; done < bytes_ && !stop.stop_requested(); done += kPrefaultPiece) {
      // A kernel without the advice (before 5.14) refuses it; the writes fault instead.
      if (madvise(bytes + done, std::min(kPrefaultPiece, bytes_ - done), MADV_POPULATE_WRITE) !=
          0) {
        return;
      }
    }
  }

  std::size_t bytes_;
  void* start_;
  std::jthread filler_;
};

}  // namespace

std::shared_ptr<RgbaPixel[]> AllocatePixels(std::size_t count) {
  const std::size_t bytes = count * sizeof(RgbaPixel);
  if (bytes < kPrefaultFrom) {
    return std::make_shared_for_overwrite<RgbaPixel[]>(count);
  }
  auto mapping = std::make_shared<PrefaultedMapping>(bytes);
  RgbaPixel* const pixels = mapping->Pixels();
  return {std::move(mapping), pixels};
}

}  // namespace irobunkai
