#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/channel_separation.h"
#include "colour/colour_description.h"
#include "colour/model_text.h"
#include "document/picture_colours.h"
#include "document/press_choice.h"
#include "document/zoom_levels.h"
#include "views/first_sight.h"
#include "views/picture_view.h"
#include "views/view_mapping.h"
#include "views/view_state.h"

namespace irobunkai {

/// Where a picture came from.
enum class PictureOrigin { Sample, File, Clipboard };

/// A picture and where it came from: a file's path (UTF-8) for a file, else empty; and its
/// colour description, as the file gave it (empty: none, which means sRGB).
struct PictureSource {
  PictureOrigin origin = PictureOrigin::Sample;
  std::string path;
  ColourDescription colour{};
};

/// A separation made away from the document, with all it needs to be shown.
struct MadeSeparation {
  Separation separation;
  ChannelLevels levels;
  /// The source view it was split from, that view's picture number, origin and levels.
  PictureView from;
  int picture = 0;
  PictureSource origin;
  std::shared_ptr<const MipPyramid> sourceLevels;
  PictureColours colours;
  /// How CMYK's plates were made, and for which press; null in the other models.
  std::shared_ptr<const PressSeparation> press;
  PressChoice::Request pressRequest;
};

/// What a separation of the source needs, taken from the document so that the separation
/// can be made on another thread while the document goes on: values nothing else writes.
struct SeparationWork {
  PictureView from;
  int picture = 0;
  PictureSource origin;
  std::shared_ptr<const MipPyramid> sourceLevels;
  SeparationOptions options;
  PictureColours colours;
  /// The press CMYK's plates are made for; its table is sampled here when it has none yet.
  PressChoice::Request press;

  /// Splits into new planes and their levels. May throw std::bad_alloc.
  [[nodiscard]] MadeSeparation Make() const;
};

/// One pixel read out: where it was asked for (which may lie beyond the area), the
/// colour shown there, and the picture it was read on.
struct Readout {
  Cell cell;
  ColorValue color = 0;
  /// False when the pixel lies beyond the source's area.
  bool inArea = false;
  int picture = 0;
};

/// The picture the window shows and everything worked out from it: the source view
/// with its picture, the separation into channel planes with the channel views that
/// show them, and the last readout. Observers hear what changed.
class Document {
 public:
  enum class Change { Picture, FirstSight, Separation, Histograms, Readout, Press };

  /// What was asked for while a first sight was shown, to be done on the exact picture.
  struct Deferred {
    /// A readout at this point of the exact picture's area.
    std::optional<std::pair<float, float>> readout;
    bool separation = false;
  };
  using Observer = std::function<void(Change)>;

  /// Views of `layoutWidth` x `layoutHeight` pixels in their background colours.
  Document(int layoutWidth, int layoutHeight, ColorValue sourceBack,
           PerChannel<ColorValue> channelBacks);
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  /// Calls `observer` after every change; returns a key for Unsubscribe. Observing
  /// changes nothing, so it is open to readers of a const document.
  int Subscribe(Observer observer) const;
  void Unsubscribe(int key) const;

  [[nodiscard]] const PictureView& Source() const { return source_; }

  /// How the four views show the document: their shared zoom and region, the channel
  /// looks, the colour model and the components the source is rebuilt from. A new
  /// picture of another size is looked at from the start, whole.
  [[nodiscard]] const ViewState& Views() const { return views_; }
  [[nodiscard]] ViewState& Views() { return views_; }
  [[nodiscard]] const PictureView& ChannelView(Channel channel) const {
    return channelViews_[channel];
  }

  /// Shows `picture` in the source view, with what is worked out for it perhaps away from
  /// the document: `levels`, its zoom levels (SourceLevels of SourceWith(picture)), and
  /// `colours`, PictureColours::Of its colour description.
  void ShowPicture(Image picture, PictureSource source, std::optional<MipPyramid> levels,
                   PictureColours colours);
  /// Shows `picture`, working out its zoom levels and colours first: when memory runs short
  /// std::bad_alloc leaves the document as it was.
  void ShowPicture(Image picture, PictureSource source);
  [[nodiscard]] const PictureSource& Origin() const { return origin_; }
  /// The shown picture's colours, as its file describes them.
  [[nodiscard]] const PictureColours& Colours() const { return colours_; }
  /// Changes with every picture shown.
  [[nodiscard]] int PictureNumber() const { return picture_; }
  /// The source view as it would be with `picture` shown, for work to be done before
  /// the picture is.
  [[nodiscard]] PictureView SourceWith(Image picture) const;

  /// Shows `sight` in the source view in place of the picture, until the exact picture
  /// is shown or the sight dropped. Readouts and separations never use it: they wait.
  void ShowFirstSight(FirstSight sight);
  /// Drops a first sight and what waited for it: the picture shows again.
  void DropFirstSight();
  [[nodiscard]] const std::optional<FirstSight>& ShownFirstSight() const { return firstSight_; }
  /// Keeps a readout at (x, y) of the exact picture, or a separation, for when it comes.
  void DeferReadout(float x, float y);
  void DeferSeparation();
  /// What waited for the exact picture, now that it is shown; it waits no longer.
  [[nodiscard]] Deferred TakeDeferred();

  /// Shows the sensor mosaic of the camera raw picture shown, from the same file,
  /// keeping the developed picture to return to. A picture of its own: its number is
  /// new, and it is split and read like any other.
  void ShowMosaic(Image mosaic, std::optional<MipPyramid> levels);
  /// Returns from a mosaic to the developed picture, with its zoom levels made again
  /// elsewhere from SourceWith(*Developed()).
  void ShowDeveloped(std::optional<MipPyramid> levels);
  /// The developed picture while its mosaic is shown, else nullptr.
  [[nodiscard]] const Image* Developed() const { return developed_ ? &*developed_ : nullptr; }

  /// Splits the source into the channel planes and shows them in the channel views,
  /// each in the tinted look of its component of `options.model`, with their zoom levels.
  /// When memory runs short std::bad_alloc leaves the document as it was.
  void Separate(SeparationOptions options = {});
  /// What a separation of the source as it is now needs, to be made elsewhere.
  [[nodiscard]] SeparationWork SeparationOfSource(SeparationOptions options) const;
  /// Shows a separation made elsewhere, as Separate would have had it run when the work
  /// was taken.
  void ShowSeparation(MadeSeparation made);
  /// Splits the picture that was separated last again, into `options.model`'s
  /// components, whatever the source shows now. Does nothing before a separation.
  /// When memory runs short std::bad_alloc leaves the document as it was.
  void SeparateAgain(SeparationOptions options);
  /// What SeparateAgain needs, to be made elsewhere.
  [[nodiscard]] SeparationWork SeparationOfSeparated(SeparationOptions options) const;

  /// The zoom levels a view draws from (the source's when `channel` is none), or nullptr
  /// when its picture fits and needs none.
  [[nodiscard]] const MipPyramid* LevelsFor(std::optional<Channel> channel) const;
  /// The levels of the hue plane, which tints the views of a saturation plane, or nullptr.
  [[nodiscard]] const MipPyramid* HueLevels() const;
  /// The source's levels, shared with work that reads them away from the document.
  [[nodiscard]] std::shared_ptr<const MipPyramid> SharedSourceLevels() const {
    return sourceLevels_;
  }
  /// Memory the zoom levels take.
  [[nodiscard]] std::size_t LevelBytes() const;
  /// The source view as it was when it was separated.
  [[nodiscard]] const PictureView& SeparatedSource() const { return separatedSource_; }
  [[nodiscard]] bool IsSeparated() const { return !separation_.IsEmpty(); }
  [[nodiscard]] const Separation& Separated() const { return separation_; }
  /// The picture that was separated, and where it came from.
  [[nodiscard]] int SeparatedPicture() const { return separatedPicture_; }
  [[nodiscard]] const PictureSource& SeparatedOrigin() const { return separatedOrigin_; }
  [[nodiscard]] const PictureColours& SeparatedColours() const { return separatedColours_; }
  /// The number of the picture a view shows: the source's own, or the separated one.
  [[nodiscard]] int PictureShownBy(std::optional<Channel> channel) const {
    return channel ? separatedPicture_ : picture_;
  }

  /// The press CMYK separations are made for. Choosing another changes no plates: the
  /// window splits again.
  [[nodiscard]] const PressChoice& Press() const { return press_; }
  void SetPress(std::shared_ptr<const PressProfile> profile, PressIntent intent);
  /// How the separated picture was split into inks; null unless it was split in CMYK.
  [[nodiscard]] const PressSeparation* SeparatedPress() const { return separatedPress_.get(); }
  /// The press's inks at the last readout: a CMYK picture's own, else made through the press;
  /// none before a readout, beyond the area, or without a press.
  [[nodiscard]] std::optional<InkLevels> InksAtReadout() const;
  /// How many of the shown picture's pixels carry more ink than `limitPercent` on the press;
  /// none without a press. Counted once for each picture, press and limit.
  [[nodiscard]] std::optional<std::int64_t> CountOverInk(int limitPercent) const;

  /// The histogram of a channel plane, when counted.
  [[nodiscard]] const ChannelHistogram* Histogram(Channel channel) const;
  /// Counts the planes' histograms unless they are counted already.
  void CountHistograms();

  /// Reads the colour the source shows at (x, y), beyond its area its background,
  /// and keeps it as the last readout.
  const Readout& ReadOut(float x, float y);
  [[nodiscard]] const std::optional<Readout>& LastReadout() const { return readout_; }
  /// The read pixel, when it was read on picture `picture` inside the area.
  [[nodiscard]] std::optional<Cell> MarkOn(int picture) const;

 private:
  void Notify(Change change) const;
  void SplitAndShow(const PictureView& from, SeparationOptions options,
                    std::shared_ptr<const PressSeparation> press);
  [[nodiscard]] std::shared_ptr<const ComponentLooks> LooksFor(
      ColourModel model, const std::shared_ptr<const PressSeparation>& press) const;
  void ShowPlanes();

  void SetSourceLevels(std::optional<MipPyramid> levels);
  void LookAtNewArea(const Image& before);

  PictureView source_;
  ViewState views_;
  std::shared_ptr<const MipPyramid> sourceLevels_;
  PerChannel<PictureView> channelViews_;
  ChannelLevels channelLevels_;
  PictureSource origin_;
  PictureColours colours_;
  std::optional<Image> developed_;
  int picture_ = 0;
  Separation separation_;
  std::shared_ptr<const ComponentLooks> looks_;
  // A copy that shares the picture's pixels, kept to split again in another model.
  PictureView separatedSource_;
  std::shared_ptr<const MipPyramid> separatedLevels_;
  int separatedPicture_ = 0;
  PictureSource separatedOrigin_;
  PictureColours separatedColours_;
  std::shared_ptr<const PressSeparation> separatedPress_;
  PressChoice press_;
  struct InkCount {
    int picture = 0;
    std::shared_ptr<const PressSeparation> press;  // held, so no other can take its place
    int limit = 0;
    std::int64_t over = 0;
  };
  mutable std::optional<InkCount> inkCount_;
  std::optional<Readout> readout_;
  std::optional<FirstSight> firstSight_;
  Deferred deferred_;
  mutable std::map<int, Observer> observers_;
  mutable int nextKey_ = 0;
};

}  // namespace irobunkai
