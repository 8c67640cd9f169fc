// The discard grid: four-sided and two-sided ring filling, a full side going on elsewhere, the
// next ring, taking back, and the placed tiles' layout.
#include <gtest/gtest.h>

#include <set>

#include "matrix_mj_poke.h"
#include "sprite_fixture.h"

namespace sprites {
namespace {

using testing::OpsOf;
using testing::SmallSet;

template <class Matrix>
Matrix MakeGrid(int16_t columns = 12, int16_t rows = 4) {
  Matrix m(nullptr);
  m.Init(0, 0, 1, 0x8000, SmallSet());
  m.SetGrid(columns, rows);
  return m;
}

// One discard of a seat, as the holder places it. Returns the cell it took.
GridCell Put(CMatrix_Mj_Poke& m, int16_t seat, card c = {0, 1}) {
  int16_t column = -1, row = -1;
  const int16_t side = m.FindCell(seat, column, row);
  const int32_t before = m.PlacedCount();
  m.PlaceInCell(seat, side, c, column, row);
  if (m.PlacedCount() == before) return {};
  return {column, row};
}

std::vector<GridCell> PutMany(CMatrix_Mj_Poke& m, int16_t seat, int n) {
  std::vector<GridCell> cells;
  for (int i = 0; i < n; ++i) cells.push_back(Put(m, seat));
  return cells;
}

std::vector<GridCell> CellRun(int32_t c0, int32_t r0, int32_t dc, int32_t dr, int n) {
  std::vector<GridCell> cells;
  for (int i = 0; i < n; ++i) cells.push_back({c0 + i * dc, r0 + i * dr});
  return cells;
}

TEST(FourSidedGrid, RingZeroSides) {
  struct Case {
    int16_t side;
    std::vector<GridCell> cells;
  } cases[] = {
      {0, CellRun(0, 3, 1, 0, 11)},
      {1, CellRun(0, 0, 0, 1, 3)},
      {2, CellRun(11, 0, -1, 0, 11)},
      {3, CellRun(11, 3, 0, -1, 3)},
  };
  for (const Case& c : cases) {
    auto m = MakeGrid<CMatrix_Mj_Poke>();
    EXPECT_EQ(PutMany(m, c.side, static_cast<int>(c.cells.size())), c.cells) << "side " << c.side;
    EXPECT_TRUE(m.SideFull(c.side)) << "side " << c.side;
  }
}

TEST(FourSidedGrid, FullSideGoesOnAtTheFirstFreeSide) {
  auto m = MakeGrid<CMatrix_Mj_Poke>();
  PutMany(m, 1, 3);
  EXPECT_TRUE(m.SideFull(1));
  // Side 1 is full: its next tile starts side 0.
  EXPECT_EQ(Put(m, 1), (GridCell{0, 3}));
  EXPECT_EQ(Put(m, 0), (GridCell{1, 3}));
}

TEST(FourSidedGrid, FillsEveryCellOnceThenRefuses) {
  auto m = MakeGrid<CMatrix_Mj_Poke>();
  std::set<std::pair<int32_t, int32_t>> seen;
  for (int i = 0; i < 48; ++i) {
    const GridCell c = Put(m, static_cast<int16_t>(i % 4));
    ASSERT_NE(c.column, -1) << "tile " << i;
    EXPECT_TRUE(seen.insert({c.column, c.row}).second) << "cell used twice at tile " << i;
  }
  EXPECT_EQ(m.PlacedCount(), 48);
  EXPECT_EQ(Put(m, 0).column, -1);
  EXPECT_EQ(m.PlacedCount(), 48);
}

TEST(FourSidedGrid, TakingBackTheEndCellReopensTheSide) {
  auto m = MakeGrid<CMatrix_Mj_Poke>();
  PutMany(m, 0, 11);
  ASSERT_TRUE(m.SideFull(0));
  m.RemoveAt(0);
  EXPECT_FALSE(m.SideFull(0));
  EXPECT_EQ(m.PlacedCount(), 10);
  EXPECT_EQ(m.Placed()[10].column, -1);
  EXPECT_EQ(Put(m, 0), (GridCell{10, 3}));
}

TEST(FourSidedGrid, TakingBackTwiceRestoresOnlyTheLastState) {
  auto m = MakeGrid<CMatrix_Mj_Poke>();
  PutMany(m, 0, 2);
  m.RemoveAt(0);
  m.RemoveAt(0);
  EXPECT_EQ(m.PlacedCount(), 0);
  // The runner is back at the first cell, not before it.
  EXPECT_EQ(Put(m, 0), (GridCell{1, 3}));
}

TEST(FourSidedGrid, TakingBackNothingChangesNothing) {
  CMatrix_Mj_Poke unsized(nullptr);
  unsized.RemoveAt(0);  // no grid yet
  EXPECT_EQ(unsized.PlacedCount(), 0);
  auto m = MakeGrid<CMatrix_Mj_Poke>();
  m.RemoveAt(5);
  EXPECT_EQ(m.PlacedCount(), 0);
  EXPECT_EQ(Put(m, 0), (GridCell{0, 3}));
}

TEST(FourSidedGrid, SideOutOfRangeGivesNoCell) {
  auto m = MakeGrid<CMatrix_Mj_Poke>();
  int16_t column = 0, row = 0;
  EXPECT_EQ(m.FindCell(4, column, row), 4);
  EXPECT_EQ(column, -1);
  EXPECT_EQ(row, -1);
  EXPECT_EQ(Put(m, 7).column, -1);
  EXPECT_EQ(m.PlacedCount(), 0);
}

TEST(TwoSidedGrid, RingZeroAndTheNextRing) {
  auto m = MakeGrid<CMatrix_Mj_Poke_2>();
  EXPECT_EQ(PutMany(m, 0, 11), CellRun(0, 3, 1, 0, 11));
  EXPECT_TRUE(m.SideFull(0));
  // Side 0 full: its tile goes to side 1's row.
  EXPECT_EQ(Put(m, 0), (GridCell{11, 0}));
  EXPECT_EQ(PutMany(m, 1, 10), CellRun(10, 0, -1, 0, 10));
  EXPECT_EQ(m.Ring(), 1);
  EXPECT_EQ(Put(m, 0), (GridCell{1, 2}));
  EXPECT_EQ(Put(m, 1), (GridCell{10, 1}));
}

TEST(TwoSidedGrid, NeverPlacesOnATakenCell) {
  auto m = MakeGrid<CMatrix_Mj_Poke_2>();
  std::set<std::pair<int32_t, int32_t>> seen;
  int placed = 0;
  for (int i = 0; i < 60; ++i) {
    const GridCell c = Put(m, static_cast<int16_t>(i % 2));
    if (c.column == -1) continue;
    ++placed;
    EXPECT_TRUE(seen.insert({c.column, c.row}).second) << "cell used twice at tile " << i;
  }
  EXPECT_EQ(placed, 22 + 18);  // two rings of 4 rows
}

TEST(TwoSidedGrid, TakeBackAndBadSide) {
  auto m = MakeGrid<CMatrix_Mj_Poke_2>();
  PutMany(m, 0, 11);
  m.RemoveAt(-3);
  EXPECT_FALSE(m.SideFull(0));
  EXPECT_EQ(Put(m, 0), (GridCell{10, 3}));
  int16_t column = 0, row = 0;
  EXPECT_EQ(m.FindCell(2, column, row), 2);
  EXPECT_EQ(column, -1);
  EXPECT_EQ(row, -1);
}

TEST(Grid, CountSizeAndClear) {
  auto m = MakeGrid<CMatrix_Mj_Poke_2>();
  uint16_t n = 0, w = 0, h = 0;
  m.GetCount(n);
  EXPECT_EQ(n, 48);
  m.GetSize(w, h);
  EXPECT_EQ(w, 12 * 27);
  EXPECT_EQ(h, 4 * 37);
  m.SetGrid(12, 4);  // a second grid starts empty
  m.GetCount(n);
  EXPECT_EQ(n, 48);
  PutMany(m, 0, 5);
  m.ClearAll();
  EXPECT_EQ(m.PlacedCount(), 0);
  EXPECT_EQ(m.Ring(), 0);
  EXPECT_EQ(Put(m, 0), (GridCell{0, 3}));
}

TEST(Grid, PlacedTilesAreDrawnAtTheirCells) {
  auto m = MakeGrid<CMatrix_Mj_Poke_2>();
  m.SetFaceOffset(4, 3);
  Put(m, 0, {2, 5});
  Put(m, 1, {4, 1});
  const SpriteDrawing d = m.LayoutDraw({10, 20, 0, 0});
  EXPECT_EQ(d.target, DrawTarget::Direct);
  const auto tiles = OpsOf(d, DrawSource::Tile);
  ASSERT_EQ(tiles.size(), 2u);
  EXPECT_EQ(tiles[0], (DrawOp{DrawSource::Tile, 0, 0, 0, 27, 37, 10, 20 + 3 * 37}));
  EXPECT_EQ(tiles[1].dx, 10 + 11 * 27);
  const auto faces = OpsOf(d, DrawSource::Face);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0], (DrawOp{DrawSource::Face, 0, 4 * 22, 2 * 30, 20, 30, 14, 20 + 3 * 37 + 3}));
}

}  // namespace
}  // namespace sprites
