#include "cmyk_tiff_read_back.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <QDir>
#include <QFile>
#include <memory>

namespace irobunkai::test {

CmykTiff ReadCmykTiff(const QString& path) {
  CmykTiff file;
  const std::unique_ptr<TIFF, decltype(&TIFFClose)> tiff(
      TIFFOpen(QFile::encodeName(path).constData(), "r"), &TIFFClose);
  if (!tiff) {
    ADD_FAILURE() << "libtiff cannot open " << path.toStdString();
    return file;
  }
  TIFF* const t = tiff.get();
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &file.width);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &file.height);
  TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &file.photometric);
  TIFFGetField(t, TIFFTAG_INKSET, &file.inkset);
  TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &file.samples);
  TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &file.bits);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &file.planar);
  TIFFGetField(t, TIFFTAG_COMPRESSION, &file.compression);
  std::uint32_t iccSize = 0;
  const std::uint8_t* icc = nullptr;
  if (TIFFGetField(t, TIFFTAG_ICCPROFILE, &iccSize, &icc) == 1) {
    file.icc.assign(icc, icc + iccSize);
  }
  const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize64(t));
  file.pixels.resize(rowBytes * file.height);
  for (std::uint32_t y = 0; y < file.height; ++y) {
    EXPECT_EQ(TIFFReadScanline(t, file.pixels.data() + y * rowBytes, y, 0), 1) << "row " << y;
  }
  return file;
}

int WrongInks(const CmykTiff& file, int width, int height, const ExpectedInk& expected) {
  constexpr int kInks = 4;
  if (file.width != static_cast<std::uint32_t>(width) ||
      file.height != static_cast<std::uint32_t>(height) ||
      file.pixels.size() != static_cast<std::size_t>(width) * height * kInks) {
    ADD_FAILURE() << "size " << file.width << " x " << file.height << ", " << file.pixels.size()
                  << " bytes";
    return -1;
  }
  int wrong = 0;
  std::size_t at = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int ink = 0; ink < kInks; ++ink) {
        const int got = file.pixels[at++];
        if (got != expected(x, y, ink) && ++wrong <= 3) {
          ADD_FAILURE() << "ink " << ink << " at " << x << "," << y << ": " << got;
        }
      }
    }
  }
  return wrong;
}

QStringList SaveFolder::Files() const {
  return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
}

QString SaveFolder::Put(const QString& name, const QByteArray& bytes) const {
  QFile file(Path(name));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
  return file.fileName();
}

QByteArray SaveFolder::Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace irobunkai::test
