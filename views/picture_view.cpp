#include "views/picture_view.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace irobunkai {
namespace {

ColorValue Blend(ColorValue over, ColorValue under, std::uint32_t alpha) {
  const auto mix = [&](ColorValue a, ColorValue b) {
    return (a * static_cast<ColorValue>(alpha) + b * static_cast<ColorValue>(255 - alpha) + 127) /
           255;
  };
  return RGB(mix(RedOf(over), RedOf(under)), mix(GreenOf(over), GreenOf(under)),
             mix(BlueOf(over), BlueOf(under)));
}

ColorValue Composite(RgbaPixel pixel, ColorValue background) {
  const std::uint32_t alpha = AlphaOf(pixel);
  if (alpha == 255) {
    return ColorOf(pixel);
  }
  if (alpha == 0) {
    return background;
  }
  return Blend(ColorOf(pixel), background, alpha);
}

// The column or row that contains a view coordinate.
std::optional<int> PixelIndex(float coordinate, int extent) {
  // Compare in floating point first: a huge or NaN coordinate must not reach the cast.
  if (!(coordinate >= 0.0F) || !(coordinate < static_cast<float>(extent))) {
    return std::nullopt;
  }
  return std::min(static_cast<int>(std::floor(coordinate)), extent - 1);
}

}  // namespace

PictureView::PictureView(int layoutWidth, int layoutHeight, ColorValue backColor)
    : layoutWidth_(layoutWidth), layoutHeight_(layoutHeight), backColor_(backColor & kWhite) {
  if (layoutWidth <= 0 || layoutHeight <= 0) {
    throw std::invalid_argument("PictureView: the layout must have pixels");
  }
}

int PictureView::AreaWidth() const {
  return std::max({layoutWidth_, picture_.Width(), plane_ ? plane_->Width() : 0});
}

int PictureView::AreaHeight() const {
  return std::max({layoutHeight_, picture_.Height(), plane_ ? plane_->Height() : 0});
}

int PictureView::ContentWidth() const {
  return std::min(AreaWidth(),
                  std::max({picture_.Width(), drawnWidth_, plane_ ? plane_->StoredWidth() : 0}));
}

int PictureView::ContentHeight() const {
  return std::min(AreaHeight(),
                  std::max({picture_.Height(), drawnHeight_, plane_ ? plane_->StoredHeight() : 0}));
}

ColorValue PictureView::AreaFill(ChannelLook look) const {
  return plane_ ? planeLook_.At(plane_->Fill(), hue_ ? hue_->Fill() : 0, look) : backColor_;
}

ColorValue PictureView::PictureOrBackground(int x, int y) const {
  if (x < picture_.Width() && y < picture_.Height()) {
    return Composite(picture_.At(x, y), backColor_);
  }
  return backColor_;
}

std::optional<PictureView::Cell> PictureView::CellAt(float x, float y) const {
  const auto column = PixelIndex(x, AreaWidth());
  const auto row = PixelIndex(y, AreaHeight());
  if (!column || !row) {
    return std::nullopt;
  }
  return Cell{*column, *row};
}

ColorValue PictureView::Point(float x, float y) const {
  const auto cell = CellAt(x, y);
  if (!cell) {
    return kNoColor;
  }
  if (cell->column < drawnWidth_ && cell->row < drawnHeight_) {
    const ColorValue drawn = drawn_[DrawnIndex(*cell)];
    if (drawn != kUndrawn) {
      return drawn;
    }
  }
  if (plane_ && cell->column < plane_->Width() && cell->row < plane_->Height()) {
    return planeLook_.At(plane_->At(cell->column, cell->row), HueAt(cell->column, cell->row));
  }
  return PictureOrBackground(cell->column, cell->row);
}

void PictureView::GrowDrawnPixels() {
  const int width = AreaWidth();
  const int height = AreaHeight();
  if (width == drawnWidth_ && height == drawnHeight_) {
    return;
  }
  std::vector<ColorValue> grown(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                kUndrawn);
  for (int y = 0; y < std::min(height, drawnHeight_); ++y) {
    const auto from = drawn_.begin() + static_cast<std::ptrdiff_t>(y) * drawnWidth_;
    std::copy_n(from, std::min(width, drawnWidth_),
                grown.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
  drawn_ = std::move(grown);
  drawnWidth_ = width;
  drawnHeight_ = height;
}

void PictureView::PSet(float x, float y, ColorValue color) {
  const auto cell = CellAt(x, y);
  if (!cell) {
    return;
  }
  GrowDrawnPixels();
  drawn_[DrawnIndex(*cell)] = color & kWhite;
}

void PictureView::Cls() {
  plane_.reset();
  hue_.reset();
  drawn_.clear();
  drawn_.shrink_to_fit();
  drawnWidth_ = 0;
  drawnHeight_ = 0;
}

void PictureView::SetPicture(Image picture) {
  Cls();
  picture_ = std::move(picture);
}

void PictureView::DrawPlane(std::shared_ptr<const ChannelPlane> plane, Channel channel) {
  DrawPlane(std::move(plane), PlaneLook::Of(channel));
}

void PictureView::DrawPlane(std::shared_ptr<const ChannelPlane> plane, PlaneLook look,
                            std::shared_ptr<const ChannelPlane> hue) {
  plane_ = std::move(plane);
  planeLook_ = std::move(look);
  hue_ = planeLook_.NeedsHue() ? std::move(hue) : nullptr;
  if (!plane_ || drawn_.empty()) {
    return;
  }
  // The plane is drawn after the earlier PSet pixels, so it covers them.
  GrowDrawnPixels();
  for (int y = 0; y < plane_->Height(); ++y) {
    const auto row = drawn_.begin() + static_cast<std::ptrdiff_t>(y) * drawnWidth_;
    std::fill_n(row, plane_->Width(), kUndrawn);
  }
}

void PictureView::ShadePlaneCells(int y, int left, std::span<ColorValue> out,
                                  ChannelLook look) const {
  const std::uint8_t* cells = plane_->Row(y) + left;
  // Rows are read for every frame: a table read per cell, no choice.
  if (look == ChannelLook::Grey) {
    const ColourModel model = planeLook_.Model();
    std::transform(cells, cells + out.size(), out.begin(), [model](std::uint8_t v) {
      const std::uint8_t grey = PlaneLook::GreyOf(model, v);
      return RGB(grey, grey, grey);
    });
    return;
  }
  if (!hue_) {
    const auto& tints = planeLook_.Levels();
    std::transform(cells, cells + out.size(), out.begin(),
                   [&tints](std::uint8_t v) { return tints[v]; });
    return;
  }
  // The hue plane holds the same cells, so it covers this stretch too.
  const std::uint8_t* hues = hue_->Row(y) + left;
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = planeLook_.At(cells[i], hues[i]);
  }
}

void PictureView::ReadRow(int y, std::span<ColorValue> out) const {
  if (out.size() != static_cast<std::size_t>(AreaWidth())) {
    throw std::out_of_range("PictureView::ReadRow: the buffer is not one row of the area");
  }
  ReadRow(y, 0, out);
}

void PictureView::ReadRow(int y, int left, std::span<ColorValue> out, ChannelLook look) const {
  const auto width = static_cast<std::ptrdiff_t>(out.size());
  if (y < 0 || y >= AreaHeight() || left < 0 || left + width > AreaWidth()) {
    throw std::out_of_range("PictureView::ReadRow: row or columns outside the area");
  }
  const auto right = left + width;
  // Each layer covers [left, min(right, its width)) of the row, later layers on top.
  const auto covered = [&](int layerWidth) {
    return std::max<std::ptrdiff_t>(0, std::min<std::ptrdiff_t>(right, layerWidth) - left);
  };
  std::ptrdiff_t x = 0;
  if (y < picture_.Height()) {
    const auto pixels =
        picture_.Row(y).subspan(static_cast<std::size_t>(std::min(left, picture_.Width())),
                                static_cast<std::size_t>(covered(picture_.Width())));
    if (picture_.HasAlpha()) {
      std::ranges::transform(pixels, out.begin(),
                             [bg = backColor_](RgbaPixel p) { return Composite(p, bg); });
    } else {
      std::ranges::transform(pixels, out.begin(), [](RgbaPixel p) { return ColorOf(p); });
    }
    x = covered(picture_.Width());
  }
  std::fill(out.begin() + x, out.end(), backColor_);
  if (plane_ && y < plane_->Height()) {
    const std::ptrdiff_t stored = y < plane_->StoredHeight() ? covered(plane_->StoredWidth()) : 0;
    if (stored > 0) {
      ShadePlaneCells(y, left, out.first(static_cast<std::size_t>(stored)), look);
    }
    std::fill(out.begin() + stored, out.begin() + covered(plane_->Width()), AreaFill(look));
  }
  if (y < drawnHeight_) {
    const auto drawn =
        drawn_.begin() + static_cast<std::ptrdiff_t>(y) * drawnWidth_ + std::min(left, drawnWidth_);
    for (std::ptrdiff_t i = 0; i < covered(drawnWidth_); ++i) {
      if (drawn[i] != kUndrawn) {
        out[static_cast<std::size_t>(i)] = drawn[i];
      }
    }
  }
}

}  // namespace irobunkai
