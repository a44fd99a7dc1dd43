#include "io/run_time_error.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

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
    case error_number::kCancelled:
      return {number, QStringLiteral("読み込みを取り消しました。")};
    case error_number::kInvalidPicture:
      return {number, QStringLiteral("ピクチャが不正です。画像ファイルではないか、壊れています。")};
    default:
      return {error_number::kInternal, QStringLiteral("内部エラーです。")};
  }
}

RunTimeError ErrorOf(FormatError error) {
  switch (error) {
    case FormatError::TooLarge:
      return MakeRunTimeError(error_number::kOutOfMemory);
    case FormatError::Cancelled:
      return MakeRunTimeError(error_number::kCancelled);
    case FormatError::Invalid:
      break;
  }
  return MakeRunTimeError(error_number::kInvalidPicture);
}

std::optional<RunTimeError> CheckReadable(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    return MakeRunTimeError(error_number::kFileNotFound);
  }
  QFile file(path);
  if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
    return MakeRunTimeError(error_number::kFileAccess);
  }
  return std::nullopt;
}

}  // namespace irobunkai
