#include "dng_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace irobunkai::test {
namespace {

enum Type : std::uint16_t {
  kByte = 1,
  kAscii = 2,
  kShort = 3,
  kLong = 4,
  kRational = 5,
  kSRational = 10
};

struct Entry {
  std::uint16_t tag;
  Type type;
  std::uint32_t count;
  std::vector<std::uint8_t> data;
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

class Tiff {
 public:
  void Shorts(std::uint16_t tag, const std::vector<std::uint16_t>& values) {
    Entry& entry = Add(tag, kShort, values.size());
    for (const auto v : values) {
      Put(entry.data, v, 2);
    }
  }
  void Long(std::uint16_t tag, std::uint32_t value) { Put(Add(tag, kLong, 1).data, value, 4); }
  void Bytes(std::uint16_t tag, const std::vector<std::uint8_t>& values) {
    Add(tag, kByte, values.size()).data = values;
  }
  void Ascii(std::uint16_t tag, const std::string& text) {
    Entry& entry = Add(tag, kAscii, text.size() + 1);
    entry.data.assign(text.begin(), text.end());
    entry.data.push_back(0);
  }
  void Rationals(std::uint16_t tag, const std::vector<double>& values, bool isSigned) {
    constexpr double kDenominator = 1'000'000;
    Entry& entry = Add(tag, isSigned ? kSRational : kRational, values.size());
    for (const double v : values) {
      Put(entry.data, static_cast<std::uint32_t>(std::lround(v * kDenominator)), 4);
      Put(entry.data, static_cast<std::uint32_t>(kDenominator), 4);
    }
  }

  // The header, one IFD in tag order, values too long for an entry, then the strip.
  std::vector<std::uint8_t> Write(const std::vector<std::uint8_t>& strip) {
    constexpr std::uint16_t kStripOffsets = 273;
    Long(kStripOffsets, 0);
    std::ranges::sort(entries_, {}, &Entry::tag);
    for (Entry& entry : entries_) {
      if (entry.data.size() > 4 && entry.data.size() % 2 != 0) {
        entry.data.push_back(0);  // values start on a word boundary
      }
    }
    const auto ifdSize = static_cast<std::uint32_t>(2 + 12 * entries_.size() + 4);
    std::uint32_t extra = 8 + ifdSize;
    std::vector<std::uint8_t> out = {'I', 'I', 42, 0};
    Put(out, 8, 4);
    Put(out, static_cast<std::uint32_t>(entries_.size()), 2);
    std::vector<std::uint8_t> values;
    for (Entry& entry : entries_) {
      if (entry.tag == kStripOffsets) {
        entry.data.clear();
        Put(entry.data, extra + ExtraSize(), 4);
      }
      Put(out, entry.tag, 2);
      Put(out, entry.type, 2);
      Put(out, entry.count, 4);
      if (entry.data.size() <= 4) {
        entry.data.resize(4);
        out.insert(out.end(), entry.data.begin(), entry.data.end());
      } else {
        Put(out, extra + static_cast<std::uint32_t>(values.size()), 4);
        values.insert(values.end(), entry.data.begin(), entry.data.end());
      }
    }
    Put(out, 0, 4);
    out.insert(out.end(), values.begin(), values.end());
    out.insert(out.end(), strip.begin(), strip.end());
    return out;
  }

 private:
  Entry& Add(std::uint16_t tag, Type type, std::size_t count) {
    return entries_.emplace_back(Entry{tag, type, static_cast<std::uint32_t>(count), {}});
  }
  [[nodiscard]] std::uint32_t ExtraSize() const {
    std::uint32_t size = 0;
    for (const Entry& entry : entries_) {
      size += entry.data.size() > 4 ? static_cast<std::uint32_t>(entry.data.size()) : 0;
    }
    return size;
  }

  std::vector<Entry> entries_;
};

// XYZ (D65) to linear sRGB: a camera that sees as sRGB does.
constexpr std::array kSrgbFromXyz = {3.2406, -1.5372, -0.4986, -0.9689, 1.8758,
                                     0.0415, 0.0557,  -0.2040, 1.0570};

}  // namespace

void Expose(Dng& dng, const std::function<std::array<int, 3>(int x, int y)>& scene) {
  dng.samples.clear();
  const bool linear = dng.kind == Dng::Kind::Linear;
  dng.samples.reserve(static_cast<std::size_t>(dng.width * dng.height * (linear ? 3 : 1)));
  const auto record = [&](int level, int colour) {
    const double range = dng.white - dng.black;
    dng.samples.push_back(static_cast<std::uint16_t>(
        dng.black +
        std::lround(level / 255.0 * range * dng.neutral[static_cast<std::size_t>(colour)])));
  };
  for (int y = 0; y < dng.height; ++y) {
    for (int x = 0; x < dng.width; ++x) {
      const std::array<int, 3> rgb = scene(x, y);
      if (linear) {
        for (int c = 0; c < 3; ++c) {
          record(rgb[static_cast<std::size_t>(c)], c);
        }
        continue;
      }
      const int colour =
          dng.kind == Dng::Kind::Monochrome
              ? 1
              : dng.pattern[static_cast<std::size_t>((y % dng.patternHeight) * dng.patternWidth +
                                                     x % dng.patternWidth)];
      record(rgb[static_cast<std::size_t>(colour)], colour);
    }
  }
}

std::vector<std::uint8_t> EncodeDng(const Dng& dng) {
  const bool filtered = dng.kind == Dng::Kind::ColourFilter;
  const int samplesPerPixel = dng.kind == Dng::Kind::Linear ? 3 : 1;
  const auto declared = static_cast<std::uint32_t>(dng.width * dng.height * samplesPerPixel * 2);
  Tiff tiff;
  tiff.Long(254, 0);  // the main picture, not a preview
  tiff.Long(256, static_cast<std::uint32_t>(dng.width));
  tiff.Long(257, static_cast<std::uint32_t>(dng.height));
  tiff.Shorts(258, std::vector<std::uint16_t>(static_cast<std::size_t>(samplesPerPixel), 16));
  tiff.Shorts(259, {1});
  tiff.Shorts(262, {static_cast<std::uint16_t>(filtered ? 32803 : 34892)});
  tiff.Ascii(271, "Irobunkai");
  tiff.Ascii(272, "Test Camera");
  tiff.Shorts(274, {dng.orientation});
  tiff.Shorts(277, {static_cast<std::uint16_t>(samplesPerPixel)});
  tiff.Long(278, static_cast<std::uint32_t>(dng.height));
  tiff.Long(279, declared);
  tiff.Shorts(284, {1});
  if (filtered) {
    tiff.Shorts(33421, {static_cast<std::uint16_t>(dng.patternHeight),
                        static_cast<std::uint16_t>(dng.patternWidth)});
    tiff.Bytes(33422, dng.pattern);
  }
  tiff.Bytes(50706, {1, 4, 0, 0});
  tiff.Ascii(50708, "Irobunkai Test Camera");
  tiff.Shorts(50714, {dng.black});
  tiff.Long(50717, dng.white);
  tiff.Rationals(50721, {kSrgbFromXyz.begin(), kSrgbFromXyz.end()}, true);
  tiff.Rationals(50728, {dng.neutral.begin(), dng.neutral.end()}, false);
  tiff.Shorts(50778, {21});  // the colour matrix is for D65
  std::vector<std::uint8_t> strip;
  strip.reserve(dng.samples.size() * 2);
  for (const std::uint16_t sample : dng.samples) {
    Put(strip, sample, 2);
  }
  return tiff.Write(strip);
}

}  // namespace irobunkai::test
