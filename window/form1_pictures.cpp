// Choosing, dropping, pasting and showing pictures.
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <stdexcept>

#include "io/clipboard_picture.h"
#include "io/first_sight_file.h"
#include "io/sensor_mosaic.h"
#include "window/busy_cursor.h"
#include "window/error_reports.h"
#include "window/form1.h"

namespace irobunkai {
namespace {

// The first local file among dragged URLs: a picture file dropped from a file manager.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr) {
    return {};
  }
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      return url.toLocalFile();
    }
  }
  return {};
}

// Not an error: what a mosaic's reading says of a file without one.
constexpr int kNoMosaic = -2;

}  // namespace

Form1::OpenResult Form1::DecodeWithLevels(const Decode& decode, const Progress& progress,
                                          const PictureView& blank) {
  LoadResult result = decode(progress);
  if (auto* error = std::get_if<RunTimeError>(&result)) {
    return *error;
  }
  try {
    LoadedPicture& loaded = std::get<LoadedPicture>(result);
    Opened opened{std::move(loaded.image), nullptr, loaded.cutShort, std::move(loaded.colour), {}};
    PictureView view = blank;
    view.SetPicture(opened.picture);
    // The zoom levels are built with the picture: one that can't have them is refused
    // like one that can't be decoded, and the old one stays.
    opened.levels = std::make_shared<std::optional<MipPyramid>>(SourceLevels(view));
    // Reading the profile and checking its fast L*a*b* against littleCMS take milliseconds.
    opened.colours = PictureColours::Of(opened.colour);
    return opened;
  } catch (const std::bad_alloc&) {
    return MakeRunTimeError(error_number::kOutOfMemory);
  }
}

QString ChooseWithFileDialog(QWidget* parent) { return QFileDialog::getOpenFileName(parent); }

PictureChooser FileDialogChooser(std::shared_ptr<RememberedChoices> choices) {
  return [choices = std::move(choices)](QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(parent, {}, choices->Folder());
    if (!path.isEmpty()) {
      choices->KeepFolderOf(path);
    }
    return path;
  };
}

void Form1::ShowSamplePicture() {
  LoadResult sample = LoadPictureFile(QStringLiteral(":/assets/sample.gif"));
  if (!std::holds_alternative<LoadedPicture>(sample)) {
    throw std::runtime_error("the built-in sample picture is missing");
  }
  ShowLoadedPicture(std::move(sample), {PictureOrigin::Sample, {}}, {});
}

void Form1::LoadIntoPicture1(const QString& path) {
  OpenInBackground([path](const Progress& progress) { return LoadPictureFile(path, progress); },
                   {PictureOrigin::File, path.toStdString()}, path);
}

void Form1::OpenInBackground(Decode decode, PictureSource source, const QString& name) {
  document_->DropFirstSight();  // of a picture no longer wanted
  // The worker reads nothing of the window's: the empty source view is its own copy.
  const PictureView blank = document_->SourceWith({});
  work_->Start(
      BackgroundWork::Lane::Open,
      [this, blank, decode = std::move(decode), source = std::move(source),
       name](const BackgroundWork::Context& context) -> BackgroundWork::Finish {
        if (source.origin == PictureOrigin::File) {
          if (auto sight = ReadFirstSightOfFile(QString::fromStdString(source.path))) {
            context.Post([this, sight = std::move(*sight)] { document_->ShowFirstSight(sight); });
          }
        }
        OpenResult result = DecodeWithLevels(decode, context.Progress(), blank);
        if (auto* opened = std::get_if<Opened>(&result)) {
          return [this, opened = std::move(*opened), source, name] {
            ShowOpened(opened, source, name);
          };
        }
        const auto error = std::get<RunTimeError>(result);
        if (error.number == error_number::kCancelled) {
          return {};
        }
        return [this, error, name] {
          document_->DropFirstSight();
          ShowLoadError(this, error, name);
        };
      });
}

void Form1::ShowOpened(const Opened& opened, PictureSource source, const QString& name) {
  source.colour = opened.colour;
  document_->ShowPicture(opened.picture, std::move(source), std::move(*opened.levels),
                         opened.colours);
  // What was asked for while its first sight was shown is done on it now.
  const Document::Deferred deferred = document_->TakeDeferred();
  if (deferred.readout) {
    ShowReadout(deferred.readout->first, deferred.readout->second);
  }
  if (deferred.separation) {
    Command1_Click();
  }
  WarnIfCutShort(opened.cutShort, name);
}

bool Form1::ShowLoadedPicture(LoadResult result, PictureSource source, const QString& name) {
  if (const auto* error = std::get_if<RunTimeError>(&result)) {
    ShowLoadError(this, *error, name);
    return false;
  }
  bool shown = false;
  LoadedPicture& loaded = std::get<LoadedPicture>(result);
  RunGrowing(this, name, [&] {
    const BusyCursor busy;
    // A picture that can't have its zoom levels is refused like one that can't be
    // decoded, and the old one stays.
    source.colour = std::move(loaded.colour);
    document_->ShowPicture(loaded.image, std::move(source));
    shown = true;
  });
  if (shown) {
    WarnIfCutShort(loaded.cutShort, name);
  }
  return shown;
}

void Form1::WarnIfCutShort(const QString& cutShort, const QString& name) {
  if (!cutShort.isEmpty()) {
    QMessageBox::warning(this, QCoreApplication::applicationName(),
                         QStringLiteral("%1\n\n%2").arg(cutShort, QDir::toNativeSeparators(name)));
  }
}

void Form1::Picture1_ToggleMosaic() {
  if (document_->Developed() != nullptr) {
    ReturnToDeveloped();
    return;
  }
  const PictureSource& origin = document_->Origin();
  if (origin.origin != PictureOrigin::File) {
    ShowNoMosaic();
    return;
  }
  // Read from the file again, off the GUI thread, as a picture is opened.
  const QString path = QString::fromStdString(origin.path);
  const Decode decode = [path](const Progress&) -> LoadResult {
    SensorMosaic mosaic = LoadSensorMosaic(path);
    if (auto* image = std::get_if<Image>(&mosaic)) {
      return LoadedPicture{std::move(*image), {}, {}};
    }
    if (const auto* error = std::get_if<RunTimeError>(&mosaic)) {
      return *error;
    }
    return RunTimeError{kNoMosaic, {}};
  };
  const PictureView blank = document_->SourceWith({});
  const int picture = document_->PictureNumber();
  work_->Start(BackgroundWork::Lane::Open,
               [this, decode, blank, picture,
                path](const BackgroundWork::Context& context) -> BackgroundWork::Finish {
                 OpenResult result = DecodeWithLevels(decode, context.Progress(), blank);
                 if (auto* opened = std::get_if<Opened>(&result)) {
                   return [this, opened = std::move(*opened), picture] {
                     if (document_->PictureNumber() == picture) {  // still the raw picture
                       document_->ShowMosaic(opened.picture, std::move(*opened.levels));
                     }
                   };
                 }
                 const auto error = std::get<RunTimeError>(result);
                 return [this, error, path] {
                   if (error.number == kNoMosaic) {
                     ShowNoMosaic();
                   } else {
                     ShowLoadError(this, error, path);
                   }
                 };
               });
}

void Form1::ReturnToDeveloped() {
  // Its zoom levels are made again on the worker, as a picture's are when it is opened.
  const PictureView view = document_->SourceWith(*document_->Developed());
  const int mosaic = document_->PictureNumber();
  work_->Start(BackgroundWork::Lane::Open,
               [this, view, mosaic](const BackgroundWork::Context&) -> BackgroundWork::Finish {
                 auto levels = std::make_shared<std::optional<MipPyramid>>(SourceLevels(view));
                 return [this, levels, mosaic] {
                   if (document_->PictureNumber() == mosaic) {  // still the mosaic
                     document_->ShowDeveloped(std::move(*levels));
                   }
                 };
               });
}

void Form1::ShowNoMosaic() {
  QMessageBox::information(
      this, QCoreApplication::applicationName(),
      QStringLiteral("この画像にはセンサーのモザイクがありません。カメラの RAW ファイルでは"
                     "ないか、モザイクのない (色分解済みかモノクロの) RAW ファイルです。\n"
                     "This picture has no sensor mosaic: it is not a camera raw file, or "
                     "its raw data is already demosaiced or monochrome."));
}

void Form1::Command3_Click() {
  RunHandler(this, [this] {
    const QString path = CommonDialog1(this);
    if (!path.isEmpty()) {  // cancelling loses nothing
      LoadIntoPicture1(path);
    }
  });
}

void Form1::Form1_Paste() {
  RunHandler(this, [this] {
    const ClipboardOffer offer = PictureOffered(QGuiApplication::clipboard()->mimeData());
    if (const auto* path = std::get_if<QString>(&offer)) {
      LoadIntoPicture1(*path);
    } else if (const auto* result = std::get_if<LoadResult>(&offer)) {
      ShowLoadedPicture(*result, {PictureOrigin::Clipboard, {}},
                        QStringLiteral("クリップボードの画像 (clipboard picture)"));
    } else {
      QMessageBox::information(this, QCoreApplication::applicationName(),
                               QStringLiteral("クリップボードに画像がありません。\n"
                                              "The clipboard holds no picture."));
    }
  });
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void Form1::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (!path.isEmpty()) {
    event->acceptProposedAction();
    Form1_DragDrop(path);
  }
}

void Form1::Form1_DragDrop(const QString& path) {
  RunHandler(this, [&] { LoadIntoPicture1(path); });
}

}  // namespace irobunkai
