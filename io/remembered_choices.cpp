#include "io/remembered_choices.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <array>
#include <optional>

namespace irobunkai {
namespace {

const QString kModel = QStringLiteral("channels/model");
const QString kGrey = QStringLiteral("channels/grey");
const QString kHistograms = QStringLiteral("channels/histograms");
const QString kLogarithmic = QStringLiteral("channels/logarithmicHistograms");
const QString kFolder = QStringLiteral("files/lastFolder");
const QString kPressProfile = QStringLiteral("press/profile");
const QString kPerceptual = QStringLiteral("press/perceptual");
const QString kInkLimit = QStringLiteral("press/inkLimit");

std::optional<ColourModel> ModelNamed(const QString& name) {
  // CMYK is never taken up at start: it grows the window, which starts as it is laid out.
  for (const ColourModel model : kColourModels) {
    const std::string_view text = MenuText(model);
    if (name == QLatin1String(text.data(), static_cast<qsizetype>(text.size()))) {
      return model;
    }
  }
  return std::nullopt;
}

// A kept flag, when it is one: "true" or "false" as QSettings writes them.
std::optional<bool> Flag(const QSettings& settings, const QString& key) {
  const QString text = settings.value(key).toString();
  if (text == QLatin1String("true")) {
    return true;
  }
  if (text == QLatin1String("false")) {
    return false;
  }
  return std::nullopt;
}

}  // namespace

RememberedChoices::RememberedChoices(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

RememberedChoices::~RememberedChoices() = default;

std::unique_ptr<RememberedChoices> RememberedChoices::InUsualPlace() {
  return std::make_unique<RememberedChoices>(
      std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                  QStringLiteral("irobunkai"), QStringLiteral("irobunkai")));
}

void RememberedChoices::Forget() {
  settings_->clear();
  settings_->sync();
}

void RememberedChoices::RestoreInto(ViewState& state) const {
  if (settings_->status() != QSettings::NoError) {
    return;  // unreadable: nothing of it is trusted
  }
  if (const auto model = ModelNamed(settings_->value(kModel).toString())) {
    state.SetModel(*model);
  }
  if (const auto grey = Flag(*settings_, kGrey)) {
    state.SetLook(*grey ? ChannelLook::Grey : ChannelLook::Tinted);
  }
  if (const auto histograms = Flag(*settings_, kHistograms)) {
    state.ShowHistograms(*histograms);
  }
  if (const auto logarithmic = Flag(*settings_, kLogarithmic)) {
    state.SetLogarithmicHistograms(*logarithmic);
  }
  bool number = false;
  const int limit = settings_->value(kInkLimit).toInt(&number);
  if (number && std::ranges::find(kInkLimits, limit) != kInkLimits.end()) {
    state.SetInkLimit(limit);
  }
}

void RememberedChoices::KeepFrom(const ViewState& state) {
  const std::string_view model = MenuText(state.Model());
  settings_->setValue(kModel,
                      QString::fromLatin1(model.data(), static_cast<qsizetype>(model.size())));
  settings_->setValue(kGrey, state.Look() == ChannelLook::Grey);
  settings_->setValue(kHistograms, state.ShowsHistograms());
  settings_->setValue(kLogarithmic, state.LogarithmicHistograms());
  settings_->setValue(kInkLimit, state.InkLimit());
}

QString RememberedChoices::KeptPressPath() const {
  return settings_->status() == QSettings::NoError ? settings_->value(kPressProfile).toString()
                                                   : QString();
}

PressIntent RememberedChoices::KeptIntent() const {
  return Flag(*settings_, kPerceptual).value_or(false) ? PressIntent::Perceptual
                                                       : PressIntent::RelativeColorimetric;
}

void RememberedChoices::KeepPress(const QString& path, PressIntent intent) {
  settings_->setValue(kPressProfile, path);
  settings_->setValue(kPerceptual, intent == PressIntent::Perceptual);
}

QString RememberedChoices::Folder() const {
  const QString folder = settings_->value(kFolder).toString();
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberedChoices::KeepFolderOf(const QString& path) {
  settings_->setValue(kFolder, QFileInfo(path).absolutePath());
}

}  // namespace irobunkai
