#pragma once

#include <QString>
#include <optional>

#include "io/formats/format_result.h"

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
/// Not a run-time error: work the user no longer wants stopped early. Never reported.
inline constexpr int kCancelled = -1;
}  // namespace error_number

/// The error with `number` and its standard Japanese description.
RunTimeError MakeRunTimeError(int number);

/// The error a decoder's failure is reported as.
RunTimeError ErrorOf(FormatError error);

/// Why the file at `path` can't be read (53 missing, 75 a folder or refused), if it can't.
std::optional<RunTimeError> CheckReadable(const QString& path);

}  // namespace irobunkai
