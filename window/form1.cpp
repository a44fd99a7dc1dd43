#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "analysis/pixel_readout.h"
#include "window/busy_cursor.h"
#include "window/caption_font.h"
#include "window/channel_export.h"
#include "window/clipboard_picture.h"
#include "window/form1_controls.h"
#include "window/help_window.h"
#include "window/picture_box.h"
#include "window/picture_loader.h"
#include "window/qt_colour.h"

namespace irobunkai {
namespace {

// Colours as the layout gives them, &H00BBGGRR&.
constexpr ColorValue kWindowColor = 0x00FFFFC0;
constexpr ColorValue kRed = 0x000000FF;
constexpr ColorValue kGreen = 0x0000FF00;
constexpr ColorValue kBlue = 0x00FF0000;
constexpr ColorValue kYellow = 0x0000FFFF;
constexpr ColorValue kPink = 0x00FFC0FF;
constexpr ColorValue kLightGrey = 0x00E0E0E0;
constexpr ColorValue kBlack = 0x00000000;

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

Form1::Form1(PictureChooser chooser, QWidget* parent)
    : QWidget(parent),
      CommonDialog1(std::move(chooser)),
      viewState_(std::make_shared<ViewState>(kViewWidth, kViewHeight)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  resize(602, 497);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ToQColor(kWindowColor));
  setPalette(palette);
  setAutoFillBackground(true);
  CreateControls();
  ConnectEvents();
  SetTabOrder();
  AddShortcuts();
  ShowSamplePicture();
  setAcceptDrops(true);
  Picture1->setFocus();
}

void Form1::CreateControls() {
  Picture1 = MakeView(this, "Picture1", kRed, {8, 8});
  Picture2 = MakeView(this, "Picture2", kRed, {8, 280});
  Picture3 = MakeView(this, "Picture3", kGreen, {208, 280});
  Picture4 = MakeView(this, "Picture4", kBlue, {408, 280});
  Command3 = MakeButton(this, "Command3", QStringLiteral("画像選択"), kYellow, {216, 24, 81, 33});
  Command1 = MakeButton(this, "Command1", QStringLiteral("色分解"), kPink, {216, 64, 81, 33});
  Command2 = MakeButton(this, "Command2", QStringLiteral("終り"), kLightGrey, {216, 112, 81, 33});
  Label3 = MakeLabel(this, "Label3", QStringLiteral("R"), kRed, kWhite, {328, 32, 45, 33});
  Label4 = MakeLabel(this, "Label4", QStringLiteral("G"), kGreen, kWhite, {328, 64, 45, 33});
  Label5 = MakeLabel(this, "Label5", QStringLiteral("B"), kBlue, kWhite, {328, 96, 45, 33});
  Label1 = MakeLabel(this, "Label1", QStringLiteral("10"), kWhite, kBlack, {384, 40, 113, 33});
  Label2 = MakeLabel(this, "Label2", QStringLiteral("16"), kWhite, kBlack, {384, 80, 113, 33});
  const QString hint = QStringLiteral("Click\u3000the\u3000Image");
  // The hint stands on the window's own colour, so it may grow to show its text whole.
  const QFontMetrics metrics(CaptionFont());
  const int hintWidth = std::max(133, metrics.horizontalAdvance(hint) + 2);
  const int hintHeight = std::max(16, metrics.height());
  Label6 = MakeLabel(this, "Label6", hint, kBlack, kWindowColor, {32, 200, hintWidth, hintHeight});
  Label6->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void Form1::ConnectEvents() {
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Picture1, &PictureBox::MouseDown, this, &Form1::Picture1_MouseDown);
  connect(Picture1, &PictureBox::KeyDown, this, &Form1::Picture1_KeyDown);
  connect(Picture2, &PictureBox::ContextMenu, this, &Form1::Picture2_ContextMenu);
  connect(Picture3, &PictureBox::ContextMenu, this, &Form1::Picture3_ContextMenu);
  connect(Picture4, &PictureBox::ContextMenu, this, &Form1::Picture4_ContextMenu);
  Picture1->Share(viewState_, std::nullopt);
  Picture2->Share(viewState_, Channel::Red);
  Picture3->Share(viewState_, Channel::Green);
  Picture4->Share(viewState_, Channel::Blue);
}

void Form1::AddShortcuts() {
  const auto add = [this](const QKeySequence& keys, void (Form1::*handler)()) {
    auto* action = new QAction(this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
  };
  add(QKeySequence::Copy, &Form1::Form1_Copy);
  add(QKeySequence::Paste, &Form1::Form1_Paste);
  add(QKeySequence::HelpContents, &Form1::Form1_Help);
}

void Form1::SetTabOrder() {
  // The focusable controls by tab index; labels never take the focus.
  const std::array<QWidget*, 7> order = {Picture1, Command1, Picture2, Command2,
                                         Command3, Picture3, Picture4};
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

void Form1::ShowSamplePicture() {
  LoadResult sample = LoadPictureFile(QStringLiteral(":/assets/sample.gif"));
  if (!std::holds_alternative<Image>(sample)) {
    throw std::runtime_error("the built-in sample picture is missing");
  }
  ShowLoadedPicture(std::move(sample), {});
}

bool Form1::LoadIntoPicture1(const QString& path) {
  LoadResult result = [&] {
    const BusyCursor busy;
    return LoadPictureFile(path);
  }();
  if (!ShowLoadedPicture(std::move(result), path)) {
    return false;
  }
  picturePath_ = path;
  return true;
}

bool Form1::ShowLoadedPicture(LoadResult result, const QString& name) {
  if (const auto* error = std::get_if<RunTimeError>(&result)) {
    ShowLoadError(this, *error, name);
    return false;
  }
  const BusyCursor busy;
  Picture1->View().SetPicture(std::get<Image>(std::move(result)));
  // A new picture is looked at from the start: whole, unmarked.
  readCell_.reset();
  viewState_->Reset(Picture1->View().AreaWidth(), Picture1->View().AreaHeight());
  Picture1->Refresh();
  return true;
}

void Form1::Command1_Click() {
  RunHandler(this, [this] {
    const BusyCursor busy;
    // Histograms shown now are counted with the planes; otherwise when first shown.
    SeparateChannels(Picture1->View(), planes_,
                     {Picture2->View(), Picture3->View(), Picture4->View()},
                     {.countHistograms = viewState_->ShowsHistograms()});
    separatedPath_ = picturePath_;
    for (const auto& [view, channel] :
         {std::pair{Picture2, Channel::Red}, std::pair{Picture3, Channel::Green},
          std::pair{Picture4, Channel::Blue}}) {
      view->RefreshAsChannelOf(*Picture1, channel);
      view->SetHistogram(planes_.Histograms ? std::optional(planes_.Histograms->Of(channel))
                                            : std::nullopt);
    }
  });
}

void Form1::Command2_Click() { QCoreApplication::exit(0); }

void Form1::Command3_Click() {
  RunHandler(this, [this] {
    const QString path = CommonDialog1(this);
    if (!path.isEmpty()) {  // cancelling loses nothing
      LoadIntoPicture1(path);
    }
  });
}

void Form1::Picture1_MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/, float x,
                               float y) {
  RunHandler(this, [&] { ShowReadout(x, y); });
}

void Form1::ShowReadout(float x, float y) {
  const ColorValue c = ShownColor(Picture1->View(), x, y);
  const PixelReadout readout = ReadOut(c);
  Label1->setText(QString::fromStdString(readout.decimal));
  Label2->setText(QString::fromStdString(readout.hex));
  Label3->setText(QString::fromStdString(readout.red));
  Label4->setText(QString::fromStdString(readout.green));
  Label5->setText(QString::fromStdString(readout.blue));
  Label1->setToolTip(QString::fromStdString(DecimalRecipe(c)));
  Label2->setToolTip(QString::fromStdString(HexRecipe(c)));
  const Cell cell{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
  lastReadout_ = Readout{cell, c};
  const bool inArea = Picture1->View().Point(x, y) != kNoColor;
  readCell_ = inArea ? std::optional(cell) : std::nullopt;
  viewState_->SetMark(readCell_);
}

void Form1::Picture1_KeyDown(int dx, int dy) {
  RunHandler(this, [&] {
    const PictureView& view = Picture1->View();
    const Cell from = readCell_.value_or(Cell{0, 0});
    const Cell to{std::clamp(from.column + dx, 0, view.AreaWidth() - 1),
                  std::clamp(from.row + dy, 0, view.AreaHeight() - 1)};
    // The centre of the pixel, so the readout is exactly a click on it.
    ShowReadout(static_cast<float>(to.column) + 0.5F, static_cast<float>(to.row) + 0.5F);
    viewState_->ShowCell(to);
  });
}

void Form1::Form1_Copy() {
  if (!lastReadout_) {
    return;  // nothing read yet: nothing to copy
  }
  const auto& [cell, color] = *lastReadout_;
  QGuiApplication::clipboard()->setText(
      QString::fromStdString(ReadoutLine(cell.column, cell.row, color)));
}

void Form1::Form1_Paste() {
  RunHandler(this, [this] {
    const ClipboardOffer offer = PictureOffered(QGuiApplication::clipboard()->mimeData());
    if (const auto* path = std::get_if<QString>(&offer)) {
      LoadIntoPicture1(*path);
    } else if (const auto* result = std::get_if<LoadResult>(&offer)) {
      if (ShowLoadedPicture(*result, QStringLiteral("クリップボードの画像 (clipboard picture)"))) {
        picturePath_.clear();
      }
    } else {
      QMessageBox::information(this, QCoreApplication::applicationName(),
                               QStringLiteral("クリップボードに画像がありません。\n"
                                              "The clipboard holds no picture."));
    }
  });
}

void Form1::Form1_Help() {
  if (help_ == nullptr) {
    help_ = new HelpWindow(this);
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void Form1::Picture2_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Red, *Picture2, at); }
void Form1::Picture3_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Green, *Picture3, at); }
void Form1::Picture4_ContextMenu(QPoint at) { ShowChannelMenu(Channel::Blue, *Picture4, at); }

void Form1::ShowChannelMenu(Channel channel, const PictureBox& view, QPoint at) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("ChannelMenu"));
  const auto add = [&menu](const char* name, const QString& text, const QKeySequence& keys) {
    QAction* action = menu.addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);  // shown in the menu; the view itself takes the key
    return action;
  };
  QAction* grey = add("GreyAction", QStringLiteral("グレーで表示"), QKeySequence(Qt::Key_G));
  grey->setCheckable(true);
  grey->setChecked(viewState_->Look() == ChannelLook::Grey);
  QAction* histograms =
      add("HistogramAction", QStringLiteral("ヒストグラム"), QKeySequence(Qt::Key_H));
  histograms->setCheckable(true);
  histograms->setChecked(viewState_->ShowsHistograms());
  QAction* logarithmic =
      add("LogScaleAction", QStringLiteral("ヒストグラムを対数目盛で"), QKeySequence(Qt::Key_L));
  logarithmic->setCheckable(true);
  logarithmic->setChecked(viewState_->LogarithmicHistograms());
  menu.addSeparator();
  QAction* save = add("SaveChannelAction", QStringLiteral("チャンネルを保存..."), {});
  QAction* saveAll =
      add("SaveAllChannelsAction", QStringLiteral("3 チャンネルをすべて保存..."), {});
  QAction* copy = add("CopyChannelAction", QStringLiteral("画像をコピー"), {});
  // Nothing to save or copy before a separation.
  const bool separated = view.View().Plane() != nullptr;
  for (QAction* action : {save, saveAll, copy}) {
    action->setEnabled(separated);
  }
  const QAction* chosen = menu.exec(at);
  RunHandler(this, [&] {
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

const ChannelPlane& Form1::PlaneOf(Channel channel) const {
  return channel == Channel::Red     ? *planes_.RedPlane
         : channel == Channel::Green ? *planes_.GreenPlane
                                     : *planes_.BluePlane;
}

void Form1::SaveChannel(Channel channel) {
  SaveChannelWithDialog(this, PlaneOf(channel), channel, viewState_->Look(), separatedPath_);
}

void Form1::SaveAllChannels() {
  SaveAllChannelsWithDialog(this, {*planes_.RedPlane, *planes_.GreenPlane, *planes_.BluePlane},
                            viewState_->Look(), separatedPath_);
}

void Form1::CopyChannel(Channel channel) {
  if (!CopyChannelToClipboard(PlaneOf(channel), channel, viewState_->Look())) {
    ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory),
                  QStringLiteral("クリップボード (clipboard)"));
  }
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
