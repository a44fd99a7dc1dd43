// The channel views' menu: their look, histograms, and saving or copying a channel.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <new>
#include <utility>

#include "window/channel_save_dialogs.h"
#include "window/error_reports.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

// What a separated picture's channel files are named after.
ChannelFileBase FileBaseOf(const PictureSource& source) {
  switch (source.origin) {
    case PictureOrigin::File:
      return {QString::fromStdString(source.path)};
    case PictureOrigin::Clipboard:
      return {{}, QStringLiteral("clipboard")};
    case PictureOrigin::Sample:
      break;
  }
  return {{}, QStringLiteral("sample")};
}

}  // namespace

void Form1::Picture2_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Red, at); }
void Form1::Picture3_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Green, at); }
void Form1::Picture4_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Blue, at); }
void Form1::Picture5_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Black, at); }

void Form1::ShowChannelMenu(Channel channel, QPoint at) {
  QMenu* menu = commands_->ChannelMenu();
  if (menu->isVisible()) {
    return;  // one menu at a time, whichever way it was asked for
  }
  menuChannel_ = channel;
  commands_->Refresh();
  menu->exec(at);  // the chosen entry's action runs before it returns
}

void Form1::ShowFocusedChannelMenu() {
  for (const auto& [view, channel] :
       {std::pair{Picture2, Channel::Red}, std::pair{Picture3, Channel::Green},
        std::pair{Picture4, Channel::Blue}, std::pair{Picture5, Channel::Black}}) {
    if (view->hasFocus()) {
      ShowChannelMenu(channel, view->mapToGlobal(view->contentsRect().center()));
    }
  }
}

SaveDialogHooks Form1::SaveInBackground() {
  SaveDialogHooks hooks;
  // The files are written on the worker; the dialog is gone and the window goes on.
  hooks.run = [this](std::function<SaveOutcome(const Progress&)> write,
                     std::function<void(const SaveOutcome&)> report) {
    work_->Start(BackgroundWork::Lane::Save,
                 [write = std::move(write), report = std::move(report)](
                     const BackgroundWork::Context& context) -> BackgroundWork::Finish {
                   auto outcome = std::make_shared<SaveOutcome>(write(context.Progress()));
                   if (outcome->cancelled) {
                     return {};
                   }
                   return [report, outcome] { report(*outcome); };
                 });
  };
  return hooks;
}

IccBytes Form1::SeparatedIcc() const {
  const auto& profile = document_->SeparatedColours().profile;
  return profile ? std::make_shared<const std::vector<std::uint8_t>>(profile->Icc()) : nullptr;
}

void Form1::SaveChannel(Channel channel) {
  SaveChannelWithDialog(this, document_->Separated(), channel, document_->Views().Look(),
                        FileBaseOf(document_->SeparatedOrigin()), SaveInBackground(),
                        SeparatedIcc());
}

void Form1::SaveAllChannels() {
  SaveAllChannelsWithDialog(this, document_->Separated(), document_->Views().Look(),
                            FileBaseOf(document_->SeparatedOrigin()), SaveInBackground(),
                            SeparatedIcc());
}

void Form1::SaveCmykTiff() {
  // The plates were made through the press chosen then: its profile goes with them.
  const auto& press = document_->Press().Profile();
  SaveCmykTiffWithDialog(this, document_->Separated(),
                         press ? press->Icc() : std::vector<std::uint8_t>{},
                         FileBaseOf(document_->SeparatedOrigin()), SaveInBackground());
}

void Form1::CopyChannel(Channel channel) {
  const QString what = QStringLiteral("クリップボード (clipboard)");
  std::shared_ptr<const ChannelPicture> picture;
  try {
    picture = std::make_shared<const ChannelPicture>(
        FrozenChannel(document_->Separated(), channel, document_->Views().Look(), SeparatedIcc()));
  } catch (const std::bad_alloc&) {
    ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory), what);
    return;
  }
  // The picture is made on the worker; the clipboard is the GUI thread's.
  work_->Start(
      BackgroundWork::Lane::Save,
      [this, picture, what](const BackgroundWork::Context& context) -> BackgroundWork::Finish {
        auto image = std::make_shared<QImage>(ChannelImage(*picture, context.Progress()));
        if (context.Cancelled()) {
          return {};
        }
        return [this, image, what] {
          if (image->isNull()) {
            ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory), what);
          } else {
            QGuiApplication::clipboard()->setImage(*image);
          }
        };
      });
}

}  // namespace irobunkai
