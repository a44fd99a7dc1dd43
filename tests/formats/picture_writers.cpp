#include "picture_writers.h"

#include <png.h>

#include <cstdlib>

// jpeglib.h needs FILE and size_t declared first.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace irobunkai::test {
namespace {

int Components(JpegLayout::Colours colours) {
  switch (colours) {
    case JpegLayout::Colours::Grey:
      return 1;
    case JpegLayout::Colours::Cmyk:
    case JpegLayout::Colours::Ycck:
      return 4;
    default:
      return 3;
  }
}

void SetColours(jpeg_compress_struct& info, const JpegLayout& layout) {
  using Colours = JpegLayout::Colours;
  const bool inks = layout.colours == Colours::Cmyk || layout.colours == Colours::Ycck;
  info.in_color_space =
      inks ? JCS_CMYK : (layout.colours == Colours::Grey ? JCS_GRAYSCALE : JCS_RGB);
  jpeg_set_defaults(&info);
  if (layout.colours == Colours::Rgb) {
    jpeg_set_colorspace(&info, JCS_RGB);
  } else if (inks) {
    jpeg_set_colorspace(&info, layout.colours == Colours::Ycck ? JCS_YCCK : JCS_CMYK);
    info.write_Adobe_marker = layout.adobe ? TRUE : FALSE;
  }
}

void WriteJpegRows(jpeg_compress_struct& info, const JpegLayout& layout, const Samples& samples) {
  const int components = Components(layout.colours);
  const bool inverted = components == 4 && layout.adobe;
  std::vector<JSAMPLE> row(static_cast<std::size_t>(layout.width * components));
  for (int y = 0; y < layout.height; ++y) {
    for (int x = 0; x < layout.width; ++x) {
      for (int c = 0; c < components; ++c) {
        const int sample = samples(x, y, c);
        row[static_cast<std::size_t>(x * components + c)] =
            static_cast<JSAMPLE>(inverted ? 255 - sample : sample);
      }
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
}

// Packs one row of samples at the layout's bit depth, big-endian, as PNG stores them.
std::vector<png_byte> PngRow(const PngLayout& layout, int channels, int y, const Samples& samples) {
  const int depth = layout.bitDepth;
  std::vector<png_byte> row(static_cast<std::size_t>((layout.width * channels * depth + 7) / 8));
  std::size_t bit = 0;
  for (int x = 0; x < layout.width; ++x) {
    for (int c = 0; c < channels; ++c) {
      const int sample = samples(x, y, c);
      if (depth == 16) {
        row[bit / 8] = static_cast<png_byte>(sample >> 8);
        row[bit / 8 + 1] = static_cast<png_byte>(sample & 0xFF);
      } else {
        row[bit / 8] |= static_cast<png_byte>(sample << (8 - depth - bit % 8));
      }
      bit += static_cast<std::size_t>(depth);
    }
  }
  return row;
}

void PutBigEndian(std::vector<png_byte>& out, std::uint32_t value) {
  for (const int shift : {24, 16, 8, 0}) {
    out.push_back(static_cast<png_byte>(value >> shift));
  }
}

// Written as raw chunks: libpng's own setters check the values and add chunks of their own.
void WriteColourChunks(png_structp png, const PngLayout& layout) {
  if (layout.srgbIntent) {
    const auto intent = static_cast<png_byte>(*layout.srgbIntent);
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("sRGB"), &intent, 1);
  }
  if (layout.gamma) {
    std::vector<png_byte> data;
    PutBigEndian(data, *layout.gamma);
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("gAMA"), data.data(), data.size());
  }
  if (layout.chromaticities) {
    std::vector<png_byte> data;
    for (const std::uint32_t value : *layout.chromaticities) {
      PutBigEndian(data, value);
    }
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("cHRM"), data.data(), data.size());
  }
}

void WritePngTo(png_structp png, png_bytep data, png_size_t length) {
  auto& out = *static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out.insert(out.end(), data, data + length);
}

}  // namespace

int PatternSample(int x, int y, int c) {
  const unsigned grain = (static_cast<unsigned>(x) * 2654435761u ^
                          static_cast<unsigned>(y) * 40503u ^ static_cast<unsigned>(c) * 977u) %
                         29u;
  const int base = c == 0 ? 3 * x : (c == 1 ? 200 - 3 * y : 40 + 2 * (x + y));
  return (base + static_cast<int>(grain) + 256 * 4) % 256;
}

std::vector<std::uint8_t> EncodeJpeg(const JpegLayout& layout, const Samples& samples) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(layout.width);
  info.image_height = static_cast<JDIMENSION>(layout.height);
  info.input_components = Components(layout.colours);
  SetColours(info, layout);
  jpeg_set_quality(&info, layout.quality, TRUE);
  info.comp_info[0].h_samp_factor = layout.hSampling;
  info.comp_info[0].v_samp_factor = layout.vSampling;
  info.arith_code = layout.arithmetic ? TRUE : FALSE;
  if (layout.progressive) {
    jpeg_simple_progression(&info);
  }
  jpeg_start_compress(&info, TRUE);
  for (const std::vector<std::uint8_t>& segment : layout.app1) {
    jpeg_write_marker(&info, JPEG_APP0 + 1, segment.data(), static_cast<unsigned>(segment.size()));
  }
  if (!layout.iccProfile.empty()) {
    jpeg_write_icc_profile(&info, layout.iccProfile.data(),
                           static_cast<unsigned>(layout.iccProfile.size()));
  }
  WriteJpegRows(info, layout, samples);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

std::vector<std::uint8_t> EncodePng(const PngLayout& layout, const Samples& samples) {
  std::vector<std::uint8_t> bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &bytes, WritePngTo, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width),
               static_cast<png_uint_32>(layout.height), layout.bitDepth, layout.colourType,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (const auto& [r, g, b] : layout.palette) {
    palette.push_back({r, g, b});
  }
  if (!palette.empty()) {
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  }
  png_color_16 transparent{};
  if (layout.transparent) {
    transparent = {0, (*layout.transparent)[0], (*layout.transparent)[1], (*layout.transparent)[2],
                   (*layout.transparent)[0]};
  }
  if (!layout.paletteAlpha.empty() || layout.transparent) {
    png_set_tRNS(png, info, layout.paletteAlpha.empty() ? nullptr : layout.paletteAlpha.data(),
                 static_cast<int>(layout.paletteAlpha.size()),
                 layout.transparent ? &transparent : nullptr);
  }
  if (!layout.iccProfile.empty()) {
    png_set_iCCP(png, info, "test", PNG_COMPRESSION_TYPE_BASE, layout.iccProfile.data(),
                 static_cast<png_uint_32>(layout.iccProfile.size()));
  }
  png_write_info_before_PLTE(png, info);
  WriteColourChunks(png, layout);
  png_write_info(png, info);
  const int channels = png_get_channels(png, info);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < layout.height; ++y) {
      std::vector<png_byte> row = PngRow(layout, channels, y, samples);
      png_write_row(png, row.data());
    }
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

}  // namespace irobunkai::test

namespace irobunkai::test {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// A little-endian TIFF directory entry whose value fits in its four bytes.
void PutEntry(std::vector<std::uint8_t>& out, std::uint16_t tag, std::uint16_t type,
              std::uint32_t count, std::uint32_t value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, count);
  Put32(out, value);
}

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kUndefined = 7;

}  // namespace

std::vector<std::uint8_t> ExifSegment(const ExifSpec& layout) {
  std::vector<std::uint8_t> tiff = {'I', 'I', 42, 0};
  Put32(tiff, 8);
  const std::uint32_t firstEntries = layout.orientation != 0 ? 1 : 0;
  const std::uint32_t second = 8 + 2 + 12 * firstEntries + 4;
  Put16(tiff, firstEntries);
  if (firstEntries != 0) {
    PutEntry(tiff, 0x0112, kShort, 1, static_cast<std::uint32_t>(layout.orientation));
  }
  Put32(tiff, layout.secondDirectory.value_or(layout.thumbnail.empty() ? 0 : second));
  if (!layout.thumbnail.empty()) {
    const std::uint32_t data = second + 2 + 2 * 12 + 4;
    Put16(tiff, 2);
    PutEntry(tiff, 0x0201, kLong, 1, layout.thumbnailOffset.value_or(data));
    PutEntry(tiff, 0x0202, kLong, 1,
             layout.thumbnailLength.value_or(static_cast<std::uint32_t>(layout.thumbnail.size())));
    Put32(tiff, 0);
    tiff.insert(tiff.end(), layout.thumbnail.begin(), layout.thumbnail.end());
  }
  std::vector<std::uint8_t> payload = {'E', 'x', 'i', 'f', 0, 0};
  payload.insert(payload.end(), tiff.begin(), tiff.end());
  return payload;
}

std::vector<std::uint8_t> WithMpfPreview(std::vector<std::uint8_t> primary,
                                         const std::vector<std::uint8_t>& preview,
                                         const MpfSpec& layout) {
  constexpr std::uint32_t kEntries = 8 + 2 + 3 * 12 + 4;  // after the header and the directory
  std::vector<std::uint8_t> tiff = {'I', 'I', 42, 0};
  Put32(tiff, 8);
  Put16(tiff, 3);
  PutEntry(tiff, 0xB000, kUndefined, 4, 0x30303130);  // version "0100"
  PutEntry(tiff, 0xB001, kLong, 1, 2);
  PutEntry(tiff, 0xB002, kUndefined, layout.entryCount.value_or(2) * 16, kEntries);
  Put32(tiff, 0);
  const auto segmentBytes = static_cast<std::uint32_t>(2 + 2 + 4 + tiff.size() + 2 * 16);
  const auto primaryBytes = static_cast<std::uint32_t>(primary.size()) + segmentBytes;
  // The MP header begins after the marker, the length and "MPF\0", right after the start.
  constexpr std::uint32_t kHeaderAt = 2 + 2 + 2 + 4;
  Put32(tiff, 0x030000);  // the primary picture
  Put32(tiff, primaryBytes);
  Put32(tiff, 0);
  Put32(tiff, 0);
  Put32(tiff, layout.type);
  Put32(tiff, layout.size.value_or(static_cast<std::uint32_t>(preview.size())));
  Put32(tiff, layout.offset.value_or(primaryBytes - kHeaderAt));
  Put32(tiff, 0);
  std::vector<std::uint8_t> segment = {0xFF, 0xE2};
  const std::uint32_t length = segmentBytes - 2;
  segment.push_back(static_cast<std::uint8_t>(length >> 8));
  segment.push_back(static_cast<std::uint8_t>(length & 0xFF));
  segment.insert(segment.end(), {'M', 'P', 'F', 0});
  segment.insert(segment.end(), tiff.begin(), tiff.end());
  primary.insert(primary.begin() + 2, segment.begin(), segment.end());
  primary.insert(primary.end(), preview.begin(), preview.end());
  return primary;
}

}  // namespace irobunkai::test
