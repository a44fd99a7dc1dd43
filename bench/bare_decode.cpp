#include "bench/bare_decode.h"

#include <jxl/decode.h>
#include <jxl/thread_parallel_runner.h>
#include <libheif/heif.h>
#include <libraw/libraw.h>
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

BarePixels DecodeHeifFile(const std::string& path) {
  const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                       heif_context_free);
  heif_image_handle* handle = nullptr;
  if (heif_context_read_from_file(context.get(), path.c_str(), nullptr).code != heif_error_Ok ||
      heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok) {
    return {};
  }
  const std::unique_ptr<const heif_image_handle, void (*)(const heif_image_handle*)> owned(
      handle, heif_image_handle_release);
  const std::unique_ptr<heif_decoding_options, void (*)(heif_decoding_options*)> options(
      heif_decoding_options_alloc(), heif_decoding_options_free);
  options->convert_hdr_to_8bit = 1;
  heif_image* image = nullptr;
  if (heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                        options.get())
          .code != heif_error_Ok) {
    return {};
  }
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  return {heif_image_get_width(image, heif_channel_interleaved),
          heif_image_get_height(image, heif_channel_interleaved),
          std::shared_ptr<unsigned char[]>(plane,
                                           [image](unsigned char*) { heif_image_release(image); })};
}

BarePixels DecodeJxlFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> compressed{std::istreambuf_iterator<char>(file), {}};
  const std::unique_ptr<JxlDecoder, void (*)(JxlDecoder*)> decoder(JxlDecoderCreate(nullptr),
                                                                   JxlDecoderDestroy);
  const std::unique_ptr<void, void (*)(void*)> runner(
      JxlThreadParallelRunnerCreate(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads()),
      JxlThreadParallelRunnerDestroy);
  JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get());
  JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE);
  JxlDecoderSetInput(decoder.get(), compressed.data(), compressed.size());
  const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  BarePixels out;
  for (;;) {
    switch (JxlDecoderProcessInput(decoder.get())) {
      case JXL_DEC_BASIC_INFO: {
        JxlBasicInfo info;
        JxlDecoderGetBasicInfo(decoder.get(), &info);
        out.width = static_cast<int>(info.xsize);
        out.height = static_cast<int>(info.ysize);
        break;
      }
      case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
        std::size_t size = 0;
        JxlDecoderImageOutBufferSize(decoder.get(), &format, &size);
        out.bytes = std::make_unique_for_overwrite<unsigned char[]>(size);
        JxlDecoderSetImageOutBuffer(decoder.get(), &format, out.bytes.get(), size);
        break;
      }
      case JXL_DEC_FULL_IMAGE:
        return out;
      default:
        return {};
    }
  }
}

BarePixels DecodeRawFile(const std::string& path) {
  const auto raw = std::make_unique<LibRaw>();
  raw->imgdata.params.use_camera_wb = 1;
  if (raw->open_file(path.c_str()) != LIBRAW_SUCCESS || raw->unpack() != LIBRAW_SUCCESS ||
      raw->dcraw_process() != LIBRAW_SUCCESS) {
    return {};
  }
  libraw_processed_image_t* image = raw->dcraw_make_mem_image();
  if (image == nullptr) {
    return {};
  }
  return {image->width, image->height,
          std::shared_ptr<unsigned char[]>(
              image->data, [image](unsigned char*) { LibRaw::dcraw_clear_mem(image); })};
}

}  // namespace irobunkai::bench
