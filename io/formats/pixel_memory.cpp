#include "io/formats/pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace irobunkai {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

std::shared_ptr<RgbaPixel[]> AllocatePixels(std::size_t count) {
  const std::size_t bytes = count * sizeof(RgbaPixel);
  if (bytes < 2 * kHugePage) {
    return std::make_shared_for_overwrite<RgbaPixel[]>(count);
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* room = std::aligned_alloc(kHugePage, rounded);
  if (room == nullptr) {
    throw std::bad_alloc();
  }
  // Only advice: where the kernel gives no huge pages, ordinary ones serve.
  madvise(room, rounded, MADV_HUGEPAGE);
  return {static_cast<RgbaPixel*>(room), [](RgbaPixel* pixels) { std::free(pixels); }};
}

}  // namespace irobunkai
