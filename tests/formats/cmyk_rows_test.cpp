// CMYK samples made sRGB when no profile can be had: the formula, either way round the inks
// are stored; and one converter for many threads. What files show through their profiles is
// the JPEG and TIFF decoders' tests'.
#include "io/formats/cmyk_rows.h"

#include <gtest/gtest.h>

#include <QColorSpace>
#include <array>
#include <thread>

#include "format_test_support.h"
#include "io/formats/naive_cmyk.h"

namespace irobunkai {
namespace {

constexpr const char* kNowhere = "/nonexistent/press.icc";

// Every 51st level of each ink: 625 pixels, four samples each.
std::vector<std::uint8_t> InkGrid() {
  std::vector<std::uint8_t> grid;
  for (int c = 0; c < 256; c += 51) {
    for (int m = 0; m < 256; m += 51) {
      for (int y = 0; y < 256; y += 51) {
        for (int k = 0; k < 256; k += 51) {
          grid.insert(grid.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(m),
                                   static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(k)});
        }
      }
    }
  }
  return grid;
}

std::vector<std::uint8_t> Inverted(std::vector<std::uint8_t> samples) {
  for (std::uint8_t& sample : samples) {
    sample = static_cast<std::uint8_t>(255 - sample);
  }
  return samples;
}

std::vector<RgbaPixel> Rendered(const CmykRows& rows, const std::vector<std::uint8_t>& samples) {
  std::vector<RgbaPixel> out(samples.size() / 4);
  rows.Convert(samples, out);
  return out;
}

std::vector<std::uint8_t> Press() { return test::ShippedProfile("ghostscript/default_cmyk.icc"); }

TEST(CmykRows, ThePressProfileStandsInAndTheFormulaWhenItIsMissing) {
  const std::vector<std::uint8_t> grid = InkGrid();
  const QByteArray srgb = QColorSpace(QColorSpace::SRgb).iccProfile();
  const std::vector<std::uint8_t> rgb(srgb.begin(), srgb.end());
  const CmykRows press(Press(), false, kNowhere);
  ASSERT_TRUE(press.Profiled());
  // An RGB profile is no use for inks: the press profile renders them.
  const CmykRows standIn(rgb, false);
  EXPECT_TRUE(standIn.Profiled());
  EXPECT_EQ(Rendered(standIn, grid), Rendered(press, grid));

  for (const bool inverted : {false, true}) {
    const CmykRows formula(rgb, inverted, kNowhere);
    EXPECT_FALSE(formula.Profiled());
    std::vector<RgbaPixel> expected(grid.size() / 4);
    NaiveCmykToRgba(grid, expected, inverted);
    EXPECT_EQ(Rendered(formula, grid), expected) << inverted;
  }
  // The formula: cyan ink alone leaves green and blue; Adobe's cyan is stored as 0, 255, 255,
  // 255.
  const std::vector<std::uint8_t> cyan = {255, 0, 0, 0};
  EXPECT_EQ(Rendered(CmykRows({}, false, kNowhere), cyan)[0], MakeRgba(RGB(0, 255, 255)));
  EXPECT_EQ(Rendered(CmykRows({}, true, kNowhere), Inverted(cyan))[0], MakeRgba(RGB(0, 255, 255)));
}

TEST(CmykRows, ManyThreadsConvertWithOneConverterAtOnce) {
  const std::vector<std::uint8_t> grid = InkGrid();
  const CmykRows rows(Press(), true);
  const std::vector<RgbaPixel> expected = Rendered(rows, grid);
  std::array<std::vector<RgbaPixel>, 4> results;
  {
    std::vector<std::jthread> threads;
    for (std::vector<RgbaPixel>& result : results) {
      threads.emplace_back([&rows, &grid, &result] {
        // Pixel by pixel, where a shared one-pixel cache would be read and written most.
        result.resize(grid.size() / 4);
        for (int pass = 0; pass < 20; ++pass) {
          for (std::size_t i = 0; i < result.size(); ++i) {
            rows.Convert(std::span(grid).subspan(4 * i, 4), std::span(result).subspan(i, 1));
          }
        }
      });
    }
  }
  for (const std::vector<RgbaPixel>& result : results) {
    EXPECT_EQ(result, expected);
  }
}

}  // namespace
}  // namespace irobunkai
