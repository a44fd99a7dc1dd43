#include "io/formats/jxl_decoder.h"

#include <jxl/decode.h>
#include <jxl/thread_parallel_runner.h>

#include <cmath>
#include <vector>

#include "io/formats/c_handle.h"
#include "io/formats/pixel_buffer.h"

namespace irobunkai {
namespace {

using Decoder = CHandle<JxlDecoder, JxlDecoderDestroy>;
using Runner = CHandle<void, JxlThreadParallelRunnerDestroy>;

constexpr JxlPixelFormat kRgba8{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};

// The decoder holds every channel of a frame in floats at once: colour and extra channels.
// Bounding those keeps a header that declares hundreds of extra channels from exhausting memory.
constexpr std::int64_t kMaxChannelsPerPixel = 4;

std::optional<FormatError> SizeError(const JxlBasicInfo& info, std::int64_t maxPixels) {
  const std::int64_t pixels = std::int64_t{info.xsize} * info.ysize;
  const std::int64_t channels = std::int64_t{info.num_color_channels} + info.num_extra_channels;
  if (pixels > maxPixels || pixels * channels > maxPixels * kMaxChannelsPerPixel) {
    return FormatError::TooLarge;
  }
  return std::nullopt;
}

// What needs no telling: sRGB, or grey with sRGB's white and curve. A gamma of 1/2.2 counts as
// sRGB's curve, as it does in a PNG's gAMA: cjxl turns that chunk of an sRGB PNG into it.
bool IsSrgb(const JxlColorEncoding& encoding) {
  const bool srgbPrimaries =
      encoding.color_space == JXL_COLOR_SPACE_GRAY ||
      (encoding.color_space == JXL_COLOR_SPACE_RGB && encoding.primaries == JXL_PRIMARIES_SRGB);
  const bool srgbCurve = encoding.transfer_function == JXL_TRANSFER_FUNCTION_SRGB ||
                         (encoding.transfer_function == JXL_TRANSFER_FUNCTION_GAMMA &&
                          std::abs(encoding.gamma - 1.0 / 2.2) < 5e-4);
  return srgbPrimaries && encoding.white_point == JXL_WHITE_POINT_D65 && srgbCurve;
}

// Orientations 5 to 8 turn the picture a quarter, swapping its sides.
PixelBuffer OrientedBuffer(const JxlBasicInfo& info) {
  const bool turned = info.orientation >= JXL_ORIENT_TRANSPOSE;
  return {static_cast<int>(turned ? info.ysize : info.xsize),
          static_cast<int>(turned ? info.xsize : info.ysize)};
}

class JxlDecoding {
 public:
  JxlDecoding(Bytes bytes, std::int64_t maxPixels) : maxPixels_(maxPixels) {
    if (!decoder_ || !runner_) {
      throw std::bad_alloc();
    }
    JxlDecoderSetParallelRunner(decoder_.get(), JxlThreadParallelRunner, runner_.get());
    JxlDecoderSubscribeEvents(decoder_.get(),
                              JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE);
    JxlDecoderSetInput(decoder_.get(), bytes.data(), bytes.size());
  }

  PictureResult Run() {
    for (;;) {
      switch (JxlDecoderProcessInput(decoder_.get())) {
        case JXL_DEC_BASIC_INFO:
          if (auto error = OnBasicInfo()) {
            return *error;
          }
          break;
        case JXL_DEC_COLOR_ENCODING:
          colour_ = Colour();
          break;
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
          if (!pixels_ || !SetOutBuffer()) {
            return FormatError::Invalid;
          }
          break;
        case JXL_DEC_FULL_IMAGE:
          return DecodedPicture{std::move(*pixels_).Finish(hasAlpha_), std::nullopt,
                                std::move(colour_)};
        default:  // an error, or the input ended before the first frame did
          return FormatError::Invalid;
      }
    }
  }

 private:
  std::optional<FormatError> OnBasicInfo() {
    JxlBasicInfo info;
    if (JxlDecoderGetBasicInfo(decoder_.get(), &info) != JXL_DEC_SUCCESS) {
      return FormatError::Invalid;
    }
    if (auto error = SizeError(info, maxPixels_)) {
      return error;
    }
    hasAlpha_ = info.alpha_bits != 0;
    pixels_.emplace(OrientedBuffer(info));
    return std::nullopt;
  }

  // The colour of the pixels as libjxl gives them, which is the file's own unless the file
  // is XYB-coded from an ICC profile: those come in linear sRGB, as djxl writes them too.
  // libjxl makes up a profile for colour it holds as code points.
  ColourDescription Colour() const {
    JxlColorEncoding encoding{};
    if (JxlDecoderGetColorAsEncodedProfile(decoder_.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                           &encoding) == JXL_DEC_SUCCESS &&
        IsSrgb(encoding)) {
      return {};
    }
    std::size_t size = 0;
    if (JxlDecoderGetICCProfileSize(decoder_.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                    &size) != JXL_DEC_SUCCESS ||
        size == 0) {
      return {};
    }
    std::vector<std::uint8_t> icc(size);
    if (JxlDecoderGetColorAsICCProfile(decoder_.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                       icc.data(), size) != JXL_DEC_SUCCESS) {
      return {};
    }
    return {std::move(icc), std::nullopt, std::nullopt};
  }

  bool SetOutBuffer() {
    std::size_t size = 0;
    return JxlDecoderImageOutBufferSize(decoder_.get(), &kRgba8, &size) == JXL_DEC_SUCCESS &&
           size == pixels_->SizeBytes() &&
           JxlDecoderSetImageOutBuffer(decoder_.get(), &kRgba8, pixels_->Data(), size) ==
               JXL_DEC_SUCCESS;
  }

  Decoder decoder_{JxlDecoderCreate(nullptr)};
  Runner runner_{
      JxlThreadParallelRunnerCreate(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads())};
  std::int64_t maxPixels_;
  std::optional<PixelBuffer> pixels_;
  bool hasAlpha_ = false;
  ColourDescription colour_;
};

}  // namespace

bool IsJxl(Bytes head) {
  const JxlSignature signature = JxlSignatureCheck(head.data(), head.size());
  return signature == JXL_SIG_CODESTREAM || signature == JXL_SIG_CONTAINER;
}

std::optional<PictureResult> DecodeJxl(Bytes bytes, std::int64_t maxPixels) {
  if (!IsJxl(bytes)) {
    return std::nullopt;
  }
  return JxlDecoding(bytes, maxPixels).Run();
}

}  // namespace irobunkai
