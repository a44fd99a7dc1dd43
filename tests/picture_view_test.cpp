#include "views/picture_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace irobunkai {
namespace {

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kPink = 0xFFC0FF;

Image SolidImage(int width, int height, ColorValue color, std::uint32_t alpha = 255) {
  return Image::FromPixels(
      width, height,
      std::vector<RgbaPixel>(static_cast<std::size_t>(width * height), MakeRgba(color, alpha)));
}

TEST(PictureView, EmptyViewShowsItsBackgroundInsideAndNoColourOutside) {
  const PictureView view(188, 179, kRed);
  EXPECT_EQ(view.ScaleWidth(), 188.0F);
  EXPECT_EQ(view.ScaleHeight(), 179.0F);
  EXPECT_EQ(view.Point(0, 0), kRed);
  EXPECT_EQ(view.Point(187.9F, 178.9F), kRed);
  EXPECT_EQ(view.Point(-0.5F, 0), kNoColor);
  EXPECT_EQ(view.Point(0, -0.01F), kNoColor);
  EXPECT_EQ(view.Point(188, 0), kNoColor);
  EXPECT_EQ(view.Point(0, 179), kNoColor);
  EXPECT_EQ(view.Point(std::numeric_limits<float>::quiet_NaN(), 0), kNoColor);
  EXPECT_EQ(view.Point(1e30F, 1e30F), kNoColor);
  EXPECT_EQ(view.Point(-std::numeric_limits<float>::infinity(), 0), kNoColor);
}

TEST(PictureView, DrawnPixelsCoverThePictureWhichCoversTheBackground) {
  PictureView view(4, 3, kRed);
  view.SetPicture(SolidImage(2, 2, kPink));
  EXPECT_EQ(view.Point(1.5F, 1.5F), kPink);
  EXPECT_EQ(view.Point(2, 1), kRed);  // beyond the picture
  EXPECT_EQ(view.Point(1, 2), kRed);
  view.PSet(1.7F, 0.2F, 0x123456);
  view.PSet(3, 2, 0x00FF00);
  EXPECT_EQ(view.Point(1, 0), 0x123456);
  EXPECT_EQ(view.Point(3.99F, 2.5F), 0x00FF00);
  EXPECT_EQ(view.Point(0, 0), kPink);
  view.Cls();
  EXPECT_EQ(view.Point(1, 0), kPink);
  EXPECT_EQ(view.Point(3, 2), kRed);
  EXPECT_FALSE(view.HasDrawing());
}

TEST(PictureView, PSetOutsideTheAreaIsIgnoredAndOnlyLow24BitsArePainted) {
  PictureView view(2, 2, kRed);
  view.PSet(-1, 0, 0);
  view.PSet(2, 0, 0);
  view.PSet(std::numeric_limits<float>::quiet_NaN(), 0, 0);
  EXPECT_FALSE(view.HasDrawing());
  view.PSet(0, 0, kNoColor);
  EXPECT_EQ(view.Point(0, 0), kWhite);
}

TEST(PictureView, AreaGrowsPerDimensionToALargerPictureAndReturns) {
  PictureView view(188, 179, kRed);
  view.SetPicture(SolidImage(600, 100, kPink));
  EXPECT_EQ(view.ScaleWidth(), 600.0F);
  EXPECT_EQ(view.ScaleHeight(), 179.0F);
  EXPECT_EQ(view.Point(599, 99), kPink);
  EXPECT_EQ(view.Point(599, 100), kRed);
  EXPECT_EQ(view.Point(600, 0), kNoColor);
  view.SetPicture(SolidImage(10, 400, kPink));
  EXPECT_EQ(view.ScaleWidth(), 188.0F);
  EXPECT_EQ(view.ScaleHeight(), 400.0F);
  view.SetPicture(Image{});
  EXPECT_EQ(view.ScaleWidth(), 188.0F);
  EXPECT_EQ(view.ScaleHeight(), 179.0F);
  EXPECT_EQ(view.Point(5, 5), kRed);
}

TEST(PictureView, TransparencyShowsTheBackgroundThrough) {
  PictureView view(3, 1, kRed);
  view.SetPicture(Image::FromPixels(
      3, 1, {MakeRgba(kPink, 0), MakeRgba(0xFFFFFF, 128), MakeRgba(0x000000, 255)}));
  EXPECT_EQ(view.Point(0, 0), kRed);
  // Half-transparent white over red: red stays full, green and blue land halfway.
  EXPECT_EQ(view.Point(1, 0), RGB(255, 128, 128));
  EXPECT_EQ(view.Point(2, 0), 0);
  view.SetBackColor(0x00FF00);
  EXPECT_EQ(view.Point(0, 0), 0x00FF00);
}

TEST(PictureView, DrawnPlaneShowsPureChannelColoursAndGrowsTheArea) {
  auto plane = std::make_shared<ChannelPlane>();
  plane->Resize(200, 2);
  for (int x = 0; x < 200; ++x) {
    plane->Row(0)[x] = static_cast<std::uint8_t>(x);
    plane->Row(1)[x] = 255;
  }
  PictureView view(188, 179, 0x00FF00);
  view.PSet(5, 0, kPink);
  view.PSet(5, 100, kPink);
  view.DrawPlane(plane, Channel::Green);
  EXPECT_EQ(view.ScaleWidth(), 200.0F);
  EXPECT_EQ(view.Point(199, 0), RGB(0, 199, 0));
  EXPECT_EQ(view.Point(5, 0), RGB(0, 5, 0));  // the plane covers the earlier PSet
  EXPECT_EQ(view.Point(5, 100), kPink);       // outside the plane the PSet stays
  view.PSet(7, 1, kPink);                     // a later PSet covers the plane
  EXPECT_EQ(view.Point(7, 1), kPink);
  view.Cls();
  EXPECT_EQ(view.ScaleWidth(), 188.0F);
  EXPECT_EQ(view.Point(199, 0), kNoColor);
}

TEST(PictureView, ReadRowAgreesWithPointEverywhere) {
  PictureView view(6, 5, kRed);
  view.SetPicture(
      Image::FromPixels(4, 3,
                        {MakeRgba(1), MakeRgba(2, 0), MakeRgba(3, 77), MakeRgba(4), MakeRgba(5),
                         MakeRgba(6), MakeRgba(7), MakeRgba(8), MakeRgba(0xABCDEF, 200),
                         MakeRgba(10), MakeRgba(11), MakeRgba(12)}));
  view.PSet(2, 1, kPink);
  view.PSet(5, 4, kPink);
  std::vector<ColorValue> row(6);
  for (int y = 0; y < 5; ++y) {
    view.ReadRow(y, row);
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(row[static_cast<std::size_t>(x)],
                view.Point(static_cast<float>(x), static_cast<float>(y)))
          << x << "," << y;
    }
  }
  std::vector<ColorValue> wrongSize(5);
  EXPECT_THROW(view.ReadRow(0, wrongSize), std::out_of_range);
}

TEST(PictureView, PartsOfRowsAgreeWithPointAcrossEveryLayer) {
  PictureView view(9, 4, kRed);
  view.SetPicture(SolidImage(5, 3, kPink, 128));
  auto plane = std::make_shared<ChannelPlane>();
  plane->Resize(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      plane->Row(y)[x] = static_cast<std::uint8_t>(10 * x + y);
    }
  }
  view.DrawPlane(plane, Channel::Green);
  view.PSet(4, 1, 0x123456);
  for (int y = 0; y < 4; ++y) {
    for (int left = 0; left < 9; ++left) {
      for (int width = 0; left + width <= 9; ++width) {
        std::vector<ColorValue> part(static_cast<std::size_t>(width));
        view.ReadRow(y, left, part);
        for (int i = 0; i < width; ++i) {
          ASSERT_EQ(part[static_cast<std::size_t>(i)],
                    view.Point(static_cast<float>(left + i), static_cast<float>(y)))
              << "row " << y << " from " << left << " width " << width << " at " << i;
        }
      }
    }
  }
  std::vector<ColorValue> tooLong(3);
  EXPECT_THROW(view.ReadRow(0, 7, tooLong), std::out_of_range);
  EXPECT_THROW(view.ReadRow(4, 0, tooLong), std::out_of_range);
}

TEST(ChannelPlane, KeepsItsStorageWhenTheNewSizeFits) {
  ChannelPlane plane;
  plane.Resize(100, 100);
  const std::uint8_t* storage = plane.Row(0);
  plane.Resize(50, 100);
  EXPECT_EQ(plane.Row(0), storage);
  EXPECT_EQ(plane.Width(), 50);
  EXPECT_EQ(plane.Row(1), storage + 50);
  plane.Resize(101, 100);
  EXPECT_EQ(plane.Width(), 101);
  EXPECT_EQ(plane.Height(), 100);
}

}  // namespace
}  // namespace irobunkai
