#include "window/help_window.h"

#include <QLabel>
#include <QVBoxLayout>

namespace irobunkai {
namespace {

struct Control {
  const char* input;
  const char* japanese;
  const char* english;
};

constexpr Control kControls[] = {
    {"画像をクリック", "その画素の色を 10 進・16 進・R G B で表示",
     "Click the picture: read out that pixel"},
    {"← → ↑ ↓ (画像)", "読み取る画素を 1 つ動かす (Shift で 10)",
     "Arrows on the picture: move the read pixel by 1 (Shift: 10)"},
    {"M (画像)",
     "カメラの RAW 画像: センサーのモザイク (画素ごとの R・G・B のフィルター) "
     "と現像した画像を切り替える",
     "M on the picture: a camera raw picture's sensor mosaic (each photosite in its filter's "
     "colour) or the developed picture"},
    {"Ctrl + ホイール", "4 つのビューをまとめて拡大・縮小", "Ctrl + wheel: zoom all four views"},
    {"+ / -", "拡大・縮小 (Ctrl + + / Ctrl + - も)",
     "+ / -: zoom in / out (also Ctrl + + / Ctrl + -)"},
    {"0 / Home", "はじめの表示に戻す", "0 / Home: back to the default view"},
    {"ホイール / Shift + ホイール", "上下 / 左右にスクロール",
     "Wheel / Shift + wheel: scroll up-down / sideways"},
    {"ドラッグ (R G B のビュー)", "4 つのビューをまとめて動かす",
     "Drag a channel view: pan all four views"},
    {"← → ↑ ↓ (R G B のビュー)", "4 つのビューをまとめて動かす", "Arrows on a channel view: pan"},
    {"右ボタン / Menu / Shift + F10 (R G B)", "チャンネルのメニュー (保存・コピー)",
     "Right button, Menu key or Shift + F10 on a channel view: its menu (save, copy)"},
    {"G (R G B のビュー)", "グレーで表示 / 色で表示", "G on a channel view: grey or tinted"},
    {"H (R G B のビュー)", "ヒストグラムを表示", "H on a channel view: histograms"},
    {"L (R G B のビュー)", "ヒストグラムを対数目盛で",
     "L on a channel view: logarithmic histograms"},
    {"Ctrl + C", "読み取った色を文字でコピー", "Ctrl + C: copy the readout as text"},
    {"Ctrl + V", "クリップボードの画像を開く", "Ctrl + V: open the picture on the clipboard"},
    {"F1", "このヘルプ", "F1: this help"},
};

QString ControlsTable() {
  QString html = QStringLiteral("<table cellspacing='0' cellpadding='3'>");
  for (const Control& c : kControls) {
    html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td><i>%3</i></td></tr>")
                .arg(QString::fromUtf8(c.input).toHtmlEscaped(),
                     QString::fromUtf8(c.japanese).toHtmlEscaped(),
                     QString::fromUtf8(c.english).toHtmlEscaped());
  }
  return html + QStringLiteral(
                    "</table><p>拡大すると画素の格子と値が表示されます。"
                    " <i>Zoomed in far, a pixel grid and each pixel's values appear.</i></p>");
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("操作方法 — Controls"));
  auto* text = new QLabel(ControlsTable(), this);
  text->setObjectName(QStringLiteral("HelpText"));
  text->setTextFormat(Qt::RichText);
  text->setWordWrap(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
}

}  // namespace irobunkai
