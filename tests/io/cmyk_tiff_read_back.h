#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <vector>

namespace irobunkai::test {

/// What libtiff itself reads from a CMYK TIFF; fields that are missing stay 0.
struct CmykTiff {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t photometric = 0;
  std::uint16_t inkset = 0;
  std::uint16_t samples = 0;
  std::uint16_t bits = 0;
  std::uint16_t planar = 0;
  std::uint16_t compression = 0;
  std::vector<std::uint8_t> pixels;  ///< Every row as libtiff decodes it.
  std::vector<std::uint8_t> icc;
};

/// Reads `path` through libtiff; a file it cannot open or decode fails the test.
CmykTiff ReadCmykTiff(const QString& path);

/// The ink level expected of ink `ink` (0 C .. 3 K) at `x`, `y`.
using ExpectedInk = std::function<int(int x, int y, int ink)>;

/// Counts the inks of `file`, 8-bit and interleaved, that differ from `expected`, reporting
/// the first few; -1 when the file is not `width` x `height` with four inks.
int WrongInks(const CmykTiff& file, int width, int height, const ExpectedInk& expected);

/// A fresh folder to save into and read back from.
class SaveFolder : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  [[nodiscard]] QString Path(const QString& name) const { return dir.filePath(name); }
  /// The names of every file in the folder, hidden ones too.
  [[nodiscard]] QStringList Files() const;
  /// Writes `bytes` as the file `name`; returns its path.
  QString Put(const QString& name, const QByteArray& bytes) const;
  /// The bytes of the file at `path`; empty when it cannot be read.
  [[nodiscard]] static QByteArray Contents(const QString& path);

  QTemporaryDir dir;
};

}  // namespace irobunkai::test
