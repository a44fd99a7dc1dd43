#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace irobunkai::test {

/// A smaller rendition of the picture, as cameras write beside the raw picture.
struct DngPreview {
  int width = 0;
  int height = 0;
  /// A JPEG file's bytes, or row-major 8-bit samples, three a pixel (red, green, blue).
  std::vector<std::uint8_t> bytes;
  bool jpeg = false;
};

/// What a small DNG holds: one raw picture of 16-bit samples, and its previews.
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
  /// None, or previews that readers take for what they are: the first in IFD0, the raw
  /// picture and the others in its SubIFDs, as cameras and Adobe's converter write them.
  std::vector<DngPreview> previews;
};

/// Fills `dng.samples` with what its sensor records of a scene whose 8-bit R, G, B at each
/// place `scene` gives: each photosite the level of its filter's colour, between the black and
/// white levels, dimmed by the neutral. A linear picture records all three, a monochrome
/// sensor the green.
void Expose(Dng& dng, const std::function<std::array<int, 3>(int x, int y)>& scene);

/// The DNG file of `dng`, little-endian, each picture in one strip, the raw one uncompressed.
/// Its camera sees as sRGB does; the strips are written as long as the samples are, so a
/// declared size larger than the samples makes a file that lies.
std::vector<std::uint8_t> EncodeDng(const Dng& dng);

}  // namespace irobunkai::test
