// The window's one table of controls: what each does, its keys, its menu entry and its
// help line. The menu, the keys and the F1 help are all built from it.
#include "colour/colour_model.h"
#include "window/error_reports.h"
#include "window/form1.h"

namespace irobunkai {
namespace {

constexpr int kToDefault = -1000;  // zoom steps enough to reach the default view

// Runs `body` as a handler: an error escaping it is reported, as for the buttons.
std::function<void()> Guarded(QWidget* parent, std::function<void()> body) {
  return [parent, body = std::move(body)] { RunHandler(parent, body); };
}

}  // namespace

// In the order of the help; the menu orders its entries by their place in it.
std::vector<Command> Form1::CommandTable() {
  std::vector<Command> table = PictureControls();
  for (Command& command : ChannelControls()) {
    table.push_back(std::move(command));
  }
  for (Command& command : ModelControls()) {
    table.push_back(std::move(command));
  }
  for (Command& command : PressControls()) {
    table.push_back(std::move(command));
  }
  table.push_back(
      {.name = QStringLiteral("CancelWorkAction"),
       .keys = {QKeySequence(Qt::Key_Escape)},
       // Only while there is work to cancel, so that Escape is free otherwise.
       .enabled = [this] { return work_->IsBusy() || document_->ShownFirstSight(); },
       .run = [this] { Form1_Cancel(); },
       .help = Help("Esc", "開いている・分解している・保存している途中の作業を取り消す",
                    "Escape: cancel opening, separating or saving; the views stay as they were")});
  table.push_back(
      {.name = QStringLiteral("CopyReadoutAction"),
       .keys = {QKeySequence(QKeySequence::Copy)},
       .run = [this] { Form1_Copy(); },
       .help = Help("Ctrl + C", "読み取った色を文字でコピー (RGB 以外の色空間ではその値も)",
                    "Ctrl + C: copy the readout as text (with the model's values)")});
  table.push_back({.name = QStringLiteral("PasteAction"),
                   .keys = {QKeySequence(QKeySequence::Paste)},
                   .run = [this] { Form1_Paste(); },
                   .help = Help("Ctrl + V", "クリップボードの画像を開く",
                                "Ctrl + V: open the picture on the clipboard")});
  table.push_back({.name = QStringLiteral("HelpAction"),
                   .keys = {QKeySequence(QKeySequence::HelpContents)},
                   .run = [this] { Form1_Help(); },
                   .help = Help("F1", "このヘルプ", "F1: this help")});
  return table;
}

// Reading the source picture, and zooming and panning the four views together.
std::vector<Command> Form1::PictureControls() {
  const auto zoom = [this](int steps) {
    return [this, steps] { document_->Views().ZoomBy(steps); };
  };
  return {
      {.help = Help("画像をクリック", "その画素の色を 10 進・16 進・R G B で表示",
                    "Click the picture: read out that pixel")},
      {.help = Help("← → ↑ ↓ (画像)", "読み取る画素を 1 つ動かす (Shift で 10)",
                    "Arrows on the picture: move the read pixel by 1 (Shift: 10)")},
      {.name = QStringLiteral("MosaicAction"),
       .keys = {QKeySequence(Qt::Key_M)},
       .scope = KeyScope::SourceView,
       .run = [this] { Picture1_ToggleMosaic(); },
       .help = Help("M (画像)",
                    "カメラの RAW 画像: センサーのモザイク (画素ごとの R・G・B のフィルター) "
                    "と現像した画像を切り替える",
                    "M on the picture: a camera raw picture's sensor mosaic (each photosite in "
                    "its filter's colour) or the developed picture")},
      {.help = Help("Ctrl + ホイール", "4 つのビューをまとめて拡大・縮小",
                    "Ctrl + wheel: zoom all four views")},
      // = is + without Shift; Ctrl is allowed as browsers allow it.
      {.name = QStringLiteral("ZoomInAction"),
       .keys = {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal),
                QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
       .run = zoom(1),
       .help = Help("+ / -", "拡大・縮小 (Ctrl + + / Ctrl + - も)",
                    "+ / -: zoom in / out (also Ctrl + + / Ctrl + -)")},
      {.name = QStringLiteral("ZoomOutAction"),
       .keys = {QKeySequence(Qt::Key_Minus), QKeySequence(Qt::CTRL | Qt::Key_Minus)},
       .run = zoom(-1)},
      {.name = QStringLiteral("ZoomToDefaultAction"),
       .keys = {QKeySequence(Qt::Key_0), QKeySequence(Qt::Key_Home),
                QKeySequence(Qt::CTRL | Qt::Key_0)},
       .run = zoom(kToDefault),
       .help = Help("0 / Home", "はじめの表示に戻す", "0 / Home: back to the default view")},
      {.help = Help("ホイール / Shift + ホイール", "上下 / 左右にスクロール",
                    "Wheel / Shift + wheel: scroll up-down / sideways")},
      {.help = Help("ドラッグ (R G B のビュー)", "4 つのビューをまとめて動かす",
                    "Drag a channel view: pan all four views")},
      {.help = Help("← → ↑ ↓ (R G B のビュー)", "4 つのビューをまとめて動かす",
                    "Arrows on a channel view: pan")},
  };
}

// The channel views' menu and what it holds but the colour models.
std::vector<Command> Form1::ChannelControls() {
  const auto separated = [this] { return document_->IsSeparated(); };
  // Saving and copying act on the channel whose view the menu was opened on.
  const auto onMenuChannel = [this](void (Form1::*handler)(Channel)) {
    return Guarded(this, [this, handler] { (this->*handler)(menuChannel_); });
  };
  return {
      {.name = QStringLiteral("ChannelMenuAction"),
       .keys = {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)},
       .scope = KeyScope::ChannelViews,
       .run = [this] { ShowFocusedChannelMenu(); },
       .help = Help("右ボタン / Menu / Shift + F10 (R G B)", "チャンネルのメニュー (保存・コピー)",
                    "Right button, Menu key or Shift + F10 on a channel view: its menu (save, "
                    "copy)")},
      {.name = QStringLiteral("SaveCmykTiffAction"),
       .text = Fixed("CMYK TIFF を保存..."),
       .menu = MenuPlace::Files,
       .enabled =
           [this] {
             return document_->IsSeparated() && document_->Separated().model == ColourModel::CMYK &&
                    document_->SeparatedPress() != nullptr;
           },
       .run = Guarded(this, [this] { SaveCmykTiff(); }),
       .help = Help("CMYK TIFF を保存... (メニュー)",
                    "4 版を 1 つの CMYK TIFF に (出力プロファイル付き)",
                    "CMYK TIFF を保存...: the four plates as one CMYK TIFF, with the press "
                    "profile")},
      {.name = QStringLiteral("SaveChannelAction"),
       .text = Fixed("チャンネルを保存..."),
       .menu = MenuPlace::Files,
       .enabled = separated,
       .run = onMenuChannel(&Form1::SaveChannel)},
      {.name = QStringLiteral("SaveAllChannelsAction"),
       .text = Fixed("3 チャンネルをすべて保存..."),
       .menu = MenuPlace::Files,
       .enabled = separated,
       .run = Guarded(this, [this] { SaveAllChannels(); })},
      {.name = QStringLiteral("CopyChannelAction"),
       .text = Fixed("画像をコピー"),
       .menu = MenuPlace::Files,
       .enabled = separated,
       .run = onMenuChannel(&Form1::CopyChannel)},
      {.name = QStringLiteral("GreyAction"),
       .text = Fixed("グレーで表示"),
       .keys = {QKeySequence(Qt::Key_G)},
       .menu = MenuPlace::Looks,
       .checked = [this] { return document_->Views().Look() == ChannelLook::Grey; },
       .run = Guarded(this,
                      [this] {
                        document_->Views().SetLook(document_->Views().Look() == ChannelLook::Grey
                                                       ? ChannelLook::Tinted
                                                       : ChannelLook::Grey);
                      }),
       .help = Help("G (R G B のビュー)", "グレーで表示 / 色で表示",
                    "G on a channel view: grey or tinted")},
      {.name = QStringLiteral("HistogramAction"),
       .text = Fixed("ヒストグラム"),
       .keys = {QKeySequence(Qt::Key_H)},
       .menu = MenuPlace::Looks,
       .checked = [this] { return document_->Views().ShowsHistograms(); },
       .run = Guarded(
           this,
           [this] { document_->Views().ShowHistograms(!document_->Views().ShowsHistograms()); }),
       .help = Help("H (R G B のビュー)", "ヒストグラムを表示", "H on a channel view: histograms")},
      {.name = QStringLiteral("LogScaleAction"),
       .text = Fixed("ヒストグラムを対数目盛で"),
       .keys = {QKeySequence(Qt::Key_L)},
       .menu = MenuPlace::Looks,
       .checked = [this] { return document_->Views().LogarithmicHistograms(); },
       .run = Guarded(this,
                      [this] {
                        document_->Views().SetLogarithmicHistograms(
                            !document_->Views().LogarithmicHistograms());
                      }),
       .help = Help("L (R G B のビュー)", "ヒストグラムを対数目盛で",
                    "L on a channel view: logarithmic histograms")},
  };
}

// The 色空間 submenu: the model to split into, and the components the source is rebuilt from.
std::vector<Command> Form1::ModelControls() {
  std::vector<Command> table = {
      {.help = Help("色空間 (メニュー)", "R G B のビューを別の色空間の 3 成分に分ける",
                    "色空間 in a channel view's menu: split into another colour model's "
                    "components")},
      {.help = Help(
           "CMYK (色空間)",
           "印刷の 4 版: 出力プロファイルで C・M・Y・K のインキ (%) に分け、K は 4 つ目のビューに",
           "CMYK: the press's four plates, ink in percent through the output profile; K in "
           "a fourth view")}};
  for (const ColourModel model : kMenuModels) {
    const QString text = QString::fromUtf8(MenuText(model));
    table.push_back({.name = QStringLiteral("ModelAction") + text,
                     .text = [text] { return text; },
                     .menu = MenuPlace::Models,
                     .checked = [this, model] { return document_->Views().Model() == model; },
                     .run = [this, model] { ChooseModel(model); }});
  }
  for (int i = 0; i < 3; ++i) {
    table.push_back(
        {.name = QStringLiteral("ComponentAction%1").arg(i + 1),
         .text =
             [this, i] {
               return QStringLiteral("元画像に %1")
                   .arg(QString::fromUtf8(ComponentName(document_->Views().Model(), i)));
             },
         .keys = {QKeySequence(Qt::Key_1 + i)},
         .scope = KeyScope::SourceView,
         .menu = MenuPlace::Components,
         .checked = [this, i] { return document_->Views().Kept()[static_cast<std::size_t>(i)]; },
         // A press's inks have no formula to rebuild the picture from.
         .enabled = [this] { return document_->Views().Model() != ColourModel::CMYK; },
         .run = Guarded(this, [this, i] { document_->Views().ToggleComponent(i); }),
         .help = i > 0 ? std::nullopt
                       : std::optional(
                             Help("1 / 2 / 3 (画像)",
                                  "その色空間の 1 番目・2 番目・3 番目の成分を外す / 戻す",
                                  "1 / 2 / 3 on the picture: show it without / with the model's "
                                  "first, second, third component"))});
  }
  return table;
}

}  // namespace irobunkai
