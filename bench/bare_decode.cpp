#include "bench/bare_decode.h"

#include <png.h>
#include <turbojpeg.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace irobunkai::bench {

BarePixels DecodeJpegFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) {
    return {};
  }
  const auto size = static_cast<std::size_t>(file.tellg());
  const auto compressed = std::make_unique_for_overwrite<unsigned char[]>(size);
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(compressed.get()), static_cast<std::streamsize>(size))) {
    return {};
  }
  const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colourspace = 0;
  if (!handle || tjDecompressHeader3(handle.get(), compressed.get(), size, &width, &height,
                                     &subsampling, &colourspace) != 0) {
    return {};
  }
  BarePixels out{width, height,
                 std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(width) *
                                                                 height * 4)};
  if (tjDecompress2(handle.get(), compressed.get(), size, out.bytes.get(), width, 0, height,
                    TJPF_RGBX, 0) != 0) {
    return {};
  }
  return out;
}

BarePixels DecodePngFile(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    return {};
  }
  image.format = PNG_FORMAT_RGBA;
  BarePixels out{static_cast<int>(image.width), static_cast<int>(image.height),
                 std::make_unique_for_overwrite<unsigned char[]>(PNG_IMAGE_SIZE(image))};
  if (png_image_finish_read(&image, nullptr, out.bytes.get(), 0, nullptr) == 0) {
    png_image_free(&image);
    return {};
  }
  return out;
}

}  // namespace irobunkai::bench
