#include "views/view_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace irobunkai {
namespace {

constexpr int kPlaceWidth = 188;
constexpr int kPlaceHeight = 179;

struct AreaPoint {
  double x;
  double y;
};

AreaPoint Under(const ViewState& state, int areaWidth, int areaHeight, double px, double py) {
  const ViewMapping m = state.MappingFor(areaWidth, areaHeight);
  return {m.ToAreaX(px), m.ToAreaY(py)};
}

TEST(ViewState, LevelsRunFromTheWholePictureByHalvingsThenEvenStepsTo64) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  state.Reset(8000, 6000);
  const auto& levels = state.Levels();
  EXPECT_DOUBLE_EQ(levels.front(), 188.0 / 8000.0);
  EXPECT_DOUBLE_EQ(levels.back(), 64.0);
  for (std::size_t i = 1; i < levels.size(); ++i) {
    EXPECT_GT(levels[i], levels[i - 1]);
    EXPECT_LE(levels[i] / levels[i - 1], 2.0 + 1e-9)
        << "a jump between levels " << i - 1 << " and " << i;
  }
  EXPECT_NE(std::find(levels.begin(), levels.end(), 1.0), levels.end());

  state.Reset(100, 50);  // fits: 1:1 is the default and the smallest level
  EXPECT_DOUBLE_EQ(state.Levels().front(), 1.0);
  EXPECT_TRUE(state.IsDefault());
  EXPECT_FALSE(state.ZoomBy(-1));
}

TEST(ViewState, ZoomKeepsThePointUnderThePointerWhereItIs) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  state.Reset(8000, 6000);
  for (int step = 0; step < 8; ++step) {
    const AreaPoint before = Under(state, 8000, 6000, 120, 70);
    ASSERT_TRUE(state.ZoomBy(1, 120, 70));
    const AreaPoint after = Under(state, 8000, 6000, 120, 70);
    // Zoomed in, the origin snaps to whole place pixels per area pixel.
    const double tolerance = 1.0 / state.Zoom();
    EXPECT_NEAR(after.x, before.x, tolerance) << "step " << step;
    EXPECT_NEAR(after.y, before.y, tolerance) << "step " << step;
  }
}

TEST(ViewState, ZoomStopsAtTheWholePictureAndAt64) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  state.Reset(400, 300);
  EXPECT_FALSE(state.ZoomBy(-1));
  while (state.ZoomBy(1)) {
  }
  EXPECT_DOUBLE_EQ(state.Zoom(), 64.0);
  EXPECT_FALSE(state.ZoomBy(5));
  EXPECT_TRUE(state.ZoomBy(-100));
  EXPECT_TRUE(state.IsDefault());
  const ViewMapping m = state.MappingFor(400, 300);
  EXPECT_DOUBLE_EQ(m.scale, 188.0 / 400.0);
  EXPECT_DOUBLE_EQ(m.originX, 0.0);
  EXPECT_DOUBLE_EQ(m.originY, 0.0);
}

TEST(ViewState, PanningStopsAtTheAreaEdgesAndNeverMovesASmallArea) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  state.Reset(1000, 800);
  state.PanBy(-50, -50);  // default view: whole picture, nothing to pan
  EXPECT_DOUBLE_EQ(state.MappingFor(1000, 800).originX, 0.0);

  while (state.Zoom() < 4.0) {
    state.ZoomBy(1, 0, 0);
  }
  state.PanBy(-1e6, -1e6);
  ViewMapping m = state.MappingFor(1000, 800);
  EXPECT_DOUBLE_EQ(m.ToAreaX(kPlaceWidth), 1000.0);
  EXPECT_DOUBLE_EQ(m.ToAreaY(kPlaceHeight), 800.0);
  state.PanBy(1e6, 1e6);
  m = state.MappingFor(1000, 800);
  EXPECT_DOUBLE_EQ(m.originX, 0.0);
  EXPECT_DOUBLE_EQ(m.originY, 0.0);

  state.Reset(40, 30);  // at 4x still 160 x 120: stays at the top-left
  state.ZoomBy(3, 100, 100);
  EXPECT_DOUBLE_EQ(state.Zoom(), 4.0);
  state.PanBy(-30, -30);
  m = state.MappingFor(40, 30);
  EXPECT_DOUBLE_EQ(m.originX, 0.0);
  EXPECT_DOUBLE_EQ(m.originY, 0.0);
}

TEST(ViewState, ShowCellScrollsJustEnoughToShowTheCellWhole) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  state.Reset(1000, 800);
  while (state.Zoom() < 8.0) {
    state.ZoomBy(1, 0, 0);
  }
  for (const Cell cell : {Cell{500, 400}, Cell{999, 799}, Cell{0, 0}, Cell{30, 700}}) {
    state.ShowCell(cell);
    const ViewMapping m = state.MappingFor(1000, 800);
    EXPECT_GE(m.ToPlaceX(cell.column), 0.0);
    EXPECT_LE(m.ToPlaceX(cell.column + 1), kPlaceWidth);
    EXPECT_GE(m.ToPlaceY(cell.row), 0.0);
    EXPECT_LE(m.ToPlaceY(cell.row + 1), kPlaceHeight);
  }
  // A cell already in view does not move the view.
  const ViewMapping before = state.MappingFor(1000, 800);
  state.ShowCell({29, 699});
  EXPECT_DOUBLE_EQ(state.MappingFor(1000, 800).originX, before.originX);
  EXPECT_DOUBLE_EQ(state.MappingFor(1000, 800).originY, before.originY);
}

TEST(ViewState, EveryViewSharesTheZoomButTheDefaultFitsEachArea) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  state.Reset(100, 100);
  // A channel view still holding an older, larger separation is shown whole.
  EXPECT_DOUBLE_EQ(state.MappingFor(940, 358).scale, 0.2);
  EXPECT_DOUBLE_EQ(state.MappingFor(100, 100).scale, 1.0);
  state.ZoomBy(2);
  EXPECT_DOUBLE_EQ(state.MappingFor(940, 358).scale, 3.0);
  EXPECT_DOUBLE_EQ(state.MappingFor(100, 100).scale, 3.0);
}

TEST(ViewState, ObserversHearEveryChangeUntilTheyLeave) {
  ViewState state(kPlaceWidth, kPlaceHeight);
  int heard = 0;
  const int key = state.Subscribe([&heard] { ++heard; });
  state.Reset(500, 500);
  state.SetLook(ChannelLook::Grey);
  state.ZoomBy(1);
  EXPECT_EQ(heard, 3);
  state.Unsubscribe(key);
  state.ZoomBy(1);
  EXPECT_EQ(heard, 3);
}

TEST(ViewMapping, VisibleCellsCoverThePlaceAndStayInsideTheArea) {
  const ViewMapping m{8.0, 10.5, 20.0};
  const CellRange cells = m.VisibleCells(kPlaceWidth, kPlaceHeight, 1000, 30);
  EXPECT_EQ(cells.left, 10);
  EXPECT_EQ(cells.top, 20);
  EXPECT_EQ(cells.right, 34);   // 10.5 + 188 / 8 = 34
  EXPECT_EQ(cells.bottom, 30);  // the area ends before the place does
}

}  // namespace
}  // namespace irobunkai
