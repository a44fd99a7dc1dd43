#include "io/formats/pixel_memory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>

namespace irobunkai {
namespace {

// Large enough to be mapped and faulted in on another thread.
constexpr std::size_t kLarge = std::size_t{24} << 20;

TEST(PixelMemory, LargeRoomKeepsWhatIsWrittenWhileItsPagesAreFaultedIn) {
  const auto pixels = AllocatePixels(kLarge);
  // Written from the top as a decoder does, racing the thread that faults the pages in.
  for (std::size_t i = 0; i < kLarge; ++i) {
    pixels[i] = static_cast<RgbaPixel>(i * 2654435761u);
  }
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < kLarge; ++i) {
    wrong += pixels[i] != static_cast<RgbaPixel>(i * 2654435761u) ? 1 : 0;
  }
  EXPECT_EQ(wrong, 0u);
}

TEST(PixelMemory, RoomGivenUpAtOnceStopsItsFillingAndOutlivesNothing) {
  // Picture after picture abandoned before it is filled, as superseded opens are: each must
  // stop its filler before its pages go, or a later one would be written into freed memory.
  for (int round = 0; round < 20; ++round) {
    auto pixels = AllocatePixels(kLarge);
    pixels[kLarge - 1] = 7;
    EXPECT_EQ(pixels[kLarge - 1], 7u);
  }
  const auto small = AllocatePixels(16);
  std::iota(small.get(), small.get() + 16, RgbaPixel{0});
  EXPECT_EQ(small[15], 15u);
}

}  // namespace
}  // namespace irobunkai
