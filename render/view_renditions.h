#pragma once

#include <memory>
#include <optional>

#include "document/document.h"
#include "views/mip_pyramid.h"

namespace irobunkai {

/// What the four views keep to draw a large picture fast: the zoom levels of the
/// source's content and of each channel plane, tied to the picture they were built
/// from. Everything is built in the handlers that change the document, before the
/// change, so that painting never builds anything that grows with the picture.
class ViewRenditions {
 public:
  /// Channel levels, made before a separation is shown.
  using ChannelLevels = PerChannel<std::optional<MipPyramid>>;

  /// The levels of `source`, a source view about to be shown; none for a picture
  /// that fits the view. May throw std::bad_alloc.
  [[nodiscard]] static std::optional<MipPyramid> SourceLevels(const PictureView& source);
  /// Keeps levels made for the source showing picture number `picture`.
  void SetSourceLevels(std::optional<MipPyramid> levels, int picture);
  /// The source's levels when they are of picture number `picture`, shared so that
  /// work off the GUI thread can read them while the window moves on.
  [[nodiscard]] std::shared_ptr<const MipPyramid> SourceLevelsOf(int picture) const;
  /// The levels of a separation of `split`, the source view of picture number
  /// `picture`, into `model`'s components: worked out from the source's levels when
  /// they are of that picture (in RGB its channels, which they hold already), else
  /// from levels made here. None for a picture that fits the view. May throw
  /// std::bad_alloc.
  [[nodiscard]] ChannelLevels ChannelLevelsOf(const PictureView& split, int picture,
                                              ColourModel model) const;
  /// The same from `colour`, the levels of `split` when it has any (else made here).
  [[nodiscard]] static ChannelLevels ChannelLevelsFrom(const MipPyramid* colour,
                                                       const PictureView& split, ColourModel model);
  /// Keeps channel levels made for a separation of picture number `picture`.
  void SetChannelLevels(ChannelLevels levels, int picture);

  /// The levels a view of `document` draws from (the source's when `channel` is
  /// none), or nullptr when it has none.
  [[nodiscard]] const MipPyramid* LevelsFor(const Document& document,
                                            std::optional<Channel> channel) const;
  /// The levels of the hue plane, for the view of a saturation plane, or nullptr.
  [[nodiscard]] const MipPyramid* HueLevelsFor(const Document& document) const;
  /// Memory the levels take.
  [[nodiscard]] std::size_t Bytes() const;

 private:
  std::shared_ptr<const MipPyramid> source_;
  int sourcePicture_ = -1;
  ChannelLevels channels_;
  int channelPicture_ = -1;
};

}  // namespace irobunkai
