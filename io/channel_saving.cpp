#include "io/channel_saving.h"

#include <QColorSpace>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "io/png_rows.h"
#include "io/progress_parts.h"

namespace irobunkai {
namespace {

// The writer's format for an extension; empty when it is not one we save.
QByteArray FormatFor(const QString& suffix) {
  const QString s = suffix.toLower();
  if (s == QLatin1String("png")) {
    return "png";
  }
  if (s == QLatin1String("tif") || s == QLatin1String("tiff")) {
    return "tiff";
  }
  if (s == QLatin1String("bmp")) {
    return "bmp";
  }
  if (s == QLatin1String("webp")) {
    return "webp";
  }
  return {};
}

QString FormatError(const QString& target) {
  const QString suffix = QFileInfo(target).suffix();
  return SaveErrorText(target,
                       QStringLiteral("この形式 (.%1) では保存できません。PNG、TIFF、BMP、"
                                      "WebP のどれかを選んでください。")
                           .arg(suffix),
                       QStringLiteral("Pictures cannot be saved as .%1. Choose PNG, TIFF, "
                                      "BMP or WebP.")
                           .arg(suffix));
}

QString NoPictureError(const QString& target) {
  return SaveErrorText(target, QStringLiteral("保存する画像がありません。"),
                       QStringLiteral("There is no picture to save."));
}

QString MemoryError(const QString& target) {
  return SaveErrorText(target, QStringLiteral("メモリが不足しています。"),
                       QStringLiteral("There is not enough memory for the picture."));
}

QString WriteError(const QString& target, const QString& detail) {
  return SaveErrorText(target,
                       QStringLiteral("書き込めませんでした。ディスクの空きと、画像の大きさがこの"
                                      "形式で扱えるかを確かめてください。"),
                       QStringLiteral("Writing failed. Check the free disk space and that the "
                                      "format can hold a picture this size."),
                       detail);
}

bool NeedsHue(ColourModel model, Channel channel, ChannelLook look) {
  return look == ChannelLook::Tinted &&
         PlaneLook(std::make_shared<const ComponentLooks>(model), ComponentIndex(channel))
             .NeedsHue();
}

// The look a channel is saved and copied in: CMYK's plates only as grey, ink as darkness.
ChannelLook LookSaved(ColourModel model, ChannelLook look) {
  return model == ColourModel::CMYK ? ChannelLook::Grey : look;
}

// The hue that tints a component is its pixel's first component, H.
constexpr Channel kHueChannel = Channel::Red;

// Whether `icc` is an RGB profile: its header names the data's colour space at byte 16.
bool IsRgbProfile(const IccBytes& icc) {
  constexpr std::size_t kSpaceAt = 16;
  static constexpr std::array<std::uint8_t, 4> kRgb = {'R', 'G', 'B', ' '};
  return icc && icc->size() >= kSpaceAt + kRgb.size() &&
         std::equal(kRgb.begin(), kRgb.end(), icc->begin() + kSpaceAt);
}

// `icc` where a view shows colours of the picture's own space, RGB's tinted channels; null
// where it shows sRGB colours.
IccBytes ProfileShown(const Separation& separation, ChannelLook look, IccBytes icc) {
  const bool own = separation.model == ColourModel::RGB && look == ChannelLook::Tinted;
  return own && IsRgbProfile(icc) ? std::move(icc) : nullptr;
}

// The profile that goes with an RGB picture's pixels; empty for grey, which stays sRGB.
std::span<const std::uint8_t> ProfileFor(const ChannelPicture& picture) {
  if (picture.look == ChannelLook::Grey || !picture.icc) {
    return {};
  }
  return *picture.icc;
}

// The bytes of an RGB image's colour space; empty when it has none.
QByteArray ProfileOf(const QImage& image) {
  const QColorSpace space = image.colorSpace();
  return image.format() == QImage::Format_RGB888 && space.isValid() ? space.iccProfile()
                                                                    : QByteArray();
}

/// One channel file on its way: written into a temporary file beside its path, which takes
/// the path's place at Commit. Failures are kept for Commit to report.
class ChannelFileWriting {
 public:
  /// Checks that the path's extension names a format saved, and opens the temporary file.
  explicit ChannelFileWriting(const QString& path);
  ChannelFileWriting(const ChannelFileWriting&) = delete;
  ChannelFileWriting& operator=(const ChannelFileWriting&) = delete;
  ~ChannelFileWriting();  // an uncommitted QSaveFile removes its temporary file

  /// Writes the picture; stops soon after `progress` is cancelled.
  void Write(const ChannelPicture& picture, const Progress& progress);
  /// Writes a whole picture; stops soon after `progress` is cancelled.
  void Write(const QImage& image, const Progress& progress);

  /// The written file takes the path's place; what failed, or a write that was cancelled,
  /// leaves the path as it was and is reported.
  SaveResult Commit();
  /// Removes the temporary file, leaving the path as it was.
  void Discard();

 private:
  void WritePng(int width, int height, bool grey, const PngRowSource& rows,
                const Progress& progress, std::span<const std::uint8_t> icc);
  void WriteWithQt(const QImage& image, const Progress& progress);
  [[nodiscard]] bool Failed() const { return !error_.isEmpty(); }

  QString target_;
  QByteArray format_;
  std::unique_ptr<QSaveFile> file_;
  QString error_;
  bool written_ = false;
};

ChannelFileWriting::ChannelFileWriting(const QString& path)
    : target_(SavePathWithExtension(path)), format_(FormatFor(QFileInfo(target_).suffix())) {
  if (format_.isEmpty()) {
    error_ = FormatError(target_);
    return;
  }
  file_ = std::make_unique<QSaveFile>(target_);
  if (!file_->open(QIODevice::WriteOnly)) {
    error_ = SaveErrorText(target_,
                           QStringLiteral("ファイルを作成できません。フォルダーがあり、書き込めるか"
                                          "確かめてください。"),
                           QStringLiteral("The file cannot be created. Check that the folder "
                                          "exists and can be written to."),
                           file_->errorString());
  }
}

ChannelFileWriting::~ChannelFileWriting() = default;

void ChannelFileWriting::Write(const ChannelPicture& picture, const Progress& progress) {
  if (Failed()) {
    return;
  }
  try {
    const PlaneModel model{picture.model, picture.hue.get()};
    if (format_ == "png") {
      ChannelRows rows(*picture.plane, picture.channel, picture.look, model);
      WritePng(
          rows.Width(), rows.Height(), rows.IsGrey(),
          [&rows](int y, std::span<std::uint8_t> row) { rows.Paint(y, row); }, progress,
          ProfileFor(picture));
      return;
    }
    // Qt's writers take a whole picture, made in the first half of the time.
    ProgressShare making(progress, 0.0, 0.5);
    const QImage image = ChannelImage(picture, making.Part());
    if (image.isNull()) {
      if (!making.Part().Cancelled()) {
        error_ = MemoryError(target_);
      }
      return;
    }
    WriteWithQt(image, progress);
  } catch (const std::bad_alloc&) {
    error_ = MemoryError(target_);
  } catch (const std::exception& e) {
    error_ = WriteError(target_, QString::fromUtf8(e.what()));
  }
}

void ChannelFileWriting::Write(const QImage& image, const Progress& progress) {
  if (Failed()) {
    return;
  }
  if (image.isNull()) {
    error_ = NoPictureError(target_);
    return;
  }
  const bool grey = image.format() == QImage::Format_Grayscale8;
  if (format_ != "png" || !(grey || image.format() == QImage::Format_RGB888)) {
    WriteWithQt(image, progress);
    return;
  }
  try {
    const QByteArray icc = ProfileOf(image);
    WritePng(image.width(), image.height(), grey,
             [&image](int y, std::span<std::uint8_t> row) {
               std::memcpy(row.data(), image.constScanLine(y), row.size());
             },
             progress,
             {reinterpret_cast<const std::uint8_t*>(icc.constData()),
              static_cast<std::size_t>(icc.size())});
  } catch (const std::bad_alloc&) {
    error_ = MemoryError(target_);
  }
}

void ChannelFileWriting::WritePng(int width, int height, bool grey, const PngRowSource& rows,
                                  const Progress& progress, std::span<const std::uint8_t> icc) {
  const PngWriteResult result = WritePngRows(
      *file_, width, height, grey ? PngPixels::Grey : PngPixels::Rgb, rows, progress, icc);
  if (result.status == PngWriteResult::Status::Failed) {
    error_ = WriteError(target_, result.error);
  }
  written_ = result.status == PngWriteResult::Status::Written;
}

void ChannelFileWriting::WriteWithQt(const QImage& image, const Progress& progress) {
  if (progress.Cancelled()) {
    return;
  }
  QImageWriter writer(file_.get(), format_);
  if (format_ == "webp") {
    // Qt's WebP writer encodes losslessly at quality 100 and lossily below it.
    writer.setQuality(100);
  }
  if (!writer.write(image)) {
    error_ = WriteError(target_, writer.errorString());
    return;
  }
  written_ = true;
  progress.Report(1.0);
}

SaveResult ChannelFileWriting::Commit() {
  if (!Failed() && !written_) {
    error_ = SaveErrorText(target_, QStringLiteral("保存を取り消しました。"),
                           QStringLiteral("The save was cancelled."));
  }
  if (Failed()) {
    file_.reset();
    return {target_, error_};
  }
  if (!file_->commit()) {
    return {
        target_,
        SaveErrorText(
            target_, QStringLiteral("書き込めませんでした。ディスクの空きを確かめてください。"),
            QStringLiteral("Writing failed. Check the free disk space."), file_->errorString())};
  }
  return {target_, {}};
}

void ChannelFileWriting::Discard() { file_.reset(); }

}  // namespace

bool CanSaveAs(const QString& suffix) { return !FormatFor(suffix).isEmpty(); }

QString SaveErrorText(const QString& path, const QString& japanese, const QString& english,
                      const QString& detail) {
  QString text = QStringLiteral("保存できませんでした: %1\nCould not save: %1\n\n%2\n%3")
                     .arg(QDir::toNativeSeparators(path), japanese, english);
  if (!detail.isEmpty()) {
    text += QStringLiteral("\n(%1)").arg(detail);
  }
  return text;
}

std::shared_ptr<const ChannelPlane> FrozenPlane(const ChannelPlane& plane) {
  auto copy = std::make_shared<ChannelPlane>();
  copy->Resize(plane.Width(), plane.Height(), plane.StoredWidth(), plane.StoredHeight(),
               plane.Fill());
  const auto cells = static_cast<std::size_t>(plane.StoredWidth()) *
                     static_cast<std::size_t>(plane.StoredHeight());
  if (cells > 0) {
    std::memcpy(copy->Row(0), plane.Row(0), cells);
  }
  return copy;
}

ChannelPicture FrozenChannel(const Separation& separation, Channel channel, ChannelLook look,
                             IccBytes icc) {
  look = LookSaved(separation.model, look);
  ChannelPicture picture{FrozenPlane(*separation.planes[channel]), channel, look, separation.model,
                         nullptr};
  picture.icc = ProfileShown(separation, look, std::move(icc));
  if (NeedsHue(separation.model, channel, look)) {
    picture.hue =
        channel == kHueChannel ? picture.plane : FrozenPlane(*separation.planes[kHueChannel]);
  }
  return picture;
}

std::vector<ChannelPicture> FrozenChannels(const Separation& separation, ChannelLook look,
                                           IccBytes icc) {
  look = LookSaved(separation.model, look);
  const IccBytes shown = ProfileShown(separation, look, std::move(icc));
  std::vector<ChannelPicture> pictures;
  for (const Channel channel : kPlates) {
    if (separation.Has(channel)) {
      pictures.push_back({FrozenPlane(*separation.planes[channel]), channel, look, separation.model,
                          nullptr, shown});
    }
  }
  for (ChannelPicture& picture : pictures) {
    if (NeedsHue(separation.model, picture.channel, look)) {
      picture.hue = pictures[static_cast<std::size_t>(ComponentIndex(kHueChannel))].plane;
    }
  }
  return pictures;
}

QImage ChannelImage(const ChannelPicture& picture, const Progress& progress) {
  QImage image = ChannelImage(*picture.plane, picture.channel, picture.look,
                              {picture.model, picture.hue.get()}, progress);
  const std::span<const std::uint8_t> icc = ProfileFor(picture);
  if (!image.isNull() && !icc.empty()) {
    // Qt reads matrix-and-curves RGB profiles only; another leaves the copy untagged, as sRGB.
    const QColorSpace space = QColorSpace::fromIccProfile(
        QByteArray(reinterpret_cast<const char*>(icc.data()), static_cast<qsizetype>(icc.size())));
    if (space.isValid()) {
      image.setColorSpace(space);
    }
  }
  return image;
}

QStringList SaveOutcome::Written() const {
  QStringList paths;
  for (const SaveResult& result : results) {
    if (result.Saved()) {
      paths.append(result.path);
    }
  }
  return paths;
}

QStringList SaveOutcome::Errors() const {
  QStringList errors;
  for (const SaveResult& result : results) {
    if (!result.Saved()) {
      errors.append(result.error);
    }
  }
  return errors;
}

SaveResult SaveChannelImage(const QImage& image, const QString& path) {
  const QString target = SavePathWithExtension(path);
  if (image.isNull() && CanSaveAs(QFileInfo(target).suffix())) {
    return {target, NoPictureError(target)};
  }
  ChannelFileWriting file(path);
  const Progress unwatched;
  file.Write(image, unwatched);
  return file.Commit();
}

SaveOutcome SaveChannels(const std::vector<ChannelSave>& saves, const Progress& progress) {
  std::vector<std::unique_ptr<ChannelFileWriting>> files;
  files.reserve(saves.size());
  for (const ChannelSave& save : saves) {
    files.push_back(std::make_unique<ChannelFileWriting>(save.path));
  }
  {
    ProgressParts parts(progress, saves.size());
    std::vector<std::jthread> threads;
    threads.reserve(saves.size());
    for (std::size_t i = 0; i < saves.size(); ++i) {
      const auto write = [&files, &saves, &parts, i] {
        files[i]->Write(saves[i].picture, parts.Part(i));
      };
      try {
        threads.emplace_back(write);
      } catch (const std::system_error&) {
        write();  // no thread to be had: this one writes it
      }
    }
  }
  SaveOutcome outcome{.cancelled = progress.Cancelled(), .results = {}};
  for (const auto& file : files) {
    if (outcome.cancelled) {
      file->Discard();
    } else {
      outcome.results.push_back(file->Commit());
    }
  }
  if (!outcome.cancelled) {
    progress.Report(1.0);
  }
  return outcome;
}

}  // namespace irobunkai
