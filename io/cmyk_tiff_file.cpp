#include "io/cmyk_tiff_file.h"

#include <tiffio.h>

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "io/formats/c_handle.h"

namespace irobunkai {
namespace {

constexpr std::size_t kInks = 4;
// Strips of about this many bytes: large enough to compress well, small enough to hear a
// cancel soon.
constexpr std::size_t kStripBytes = 256 * 1024;
// Beyond this many bytes of inks a classic TIFF's 32-bit offsets may not reach the end, even
// when LZW expands the data; such a picture is written as a BigTIFF.
constexpr std::uint64_t kClassicTiffBytes = std::uint64_t{1} << 31;
constexpr double kPixelsPerInch = 72.0;

// libtiff writes through these into the save file.
QIODevice& DeviceOf(thandle_t handle) { return *static_cast<QIODevice*>(handle); }

tmsize_t ReadDevice(thandle_t handle, void* to, tmsize_t size) {
  return DeviceOf(handle).read(static_cast<char*>(to), size);
}

tmsize_t WriteDevice(thandle_t handle, void* from, tmsize_t size) {
  return DeviceOf(handle).write(static_cast<const char*>(from), size);
}

toff_t SeekDevice(thandle_t handle, toff_t offset, int whence) {
  QIODevice& device = DeviceOf(handle);
  const auto base = static_cast<toff_t>(whence == SEEK_CUR   ? device.pos()
                                        : whence == SEEK_END ? device.size()
                                                             : 0);
  // A negative offset arrives wrapped; the unsigned sum unwraps it.
  return device.seek(static_cast<qint64>(base + offset)) ? static_cast<toff_t>(device.pos())
                                                         : static_cast<toff_t>(-1);
}

int CloseDevice(thandle_t /*handle*/) { return 0; }  // QSaveFile decides when it is done

toff_t DeviceSize(thandle_t handle) { return static_cast<toff_t>(DeviceOf(handle).size()); }

int NoMap(thandle_t /*handle*/, void** /*base*/, toff_t* /*size*/) { return 0; }

void NoUnmap(thandle_t /*handle*/, void* /*base*/, toff_t /*size*/) {}

// Keeps libtiff's last error, to tell the user, instead of printing it on stderr.
int KeepMessage(TIFF* /*tiff*/, void* user, const char* /*module*/, const char* format,
                va_list arguments) {
  std::array<char, 512> text{};
  std::vsnprintf(text.data(), text.size(), format, arguments);
  static_cast<std::string*>(user)->assign(text.data());
  return 1;  // handled
}

int IgnoreWarning(TIFF* /*tiff*/, void* /*user*/, const char* /*module*/, const char* /*format*/,
                  va_list /*arguments*/) {
  return 1;
}

using Tiff = CHandle<TIFF, &TIFFClose>;
using TiffOptions = CHandle<TIFFOpenOptions, &TIFFOpenOptionsFree>;

Tiff OpenTiff(QIODevice& device, bool big, std::string& message) {
  const TiffOptions options(TIFFOpenOptionsAlloc());
  if (!options) {
    throw std::bad_alloc();
  }
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepMessage, &message);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, nullptr);
  return Tiff(TIFFClientOpenExt("CMYK TIFF", big ? "w8" : "w", &device, ReadDevice, WriteDevice,
                                SeekDevice, CloseDevice, DeviceSize, NoMap, NoUnmap,
                                options.get()));
}

bool SetTags(TIFF* tiff, std::uint32_t width, std::uint32_t height, std::uint32_t rowsPerStrip,
             std::span<const std::uint8_t> icc) {
  // The codec registers the predictor's tag, so compression comes first.
  bool set = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width) == 1 &&
             TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height) == 1 &&
             TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) == 1 &&
             TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<int>(kInks)) == 1 &&
             TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED) == 1 &&
             TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK) == 1 &&
             TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
             TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == 1 &&
             TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW) == 1 &&
             TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) == 1 &&
             TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) == 1 &&
             TIFFSetField(tiff, TIFFTAG_XRESOLUTION, kPixelsPerInch) == 1 &&
             TIFFSetField(tiff, TIFFTAG_YRESOLUTION, kPixelsPerInch) == 1 &&
             TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) == 1;
  if (set && !icc.empty()) {
    set = TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(icc.size()),
                       icc.data()) == 1;
  }
  return set;
}

// Rows `top` onwards of the four plates, each pixel's C, M, Y and K side by side.
void Interleave(const InkPlates& plates, int top, std::size_t width, std::span<std::uint8_t> out) {
  const std::size_t rows = out.size() / (width * kInks);
  for (std::size_t r = 0; r < rows; ++r) {
    std::uint8_t* const pixels = out.data() + r * width * kInks;
    for (std::size_t ink = 0; ink < kInks; ++ink) {
      const std::uint8_t* const cells = plates.plates[ink]->Row(top + static_cast<int>(r));
      for (std::size_t x = 0; x < width; ++x) {
        pixels[x * kInks + ink] = cells[x];
      }
    }
  }
}

enum class Written { Whole, Cancelled, Failed };

Written WriteTiff(QIODevice& device, const InkPlates& plates, std::span<const std::uint8_t> icc,
                  const Progress& progress, std::string& message) {
  const ChannelPlane& first = *plates.plates[0];
  const auto width = static_cast<std::size_t>(first.StoredWidth());
  const int height = first.StoredHeight();
  const std::size_t rowBytes = width * kInks;
  const Tiff tiff = OpenTiff(
      device,
      static_cast<std::uint64_t>(rowBytes) * static_cast<std::uint64_t>(height) > kClassicTiffBytes,
      message);
  const int rowsPerStrip = static_cast<int>(
      std::clamp<std::size_t>(kStripBytes / rowBytes, 1, static_cast<std::size_t>(height)));
  if (!tiff ||
      !SetTags(tiff.get(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
               static_cast<std::uint32_t>(rowsPerStrip), icc)) {
    return Written::Failed;
  }
  std::vector<std::uint8_t> strip(static_cast<std::size_t>(rowsPerStrip) * rowBytes);
  for (int top = 0; top < height; top += rowsPerStrip) {
    if (progress.Cancelled()) {
      return Written::Cancelled;
    }
    progress.Report(top, height);
    const std::span<std::uint8_t> rows = std::span(strip).first(
        static_cast<std::size_t>(std::min(rowsPerStrip, height - top)) * rowBytes);
    Interleave(plates, top, width, rows);
    if (TIFFWriteEncodedStrip(tiff.get(), static_cast<std::uint32_t>(top / rowsPerStrip),
                              rows.data(), static_cast<tmsize_t>(rows.size())) < 0) {
      return Written::Failed;
    }
  }
  return TIFFWriteDirectory(tiff.get()) == 1 ? Written::Whole : Written::Failed;
}

bool IsTiffExtension(const QString& suffix) {
  return suffix.compare(QLatin1String("tif"), Qt::CaseInsensitive) == 0 ||
         suffix.compare(QLatin1String("tiff"), Qt::CaseInsensitive) == 0;
}

bool PlatesMatch(const InkPlates& plates) {
  const auto& first = plates.plates[0];
  return first && first->StoredWidth() > 0 && first->StoredHeight() > 0 &&
         std::all_of(plates.plates.begin(), plates.plates.end(), [&first](const auto& plate) {
           return plate && plate->StoredWidth() == first->StoredWidth() &&
                  plate->StoredHeight() == first->StoredHeight();
         });
}

// Why the plates cannot go to `target` before anything is written; empty when they can.
QString RefusalOf(const InkPlates& plates, const QString& target) {
  const QString suffix = QFileInfo(target).suffix();
  if (!IsTiffExtension(suffix)) {
    return SaveErrorText(
        target,
        QStringLiteral("CMYK TIFF は .tif か .tiff の名前で保存してください (.%1 ではなく)。")
            .arg(suffix),
        QStringLiteral("A CMYK TIFF is saved as .tif or .tiff, not .%1.").arg(suffix));
  }
  if (!PlatesMatch(plates)) {
    return SaveErrorText(target, QStringLiteral("保存する版がありません。"),
                         QStringLiteral("There are no plates to save."));
  }
  return {};
}

QString WriteErrorText(const QString& target, Written written, const std::string& message) {
  if (written == Written::Cancelled) {
    return SaveErrorText(target, QStringLiteral("保存を取り消しました。"),
                         QStringLiteral("The save was cancelled."));
  }
  return SaveErrorText(target,
                       QStringLiteral("書き込めませんでした。ディスクの空きを確かめてください。"),
                       QStringLiteral("Writing failed. Check the free disk space."),
                       QString::fromStdString(message));
}

}  // namespace

QString CmykTiffPathWithExtension(const QString& path) {
  return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".tif") : path;
}

SaveResult SaveCmykTiff(const InkPlates& plates, std::span<const std::uint8_t> icc,
                        const QString& path, const Progress& progress) {
  const QString target = CmykTiffPathWithExtension(path);
  if (QString refusal = RefusalOf(plates, target); !refusal.isEmpty()) {
    return {target, refusal};
  }
  // Written beside the target and renamed over it only when whole.
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) {
    return {target, SaveErrorText(target,
                                  QStringLiteral("ファイルを作成できません。フォルダーがあり、"
                                                 "書き込めるか確かめてください。"),
                                  QStringLiteral("The file cannot be created. Check that the "
                                                 "folder exists and can be written to."),
                                  file.errorString())};
  }
  std::string message;
  Written written = Written::Failed;
  try {
    written = WriteTiff(file, plates, icc, progress, message);
  } catch (const std::bad_alloc&) {
    return {target, SaveErrorText(target, QStringLiteral("メモリが不足しています。"),
                                  QStringLiteral("There is not enough memory for the picture."))};
  }
  if (written != Written::Whole) {
    return {target, WriteErrorText(target, written, message)};
  }
  if (!file.commit()) {
    return {target, WriteErrorText(target, Written::Failed, file.errorString().toStdString())};
  }
  progress.Report(1.0);
  return {target, {}};
}

}  // namespace irobunkai
