#include "bench/bench_photo.h"

#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace irobunkai::bench {
namespace {

constexpr int kJpegQuality = 92;

// Smooth waves along one axis, one table per channel, so the per-pixel work is a few adds.
std::vector<int> Waves(int length, double periods, double phase, int amplitude) {
  std::vector<int> table(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) {
    const double t = 2 * std::numbers::pi * periods * i / length + phase;
    table[static_cast<std::size_t>(i)] =
        static_cast<int>(amplitude * (std::sin(t) + 0.4 * std::sin(3.7 * t + 1.3)));
  }
  return table;
}

// xorshift32: cheap noise that compresses like sensor noise does, i.e. badly.
std::uint32_t Next(std::uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

int Clamp(int v) { return std::clamp(v, 0, 255); }

}  // namespace

QImage Photo(int width, int height) {
  QImage photo(width, height, QImage::Format_RGB32);
  if (photo.isNull()) {
    return photo;
  }
  const auto redX = Waves(width, 2.5, 0.0, 45);
  const auto greenX = Waves(width, 4.0, 1.0, 35);
  const auto blueX = Waves(width, 1.5, 2.0, 50);
  const auto redY = Waves(height, 3.0, 0.5, 40);
  const auto greenY = Waves(height, 1.5, 2.5, 45);
  const auto blueY = Waves(height, 5.0, 1.5, 30);
  std::uint32_t noise = 2463534242u;
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
    const auto row = static_cast<std::size_t>(y);
    // A light falling off from the top left, as over a landscape.
    const int light = 40 - 80 * y / height;
    for (int x = 0; x < width; ++x) {
      const auto col = static_cast<std::size_t>(x);
      const std::uint32_t n = Next(noise);
      const int nr = static_cast<int>(n & 15u) - 8;
      const int ng = static_cast<int>((n >> 8) & 15u) - 8;
      const int nb = static_cast<int>((n >> 16) & 15u) - 8;
      const int shade = light - 30 * x / width;
      line[x] = qRgb(Clamp(128 + redX[col] + redY[row] + shade + nr),
                     Clamp(120 + greenX[col] + greenY[row] + shade + ng),
                     Clamp(110 + blueX[col] + blueY[row] + shade + nb));
    }
  }
  return photo;
}

bool WritePhoto(const QString& path, const char* format, int width, int height,
                const QByteArray& iccProfile) {
  QImage photo = Photo(width, height);
  if (!iccProfile.isEmpty()) {
    photo.setColorSpace(QColorSpace::fromIccProfile(iccProfile));
  }
  return !photo.isNull() &&
         photo.save(path, format,
                    QStringLiteral("JPEG") == QLatin1String(format) ? kJpegQuality : -1);
}

std::vector<test::DngPreview> CameraPreviews(const QImage& photo) {
  constexpr int kThumbnailWidth = 256;
  constexpr int kPreviewWidth = 1620;
  const QImage thumbnail = photo.scaledToWidth(kThumbnailWidth, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_RGB888);
  test::DngPreview bitmap{thumbnail.width(), thumbnail.height(), {}, false};
  for (int y = 0; y < thumbnail.height(); ++y) {
    const uchar* line = thumbnail.constScanLine(y);
    bitmap.bytes.insert(bitmap.bytes.end(), line, line + 3 * thumbnail.width());
  }
  const QImage preview = photo.scaledToWidth(kPreviewWidth, Qt::SmoothTransformation);
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  if (!preview.save(&buffer, "JPEG", kJpegQuality)) {
    return {bitmap};
  }
  return {bitmap, {preview.width(), preview.height(), {jpeg.begin(), jpeg.end()}, true}};
}

bool InChild(const std::function<bool()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

}  // namespace irobunkai::bench
