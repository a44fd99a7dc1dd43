#pragma once

#include <QString>
#include <functional>

#include "io/run_time_error.h"

class QWidget;

namespace irobunkai {

/// Tells the user that `path` could not be loaded; the program goes on.
void ShowLoadError(QWidget* parent, const RunTimeError& error, const QString& path);

/// Runs a handler's body. An error that escapes it is a fault of the program: it is
/// reported with its number and description, and the program then ends.
void RunHandler(QWidget* parent, const std::function<void()>& body);

/// Runs a handler's body that builds what grows with the picture. Running short of
/// memory is reported as error 7 about `what`, and the program goes on with the
/// picture and views as they were; any other error ends it as RunHandler does.
void RunGrowing(QWidget* parent, const QString& what, const std::function<void()>& body);

}  // namespace irobunkai
