#include "colour/model_text.h"

#include <gtest/gtest.h>

namespace irobunkai {
namespace {

constexpr ColorValue kRed = RGB(255, 0, 0);

TEST(ComponentCaption, RoundsToEachModelsUnit) {
  EXPECT_EQ(ComponentCaption(ColourModel::RGB, 0, 255), "R 255");
  EXPECT_EQ(ComponentCaption(ColourModel::CMY, 1, 127.5), "M 128");
  EXPECT_EQ(ComponentCaption(ColourModel::HSV, 0, 210.4), "H 210\u00B0");
  EXPECT_EQ(ComponentCaption(ColourModel::HSV, 1, 44.6), "S 45%");
  EXPECT_EQ(ComponentCaption(ColourModel::HSV, 2, 100), "V 100%");
  EXPECT_EQ(ComponentCaption(ColourModel::HSL, 2, 50.196), "L 50%");
  EXPECT_EQ(ComponentCaption(ColourModel::YCbCr, 0, 76.245), "Y\u2032 76");
  EXPECT_EQ(ComponentCaption(ColourModel::YCbCr, 1, 84.97), "Cb 85");
  EXPECT_EQ(ComponentCaption(ColourModel::YCbCr, 2, 255.5), "Cr 255");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 0, 53.2408), "L* 53.24");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 1, 80.0925), "a* +80.09");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 2, -12.3), "b* -12.30");
}

TEST(ComponentCaption, EdgesOfTheRanges) {
  // A hue that rounds up to a full turn is the same hue as 0°.
  EXPECT_EQ(ComponentCaption(ColourModel::HSL, 0, 359.6), "H 0\u00B0");
  EXPECT_EQ(ComponentCaption(ColourModel::HSL, 0, 359.4), "H 359\u00B0");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 1, -0.001), "a* +0.00");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 2, 0.004), "b* +0.00");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 0, 100.000004), "L* 100.00");
  EXPECT_EQ(ComponentCaption(ColourModel::Lab, 2, -107.8602), "b* -107.86");
}

TEST(ClipboardField, PureRedInEveryModel) {
  EXPECT_EQ(ClipboardField(ColourModel::RGB, kRed), std::nullopt);
  EXPECT_EQ(ClipboardField(ColourModel::CMY, kRed), "CMY=0,255,255");
  EXPECT_EQ(ClipboardField(ColourModel::HSV, kRed), "HSV=0\u00B0,100%,100%");
  EXPECT_EQ(ClipboardField(ColourModel::HSL, kRed), "HSL=0\u00B0,100%,50%");
  EXPECT_EQ(ClipboardField(ColourModel::YCbCr, kRed), "YCbCr=76,85,255");
  EXPECT_EQ(ClipboardField(ColourModel::Lab, kRed), "Lab=53.24,80.09,67.20");
}

TEST(ClipboardField, SignsOnlyWhenNegative) {
  EXPECT_EQ(ClipboardField(ColourModel::Lab, RGB(0, 0, 255)), "Lab=32.30,79.19,-107.86");
  EXPECT_EQ(ClipboardField(ColourModel::Lab, RGB(255, 255, 255)), "Lab=100.00,0.00,0.00");
  EXPECT_EQ(ClipboardField(ColourModel::Lab, 0), "Lab=0.00,0.00,0.00");
  EXPECT_EQ(ClipboardField(ColourModel::HSV, RGB(51, 153, 204)), "HSV=200\u00B0,75%,80%");
  EXPECT_EQ(ClipboardField(ColourModel::HSL, RGB(128, 128, 128)), "HSL=0\u00B0,0%,50%");
  EXPECT_EQ(ClipboardField(ColourModel::YCbCr, RGB(0, 0, 255)), "YCbCr=29,255,107");
}

TEST(ShownCaption, NamesTheKeptComponents) {
  EXPECT_EQ(ShownCaption(ColourModel::RGB, {true, true, false}), "R G \u2212");
  EXPECT_EQ(ShownCaption(ColourModel::YCbCr, {true, false, false}), "Y\u2032 \u2212 \u2212");
  EXPECT_EQ(ShownCaption(ColourModel::YCbCr, {false, true, true}), "\u2212 Cb Cr");
  EXPECT_EQ(ShownCaption(ColourModel::Lab, {true, true, true}), "L* a* b*");
  EXPECT_EQ(ShownCaption(ColourModel::HSV, {false, false, false}), "\u2212 \u2212 \u2212");
}

}  // namespace
}  // namespace irobunkai
