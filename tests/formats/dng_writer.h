#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace irobunkai::test {

/// What a small DNG holds: one raw picture of 16-bit samples.
struct Dng {
  int width = 0;
  int height = 0;
  /// Row-major samples: one a photosite, or three a pixel when linear.
  std::vector<std::uint16_t> samples;
  /// The colour filter over the photosites, repeating: 0 red, 1 green, 2 blue.
  int patternWidth = 2;
  int patternHeight = 2;
  std::vector<std::uint8_t> pattern = {0, 1, 1, 2};
  /// A colour filter over the photosites; a demosaiced picture of red, green and blue
  /// samples; or a monochrome sensor, without a filter.
  enum class Kind { ColourFilter, Linear, Monochrome } kind = Kind::ColourFilter;
  std::uint16_t black = 0;
  std::uint16_t white = 4095;
  /// The camera's reading of a neutral grey.
  std::array<double, 3> neutral = {1, 1, 1};
  /// The TIFF orientation, 1 to 8.
  std::uint16_t orientation = 1;
};

/// Fills `dng.samples` with what its sensor records of a scene whose 8-bit R, G, B at each
/// place `scene` gives: each photosite the level of its filter's colour, between the black and
/// white levels, dimmed by the neutral. A linear picture records all three, a monochrome
/// sensor the green.
void Expose(Dng& dng, const std::function<std::array<int, 3>(int x, int y)>& scene);

/// The DNG file of `dng`, little-endian, uncompressed in one strip. Its camera sees as
/// sRGB does; the strip is written as long as the samples are, so a declared size larger
/// than the samples makes a file that lies.
std::vector<std::uint8_t> EncodeDng(const Dng& dng);

}  // namespace irobunkai::test
