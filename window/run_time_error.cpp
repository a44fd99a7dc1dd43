#include "window/run_time_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <new>

namespace irobunkai {

RunTimeError MakeRunTimeError(int number) {
  switch (number) {
    case error_number::kOutOfMemory:
      return {number,
              QStringLiteral("メモリが不足しています。画像が大きすぎます (1 億画素まで)。")};
    case error_number::kFileNotFound:
      return {number, QStringLiteral("ファイルが見つかりません。")};
    case error_number::kFileAccess:
      return {number, QStringLiteral("パスまたはファイルにアクセスできません。")};
    case error_number::kInvalidPicture:
      return {number, QStringLiteral("ピクチャが不正です。画像ファイルではないか、壊れています。")};
    default:
      return {error_number::kInternal, QStringLiteral("内部エラーです。")};
  }
}

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
