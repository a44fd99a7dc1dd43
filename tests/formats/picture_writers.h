#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace irobunkai::test {

/// A sample of component `c` at (`x`, `y`), at most 255 (65535 for a 16-bit PNG).
using Samples = std::function<int(int x, int y, int c)>;

/// Smooth fields with grain in every pixel, different in each component.
int PatternSample(int x, int y, int c);

/// How EncodeJpeg writes a JPEG, with libjpeg-turbo.
struct JpegLayout {
  enum class Colours { YCbCr, Grey, Rgb, Cmyk, Ycck };
  int width = 64;
  int height = 48;
  Colours colours = Colours::YCbCr;
  bool progressive = false;
  bool arithmetic = false;
  /// CMYK and YCCK: inks stored inverted with an Adobe marker, as Photoshop writes them; when
  /// false, plain inks and no Adobe marker.
  bool adobe = true;
  int quality = 90;
  /// The first component's sampling factors: 2 by 2 subsamples the others to 4:2:0.
  int hSampling = 2;
  int vSampling = 2;
  /// APP1 segments to write after the header, EXIF's for one.
  std::vector<std::vector<std::uint8_t>> app1{};
  std::vector<std::uint8_t> iccProfile{};
};

/// A JPEG of `samples`: R, G, B (the first for grey), or the inks C, M, Y, K for CMYK and
/// YCCK, 0 for none.
std::vector<std::uint8_t> EncodeJpeg(const JpegLayout& layout,
                                     const Samples& samples = PatternSample);

/// How EncodePng writes a PNG, with libpng.
struct PngLayout {
  int width = 40;
  int height = 30;
  int colourType = 2;  ///< PNG's colour type: 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::array<std::uint8_t, 3>> palette{};
  std::vector<std::uint8_t> paletteAlpha{};
  /// The transparent grey level (the first) or RGB colour of a tRNS chunk.
  std::optional<std::array<std::uint16_t, 3>> transparent{};
  std::vector<std::uint8_t> iccProfile{};
  /// Colour chunks, written as given even where libpng would check or add to them: an sRGB
  /// chunk with this rendering intent, gAMA's file gamma and cHRM's white x, y, then red,
  /// green and blue x, y, each in units of 1/100000.
  std::optional<int> srgbIntent{};
  std::optional<std::uint32_t> gamma{};
  std::optional<std::array<std::uint32_t, 8>> chromaticities{};
};

/// A PNG of `samples` at the layout's depth: grey, R, G, B and alpha as the colour type has
/// them, or palette indices.
std::vector<std::uint8_t> EncodePng(const PngLayout& layout, const Samples& samples);

}  // namespace irobunkai::test

namespace irobunkai::test {

/// An EXIF APP1 payload ("Exif\0\0" and a little-endian TIFF structure): a first directory
/// with the orientation when it is not 0, and a second with a thumbnail JPEG after it.
/// The overrides make it lie.
struct ExifSpec {
  int orientation = 0;
  std::vector<std::uint8_t> thumbnail{};
  std::optional<std::uint32_t> thumbnailOffset{};
  std::optional<std::uint32_t> thumbnailLength{};
  std::optional<std::uint32_t> secondDirectory{};
};
std::vector<std::uint8_t> ExifSegment(const ExifSpec& layout);

/// `primary` with an MPF APP2 segment after its start marker that lists it and `preview`,
/// appended after it, as an image of MP type `type` (0x010001, a large thumbnail). The
/// overrides make the preview's entry lie.
struct MpfSpec {
  std::uint32_t type = 0x010001;
  std::optional<std::uint32_t> offset{};
  std::optional<std::uint32_t> size{};
  std::optional<std::uint32_t> entryCount{};
};
std::vector<std::uint8_t> WithMpfPreview(std::vector<std::uint8_t> primary,
                                         const std::vector<std::uint8_t>& preview,
                                         const MpfSpec& layout = {});

}  // namespace irobunkai::test
