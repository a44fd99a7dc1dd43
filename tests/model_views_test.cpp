// A colour model's components as the document, the views and their levels show them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "colour/component_grey.h"
#include "colour/model_formulas.h"
#include "document/document.h"

namespace irobunkai {
namespace {

constexpr ColorValue kRed = 0x0000FF;

Document MakeDocument() { return {188, 179, kRed, {{kRed, 0x00FF00, 0xFF0000}}}; }

// A picture of many different colours: every hue, saturation and lightness shows up.
Image Colours(int width, int height) {
  std::vector<RgbaPixel> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.push_back(
          MakeRgba(RGB((x * 37 + y * 11) % 256, (x * 13 + y * 29) % 256, (x * 5 + y * 53) % 256)));
    }
  }
  return Image::FromPixels(width, height, std::move(pixels));
}

int Level(ColourModel model, int component, ColorValue c) {
  return GreyLevel(model, component, ToModel(model, c)[static_cast<std::size_t>(component)]);
}

TEST(ModelViews, EachChannelViewShowsItsComponentInTheComponentsTintedLook) {
  for (const ColourModel model : kColourModels) {
    Document document = MakeDocument();
    document.ShowPicture(Colours(40, 30), {});
    document.Separate({.model = model});
    ASSERT_EQ(document.Separated().model, model);
    const ComponentLooks looks(model);
    for (const Channel channel : kChannels) {
      const int component = ComponentIndex(channel);
      const PictureView& view = document.ChannelView(channel);
      EXPECT_EQ(view.Look().Model(), model);
      for (const auto& [x, y] : {std::pair{0, 0}, {17, 9}, {39, 29}}) {
        const ColorValue source = document.Source().Point(x + 0.5F, y + 0.5F);
        const int level = view.Plane()->At(x, y);
        EXPECT_LE(std::abs(level - Level(model, component, source)), 1)
            << MenuText(model) << ' ' << component;
        const auto hue = static_cast<std::uint8_t>(document.Separated().RedPlane().At(x, y));
        // Point reads what the view shows: the S of HSV is tinted by its pixel's hue.
        EXPECT_EQ(view.Point(x + 0.5F, y + 0.5F),
                  looks.Look(component, static_cast<std::uint8_t>(level), hue));
      }
    }
  }
}

TEST(ModelViews, AGreyLookShowsLevelsWhilePointStillReadsTheTint) {
  Document document = MakeDocument();
  document.ShowPicture(Colours(40, 30), {});
  document.Separate({.model = ColourModel::YCbCr});
  const PictureView& cb = document.ChannelView(Channel::Green);
  std::vector<ColorValue> grey(static_cast<std::size_t>(cb.AreaWidth()));
  std::vector<ColorValue> tinted(grey.size());
  cb.ReadRow(3, 0, grey, ChannelLook::Grey);
  cb.ReadRow(3, 0, tinted);
  for (std::size_t x = 0; x < grey.size(); ++x) {
    const int level = cb.Plane()->At(static_cast<int>(x), 3);
    EXPECT_EQ(grey[x], RGB(level, level, level)) << x;
    EXPECT_EQ(tinted[x], cb.Point(static_cast<float>(x), 3.0F)) << x;
  }
  // Beyond the picture the fill of the neutral background (red: Cb 85) shows alike.
  EXPECT_EQ(cb.AreaFill(ChannelLook::Grey), RGB(85, 85, 85));
  EXPECT_EQ(cb.AreaFill(), cb.Point(100, 100));
}

TEST(ModelViews, SplittingAgainFollowsTheSeparatedPictureNotTheOneShownSince) {
  Document document = MakeDocument();
  document.ShowPicture(Colours(40, 30), {PictureOrigin::File, "/first.png"});
  const int first = document.PictureNumber();
  const ColorValue pixel = document.Source().Point(7.5F, 4.5F);
  document.Separate();
  document.ShowPicture(Colours(3, 3), {PictureOrigin::Clipboard, {}});
  const Readout readout = document.ReadOut(1.5F, 1.5F);
  std::vector<Document::Change> heard;
  document.Subscribe([&heard](Document::Change change) { heard.push_back(change); });

  document.SeparateAgain({.model = ColourModel::Lab});
  EXPECT_EQ(heard, std::vector{Document::Change::Separation});
  EXPECT_EQ(document.SeparatedPicture(), first);
  EXPECT_EQ(document.SeparatedOrigin().path, "/first.png");
  EXPECT_EQ(document.ChannelView(Channel::Red).AreaWidth(), 188);
  EXPECT_LE(std::abs(document.Separated().RedPlane().At(7, 4) - Level(ColourModel::Lab, 0, pixel)),
            1);
  // The source and its readout are the picture's own, whatever the channel views show.
  EXPECT_EQ(document.LastReadout()->color, readout.color);
  EXPECT_EQ(document.Source().Picture().Width(), 3);
}

}  // namespace
}  // namespace irobunkai
