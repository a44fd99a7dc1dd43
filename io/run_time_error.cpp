#include "io/run_time_error.h"

#include <QCoreApplication>

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

}  // namespace irobunkai
