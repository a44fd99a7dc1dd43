#include "window/error_reports.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <new>

namespace irobunkai {

void ShowLoadError(QWidget* parent, const RunTimeError& error, const QString& path) {
  QMessageBox::warning(parent, QCoreApplication::applicationName(),
                       QStringLiteral("エラー %1: %2\n\n%3")
                           .arg(error.number)
                           .arg(error.description, QDir::toNativeSeparators(path)));
}

namespace {

void ReportAndEnd(QWidget* parent, const RunTimeError& error, const char* detail) {
  QMessageBox::critical(parent, QCoreApplication::applicationName(),
                        QStringLiteral("実行時エラー '%1':\n\n%2\n%3")
                            .arg(error.number)
                            .arg(error.description, QString::fromLocal8Bit(detail)));
  QCoreApplication::exit(error.number);
}

}  // namespace

void RunGrowing(QWidget* parent, const QString& what, const std::function<void()>& body) {
  RunHandler(parent, [&] {
    try {
      body();
    } catch (const std::bad_alloc&) {
      ShowLoadError(parent, MakeRunTimeError(error_number::kOutOfMemory), what);
    }
  });
}

void RunHandler(QWidget* parent, const std::function<void()>& body) {
  try {
    body();
  } catch (const std::bad_alloc& e) {
    ReportAndEnd(parent, MakeRunTimeError(error_number::kOutOfMemory), e.what());
  } catch (const std::exception& e) {
    ReportAndEnd(parent, MakeRunTimeError(error_number::kInternal), e.what());
  }
}

}  // namespace irobunkai
