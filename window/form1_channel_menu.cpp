// The channel views' menu: their look, histograms, and saving or copying a channel.
#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "window/busy_cursor.h"
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

QAction* AddAction(QMenu& menu, const char* name, const QString& text, const QKeySequence& keys,
                   std::optional<bool> checked = std::nullopt) {
  QAction* action = menu.addAction(text);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(keys);  // shown in the menu; the view itself takes the key
  if (checked) {
    action->setCheckable(true);
    action->setChecked(*checked);
  }
  return action;
}

}  // namespace

void Form1::Picture2_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Red, at); }
void Form1::Picture3_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Green, at); }
void Form1::Picture4_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Blue, at); }

void Form1::ShowChannelMenu(Channel channel, QPoint at) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("ChannelMenu"));
  QAction* grey = AddAction(menu, "GreyAction", QStringLiteral("グレーで表示"),
                            QKeySequence(Qt::Key_G), viewState_->Look() == ChannelLook::Grey);
  QAction* histograms = AddAction(menu, "HistogramAction", QStringLiteral("ヒストグラム"),
                                  QKeySequence(Qt::Key_H), viewState_->ShowsHistograms());
  QAction* logarithmic =
      AddAction(menu, "LogScaleAction", QStringLiteral("ヒストグラムを対数目盛で"),
                QKeySequence(Qt::Key_L), viewState_->LogarithmicHistograms());
  menu.addSeparator();
  const ModelMenu models = AddModelMenu(menu);
  menu.addSeparator();
  QAction* save = AddAction(menu, "SaveChannelAction", QStringLiteral("チャンネルを保存..."), {});
  QAction* saveAll =
      AddAction(menu, "SaveAllChannelsAction", QStringLiteral("3 チャンネルをすべて保存..."), {});
  QAction* copy = AddAction(menu, "CopyChannelAction", QStringLiteral("画像をコピー"), {});
  // Nothing to save or copy before a separation.
  for (QAction* action : {save, saveAll, copy}) {
    action->setEnabled(document_->IsSeparated());
  }
  const QAction* chosen = menu.exec(at);
  if (const auto model = models.models.find(chosen); model != models.models.end()) {
    ChooseModel(model->second);
    return;
  }
  RunHandler(this, [&] {
    if (const auto component = models.components.find(chosen);
        component != models.components.end()) {
      viewState_->ToggleComponent(component->second);
    }
    if (chosen == grey) {
      viewState_->SetLook(grey->isChecked() ? ChannelLook::Grey : ChannelLook::Tinted);
    } else if (chosen == histograms) {
      viewState_->ShowHistograms(histograms->isChecked());
    } else if (chosen == logarithmic) {
      viewState_->SetLogarithmicHistograms(logarithmic->isChecked());
    } else if (chosen == save) {
      SaveChannel(channel);
    } else if (chosen == saveAll) {
      SaveAllChannels();
    } else if (chosen == copy) {
      CopyChannel(channel);
    }
  });
}

Form1::ModelMenu Form1::AddModelMenu(QMenu& menu) const {
  ModelMenu entries;
  QMenu* models = menu.addMenu(QStringLiteral("色空間"));
  models->setObjectName(QStringLiteral("ModelMenu"));
  auto* exclusive = new QActionGroup(models);
  for (const ColourModel model : kColourModels) {
    QAction* action = models->addAction(QString::fromUtf8(MenuText(model)));
    action->setObjectName(QStringLiteral("ModelAction") + QString::fromUtf8(MenuText(model)));
    action->setCheckable(true);
    action->setChecked(model == viewState_->Model());
    action->setActionGroup(exclusive);
    entries.models.emplace(action, model);
  }
  // What the source view is rebuilt from, as the keys 1, 2 and 3 on it switch it.
  models->addSeparator();
  const ColourModel model = viewState_->Model();
  for (int i = 0; i < 3; ++i) {
    QAction* action = models->addAction(
        QStringLiteral("元画像に %1").arg(QString::fromUtf8(ComponentName(model, i))));
    action->setObjectName(QStringLiteral("ComponentAction%1").arg(i + 1));
    action->setShortcut(QKeySequence(Qt::Key_1 + i));  // shown here; the source view takes it
    action->setCheckable(true);
    action->setChecked(viewState_->Kept()[static_cast<std::size_t>(i)]);
    entries.components.emplace(action, i);
  }
  return entries;
}

void Form1::ChooseModel(ColourModel model) {
  RunGrowing(this, QStringLiteral("色空間 (colour model)"), [&] {
    if (document_->IsSeparated() && document_->Separated().model != model) {
      const BusyCursor busy;
      document_->SeparateAgain({.countHistograms = viewState_->ShowsHistograms(), .model = model});
    }
    if (model != viewState_->Model()) {
      viewState_->SetModel(model);
    }
  });
}

PlaneModel Form1::SeparatedModel() const {
  const Separation& separated = document_->Separated();
  return {separated.model, separated.planes[Channel::Red].get()};
}

void Form1::SaveChannel(Channel channel) {
  SaveChannelWithDialog(this, *document_->Separated().planes[channel], channel, viewState_->Look(),
                        FileBaseOf(document_->SeparatedOrigin()), {}, SeparatedModel());
}

void Form1::SaveAllChannels() {
  PerChannel<const ChannelPlane*> planes;
  for (const Channel channel : kChannels) {
    planes[channel] = document_->Separated().planes[channel].get();
  }
  SaveAllChannelsWithDialog(this, planes, viewState_->Look(),
                            FileBaseOf(document_->SeparatedOrigin()), {},
                            document_->Separated().model);
}

void Form1::CopyChannel(Channel channel) {
  if (!CopyChannelToClipboard(*document_->Separated().planes[channel], channel, viewState_->Look(),
                              SeparatedModel())) {
    ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory),
                  QStringLiteral("クリップボード (clipboard)"));
  }
}

}  // namespace irobunkai
