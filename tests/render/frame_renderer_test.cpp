#include "render/frame_renderer.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "analysis/channel_separation.h"
#include "colour/component_grey.h"
#include "colour/model_formulas.h"
#include "document/zoom_levels.h"
#include "io/picture_loader.h"
#include "views/view_state.h"

namespace irobunkai {
namespace {

constexpr QSize kPlace(188, 179);

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

// A source view on red showing a picture of one colour.
PictureView SolidSource(int width, int height, QRgb colour) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(colour);
  PictureView view(kPlace.width(), kPlace.height(), 0x0000FF);
  view.SetPicture(AdoptImage(picture));
  return view;
}

// What a place shows of `view` in its default view, painted on white.
QImage DefaultView(const PictureView& view, const MipPyramid* levels) {
  const double scale =
      FitScale(kPlace.width(), kPlace.height(), view.AreaWidth(), view.AreaHeight());
  QImage place(kPlace, QImage::Format_RGB32);
  place.fill(Qt::white);
  QPainter painter(&place);
  PaintFrame(painter, RenderFrame(view, {scale, 0.0, 0.0}, kPlace, 1.0, FrameSources{levels}));
  return place;
}

// The channel views of a grown area show their planes' levels: drawn, they must be
// exactly the channel of what the source view shows, or the four views disagree.
TEST(FrameRenderer, AScaledChannelViewIsTheChannelOfTheScaledSource) {
  for (const QSize size : {QSize(640, 480), QSize(1001, 333), QSize(200, 900)}) {
    PictureView source(kPlace.width(), kPlace.height(), 0x0000FF);
    source.SetPicture(AdoptImage(Noise(size.width(), size.height(), 7)));
    const std::optional<MipPyramid> levels = SourceLevels(source);
    ASSERT_TRUE(levels.has_value());
    const QImage shown = DefaultView(source, &*levels);
    const Separation planes = SeparateChannels(source);
    for (const Channel channel : kChannels) {
      PictureView view(kPlace.width(), kPlace.height(), 0);
      view.DrawPlane(planes.planes[channel], channel);
      const MipPyramid channelLevels = MipPyramid::ChannelOf(*levels, channel);
      const QImage shownChannel = DefaultView(view, &channelLevels);
      const int shift = 8 * (2 - ComponentIndex(channel));
      int mismatches = 0;
      for (int y = 0; y < kPlace.height(); ++y) {
        for (int x = 0; x < kPlace.width(); ++x) {
          const QRgb s = shown.pixel(x, y);
          const QRgb c = shownChannel.pixel(x, y);
          const bool inArea = s != qRgb(255, 255, 255) || c != qRgb(255, 255, 255);
          mismatches += inArea && (c & 0xFFFFFFu) != (s & (0xFFu << shift)) ? 1 : 0;
        }
      }
      EXPECT_EQ(mismatches, 0) << size.width() << "x" << size.height();
    }
  }
}

TEST(FrameRenderer, AScaledAreaKeepsItsAspectAndShowsTheBackgroundBeyondThePicture) {
  const PictureView view = SolidSource(600, 100, qRgb(0, 0, 255));
  // The area is 600 x 179; a scale of 188 / 600 shows it as 188 x 56.
  const std::optional<MipPyramid> levels = SourceLevels(view);
  for (const MipPyramid* from :
       {levels ? &*levels : nullptr, static_cast<const MipPyramid*>(nullptr)}) {
    const QImage shown = DefaultView(view, from);
    EXPECT_EQ(shown.pixel(100, 10), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(100, 50), qRgb(255, 0, 0));      // below the picture: red background
    EXPECT_EQ(shown.pixel(100, 60), qRgb(255, 255, 255));  // beyond the area: not drawn
  }
}

TEST(FrameRenderer, OneToOneRenderingIsExactlyWhatTheViewShows) {
  const QImage noise = Noise(150, 100, 7);
  PictureView view(188, 179, 0x00FF00);
  view.SetPicture(AdoptImage(noise));
  view.PSet(3, 4, 0x123456);
  const QImage shown = DefaultView(view, nullptr);
  EXPECT_EQ(shown.pixel(10, 20), noise.pixel(10, 20));
  EXPECT_EQ(shown.pixel(3, 4), qRgb(0x56, 0x34, 0x12));
  EXPECT_EQ(shown.pixel(160, 20), qRgb(0, 255, 0));
}

TEST(FrameRenderer, AThinPictureIsDrawnFromLevelsOfItsOwnPixels) {
  // 20000 x 2 in a 20000 x 179 area: the levels cover the two rows, the fill the rest.
  const PictureView view = SolidSource(20000, 2, qRgb(0, 200, 0));
  const std::optional<MipPyramid> levels = SourceLevels(view);
  ASSERT_TRUE(levels.has_value());
  EXPECT_LT(levels->Bytes(), 20000U * 2U * sizeof(RgbaPixel));  // less than the picture
  const double scale = FitScale(188, 179, view.AreaWidth(), view.AreaHeight());
  const Frame frame = RenderFrame(view, {scale, 0.0, 0.0}, kPlace, 1.0, FrameSources{&*levels});
  EXPECT_LE(frame.image.width(), 2 * kPlace.width());
  ASSERT_TRUE(frame.fill.has_value());
  EXPECT_EQ(frame.fill->color, 0x0000FF);
  EXPECT_EQ(DefaultView(view, &*levels).pixel(50, 5), qRgb(255, 255, 255));  // beyond the area
}

// Zoomed far out a model's views show, in each level pixel, the components of the
// source's mean colour there: S in that colour's own hue, and greys in the grey look.
TEST(FrameRenderer, AModelsLevelsShowTheComponentsOfTheMeanColourInTheirLook) {
  PictureView source(kPlace.width(), kPlace.height(), 0x0000FF);
  source.SetPicture(AdoptImage(Noise(1600, 900, 11)));
  const std::optional<MipPyramid> sourceLevels = SourceLevels(source);
  const ChannelLevels hsv = ChannelLevelsFrom(&*sourceLevels, source, ColourModel::HSV);
  ASSERT_TRUE(hsv[Channel::Red] && hsv[Channel::Green] && hsv[Channel::Blue]);
  const ViewMapping far{0.1, 0.0, 0.0};
  const std::optional<MipPyramid> colourLevels = SourceLevels(source);
  const Frame colour = RenderFrame(source, far, kPlace, 1.0, FrameSources{&*colourLevels});
  const Separation planes = SeparateChannels(source, {.model = ColourModel::HSV});
  const auto looks = std::make_shared<const ComponentLooks>(ColourModel::HSV);
  PictureView saturation(kPlace.width(), kPlace.height(), 0);
  saturation.DrawPlane(planes.planes[Channel::Green], PlaneLook(looks, 1),
                       planes.planes[Channel::Red]);
  PictureView value(kPlace.width(), kPlace.height(), 0);
  value.DrawPlane(planes.planes[Channel::Blue], PlaneLook(looks, 2));
  const Frame tinted =
      RenderFrame(saturation, far, kPlace, 1.0,
                  {&*hsv[Channel::Green], &*hsv[Channel::Red], ChannelLook::Tinted});
  const Frame grey =
      RenderFrame(value, far, kPlace, 1.0, {&*hsv[Channel::Blue], nullptr, ChannelLook::Grey});
  ASSERT_EQ(tinted.image.size(), colour.image.size());
  ASSERT_EQ(grey.image.size(), colour.image.size());
  int farOff = 0;
  for (int y = 0; y < colour.image.height(); ++y) {
    for (int x = 0; x < colour.image.width(); ++x) {
      const QRgb c = colour.image.pixel(x, y);
      const Components exact = ToModel(ColourModel::HSV, RGB(qRed(c), qGreen(c), qBlue(c)));
      const ColorValue expected = looks->Look(1, GreyLevel(ColourModel::HSV, 1, exact[1]),
                                              GreyLevel(ColourModel::HSV, 0, exact[0]));
      const QRgb t = tinted.image.pixel(x, y);
      farOff += std::abs(qRed(t) - RedOf(expected)) > 8 ||
                std::abs(qGreen(t) - GreenOf(expected)) > 8 ||
                std::abs(qBlue(t) - BlueOf(expected)) > 8;
      const QRgb g = grey.image.pixel(x, y);
      const int v = GreyLevel(ColourModel::HSV, 2, exact[2]);
      EXPECT_TRUE(qRed(g) == qGreen(g) && qGreen(g) == qBlue(g) && std::abs(qRed(g) - v) <= 1);
    }
  }
  EXPECT_EQ(farOff, 0);
}

TEST(FrameRenderer, AdoptingADecodedPhotoDoesNotCopyItsPixels) {
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
