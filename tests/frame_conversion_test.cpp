#include "colour/frame_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "profile_test_support.h"

namespace irobunkai {
namespace {

using namespace test;

std::shared_ptr<const ColourProfile> FromFile(const std::string& path) {
  return ColourProfile::Of(WithIcc(ReadBytes(path)));
}

// Each colour converted as FrameConversion converts it, within `tolerance` levels of
// transicc's unrounded answer: half a level is rounding's.
void ExpectAsTransicc(const FrameConversion& conversion, const std::string& in,
                      const std::string& out, const std::vector<ColorValue>& colours,
                      bool greyIn = false, double tolerance = 1.0) {
  const auto expected = Transicc(in, out, colours, greyIn);
  ASSERT_EQ(expected.size(), colours.size());
  double worst = 0;
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const ColorValue got = conversion.Convert(colours[i]);
    const std::array<int, 3> channels = {RedOf(got), GreenOf(got), BlueOf(got)};
    for (std::size_t c = 0; c < 3; ++c) {
      worst = std::max(worst, std::abs(channels[c] - expected[i][c]));
    }
  }
  EXPECT_LE(worst, tolerance) << in << " to " << out;
}

void ExpectWithinALevel(ColorValue got, ColorValue expected) {
  EXPECT_LE(std::abs(RedOf(got) - RedOf(expected)), 1) << Hex(got) << " for " << Hex(expected);
  EXPECT_LE(std::abs(GreenOf(got) - GreenOf(expected)), 1) << Hex(got) << " for " << Hex(expected);
  EXPECT_LE(std::abs(BlueOf(got) - BlueOf(expected)), 1) << Hex(got) << " for " << Hex(expected);
}

TEST(FrameConversion, NothingToDoBetweenTheSameColours) {
  EXPECT_EQ(FrameConversion::Between(nullptr, nullptr), nullptr);
  const auto adobe = FromFile(kAdobe);
  EXPECT_EQ(FrameConversion::Between(adobe.get(), adobe.get()), nullptr);
  EXPECT_EQ(FrameConversion::Between(adobe.get(), FromFile(kAdobe).get()), nullptr);
  EXPECT_NE(FrameConversion::Between(adobe.get(), nullptr), nullptr);
}

TEST(FrameConversion, PicturesAreShownAsTransiccConvertsThem) {
  const std::vector<ColorValue> grid = Grid(51);
  for (const std::string& path : {kAdobe, kProPhoto, kSwapped}) {
    const auto conversion = FrameConversion::Between(FromFile(path).get(), nullptr);
    ASSERT_NE(conversion, nullptr) << path;
    ExpectAsTransicc(*conversion, path, "*sRGB", grid);
  }
  // The example: Adobe RGB's (200, 40, 40) is sRGB's (233, 35, 35).
  EXPECT_EQ(FrameConversion::Between(FromFile(kAdobe).get(), nullptr)->Convert(RGB(200, 40, 40)),
            RGB(233, 35, 35));
  // A profile that swaps red and green.
  const auto swapped = FrameConversion::Between(FromFile(kSwapped).get(), nullptr);
  ExpectWithinALevel(swapped->Convert(RGB(255, 0, 0)), RGB(0, 255, 0));
  ExpectWithinALevel(swapped->Convert(RGB(30, 200, 90)), RGB(200, 30, 90));
}

TEST(FrameConversion, CodedDisplayP3IsShownAsAnIccDisplayP3) {
  const auto coded = ColourProfile::Of(WithCoded(12, 13));
  const auto conversion = FrameConversion::Between(coded.get(), nullptr);
  ASSERT_NE(conversion, nullptr);
  const TemporaryFile p3("p3.icc", DisplayP3Bytes());
  ExpectAsTransicc(*conversion, p3.path, "*sRGB", Grid(51));
  // P3's pure green lies beyond sRGB's and is clipped there; its greys are sRGB's greys.
  EXPECT_EQ(conversion->Convert(RGB(128, 128, 128)), RGB(128, 128, 128));
  EXPECT_EQ(conversion->Convert(RGB(0, 255, 0)), RGB(0, 255, 0));
}

TEST(FrameConversion, GreyAndTableProfilesAndDisplays) {
  std::vector<ColorValue> greys;
  for (int level = 0; level < 256; level += 5) {
    greys.push_back(RGB(level, level, level));
  }
  const auto grey = FrameConversion::Between(FromFile(kGrey).get(), nullptr);
  ASSERT_NE(grey, nullptr);
  ExpectAsTransicc(*grey, kGrey, "*sRGB", greys, true, 0.5);

  const std::vector<std::uint8_t> tables = TableProfileBytes();
  const auto fromTables =
      FrameConversion::Between(ColourProfile::Of(WithIcc(tables)).get(), nullptr);
  ASSERT_NE(fromTables, nullptr);
  // littleCMS's eight-bit shortcut, a coarser table in place of the profile's, adds up to a
  // level to rounding's half, as it does going into a display whose curve is steep at black.
  const TemporaryFile tablesFile("tables.icc", tables);
  ExpectAsTransicc(*fromTables, tablesFile.path, "*sRGB", Grid(51), false, 1.5);

  // An sRGB picture on an Adobe RGB display.
  const auto display = ColourProfile::OfDisplay(ReadBytes(kAdobe));
  const auto toDisplay = FrameConversion::Between(nullptr, display.get());
  ASSERT_NE(toDisplay, nullptr);
  ExpectAsTransicc(*toDisplay, "*sRGB", kAdobe, Grid(51), false, 2.0);
}

TEST(FrameConversion, FramesKeepTheirAlphaAndConvertOnManyThreads) {
  const auto conversion = FrameConversion::Between(FromFile(kProPhoto).get(), nullptr);
  ASSERT_NE(conversion, nullptr);
  std::vector<std::uint32_t> frame(64 * 1024);
  for (std::size_t i = 0; i < frame.size(); ++i) {
    frame[i] = static_cast<std::uint32_t>(i * 2654435761u);
  }
  std::vector<std::uint32_t> expected = frame;
  for (auto& pixel : expected) {
    // B, G, R, A in memory: 0xAARRGGBB.
    const ColorValue c = RGB(static_cast<int>(pixel >> 16 & 0xFF),
                             static_cast<int>(pixel >> 8 & 0xFF), static_cast<int>(pixel & 0xFF));
    const ColorValue converted = conversion->Convert(c);
    pixel = (pixel & 0xFF000000u) | static_cast<std::uint32_t>(RedOf(converted)) << 16 |
            static_cast<std::uint32_t>(GreenOf(converted)) << 8 |
            static_cast<std::uint32_t>(BlueOf(converted));
  }
  std::vector<std::thread> threads;
  constexpr std::size_t kThreads = 4;
  const std::size_t part = frame.size() / kThreads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { conversion->Convert(frame.data() + t * part, part); });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(frame, expected);
}

}  // namespace
}  // namespace irobunkai
