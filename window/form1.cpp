#include "window/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <array>

#include "analysis/pixel_readout.h"
#include "colour/model_text.h"
#include "render/qt_colour.h"
#include "window/busy_cursor.h"
#include "window/caption_font.h"
#include "window/display_profile.h"
#include "window/error_reports.h"
#include "window/form1_controls.h"
#include "window/help_window.h"
#include "window/picture_box.h"
#include "window/work_progress_bar.h"

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

}  // namespace

Form1::Form1(PictureChooser chooser, std::shared_ptr<RememberedChoices> choices, QWidget* parent)
    : QWidget(parent),
      CommonDialog1(std::move(chooser)),
      document_(std::make_shared<Document>(kViewWidth, kViewHeight, kRed,
                                           PerChannel<ColorValue>{{kRed, kGreen, kBlue, kBlack}})),
      choices_(std::move(choices)),
      work_(new BackgroundWork(
          [this](const BackgroundWork::Finish& finish) { RunHandler(this, finish); }, this)) {
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
  AddCommands();
  ShowSamplePicture();
  setAcceptDrops(true);
  Picture1->setFocus();
}

Form1::~Form1() {
  document_->Views().Unsubscribe(stateSubscription_);
  document_->Unsubscribe(documentSubscription_);
}

void Form1::CreateControls() {
  // The display's profile is read once: X programs are told of a new one by a restart.
  const ViewParts parts{document_, std::make_shared<const DisplayColours>(
                                       ColourProfile::OfDisplay(ReadDisplayIcc()))};
  Picture1 = MakeView(this, "Picture1", parts, std::nullopt, {8, 8});
  Picture2 = MakeView(this, "Picture2", parts, Channel::Red, {8, 280});
  Picture3 = MakeView(this, "Picture3", parts, Channel::Green, {208, 280});
  Picture4 = MakeView(this, "Picture4", parts, Channel::Blue, {408, 280});
  Picture5 = MakeView(this, "Picture5", parts, Channel::Black, {608, 280});
  Picture5->hide();  // only while CMYK's plates are chosen
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
  new WorkProgressBar(*work_, Label6, this);
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
  connect(Picture5, &PictureBox::ContextMenu, this, &Form1::Picture5_ContextMenu);
  if (choices_) {
    choices_->RestoreInto(document_->Views());
  }
  RestorePress();
}

void Form1::AddCommands() {
  commands_ = std::make_unique<CommandActions>(
      CommandTable(), KeyTargets{this, Picture1, {Picture2, Picture3, Picture4, Picture5}});
  // The actions show the state they stand for, however it was changed.
  stateSubscription_ = document_->Views().Subscribe([this] {
    LayOutForModel();
    CountShownHistograms();
    commands_->Refresh();
    if (choices_) {
      choices_->KeepFrom(document_->Views());
    }
  });
  documentSubscription_ = document_->Subscribe([this](Document::Change change) {
    // The value boxes show the document's readout, whoever asked for it.
    if (change == Document::Change::Readout) {
      FillValueBoxes();
    }
    if (change == Document::Change::Picture) {
      NameProfile();
    }
    commands_->Refresh();
  });
  connect(work_, &BackgroundWork::Started, this, [this] { commands_->Refresh(); });
  connect(work_, &BackgroundWork::Ended, this, [this] { commands_->Refresh(); });
}

void Form1::NameProfile() {
  // Only a picture that isn't sRGB names its colours: the window is as it was otherwise.
  const auto& profile = document_->Colours().profile;
  Picture1->setToolTip(profile ? QStringLiteral("プロファイル (profile): %1")
                                     .arg(QString::fromStdString(profile->Name()))
                               : QString());
}

void Form1::LayOutForModel() {
  const bool plates = document_->Views().Model() == ColourModel::CMYK;
  if (plates == Picture5->isVisible()) {
    return;
  }
  // The black plate's view stands right of Picture4, as far again as Picture4 from Picture3.
  const int grown = Picture5->x() - Picture4->x();
  Picture5->setVisible(plates);
  resize(width() + (plates ? grown : -grown), height());
}

void Form1::SetTabOrder() {
  // The focusable controls by tab index; labels never take the focus.
  const std::array<QWidget*, 8> order = {Picture1, Command1, Picture2, Command2,
                                         Command3, Picture3, Picture4, Picture5};
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

void Form1::Command2_Click() { QCoreApplication::exit(0); }

void Form1::Form1_Cancel() {
  // Whatever runs in the background is dropped; the views show what they showed before.
  work_->CancelAll();
  document_->DropFirstSight();
}

void Form1::CountShownHistograms() {
  if (document_->Views().ShowsHistograms()) {
    document_->CountHistograms();  // once per separation; counting allocates nothing
  }
}

void Form1::Picture1_MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/, float x,
                               float y) {
  RunHandler(this, [&] {
    if (document_->ShownFirstSight()) {
      document_->DeferReadout(x, y);  // read on the exact picture, never on its first sight
      return;
    }
    ShowReadout(x, y);
  });
}

void Form1::ShowReadout(float x, float y) { document_->ReadOut(x, y); }

void Form1::FillValueBoxes() {
  const ColorValue c = document_->LastReadout()->color;
  const PixelReadout readout = ReadOut(c);
  Label1->setText(QString::fromStdString(readout.decimal));
  Label2->setText(QString::fromStdString(readout.hex));
  Label3->setText(QString::fromStdString(readout.red));
  Label4->setText(QString::fromStdString(readout.green));
  Label5->setText(QString::fromStdString(readout.blue));
  Label1->setToolTip(QString::fromStdString(DecimalRecipe(c)));
  Label2->setToolTip(QString::fromStdString(HexRecipe(c)));
}

void Form1::Picture1_KeyDown(int dx, int dy) {
  RunHandler(this, [&] {
    if (document_->ShownFirstSight()) {
      return;  // no pixel to move to until the exact picture is shown
    }
    const PictureView& view = document_->Source();
    const Cell from = document_->MarkOn(document_->PictureNumber()).value_or(Cell{0, 0});
    const Cell to{std::clamp(from.column + dx, 0, view.AreaWidth() - 1),
                  std::clamp(from.row + dy, 0, view.AreaHeight() - 1)};
    // The centre of the pixel, so the readout is exactly a click on it.
    ShowReadout(static_cast<float>(to.column) + 0.5F, static_cast<float>(to.row) + 0.5F);
    document_->Views().ShowCell(to);
  });
}

void Form1::Form1_Copy() {
  const auto& readout = document_->LastReadout();
  if (!readout) {
    return;  // nothing read yet: nothing to copy
  }
  std::string line = ReadoutLine(readout->cell.column, readout->cell.row, readout->color);
  // Read on the picture shown: its profile measures its L*a*b* and is named.
  const PictureColours& colours = document_->Colours();
  if (const auto field =
          ClipboardField(document_->Views().Model(), readout->color, colours.Lab())) {
    line += ' ' + *field;
  }
  if (document_->Views().Model() == ColourModel::CMYK) {
    if (const auto inks = document_->InksAtReadout()) {
      line += ' ' + InkField(*inks);
    }
  }
  if (colours.profile) {
    line += " profile=" + colours.profile->Name();
  }
  QGuiApplication::clipboard()->setText(QString::fromStdString(line));
}

void Form1::Form1_Help() {
  if (help_ == nullptr) {
    help_ = new HelpWindow(this, commands_->HelpLines());
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

}  // namespace irobunkai
