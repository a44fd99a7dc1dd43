#pragma once

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "colour/color_value.h"
#include "views/channel_plane.h"
#include "views/image.h"
#include "views/plane_look.h"

namespace irobunkai {

/// A picture view: a drawable area of pixels, origin top-left, that shows what was
/// drawn on it, else its assigned picture, else its background colour.
///
/// The area is the laid-out size, grown per dimension to cover a larger picture or
/// drawn plane; it returns to the laid-out size when they go.
class PictureView {
 public:
  PictureView(int layoutWidth, int layoutHeight, ColorValue backColor);

  [[nodiscard]] float ScaleWidth() const { return static_cast<float>(AreaWidth()); }
  [[nodiscard]] float ScaleHeight() const { return static_cast<float>(AreaHeight()); }
  [[nodiscard]] int AreaWidth() const;
  [[nodiscard]] int AreaHeight() const;
  /// The top-left part of the area that holds anything but one uniform colour:
  /// the picture, a drawn plane's stored cells and pixels set one by one.
  [[nodiscard]] int ContentWidth() const;
  [[nodiscard]] int ContentHeight() const;
  /// The colour the area shows beyond its content, a drawn plane's fill in `look`.
  [[nodiscard]] ColorValue AreaFill(ChannelLook look = ChannelLook::Tinted) const;
  [[nodiscard]] int LayoutWidth() const { return layoutWidth_; }
  [[nodiscard]] int LayoutHeight() const { return layoutHeight_; }

  /// The colour shown at the pixel containing (x, y); kNoColor outside the area.
  [[nodiscard]] ColorValue Point(float x, float y) const;

  /// Paints the pixel containing (x, y); points outside the area are ignored.
  /// Only the colour's low 24 bits are used.
  void PSet(float x, float y, ColorValue color);

  /// Clears everything drawn, leaving the picture and background.
  void Cls();

  [[nodiscard]] const Image& Picture() const { return picture_; }
  /// Shows `picture` at (0, 0), one picture pixel per view pixel; an empty picture
  /// removes it. What was drawn belonged to the old picture and is cleared.
  void SetPicture(Image picture);

  [[nodiscard]] ColorValue BackColor() const { return backColor_; }
  void SetBackColor(ColorValue color) { backColor_ = color & kWhite; }

  /// Draws a whole plane at (0, 0), each cell as its pure-channel colour. The view
  /// shares the plane rather than copying it: the plane must not change until the
  /// next Cls or SetPicture.
  void DrawPlane(std::shared_ptr<const ChannelPlane> plane, Channel channel);
  /// Draws a plane of a model's component, each cell in `look`. A look that needs the
  /// hue reads it from `hue`, the same pixels' hue plane, shared like the plane.
  void DrawPlane(std::shared_ptr<const ChannelPlane> plane, PlaneLook look,
                 std::shared_ptr<const ChannelPlane> hue = nullptr);

  /// The plane drawn with DrawPlane, if any, and how it is shown.
  [[nodiscard]] const ChannelPlane* Plane() const { return plane_.get(); }
  [[nodiscard]] const PlaneLook& Look() const { return planeLook_; }

  /// True when anything was drawn with PSet or DrawPlane since the last clear.
  [[nodiscard]] bool HasDrawing() const { return plane_ || !drawn_.empty(); }
  /// A CMYK picture's inks while the view shows that picture and nothing drawn over it: what
  /// its content was rendered from, cell for cell. Else nullptr.
  [[nodiscard]] const InkSamples* ShownInks() const {
    return HasDrawing() ? nullptr : picture_.Inks();
  }

  /// What Point reads along row y, for the whole width of the area.
  void ReadRow(int y, std::span<ColorValue> out) const;
  /// What Point reads along row y from column `left` on, for `out.size()` columns;
  /// in the grey look a drawn plane's cells show as greys.
  void ReadRow(int y, int left, std::span<ColorValue> out,
               ChannelLook look = ChannelLook::Tinted) const;

 private:
  static constexpr ColorValue kUndrawn = -1;

  struct Cell {
    int column;
    int row;
  };
  /// The pixel of the area that contains (x, y), if any.
  [[nodiscard]] std::optional<Cell> CellAt(float x, float y) const;
  [[nodiscard]] std::size_t DrawnIndex(Cell cell) const {
    return static_cast<std::size_t>(cell.row) * static_cast<std::size_t>(drawnWidth_) +
           static_cast<std::size_t>(cell.column);
  }
  [[nodiscard]] ColorValue PictureOrBackground(int x, int y) const;
  [[nodiscard]] std::uint8_t HueAt(int x, int y) const { return hue_ ? hue_->At(x, y) : 0; }
  void GrowDrawnPixels();
  // A stretch of stored cells of the plane in row y, from column `left` on.
  void ShadePlaneCells(int y, int left, std::span<ColorValue> out, ChannelLook look) const;

  int layoutWidth_;
  int layoutHeight_;
  ColorValue backColor_;
  Image picture_;
  std::shared_ptr<const ChannelPlane> plane_;
  PlaneLook planeLook_ = PlaneLook::Of(Channel::Red);
  std::shared_ptr<const ChannelPlane> hue_;
  // PSet pixels over the area, kUndrawn where nothing was set; empty until the first PSet.
  std::vector<ColorValue> drawn_;
  int drawnWidth_ = 0;
  int drawnHeight_ = 0;
};

}  // namespace irobunkai
