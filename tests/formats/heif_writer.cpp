#include "heif_writer.h"

#include <libheif/heif.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "io/formats/c_handle.h"

namespace irobunkai::test {
namespace {

using Context = CHandle<heif_context, heif_context_free>;
using Encoder = CHandle<heif_encoder, heif_encoder_release>;
using Picture = CHandle<heif_image, heif_image_release>;
using Options = CHandle<heif_encoding_options, heif_encoding_options_free>;
using Handle = CHandle<heif_image_handle, heif_image_handle_release>;
using Nclx = CHandle<heif_color_profile_nclx, heif_nclx_color_profile_free>;

Picture Planes(const QImage& picture) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  heif_image* image = nullptr;
  heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                    &image);
  Picture owned(image);
  heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(plane + static_cast<std::ptrdiff_t>(y) * stride, rgb.constScanLine(y),
                static_cast<std::size_t>(3 * rgb.width()));
  }
  return owned;
}

Encoder HevcEncoder(heif_context* context) {
  heif_encoder* encoder = nullptr;
  return Encoder(
      heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
              heif_error_Ok
          ? encoder
          : nullptr);
}

bool Write(const QImage& picture, int orientation, int thumbnailSide, const QString& path) {
  const Context context(heif_context_alloc());
  const Encoder encoder = HevcEncoder(context.get());
  if (!encoder) {
    return false;
  }
  const Picture image = Planes(picture);
  const Options options(heif_encoding_options_alloc());
  options->image_orientation = static_cast<heif_orientation>(orientation);
  heif_image_handle* primary = nullptr;
  if (heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), &primary)
          .code != heif_error_Ok) {
    return false;
  }
  const Handle ownedPrimary(primary);
  return heif_context_encode_thumbnail(context.get(), image.get(), primary, encoder.get(),
                                       options.get(), thumbnailSide, nullptr)
                 .code == heif_error_Ok &&
         heif_context_write_to_file(context.get(), path.toLocal8Bit().constData()).code ==
             heif_error_Ok;
}

bool WriteNclx(const QImage& picture, int primaries, int transfer, int matrix,
               const QString& path) {
  const Context context(heif_context_alloc());
  const Encoder encoder = HevcEncoder(context.get());
  if (!encoder) {
    return false;
  }
  const Picture image = Planes(picture);
  const Nclx nclx(heif_nclx_color_profile_alloc());
  heif_nclx_color_profile_set_color_primaries(nclx.get(), static_cast<std::uint16_t>(primaries));
  heif_nclx_color_profile_set_transfer_characteristics(nclx.get(),
                                                       static_cast<std::uint16_t>(transfer));
  heif_nclx_color_profile_set_matrix_coefficients(nclx.get(), static_cast<std::uint16_t>(matrix));
  nclx->full_range_flag = 1;
  heif_image_set_nclx_color_profile(image.get(), nclx.get());
  const Options options(heif_encoding_options_alloc());
  options->macOS_compatibility_workaround_no_nclx_profile = 0;
  return heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(),
                                   nullptr)
                 .code == heif_error_Ok &&
         heif_context_write_to_file(context.get(), path.toLocal8Bit().constData()).code ==
             heif_error_Ok;
}

// Runs `write` in a child: x265 leaks a little at every encoder it opens, which a leak checker
// would otherwise blame on the test.
template <class Write>
bool InChild(const Write& write) {
  const pid_t child = fork();
  if (child == 0) {
    _exit(write() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

}  // namespace

bool WriteTurnedHeic(const QImage& picture, int orientation, int thumbnailSide,
                     const QString& path) {
  return InChild([&] { return Write(picture, orientation, thumbnailSide, path); });
}

bool WriteNclxHeic(const QImage& picture, int primaries, int transfer, int matrix,
                   const QString& path) {
  return InChild([&] { return WriteNclx(picture, primaries, transfer, matrix, path); });
}

}  // namespace irobunkai::test
