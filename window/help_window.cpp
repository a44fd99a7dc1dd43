#include "window/help_window.h"

#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace irobunkai {
namespace {

struct ModelLine {
  const char* input;
  const char* japanese;
  const char* english;
};

constexpr ModelLine kModels[] = {
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

QString Row(const QString& input, const QString& japanese, const QString& english) {
  return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td><i>%3</i></td></tr>")
      .arg(input.toHtmlEscaped(), japanese.toHtmlEscaped(), english.toHtmlEscaped());
}

QString Table(const QString& rows) {
  return QStringLiteral("<table cellspacing='0' cellpadding='3'>") + rows +
         QStringLiteral("</table>");
}

QString ControlsTable(const std::vector<HelpLine>& controls) {
  QString rows;
  for (const HelpLine& line : controls) {
    rows += Row(line.input, line.japanese, line.english);
  }
  QString models;
  for (const ModelLine& c : kModels) {
    models += Row(QString::fromUtf8(c.input), QString::fromUtf8(c.japanese),
                  QString::fromUtf8(c.english));
  }
  return Table(rows) +
         QStringLiteral(
             "<p>拡大すると画素の格子と値が表示されます。"
             " <i>Zoomed in far, a pixel grid and each pixel's values appear.</i></p>"
             "<p><b>色空間</b> <i>Colour models</i></p>") +
         Table(models);
}

// Each line on one line where the screen is wide enough, wrapped where it is not; a
// help longer than the screen scrolls.
QSize FirstSize(const QLabel& text, const QRect& screen) {
  constexpr int kFrame = 60;  // the layout's margins and a scroll bar, generously
  QTextDocument document;
  document.setDefaultFont(text.font());
  document.setHtml(text.text());
  const int oneLine = static_cast<int>(std::ceil(document.idealWidth())) + kFrame;
  const int width = std::min(oneLine, screen.width() * 9 / 10);
  const int height =
      std::min(text.heightForWidth(width - kFrame) + kFrame, screen.height() * 85 / 100);
  return {width, height};
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent, const std::vector<HelpLine>& controls) : QDialog(parent) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("操作方法 — Controls"));
  auto* text = new QLabel(ControlsTable(controls));
  text->setObjectName(QStringLiteral("HelpText"));
  text->setTextFormat(Qt::RichText);
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("HelpScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the lines wrap instead
  scroll->setWidgetResizable(true);
  scroll->setWidget(text);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll);
  resize(FirstSize(*text, screen()->availableGeometry()));
}

}  // namespace irobunkai
