#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace irobunkai {

/// An error as the user sees it: a number and its description.
struct RunTimeError {
  int number = 0;
  QString description;
};

namespace error_number {
inline constexpr int kOutOfMemory = 7;
inline constexpr int kInternal = 51;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAccess = 75;
inline constexpr int kInvalidPicture = 481;
}  // namespace error_number

/// The error with `number` and its standard Japanese description.
RunTimeError MakeRunTimeError(int number);

/// Tells the user that `path` could not be loaded; the program goes on.
void ShowLoadError(QWidget* parent, const RunTimeError& error, const QString& path);

/// Runs a handler's body. An error that escapes it is a fault of the program: it is
/// reported with its number and description, and the program then ends.
void RunHandler(QWidget* parent, const std::function<void()>& body);

}  // namespace irobunkai
