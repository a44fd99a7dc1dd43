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

constexpr Control kModels[] = {
    {"RGB", "赤・緑・青の光の量 (0-255)", "the light of red, green and blue, 0-255"},
    {"CMY", "印刷のシアン・マゼンタ・イエローのインクの量 (0-255)",
     "the printer's cyan, magenta and yellow inks, 0-255"},
    {"HSV", "色相 H (0-360°)・彩度 S・明度 V (最も明るい成分, %)",
     "hue H 0-360°, saturation S and value V (the brightest component), %"},
    {"HSL", "色相 H・彩度 S・輝度 L (最も明るい成分と暗い成分の中間, %)",
     "hue H, saturation S and lightness L (halfway between the brightest and darkest), %"},
    {"YCbCr", "JPEG が保存する明るさ Y′ と 2 つの色差 Cb・Cr (0-255, 128 が無彩色)",
     "what JPEG stores: brightness Y′ and two colour differences Cb, Cr, 0-255 (128: none)"},
    {"L*a*b*", "目に近い明度 L* (0-100) と 赤-緑 a*・黄-青 b* (0 が無彩色)",
     "lightness as the eye sees it L* 0-100, red-green a* and yellow-blue b* (0: none)"},
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
    {"色空間 (メニュー)", "R G B のビューを別の色空間の 3 成分に分ける",
     "色空間 in a channel view's menu: split into another colour model's components"},
    {"1 / 2 / 3 (画像)", "その色空間の 1 番目・2 番目・3 番目の成分を外す / 戻す",
     "1 / 2 / 3 on the picture: show it without / with the model's first, second, third "
     "component"},
    {"Ctrl + C", "読み取った色を文字でコピー (RGB 以外の色空間ではその値も)",
     "Ctrl + C: copy the readout as text (with the model's values)"},
    {"Ctrl + V", "クリップボードの画像を開く", "Ctrl + V: open the picture on the clipboard"},
    {"F1", "このヘルプ", "F1: this help"},
};

template <std::size_t N>
QString Table(const Control (&rows)[N]) {
  QString html = QStringLiteral("<table cellspacing='0' cellpadding='3'>");
  for (const Control& c : rows) {
    html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td><i>%3</i></td></tr>")
                .arg(QString::fromUtf8(c.input).toHtmlEscaped(),
                     QString::fromUtf8(c.japanese).toHtmlEscaped(),
                     QString::fromUtf8(c.english).toHtmlEscaped());
  }
  return html + QStringLiteral("</table>");
}

QString ControlsTable() {
  return Table(kControls) +
         QStringLiteral(
             "<p>拡大すると画素の格子と値が表示されます。"
             " <i>Zoomed in far, a pixel grid and each pixel's values appear.</i></p>"
             "<p><b>色空間</b> <i>Colour models</i></p>") +
         Table(kModels);
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
