#include "document/document.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "document/zoom_levels.h"
#include "failing_allocator.h"

namespace irobunkai {
namespace {

constexpr ColorValue kRed = 0x0000FF;
constexpr ColorValue kGreen = 0x00FF00;
constexpr ColorValue kBlue = 0xFF0000;

Document MakeDocument() { return {188, 179, kRed, {{kRed, kGreen, kBlue}}}; }

// The window makes these levels on its worker.
void ShowMosaic(Document& document, Image mosaic) {
  std::optional<MipPyramid> levels = SourceLevels(document.SourceWith(mosaic));
  document.ShowMosaic(std::move(mosaic), std::move(levels));
}

void ShowDeveloped(Document& document) {
  document.ShowDeveloped(SourceLevels(document.SourceWith(*document.Developed())));
}

Image Solid(int width, int height, ColorValue c) {
  return Image::FromPixels(
      width, height,
      std::vector<RgbaPixel>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                             MakeRgba(c)));
}

TEST(Document, ObserversHearWhatChanged) {
  Document document = MakeDocument();
  std::vector<Document::Change> heard;
  const int key =
      document.Subscribe([&heard](Document::Change change) { heard.push_back(change); });
  document.ShowPicture(Solid(4, 4, 0x010203), {PictureOrigin::File, "/a.png"});
  document.Separate();
  document.CountHistograms();
  document.CountHistograms();  // counted once per separation
  document.ReadOut(1, 1);
  document.Unsubscribe(key);
  document.ReadOut(2, 2);
  EXPECT_EQ(heard, (std::vector{Document::Change::Picture, Document::Change::Separation,
                                Document::Change::Histograms, Document::Change::Readout}));
}

TEST(Document, ChannelViewsKeepTheSeparatedPictureWhenANewOneIsShown) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(300, 200, RGB(10, 20, 30)), {PictureOrigin::File, "/first.png"});
  const int first = document.PictureNumber();
  document.Separate();
  document.ShowPicture(Solid(5, 5, RGB(1, 1, 1)), {PictureOrigin::Clipboard, {}});
  EXPECT_NE(document.PictureNumber(), first);
  EXPECT_EQ(document.SeparatedPicture(), first);
  EXPECT_EQ(document.SeparatedOrigin().path, "/first.png");
  EXPECT_EQ(document.Origin().origin, PictureOrigin::Clipboard);
  EXPECT_EQ(document.ChannelView(Channel::Green).Point(250, 150), RGB(0, 20, 0));
  EXPECT_EQ(document.ChannelView(Channel::Green).ScaleWidth(), 300.0F);
  EXPECT_EQ(document.PictureShownBy(Channel::Blue), first);
  EXPECT_EQ(document.PictureShownBy(std::nullopt), document.PictureNumber());
}

TEST(Document, TheMarkStaysWithThePictureItWasReadOn) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(500, 500, 0), {});
  const int first = document.PictureNumber();
  document.ReadOut(3.5F, 4.2F);
  EXPECT_EQ(document.MarkOn(first), (Cell{3, 4}));
  document.ShowPicture(Solid(500, 500, 0), {});  // channel views of the first still show it
  EXPECT_EQ(document.MarkOn(first), (Cell{3, 4}));
  EXPECT_FALSE(document.MarkOn(document.PictureNumber()).has_value());
  document.ReadOut(1, 1);
  EXPECT_FALSE(document.MarkOn(first).has_value());
  EXPECT_EQ(document.MarkOn(document.PictureNumber()), (Cell{1, 1}));
  // Beyond the area the background is read, but no pixel is marked.
  const Readout& outside = document.ReadOut(600, 10);
  EXPECT_EQ(outside.color, kRed);
  EXPECT_FALSE(outside.inArea);
  EXPECT_FALSE(document.MarkOn(document.PictureNumber()).has_value());
  EXPECT_EQ(document.LastReadout()->cell, (Cell{600, 10}));
}

TEST(Document, HistogramsAreTiedToTheSeparationTheyCount) {
  Document document = MakeDocument();
  EXPECT_EQ(document.Histogram(Channel::Red), nullptr);
  document.ShowPicture(Solid(6, 5, RGB(7, 8, 9)), {});
  document.Separate({.countHistograms = true});
  ASSERT_NE(document.Histogram(Channel::Blue), nullptr);
  EXPECT_EQ(document.Histogram(Channel::Blue)->counts[9], 30U);
  document.Separate();  // an uncounted separation forgets the old counts
  EXPECT_EQ(document.Histogram(Channel::Blue), nullptr);
  document.CountHistograms();
  ASSERT_NE(document.Histogram(Channel::Green), nullptr);
  EXPECT_EQ(document.Histogram(Channel::Green)->counts[8], 30U);
}

TEST(Document, AThinPictureCostsItsOwnPixelsNotItsArea) {
  // 2,000,000 x 2 pixels in a 2,000,000 x 179 area: the strip below is background.
  Document document = MakeDocument();
  document.ShowPicture(Solid(2'000'000, 2, RGB(0, 100, 200)), {});
  document.Separate();
  const ChannelPlane& red = document.Separated().RedPlane();
  EXPECT_EQ(red.Height(), 179);
  EXPECT_EQ(static_cast<long>(red.StoredWidth()) * red.StoredHeight(), 4'000'000L);
  const PictureView& blue = document.ChannelView(Channel::Blue);
  EXPECT_EQ(blue.Point(1'999'999, 1), RGB(0, 0, 200));
  EXPECT_EQ(blue.Point(1'999'999, 178), 0);  // the red background has no blue
  EXPECT_EQ(document.ChannelView(Channel::Red).Point(1'000'000, 100), kRed);
}

TEST(Document, ASeparationThatRunsOutOfMemoryChangesNothing) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(200, 190, RGB(1, 2, 3)), {});
  document.Separate();
  const auto shown = document.Separated().planes;
  document.ShowPicture(Solid(2000, 1500, RGB(4, 5, 6)), {});
  {
    const test::AllocationLimit limit(1'000'000);
    EXPECT_THROW(document.Separate(), std::bad_alloc);
  }
  EXPECT_EQ(document.Separated().planes, shown);
  EXPECT_EQ(document.ChannelView(Channel::Green).Point(100, 100), RGB(0, 2, 0));
  EXPECT_EQ(document.ChannelView(Channel::Green).ScaleWidth(), 200.0F);
  document.Separate();  // with memory to spare it goes through
  EXPECT_EQ(document.ChannelView(Channel::Green).Point(1999, 1499), RGB(0, 5, 0));
}

}  // namespace
}  // namespace irobunkai

namespace irobunkai {
namespace {

TEST(Document, AMosaicIsAPictureOfItsOwnThatReturnsToTheDevelopedOne) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(8, 6, RGB(90, 90, 90)), {PictureOrigin::File, "/raw.dng"});
  const int developed = document.PictureNumber();
  document.ReadOut(1, 1);
  ShowMosaic(document, Solid(8, 6, RGB(0, 120, 0)));
  EXPECT_NE(document.PictureNumber(), developed);
  EXPECT_EQ(document.Origin().path, "/raw.dng");
  ASSERT_NE(document.Developed(), nullptr);
  EXPECT_FALSE(document.MarkOn(document.PictureNumber()).has_value());
  EXPECT_EQ(document.ReadOut(2, 2).color, RGB(0, 120, 0));
  document.Separate();
  EXPECT_EQ(document.ChannelView(Channel::Red).Point(2, 2), 0);  // a green photosite
  ShowDeveloped(document);
  EXPECT_EQ(document.Developed(), nullptr);
  EXPECT_EQ(document.Source().Point(2, 2), RGB(90, 90, 90));
  // A new picture leaves nothing to return to.
  ShowMosaic(document, Solid(8, 6, 0));
  document.ShowPicture(Solid(3, 3, 0), {});
  EXPECT_EQ(document.Developed(), nullptr);
}

// The zoom levels belong to what they were made from: they follow every picture and
// separation the document shows, with nothing outside it to keep them in step.
TEST(Document, ZoomLevelsFollowWhatTheyWereMadeFrom) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(800, 600, 0x204060), {});
  ASSERT_NE(document.LevelsFor(std::nullopt), nullptr);
  EXPECT_EQ(document.LevelsFor(Channel::Red), nullptr) << "nothing separated yet";
  document.Separate({.model = ColourModel::HSV});
  const MipPyramid* hue = document.LevelsFor(Channel::Red);
  ASSERT_NE(hue, nullptr);
  EXPECT_EQ(document.HueLevels(), hue);
  // A picture that fits needs no levels; the separation of the large one keeps its own.
  document.ShowPicture(Solid(40, 30, 0x102030), {});
  EXPECT_EQ(document.LevelsFor(std::nullopt), nullptr);
  EXPECT_EQ(document.LevelsFor(Channel::Red), hue);
  // Split again in another model, the separated picture's levels are used, not the source's.
  document.SeparateAgain({.model = ColourModel::RGB});
  ASSERT_NE(document.LevelsFor(Channel::Green), nullptr);
  EXPECT_EQ(document.HueLevels(), nullptr);
  EXPECT_EQ(document.Separated().planes[Channel::Red]->Width(), 800);
}

TEST(Document, ASeparationMadeElsewhereIsShownAsOfThePictureItWasTakenFrom) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(600, 400, 0x00FF00), {PictureOrigin::File, "/green.png"});
  const int green = document.PictureNumber();
  const SeparationWork work = document.SeparationOfSource({.model = ColourModel::RGB});
  // The document moves on while the work runs.
  document.ShowPicture(Solid(10, 10, 0x0000FF), {PictureOrigin::File, "/red.png"});
  document.ReadOut(2, 2);
  document.ShowSeparation(work.Make());
  EXPECT_EQ(document.SeparatedPicture(), green);
  EXPECT_EQ(document.SeparatedOrigin().path, "/green.png");
  EXPECT_EQ(document.ChannelView(Channel::Green).Point(599, 399), 0x00FF00);
  EXPECT_NE(document.LevelsFor(Channel::Green), nullptr);
  EXPECT_FALSE(document.MarkOn(document.SeparatedPicture())) << "read on another picture";
  EXPECT_EQ(document.Source().Point(2, 2), kRed);
}

TEST(Document, AFirstSightStandsInForThePictureUntilItComes) {
  Document document = MakeDocument();
  const ColorValue sample = document.Source().Point(0, 0);
  document.ShowFirstSight({Solid(20, 15, 0x111111), 400, 300});
  document.DeferReadout(100.5F, 50.5F);
  document.DeferSeparation();
  EXPECT_EQ(document.Source().Point(0, 0), sample) << "the picture itself is unchanged";
  document.ShowPicture(Solid(400, 300, 0x222222), {});
  EXPECT_FALSE(document.ShownFirstSight());
  const Document::Deferred deferred = document.TakeDeferred();
  ASSERT_TRUE(deferred.readout);
  EXPECT_FLOAT_EQ(deferred.readout->first, 100.5F);
  EXPECT_TRUE(deferred.separation);
  EXPECT_FALSE(document.TakeDeferred().readout) << "taken once";

  document.ShowFirstSight({Solid(20, 15, 0x111111), 400, 300});
  document.DeferReadout(1, 1);
  document.DropFirstSight();
  EXPECT_FALSE(document.ShownFirstSight());
  EXPECT_FALSE(document.TakeDeferred().readout) << "dropped with the sight";
}

// The document keeps how its pictures are looked at in step with them: a new picture is
// seen whole, a mosaic over the same area where the developed picture was looked at.
TEST(Document, ANewPictureIsSeenWholeAndItsMosaicWhereItWasLookedAt) {
  Document document = MakeDocument();
  document.ShowPicture(Solid(800, 600, 0x204060), {});
  ASSERT_TRUE(document.Views().IsDefault());
  document.Views().ZoomBy(3);
  const double zoom = document.Views().Zoom();
  ShowMosaic(document, Solid(800, 600, 0x000060));
  EXPECT_DOUBLE_EQ(document.Views().Zoom(), zoom);
  ShowDeveloped(document);
  EXPECT_DOUBLE_EQ(document.Views().Zoom(), zoom);
  document.ShowPicture(Solid(300, 200, 0x102030), {});
  EXPECT_TRUE(document.Views().IsDefault());
  EXPECT_EQ(document.Views().MappingFor(300, 200).scale, FitScale(188, 179, 300, 200));
}

}  // namespace
}  // namespace irobunkai
