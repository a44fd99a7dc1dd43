#include "dng_writer.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>

namespace irobunkai::test {
namespace {

struct Entry {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::vector<std::uint8_t> data;
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

Entry Shorts(std::uint16_t tag, std::initializer_list<int> values) {
  Entry entry{tag, 3, static_cast<std::uint32_t>(values.size()), {}};
  for (const int v : values) {
    Put(entry.data, static_cast<std::uint32_t>(v), 2);
  }
  return entry;
}

Entry Long(std::uint16_t tag, std::uint32_t value) {
  Entry entry{tag, 4, 1, {}};
  Put(entry.data, value, 4);
  return entry;
}

Entry Bytes(std::uint16_t tag, std::vector<std::uint8_t> values) {
  return {tag, 1, static_cast<std::uint32_t>(values.size()), std::move(values)};
}

Entry Ascii(std::uint16_t tag, std::string_view text) {
  Entry entry{tag, 2, static_cast<std::uint32_t>(text.size() + 1), {text.begin(), text.end()}};
  entry.data.push_back(0);
  return entry;
}

// Signed (SRATIONAL) or unsigned (RATIONAL) fractions over a million.
template <std::size_t N>
Entry Rationals(std::uint16_t tag, const std::array<double, N>& values, bool isSigned) {
  constexpr double kDenominator = 1'000'000;
  Entry entry{tag, static_cast<std::uint16_t>(isSigned ? 10 : 5), N, {}};
  for (const double v : values) {
    Put(entry.data, static_cast<std::uint32_t>(std::lround(v * kDenominator)), 4);
    Put(entry.data, static_cast<std::uint32_t>(kDenominator), 4);
  }
  return entry;
}

constexpr std::uint16_t kStripOffsets = 273;
constexpr std::uint16_t kSubIfds = 330;

// One picture's directory: its tags, and its one strip.
struct Ifd {
  std::vector<Entry> entries;
  std::vector<std::uint8_t> strip;
};

std::size_t Padded(std::size_t bytes) { return bytes + bytes % 2; }

// The bytes Append writes for `ifd`, wherever it is placed.
std::size_t Size(const Ifd& ifd) {
  std::size_t size = 2 + 12 * ifd.entries.size() + 4 + Padded(ifd.strip.size());
  for (const Entry& entry : ifd.entries) {
    size += entry.data.size() > 4 ? Padded(entry.data.size()) : 0;
  }
  return size;
}

// Appends the IFD in tag order, the values too long for their entries (each on a word
// boundary), then the strip, where StripOffsets is made to point; ends on a word boundary.
void Append(std::vector<std::uint8_t>& out, Ifd ifd) {
  std::ranges::sort(ifd.entries, {}, &Entry::tag);
  const auto valuesAt = static_cast<std::uint32_t>(out.size() + 2 + 12 * ifd.entries.size() + 4);
  std::vector<std::uint8_t> values;
  for (Entry& entry : ifd.entries) {
    if (entry.data.size() > 4) {
      const auto at = valuesAt + static_cast<std::uint32_t>(values.size());
      values.insert(values.end(), entry.data.begin(), entry.data.end());
      values.resize(Padded(values.size()));
      entry.data.clear();
      Put(entry.data, at, 4);
    }
    entry.data.resize(4);
  }
  const auto stripAt = valuesAt + static_cast<std::uint32_t>(values.size());
  Put(out, static_cast<std::uint32_t>(ifd.entries.size()), 2);
  for (const Entry& entry : ifd.entries) {
    Put(out, entry.tag, 2);
    Put(out, entry.type, 2);
    Put(out, entry.count, 4);
    if (entry.tag == kStripOffsets) {
      Put(out, stripAt, 4);
    } else {
      out.insert(out.end(), entry.data.begin(), entry.data.end());
    }
  }
  Put(out, 0, 4);  // no next IFD
  out.insert(out.end(), values.begin(), values.end());
  out.insert(out.end(), ifd.strip.begin(), ifd.strip.end());
  out.resize(Padded(out.size()));
}

// The header, IFD0, then the IFDs that IFD0's SubIFDs tag points to, one after another.
std::vector<std::uint8_t> WriteTiff(std::vector<Ifd> ifds) {
  if (ifds.size() > 1) {
    const auto count = static_cast<std::uint32_t>(ifds.size() - 1);
    ifds[0].entries.push_back({kSubIfds, 4, count, std::vector<std::uint8_t>(4 * count)});
    std::vector<std::uint8_t> offsets;
    std::size_t at = 8 + Size(ifds[0]);
    for (std::size_t i = 1; i < ifds.size(); ++i) {
      Put(offsets, static_cast<std::uint32_t>(at), 4);
      at += Size(ifds[i]);
    }
    ifds[0].entries.back().data = offsets;
  }
  std::vector<std::uint8_t> out = {'I', 'I', 42, 0};
  Put(out, 8, 4);
  for (Ifd& ifd : ifds) {
    Append(out, std::move(ifd));
  }
  return out;
}

// XYZ (D65) to linear sRGB: a camera that sees as sRGB does.
constexpr std::array kSrgbFromXyz = {3.2406, -1.5372, -0.4986, -0.9689, 1.8758,
                                     0.0415, 0.0557,  -0.2040, 1.0570};

}  // namespace

void Expose(Dng& dng, const std::function<std::array<int, 3>(int x, int y)>& scene) {
  dng.samples.clear();
  const auto record = [&dng](int level, std::size_t colour) {
    dng.samples.push_back(static_cast<std::uint16_t>(
        dng.black + std::lround(level / 255.0 * (dng.white - dng.black) * dng.neutral[colour])));
  };
  for (int y = 0; y < dng.height; ++y) {
    for (int x = 0; x < dng.width; ++x) {
      const std::array<int, 3> rgb = scene(x, y);
      if (dng.kind == Dng::Kind::Linear) {
        for (std::size_t c = 0; c < 3; ++c) {
          record(rgb[c], c);
        }
      } else {
        const std::size_t colour =
            dng.kind == Dng::Kind::Monochrome
                ? 1
                : dng.pattern[static_cast<std::size_t>((y % dng.patternHeight) * dng.patternWidth +
                                                       x % dng.patternWidth)];
        record(rgb[colour], colour);
      }
    }
  }
}

namespace {

Ifd RawIfd(const Dng& dng) {
  const bool filtered = dng.kind == Dng::Kind::ColourFilter;
  const int samplesPerPixel = dng.kind == Dng::Kind::Linear ? 3 : 1;
  Ifd ifd{{
              Long(254, 0),  // the main picture, not a preview
              Long(256, static_cast<std::uint32_t>(dng.width)),
              Long(257, static_cast<std::uint32_t>(dng.height)),
              samplesPerPixel == 3 ? Shorts(258, {16, 16, 16}) : Shorts(258, {16}),
              Shorts(259, {1}),
              Shorts(262, {filtered ? 32803 : 34892}),  // a colour filter array, or linear raw
              Long(kStripOffsets, 0),
              Shorts(277, {samplesPerPixel}),
              Long(278, static_cast<std::uint32_t>(dng.height)),
              Long(279, static_cast<std::uint32_t>(dng.width * dng.height * samplesPerPixel * 2)),
              Shorts(50714, {dng.black}),
              Long(50717, dng.white),
          },
          {}};
  if (filtered) {
    ifd.entries.push_back(Shorts(33421, {dng.patternHeight, dng.patternWidth}));
    ifd.entries.push_back(Bytes(33422, dng.pattern));
  }
  for (const std::uint16_t sample : dng.samples) {
    Put(ifd.strip, sample, 2);
  }
  return ifd;
}

// What holds for the whole file, written in IFD0.
std::vector<Entry> CameraEntries(const Dng& dng) {
  return {
      Ascii(271, "Irobunkai"),
      Ascii(272, "Test Camera"),
      Shorts(274, {dng.orientation}),
      Bytes(50706, {1, 4, 0, 0}),
      Ascii(50708, "Irobunkai Test Camera"),
      Rationals(50721, kSrgbFromXyz, true),
      Rationals(50728, dng.neutral, false),
      Shorts(50778, {21}),  // the colour matrix is for D65
  };
}

Ifd PreviewIfd(const DngPreview& preview) {
  const auto height = static_cast<std::uint32_t>(preview.height);
  return {{
              Long(254, 1),  // a reduced rendition of the main picture
              Long(256, static_cast<std::uint32_t>(preview.width)), Long(257, height),
              Shorts(258, {8, 8, 8}), Shorts(259, {preview.jpeg ? 7 : 1}),  // JPEG, or uncompressed
              Shorts(262, {preview.jpeg ? 6 : 2}),  // YCbCr within the JPEG, or RGB
              Long(kStripOffsets, 0), Shorts(277, {3}), Long(278, height),
              Long(279, static_cast<std::uint32_t>(preview.bytes.size())),
              Shorts(284, {1}),  // samples interleaved
              Long(50970, 2),    // the preview is sRGB
          },
          preview.bytes};
}

}  // namespace

std::vector<std::uint8_t> EncodeDng(const Dng& dng) {
  std::vector<Ifd> ifds = {RawIfd(dng)};
  for (const DngPreview& preview : dng.previews) {
    ifds.push_back(PreviewIfd(preview));
  }
  // With previews, the first is IFD0 and the raw picture the first of its SubIFDs.
  if (ifds.size() > 1) {
    std::swap(ifds[0], ifds[1]);
  }
  std::ranges::move(CameraEntries(dng), std::back_inserter(ifds[0].entries));
  return WriteTiff(std::move(ifds));
}

}  // namespace irobunkai::test
