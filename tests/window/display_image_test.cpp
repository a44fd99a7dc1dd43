#include "window/display_image.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "window/picture_loader.h"

namespace irobunkai {
namespace {

QImage Noise(int width, int height, unsigned seed) {
  std::mt19937 rng(seed);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
    }
  }
  return image;
}

// The channel views of a grown area show the channel of the source's scaled image,
// which must be what scaling the channel image itself would show.
TEST(DisplayImage, TheChannelOfAScaledImageIsTheScaledChannelImage) {
  for (const QSize size : {QSize(640, 480), QSize(1001, 333), QSize(200, 900)}) {
    const QImage source = Noise(size.width(), size.height(), static_cast<unsigned>(size.width()));
    const QSize target = size.scaled(188, 179, Qt::KeepAspectRatio);
    const QImage scaled = source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (const Channel channel : {Channel::Red, Channel::Green, Channel::Blue}) {
      const QImage direct = ChannelOf(source, channel)
                                .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      EXPECT_EQ(ChannelOf(scaled, channel), direct) << size.width() << "x" << size.height();
    }
  }
}

TEST(DisplayImage, AScaledAreaKeepsItsAspectAndShowsTheBackgroundBeyondThePicture) {
  QImage picture(600, 100, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  PictureView view(188, 179, 0x0000FF);
  view.SetPicture(AdoptImage(picture));
  // The area is 600 x 179; a scale of 188 / 600 shows it as 188 x 56.
  const QImage shown = ScaledArea(view, 188.0 / 600.0, 1.0);
  EXPECT_EQ(shown.size(), QSize(188, 56));
  EXPECT_EQ(shown.pixel(100, 10), qRgb(0, 0, 255));
  EXPECT_EQ(shown.pixel(100, 50), qRgb(255, 0, 0));  // below the picture: red background
  EXPECT_EQ(ScaledArea(view, 188.0 / 600.0, 2.0).size(), QSize(376, 112));
}

TEST(DisplayImage, OneToOneRenderingIsExactlyWhatTheViewShows) {
  const QImage noise = Noise(150, 100, 7);
  PictureView view(188, 179, 0x00FF00);
  view.SetPicture(AdoptImage(noise));
  view.PSet(3, 4, 0x123456);
  const QImage shown = RenderArea(view);
  ASSERT_EQ(shown.size(), QSize(188, 179));
  EXPECT_EQ(shown.pixel(10, 20), noise.pixel(10, 20));
  EXPECT_EQ(shown.pixel(3, 4), qRgb(0x56, 0x34, 0x12));
  EXPECT_EQ(shown.pixel(160, 20), qRgb(0, 255, 0));
}

TEST(DisplayImage, AdoptingADecodedPhotoDoesNotCopyItsPixels) {
  QImage photo(1000, 800, QImage::Format_RGB32);
  photo.fill(qRgb(1, 2, 3));
  const uchar* bits = photo.constBits();
  const Image image = AdoptImage(std::move(photo));
  EXPECT_EQ(reinterpret_cast<const uchar*>(image.Data()), bits);
  EXPECT_FALSE(image.HasAlpha());
  EXPECT_EQ(ColorOf(image.At(999, 799)), RGB(1, 2, 3));
}

}  // namespace
}  // namespace irobunkai
