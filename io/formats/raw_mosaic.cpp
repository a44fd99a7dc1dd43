#include "io/formats/raw_mosaic.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "io/formats/pixel_buffer.h"
#include "io/formats/raw_file.h"

namespace irobunkai {
namespace {

// Bayer (8 x 2 in LibRaw's filters), X-Trans (6 x 6) and Leaf (16 x 16) patterns all repeat
// within this many rows and columns.
constexpr int kPatternPeriod = 48;

constexpr int kNoChannel = -1;

// The picture channel of each of LibRaw's colour indices ("RGBG": the fourth is a second green).
std::array<int, 4> ChannelsOf(const char (&cdesc)[5]) {
  std::array<int, 4> channels{};
  for (std::size_t c = 0; c < channels.size(); ++c) {
    const std::string_view rgb = "RGB";
    const auto at = rgb.find(cdesc[c]);
    channels[c] = at == std::string_view::npos ? kNoChannel : static_cast<int>(at);
  }
  return channels;
}

// The camera's white balance, least multiplier 1, as LibRaw's development normalises it.
std::array<double, 4> Balance(const libraw_colordata_t& color) {
  const auto usable = [](const float(&m)[4]) { return m[0] > 0 && m[1] > 0 && m[2] > 0; };
  const float* source = usable(color.cam_mul)   ? color.cam_mul
                        : usable(color.pre_mul) ? color.pre_mul
                                                : nullptr;
  std::array<double, 4> mul = {1, 1, 1, 1};
  if (source != nullptr) {
    mul = {source[0], source[1], source[2], source[3] > 0 ? source[3] : source[1]};
  }
  const double least = std::ranges::min(mul);
  for (double& m : mul) {
    m /= least;
  }
  return mul;
}

class Mosaic {
 public:
  explicit Mosaic(LibRaw& raw)
      : sizes_(raw.imgdata.sizes),
        color_(raw.imgdata.color),
        photosites_(raw.imgdata.rawdata.raw_image),
        channels_(ChannelsOf(raw.imgdata.idata.cdesc)),
        balance_(Balance(raw.imgdata.color)) {
    for (int row = 0; row < kPatternPeriod; ++row) {
      for (int col = 0; col < kPatternPeriod; ++col) {
        colours_[row][col] = raw.COLOR(row, col);
      }
    }
  }

  // A mosaic needs a colour filter of red, green and blue over a raw picture of one sample a
  // photosite, the picture's area within the rows read. Fujifilm's SuperCCD sensors, whose
  // photosites lie on a diagonal grid, have no place in the developed picture's area.
  [[nodiscard]] bool Showable(LibRaw& raw) const {
    const auto& idata = raw.imgdata.idata;
    const bool rgbFilters = std::ranges::all_of(colours_, [this](const auto& row) {
      return std::ranges::all_of(
          row, [this](int c) { return c >= 0 && c < 4 && channels_[c] != kNoChannel; });
    });
    return photosites_ != nullptr && idata.filters != 0 && idata.colors >= 3 && rgbFilters &&
           raw.is_fuji_rotated() == 0 && sizes_.top_margin + sizes_.height <= sizes_.raw_height &&
           sizes_.left_margin + sizes_.width <= sizes_.raw_pitch / 2;
  }

  [[nodiscard]] Image Build() const {
    const bool turned = (sizes_.flip & 4) != 0;
    PixelBuffer pixels(turned ? sizes_.height : sizes_.width,
                       turned ? sizes_.width : sizes_.height);
    for (int y = 0; y < pixels.Height(); ++y) {
      const std::span<RgbaPixel> line = pixels.Row(y);
      for (int x = 0; x < pixels.Width(); ++x) {
        line[static_cast<std::size_t>(x)] = Site(turned ? x : y, turned ? y : x);
      }
    }
    return std::move(pixels).Finish(false);
  }

 private:
  // The photosite shown at a place of the turned picture, found as LibRaw's development finds
  // the source of an output pixel: sides swapped first, then flipped in the sensor's terms.
  [[nodiscard]] RgbaPixel Site(int row, int col) const {
    if ((sizes_.flip & 2) != 0) {
      row = sizes_.height - 1 - row;
    }
    if ((sizes_.flip & 1) != 0) {
      col = sizes_.width - 1 - col;
    }
    const int colour = colours_[row % kPatternPeriod][col % kPatternPeriod];
    const unsigned value =
        photosites_[static_cast<std::size_t>(row + sizes_.top_margin) * (sizes_.raw_pitch / 2) +
                    static_cast<std::size_t>(col + sizes_.left_margin)];
    const double black = Black(row, col, colour);
    const double range = std::max(1.0, color_.maximum - black);
    const double level = (value - black) * balance_[colour] * 255.0 / range;
    const auto strength = static_cast<std::uint32_t>(std::clamp(std::lround(level), 0L, 255L));
    return (strength << (8 * channels_[colour])) | 0xFF000000u;
  }

  // A common level, one per colour, and a repeating pattern over the picture.
  [[nodiscard]] double Black(int row, int col, int colour) const {
    double black = color_.black + color_.cblack[colour];
    const unsigned rows = color_.cblack[4];
    const unsigned cols = color_.cblack[5];
    if (rows > 0 && cols > 0 && rows * cols <= LIBRAW_CBLACK_SIZE - 6) {
      black += color_.cblack[6 + static_cast<unsigned>(row) % rows * cols +
                             static_cast<unsigned>(col) % cols];
    }
    return black;
  }

  const libraw_image_sizes_t& sizes_;
  const libraw_colordata_t& color_;
  const std::uint16_t* photosites_;
  std::array<int, 4> channels_;
  std::array<double, 4> balance_;
  std::array<std::array<int, kPatternPeriod>, kPatternPeriod> colours_{};
};

MosaicResult Unguarded(Bytes bytes, std::int64_t maxPixels) {
  const std::unique_ptr<LibRaw> raw = OpenRaw(bytes, maxPixels);
  if (!raw) {
    return NoMosaic{};
  }
  if (auto error = RawSizeError(*raw, maxPixels)) {
    return *error;
  }
  if (const int code = raw->unpack(); code != LIBRAW_SUCCESS) {
    return RawError(code);
  }
  const Mosaic mosaic(*raw);
  if (!mosaic.Showable(*raw)) {
    return NoMosaic{};
  }
  return mosaic.Build();
}

}  // namespace

MosaicResult RawMosaic(Bytes bytes, std::int64_t maxPixels) {
  try {
    return Unguarded(bytes, maxPixels);
  } catch (const std::bad_alloc&) {
    return FormatError::TooLarge;
  }
}

}  // namespace irobunkai
