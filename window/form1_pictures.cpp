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

}  // namespace

QString ChooseWithFileDialog(QWidget* parent) { return QFileDialog::getOpenFileName(parent); }

void Form1::ShowSamplePicture() {
  LoadResult sample = LoadPictureFile(QStringLiteral(":/assets/sample.gif"));
  if (!std::holds_alternative<LoadedPicture>(sample)) {
    throw std::runtime_error("the built-in sample picture is missing");
  }
  ShowLoadedPicture(std::move(sample), {PictureOrigin::Sample, {}}, {});
}

bool Form1::LoadIntoPicture1(const QString& path) {
  LoadResult result = [&] {
    const BusyCursor busy;
    return LoadPictureFile(path);
  }();
  return ShowLoadedPicture(std::move(result), {PictureOrigin::File, path.toStdString()}, path);
}

bool Form1::ShowLoadedPicture(LoadResult result, PictureSource source, const QString& name) {
  if (const auto* error = std::get_if<RunTimeError>(&result)) {
    ShowLoadError(this, *error, name);
    return false;
  }
  bool shown = false;
  RunGrowing(this, name, [&] {
    const BusyCursor busy;
    Image& picture = std::get<LoadedPicture>(result).image;
    // The zoom levels are built before the picture is shown: a picture that can't
    // have them is refused like one that can't be decoded, and the old one stays.
    std::optional<MipPyramid> levels = ViewRenditions::SourceLevels(document_->SourceWith(picture));
    document_->ShowPicture(std::move(picture), std::move(source));
    renditions_->SetSourceLevels(std::move(levels), document_->PictureNumber());
    // A new picture is looked at from the start: whole.
    viewState_->Reset(document_->Source().AreaWidth(), document_->Source().AreaHeight());
    shown = true;
  });
  const QString& cutShort = std::get<LoadedPicture>(result).cutShort;
  if (shown && !cutShort.isEmpty()) {
    QMessageBox::warning(this, QCoreApplication::applicationName(),
                         QStringLiteral("%1\n\n%2").arg(cutShort, QDir::toNativeSeparators(name)));
  }
  return shown;
}

void Form1::Picture1_ToggleMosaic() {
  RunGrowing(this, QStringLiteral("センサーのモザイク (sensor mosaic)"), [this] {
    const BusyCursor busy;
    if (const Image* developed = document_->Developed()) {
      ShowSourcePicture(*developed, false);
      return;
    }
    const PictureSource& origin = document_->Origin();
    const QString path = QString::fromStdString(origin.path);
    SensorMosaic mosaic =
        origin.origin == PictureOrigin::File ? LoadSensorMosaic(path) : NoSensorMosaic{};
    if (const auto* error = std::get_if<RunTimeError>(&mosaic)) {
      ShowLoadError(this, *error, path);
    } else if (auto* image = std::get_if<Image>(&mosaic)) {
      ShowSourcePicture(std::move(*image), true);
    } else {
      QMessageBox::information(
          this, QCoreApplication::applicationName(),
          QStringLiteral("この画像にはセンサーのモザイクがありません。カメラの RAW ファイルでは"
                         "ないか、モザイクのない (色分解済みかモノクロの) RAW ファイルです。\n"
                         "This picture has no sensor mosaic: it is not a camera raw file, or "
                         "its raw data is already demosaiced or monochrome."));
    }
  });
}

void Form1::ShowSourcePicture(Image picture, bool mosaic) {
  const PictureView& before = document_->Source();
  const bool sameArea =
      picture.Width() == before.Picture().Width() && picture.Height() == before.Picture().Height();
  std::optional<MipPyramid> levels = ViewRenditions::SourceLevels(document_->SourceWith(picture));
  if (mosaic) {
    document_->ShowMosaic(std::move(picture));
  } else {
    document_->ShowDeveloped();
  }
  renditions_->SetSourceLevels(std::move(levels), document_->PictureNumber());
  // The mosaic covers the developed picture's area: the learner flips between the two
  // where they are looking.
  if (!sameArea) {
    viewState_->Reset(document_->Source().AreaWidth(), document_->Source().AreaHeight());
  }
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
