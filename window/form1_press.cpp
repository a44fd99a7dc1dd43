// The press CMYK plates are made for: its output profile and rendering intent, the total ink
// its paper carries, and the picture as it will print.
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <array>

#include "io/formats/cmyk_rows.h"
#include "window/error_reports.h"
#include "window/form1.h"

namespace irobunkai {

QString ChooseProfileWithDialog(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, QStringLiteral("出力プロファイル"),
                                      QFileInfo(QString::fromLatin1(kPressProfilePath)).path(),
                                      QStringLiteral("ICC プロファイル (*.icc *.icm)"));
}

std::vector<Command> Form1::PressControls() {
  std::vector<Command> table = {
      {.name = QStringLiteral("PressProfileAction"),
       .text = Fixed("出力プロファイル..."),
       .menu = MenuPlace::Press,
       .run = [this] { RunHandler(this, [this] { ChoosePressProfile(); }); },
       .help =
           Help("出力プロファイル... (色空間)", "CMYK の版を作る印刷機の ICC プロファイルを選ぶ",
                "出力プロファイル...: the press's ICC profile the CMYK plates are made for")},
      {.name = QStringLiteral("InkWarningAction"),
       .text = Fixed("総インキ量の警告"),
       .keys = {QKeySequence(Qt::Key_T)},
       .scope = KeyScope::SourceView,
       .menu = MenuPlace::Press,
       .checked = [this] { return document_->Views().ShowsInkWarning(); },
       .run = [this] { Picture1_ToggleInkWarning(); },
       .help = Help("T (画像)", "総インキ量 (TAC) が上限を超える画素に印を付け、その数を示す",
                    "T on the picture: mark the pixels whose total ink exceeds the limit, and "
                    "count them")},
      {.name = QStringLiteral("ProofAction"),
       .keys = {QKeySequence(Qt::Key_P)},
       .scope = KeyScope::SourceView,
       .run = [this] { Picture1_ToggleProof(); },
       .help = Help("P (画像)", "印刷したときの見え方で表示 (色の校正)",
                    "P on the picture: show it as the press will print it (proof colours)")},
  };
  const std::array<std::pair<PressIntent, const char*>, 2> intents = {
      std::pair{PressIntent::RelativeColorimetric, "相対的な色域を維持"},
      std::pair{PressIntent::Perceptual, "知覚的"}};
  for (const auto& entry : intents) {
    const PressIntent intent = entry.first;
    table.push_back(
        {.name = QStringLiteral("IntentAction%1").arg(static_cast<int>(intent)),
         .text = Fixed(entry.second),
         .menu = MenuPlace::Intents,
         .checked = [this, intent] { return document_->Press().Intent() == intent; },
         .run = [this, intent] { RunHandler(this, [&] { ChoosePressIntent(intent); }); }});
  }
  for (const int limit : kInkLimits) {
    table.push_back({.name = QStringLiteral("InkLimitAction%1").arg(limit),
                     .text = [limit] { return QStringLiteral("%1%").arg(limit); },
                     .menu = MenuPlace::InkLimits,
                     .checked = [this, limit] { return document_->Views().InkLimit() == limit; },
                     .run = [this, limit] { document_->Views().SetInkLimit(limit); }});
  }
  return table;
}

void Form1::Picture1_ToggleInkWarning() {
  RunHandler(this, [this] {
    if (!document_->Press().Profile()) {
      WarnNoPress();
      return;
    }
    document_->Views().ShowInkWarning(!document_->Views().ShowsInkWarning());
  });
}

void Form1::Picture1_ToggleProof() {
  RunHandler(this, [this] {
    if (!document_->Press().Profile()) {
      WarnNoPress();
      return;
    }
    document_->Views().ShowProof(!document_->Views().ShowsProof());
  });
}

void Form1::WarnNoPress() {
  QMessageBox::warning(
      this, QStringLiteral("出力プロファイル"),
      QStringLiteral("出力プロファイルがありません。色空間のメニューの「出力プロファイル...」"
                     "で選んでください。\n(No press profile: choose one with "
                     "出力プロファイル... in the 色空間 menu.)"));
}

bool Form1::UsePressProfile(const QString& path, PressIntent intent, bool tell) {
  const std::vector<std::uint8_t> bytes = FileBytes(path.toLocal8Bit().constData());
  std::string why;
  auto profile = bytes.empty() ? nullptr : PressProfile::Of(bytes, &why);
  if (!profile) {
    if (tell) {
      QMessageBox::warning(
          this, QStringLiteral("出力プロファイル"),
          QStringLiteral("%1\n%2").arg(path, bytes.empty()
                                                 ? QStringLiteral("読み込めません (can't be read)")
                                                 : QString::fromStdString(why)));
    }
    return false;  // the press stays as it was
  }
  document_->SetPress(std::move(profile), intent);
  pressPath_ = path;
  if (choices_) {
    choices_->KeepPress(path, intent);
  }
  return true;
}

void Form1::RestorePress() {
  const PressIntent intent = choices_ ? choices_->KeptIntent() : PressIntent::RelativeColorimetric;
  const QString kept = choices_ ? choices_->KeptPressPath() : QString();
  // A kept profile that has gone since gives way to the one Debian ships, quietly.
  if (kept.isEmpty() || !UsePressProfile(kept, intent, false)) {
    UsePressProfile(QString::fromLatin1(kPressProfilePath), intent, false);
  }
}

void Form1::ChoosePressProfile() {
  const QString path = ProfileChooser(this);
  if (!path.isEmpty() && UsePressProfile(path, document_->Press().Intent(), true)) {
    SplitPlatesAgain();
  }
}

void Form1::ChoosePressIntent(PressIntent intent) {
  if (!document_->Press().Profile()) {
    WarnNoPress();
    return;
  }
  if (intent != document_->Press().Intent()) {
    document_->SetPress(document_->Press().Profile(), intent);
    if (choices_) {
      choices_->KeepPress(pressPath_, intent);
    }
    SplitPlatesAgain();
  }
}

}  // namespace irobunkai
