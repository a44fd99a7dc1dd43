// A picture split into a press's four plates: through the press, or a CMYK picture's own inks
// as stored; the plates' histograms, the total ink over a limit, and the document that keeps the
// press.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "analysis/channel_separation.h"
#include "analysis/total_ink.h"
#include "colour/model_text.h"
#include "document/document.h"

namespace irobunkai {
namespace {

constexpr const char* kSwop = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

std::shared_ptr<const PressProfile> Swop() {
  std::ifstream file(kSwop, std::ios::binary);
  const std::vector<std::uint8_t> icc(std::istreambuf_iterator<char>(file), {});
  return PressProfile::Of(icc);
}

// Every 8th level of each channel, one pixel each, in a 64 x 8 picture.
Image Ramps() {
  std::vector<RgbaPixel> pixels;
  for (int i = 0; i < 512; ++i) {
    pixels.push_back(MakeRgba(RGB((i * 8) % 256, (i / 32) * 16, 255 - (i % 256))));
  }
  return Image::FromPixels(64, 8, std::move(pixels));
}

// A CMYK picture whose inks differ from anything its colours would make: rendered all
// grey, stored with ink levels that count up.
Image WithOwnInks(int width, int height) {
  auto inks = std::make_shared<InkSamples>();
  inks->width = width;
  inks->height = height;
  for (int i = 0; i < width * height * 4; ++i) {
    inks->cmyk.push_back(static_cast<std::uint8_t>(i * 7 % 256));
  }
  const Image grey =
      Image::FromPixels(width, height,
                        std::vector<RgbaPixel>(static_cast<std::size_t>(width * height),
                                               MakeRgba(RGB(128, 128, 128))));
  return grey.WithInks(std::move(inks));
}

TEST(InkPlates, FourPlatesHoldThePressInksOfEveryPixelAndCountTheirHistograms) {
  const auto profile = Swop();
  ASSERT_NE(profile, nullptr);
  const auto press = PressSeparation::Make(nullptr, *profile, PressIntent::RelativeColorimetric);
  ASSERT_NE(press, nullptr);
  PictureView source(30, 5, RGB(255, 255, 255));
  source.SetPicture(Ramps());
  const Separation plates = SeparateChannels(
      source, {.countHistograms = true, .model = ColourModel::CMYK, .press = press.get()});
  ASSERT_TRUE(plates.Has(Channel::Black));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 64; ++x) {
      const InkLevels expected = press->Levels(source.Point(static_cast<float>(x), y));
      for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(plates.planes[kPlates[i]]->At(x, y), expected[i]) << x << "," << y;
      }
    }
  }
  // Counted with the planes, as afterwards; the black plate too.
  EXPECT_EQ(*plates.histograms, CountPlanes(plates));
  std::uint64_t counted = 0;
  for (const std::uint64_t n : (*plates.histograms)[Channel::Black].counts) {
    counted += n;
  }
  EXPECT_EQ(counted, 64u * 8u);

  // Split again in a three-component model the black plate goes.
  Separation again = plates;
  SeparateChannels(source, again, {.model = ColourModel::HSV});
  EXPECT_FALSE(again.Has(Channel::Black));
}

// Gradients crossing dark, light, grey and saturated colours with noise on top, as in a photo.
Image PhotoLike(int width, int height) {
  std::mt19937 rng(7);
  std::vector<RgbaPixel> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto level = [&](double fraction) {
        return std::clamp(static_cast<int>(fraction * 255) + static_cast<int>(rng() % 33) - 16, 0,
                          255);
      };
      const double across = static_cast<double>(x) / width;
      const double down = static_cast<double>(y) / height;
      pixels.push_back(MakeRgba(RGB(level(across), level(down), level(1 - (across + down) / 2))));
    }
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

TEST(InkPlates, APhotosPlatesAgreeWithLittleCmsOwnFloatingPointTransform) {
  const auto profile = Swop();
  PictureView source(188, 179, RGB(255, 255, 255));
  source.SetPicture(PhotoLike(240, 160));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  for (const bool relative : {true, false}) {
    const auto press = PressSeparation::Make(
        nullptr, *profile, relative ? PressIntent::RelativeColorimetric : PressIntent::Perceptual);
    const Separation plates =
        SeparateChannels(source, {.model = ColourModel::CMYK, .press = press.get()});
    cmsHTRANSFORM reference =
        cmsCreateTransform(srgb, TYPE_RGB_DBL, profile->Handle(), TYPE_CMYK_DBL,
                           relative ? INTENT_RELATIVE_COLORIMETRIC : INTENT_PERCEPTUAL,
                           (relative ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0) | cmsFLAGS_NOCACHE);
    int off = 0;
    int worst = 0;
    for (int y = 0; y < 160; ++y) {
      for (int x = 0; x < 240; ++x) {
        const ColorValue c = source.Point(static_cast<float>(x), static_cast<float>(y));
        const std::array<double, 3> rgb = {RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0};
        std::array<double, 4> ink{};
        cmsDoTransform(reference, rgb.data(), ink.data(), 1);
        int missed = 0;
        for (std::size_t i = 0; i < 4; ++i) {
          const long expected = std::lround(std::clamp(ink[i], 0.0, 100.0) * 2.55);
          missed = std::max(
              missed, static_cast<int>(std::abs(plates.planes[kPlates[i]]->At(x, y) - expected)));
        }
        off += missed > 1 ? 1 : 0;  // a colour is off when any of its inks is
        worst = std::max(worst, missed);
      }
    }
    cmsDeleteTransform(reference);
    EXPECT_LE(off, 240 * 160 / 1000) << (relative ? "relative" : "perceptual");
    EXPECT_LE(worst, 2) << (relative ? "relative" : "perceptual");
  }
  cmsCloseProfile(srgb);
}

TEST(InkPlates, ALargePicturesTableOfEveryColourGivesTheSameInks) {
  for (const PressIntent intent : {PressIntent::RelativeColorimetric, PressIntent::Perceptual}) {
    const auto press = PressSeparation::Make(nullptr, *Swop(), intent);
    std::vector<ColorValue> colours;
    for (int i = 0; i < 40'000; ++i) {
      colours.push_back(static_cast<ColorValue>((i * 2'654'435'761u) & 0xFFFFFFu));
    }
    colours.push_back(RGB(255, 255, 255));
    colours.push_back(RGB(0, 0, 0));
    const auto split = [&] {
      std::array<std::vector<std::uint8_t>, 4> inks;
      for (auto& plate : inks) {
        plate.resize(colours.size());
      }
      press->SplitRow(colours, inks[0].data(), inks[1].data(), inks[2].data(), inks[3].data());
      return inks;
    };
    const auto oneByOne = split();
    press->PrepareForLargePictures();
    EXPECT_EQ(split(), oneByOne);
  }
}

TEST(InkPlates, ACmykPictureIsSplitIntoItsOwnInksUnlessSomethingIsDrawnOverIt) {
  const auto profile = Swop();
  const auto press = PressSeparation::Make(nullptr, *profile, PressIntent::RelativeColorimetric);
  PictureView source(188, 179, RGB(255, 255, 255));
  source.SetPicture(WithOwnInks(9, 4));
  const Separation plates =
      SeparateChannels(source, {.model = ColourModel::CMYK, .press = press.get()});
  const InkSamples& inks = *source.Picture().Inks();
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 9; ++x) {
      for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(plates.planes[kPlates[i]]->At(x, y), inks.Row(y)[x * 4 + i]);
      }
      EXPECT_EQ(InksAt(source, {x, y}, source.Point(x, y), *press),
                (InkLevels{inks.Row(y)[x * 4], inks.Row(y)[x * 4 + 1], inks.Row(y)[x * 4 + 2],
                           inks.Row(y)[x * 4 + 3]}));
    }
  }
  // Another model reads the rendered colours, as before.
  const Separation cmy = SeparateChannels(source, {.model = ColourModel::CMY});
  EXPECT_EQ(cmy.RedPlane().At(3, 2), 127);

  // A pixel drawn over the picture is no longer what the inks describe.
  source.PSet(1, 1, RGB(0, 0, 0));
  const Separation drawn =
      SeparateChannels(source, {.model = ColourModel::CMYK, .press = press.get()});
  EXPECT_EQ(drawn.planes[Channel::Black]->At(1, 1), press->Levels(RGB(0, 0, 0))[3]);
}

TEST(InkPlates, TotalInkIsJudgedFromTheExactLevelsAndCountedOverThePicturesOwnPixels) {
  // 300 % is 765 levels; 766 is over by a fraction the rounded percentages would hide.
  EXPECT_FALSE(OverInkLimit({255, 255, 255, 0}, 300));
  EXPECT_TRUE(OverInkLimit({255, 255, 255, 1}, 300));
  EXPECT_EQ(TotalInkPercent({255, 255, 255, 1}), 300);
  EXPECT_EQ(InkField({38, 255, 255, 15}), "CMYK=15%,100%,100%,6% TAC=221%");

  const auto press = PressSeparation::Make(nullptr, *Swop(), PressIntent::RelativeColorimetric);
  PictureView source(188, 179, RGB(0, 0, 0));  // a black background: never counted
  source.SetPicture(WithOwnInks(9, 4));
  std::int64_t expected = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 9; ++x) {
      const std::uint8_t* p = source.Picture().Inks()->Row(y) + x * 4;
      expected += OverInkLimit({p[0], p[1], p[2], p[3]}, 240) ? 1 : 0;
    }
  }
  ASSERT_GT(expected, 0);
  ASSERT_LT(expected, 36);
  EXPECT_EQ(CountOverInkLimit(source, *press, 240), expected);
}

TEST(InkPlates, TheDocumentSplitsThroughItsPressAndReadsTheInksOfTheReadPixel) {
  Document document(188, 179, RGB(255, 0, 0), {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}});
  document.ShowPicture(Ramps(), {});
  document.Separate({.model = ColourModel::CMYK});  // no press yet: the formula, no black
  EXPECT_EQ(document.Separated().planes[Channel::Black]->At(5, 5), 0);
  EXPECT_FALSE(document.InksAtReadout());

  document.SetPress(Swop(), PressIntent::RelativeColorimetric);
  document.Separate({.model = ColourModel::CMYK});
  ASSERT_NE(document.SeparatedPress(), nullptr);
  document.ReadOut(40.5F, 3.5F);
  const InkLevels read = *document.InksAtReadout();
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(document.ChannelView(kPlates[i]).Plane()->At(40, 3), read[i]);
  }
  // The black plate's view shows the plate; outside CMYK it is blank again.
  EXPECT_TRUE(document.ChannelView(Channel::Black).HasDrawing());
  document.SeparateAgain({.model = ColourModel::RGB});
  EXPECT_FALSE(document.ChannelView(Channel::Black).HasDrawing());
  EXPECT_EQ(document.SeparatedPress(), nullptr);
}

TEST(InkPlates, APressTableSampledOnTheWorkerIsKeptOnlyWhileItsPressIsChosen) {
  Document document(188, 179, RGB(255, 0, 0), {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}});
  document.ShowPicture(Ramps(), {});
  document.SetPress(Swop(), PressIntent::RelativeColorimetric);
  const SeparationWork work = document.SeparationOfSource({.model = ColourModel::CMYK});
  EXPECT_EQ(work.press.made, nullptr);  // nothing sampled on the GUI thread
  document.ShowSeparation(work.Make());
  ASSERT_NE(document.SeparatedPress(), nullptr);
  EXPECT_EQ(document.Press().For(document.Colours()).get(), document.SeparatedPress());

  // A press chosen while the plates were made: they are shown, but not taken for its own.
  const SeparationWork late = document.SeparationOfSource({.model = ColourModel::CMYK});
  document.SetPress(Swop(), PressIntent::Perceptual);
  document.ShowSeparation(late.Make());
  EXPECT_NE(document.Press().For(document.Colours()).get(), document.SeparatedPress());
}

}  // namespace
}  // namespace irobunkai
