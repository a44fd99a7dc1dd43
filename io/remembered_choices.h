#pragma once

#include <QString>
#include <memory>

#include "colour/press_profile.h"
#include "views/view_state.h"

class QSettings;

namespace irobunkai {

/// The user's choices kept between runs: the colour model, how the channel views look
/// (grey, histograms, their scale), the press (its profile, intent and ink limit) and the
/// folder a picture was last opened from. What
/// the store holds is only ever a suggestion: a file that can't be read, or a value
/// that means nothing, is passed over and the default stays.
class RememberedChoices {
 public:
  /// Keeps the choices in `settings`.
  explicit RememberedChoices(std::unique_ptr<QSettings> settings);
  ~RememberedChoices();
  RememberedChoices(const RememberedChoices&) = delete;
  RememberedChoices& operator=(const RememberedChoices&) = delete;

  /// The usual place: ~/.config/irobunkai/irobunkai.conf on Linux.
  static std::unique_ptr<RememberedChoices> InUsualPlace();

  /// Forgets everything kept.
  void Forget();

  /// Applies the kept model and looks to `state`; leaves what isn't kept, or is
  /// nonsense, as it is.
  void RestoreInto(ViewState& state) const;
  /// Keeps the model and looks of `state`.
  void KeepFrom(const ViewState& state);

  /// The press profile's path and rendering intent; an empty path when none is kept.
  [[nodiscard]] QString KeptPressPath() const;
  [[nodiscard]] PressIntent KeptIntent() const;
  void KeepPress(const QString& path, PressIntent intent);

  /// The folder a picture was last opened from; empty when none is kept.
  [[nodiscard]] QString Folder() const;
  void KeepFolderOf(const QString& path);

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace irobunkai
