#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace irobunkai {

/// Colour given by ITU-T H.273 code points, as the nclx box of a HEIF or AVIF file gives it:
/// primaries 12 with transfer 13 is Display P3, 1 with 13 is sRGB.
struct CodedColour {
  int primaries = 2;  ///< 2: unspecified
  int transfer = 2;
  int matrix = 2;
  bool fullRange = true;

  friend bool operator==(const CodedColour&, const CodedColour&) = default;
};

/// A PNG's own colour chunks, which count when it has no ICC profile.
struct PngColourChunks {
  /// An sRGB chunk: the picture is sRGB whatever the other chunks say.
  bool srgb = false;
  /// gAMA's file gamma, 1/2.2 for most pictures.
  std::optional<double> gamma;
  /// cHRM's white point and primaries: white x, y, then red, green and blue x, y.
  std::optional<std::array<double, 8>> chromaticities;

  friend bool operator==(const PngColourChunks&, const PngColourChunks&) = default;
};

/// How a picture's numbers are to be taken as colours, as its file says it. A file that says
/// nothing is sRGB.
struct ColourDescription {
  /// The ICC profile embedded in the file, as its bytes; it outranks what else is said.
  std::vector<std::uint8_t> icc;
  std::optional<CodedColour> coded;
  std::optional<PngColourChunks> png;

  [[nodiscard]] bool Empty() const { return icc.empty() && !coded && !png; }
  friend bool operator==(const ColourDescription&, const ColourDescription&) = default;
};

}  // namespace irobunkai
