// The plain tile row: face cells at the four angles, wild tiles, sizes, selection and raising,
// hit-testing, the tile list operations and the back buffer's growth.
#include <gtest/gtest.h>

#include "comm_poke.h"
#include "sprite_fixture.h"

namespace sprites {
namespace {

using testing::OpsOf;
using testing::SmallSet;

CMj_Poke MakeRow(uint16_t angle = 0, int16_t margin = 12, uint16_t mode = 0) {
  CMj_Poke row(nullptr);
  row.Init(angle, margin, mode, 0x8000, SmallSet(angle));
  return row;
}

TEST(TileRow, FaceCellPerAngle) {
  struct Case {
    uint16_t angle;
    card tile;
    uint16_t x, y;
  } cases[] = {
      {0, {0, 1}, 0, 0},          {0, {2, 9}, 8 * 22, 2 * 30},  {0, {6, 4}, 3 * 22, 6 * 30},
      {90, {0, 1}, 7 * 30, 0},    {90, {3, 2}, 4 * 30, 1 * 22}, {180, {0, 1}, 0, 7 * 30},
      {180, {4, 3}, 2 * 22, 3 * 30}, {270, {0, 1}, 0, 8 * 22}, {270, {5, 9}, 5 * 30, 0},
  };
  for (const Case& c : cases) {
    CMj_Poke row = MakeRow(c.angle);
    uint16_t x = 0xAAAA, y = 0xAAAA;
    ASSERT_TRUE(row.GetMjFaceCell(c.tile, x, y)) << c.angle;
    EXPECT_EQ(x, c.x) << "angle " << c.angle << " tile " << c.tile.m_nColor << "/" << c.tile.m_nValue;
    EXPECT_EQ(y, c.y) << "angle " << c.angle << " tile " << c.tile.m_nColor << "/" << c.tile.m_nValue;
  }
}

TEST(TileRow, TileOutsideTheSheetHasNoFace) {
  CMj_Poke row = MakeRow();
  for (card c : {card{0, 0}, card{1, 10}, card{8, 1}, card{-1, 3}}) {
    uint16_t x = 0, y = 0;
    EXPECT_FALSE(row.GetMjFaceCell(c, x, y)) << c.m_nColor << "/" << c.m_nValue;
  }
  // A face-down tile in a face-up row is drawn as its bare tile.
  row.AddCard({1, 0});
  row.AddCard({1, 5});
  const SpriteDrawing d = row.LayoutDraw({0, 0, 100, 100});
  EXPECT_EQ(OpsOf(d, DrawSource::Tile).size(), 2u);
  EXPECT_EQ(OpsOf(d, DrawSource::Face).size(), 1u);
}

TEST(TileRow, WildTileTakesTheFirstWildColourRow) {
  CMj_Poke row = MakeRow();
  uint16_t x = 0, y = 0;
  ASSERT_TRUE(row.GetMjFaceCell({7, 5}, x, y));
  EXPECT_EQ(x, 4 * 22);
  EXPECT_EQ(y, 0);  // the constructor's wild tile is colour 0
  row.SetWildCards(0, nullptr);
  ASSERT_TRUE(row.GetMjFaceCell({7, 5}, x, y));
  EXPECT_EQ(y, 7 * 30);
}

TEST(TileRow, SetWildCardsMarksAndSortsWildTilesLast) {
  CMj_Poke row = MakeRow();
  for (card c : {card{1, 5}, card{0, 3}, card{2, 7}, card{1, 5}}) row.AddCard(c);
  const card wild[3] = {{1, 5}, {2, 7}, {0, 3}};
  row.SetWildCards(3, wild);  // capped at the two records
  EXPECT_EQ(row.WildCard(0), (card{1, 5}));
  EXPECT_EQ(row.WildCard(1), (card{2, 7}));
  const std::vector<card> expected = {{0, 3}, {7, 5}, {7, 5}, {7, 7}};
  EXPECT_EQ(row.Cards(), expected);
  EXPECT_TRUE(row.IsWildCard(3));
  EXPECT_FALSE(row.IsWildCard(0));
}

TEST(TileRow, SizesByMode) {
  CMj_Poke empty = MakeRow(0, 12, 0);
  uint16_t w = 1, h = 1;
  empty.GetSize(w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 12 + 37);

  // Mode 3 draws extra bitmap 0; give it 60 x 40: four tiles of 30 x 40.
  SpriteBitmapSizes sizes = SmallSet();
  sizes.extra[0] = {60, 40};
  CMj_Poke row(nullptr);
  row.Init(0, 12, 3, 0, sizes);
  for (int i = 0; i < 4; ++i) row.AddCard({1, 0});
  row.GetSize(w, h);
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 40);
  const SpriteDrawing d = row.LayoutDraw({5, 6, 0, 0});
  ASSERT_TRUE(d.drawn);
  EXPECT_EQ(d.tile, TileSource::Extra);
  EXPECT_EQ(d.extra, 0);
  ASSERT_EQ(d.ops.size(), 4u);
  EXPECT_EQ(d.ops[3], (DrawOp{DrawSource::Tile, 0, 0, 0, 30, 40, 90, 0}));
  EXPECT_EQ(d.x, 5);
  EXPECT_EQ(d.y, 6);
}

TEST(TileRow, UnmeasurableExtraKeepsTheOtherSlots) {
  SpriteBitmapSizes sizes = SmallSet();
  sizes.extra[0] = {0, 0};  // failed to load
  CMj_Poke row(nullptr);
  row.Init(0, 0, 4, 0, sizes);  // mode 4: extra 1 (60 x 40)
  row.AddCard({1, 0});
  uint16_t w = 0, h = 0;
  row.GetTileSize(w, h);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 40);
}

TEST(TileRow, ModeAboveSevenAndDisabledDraw) {
  CMj_Poke row = MakeRow(0, 12, 9);
  row.AddCard({0, 1});
  EXPECT_TRUE(row.LayoutDraw({0, 0, 50, 50}).error);
  CMj_Poke off = MakeRow();
  off.AddCard({0, 1});
  off.EnableDraw(false);
  const SpriteDrawing d = off.LayoutDraw({0, 0, 50, 50});
  EXPECT_FALSE(d.drawn);
  EXPECT_FALSE(d.error);
  EXPECT_FALSE(MakeRow().LayoutDraw({0, 0, 50, 50}).drawn);  // no tiles
}

TEST(TileRow, SingleSelectionTogglesAndMoves) {
  CMj_Poke row = MakeRow();
  row.SelectAt(2);
  EXPECT_EQ(row.Selection(), std::vector<uint16_t>{2});
  row.SelectAt(2);
  EXPECT_TRUE(row.Selection().empty());
  row.SelectAt(1);
  row.SelectAt(3);
  EXPECT_EQ(row.Selection(), std::vector<uint16_t>{3});
}

TEST(TileRow, SelectedTileIsRaisedOnlyUpright) {
  for (uint16_t angle : {0, 180}) {
    CMj_Poke row = MakeRow(angle, 12, 0);
    for (int v = 1; v <= 3; ++v) row.AddCard({0, v});
    row.SelectAt(1);
    const auto tiles = OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::Tile);
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(tiles[0].dy, 12);
    EXPECT_EQ(tiles[1].dx, 27);
    EXPECT_EQ(tiles[1].dy, angle == 0 ? 0 : 12) << angle;
    const auto faces = OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::Face);
    EXPECT_EQ(faces[1].dx, 27 + 5);
    EXPECT_EQ(faces[1].dy, (angle == 0 ? 0 : 12) + 5);
  }
}

TEST(TileRow, HitTest) {
  CMj_Poke row = MakeRow(0, 12, 0);
  for (int v = 1; v <= 3; ++v) row.AddCard({0, v});
  row.SelectAt(1);
  struct Case {
    int32_t x, y;
    int16_t index;
  } cases[] = {
      {0, 13, 0},  {26, 48, 0},  {10, 12, -1}, {10, 49, -1},  // unselected: margin < y < margin + H
      {30, 1, 1},  {30, 36, 1},  {30, 0, -1},                 // selected: 0 < y < H
      {27, 20, 0},                                            // shared edge: the first tile wins
      {80, 20, 2}, {82, 20, -1}, {-1, 20, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(row.HitTest(nullptr, c.x, c.y), c.index) << c.x << "," << c.y;
  CMj_Poke flowers = MakeRow(0, 0, 1);  // only mode 0 is selectable
  flowers.AddCard({5, 1});
  EXPECT_EQ(flowers.HitTest(nullptr, 5, 5), -1);
}

TEST(TileRow, TileListOperations) {
  CMj_Poke row = MakeRow();
  row.AddCard({0, 1});
  row.AddCard({0, 2});
  row.RemoveCard(3, 3);  // not held
  EXPECT_EQ(row.Cards().size(), 2u);
  row.AddCards(0, nullptr);
  row.RemoveFirst(0);
  row.RemoveAt(2);  // beyond the last tile
  row.RemoveAt(-1);
  EXPECT_EQ(row.Cards().size(), 2u);
  row.RemoveAt(0);
  EXPECT_EQ(row.Cards(), std::vector<card>{(card{0, 2})});
  row.RemoveFirst(3);
  EXPECT_TRUE(row.Cards().empty());
  row.SelectAt(0);
  row.ClearAll();
  EXPECT_TRUE(row.Selection().empty());
}

TEST(TileRow, SortsByColourThenValue) {
  CMj_Poke row = MakeRow();
  for (card c : {card{2, 1}, card{0, 9}, card{7, 1}, card{0, 2}, card{3, 4}}) row.AddCard(c);
  row.SortCards();
  const std::vector<card> expected = {{0, 2}, {0, 9}, {2, 1}, {3, 4}, {7, 1}};
  EXPECT_EQ(row.Cards(), expected);
}

TEST(BackBuffer, GrowsOnlyWhenTooSmall) {
  BitmapSize b = NextBackBufferSize({}, 50, 20);
  EXPECT_EQ(b.width, 180);
  EXPECT_EQ(b.height, 100);
  b = NextBackBufferSize(b, 200, 50);
  EXPECT_EQ(b.width, 200);
  EXPECT_EQ(b.height, 50);
  b = NextBackBufferSize(b, 100, 40);
  EXPECT_EQ(b.width, 200);
  EXPECT_EQ(b.height, 50);
  b = NextBackBufferSize({}, 400, 30);
  EXPECT_EQ(b.width, 400);
  EXPECT_EQ(b.height, 30);
}

}  // namespace
}  // namespace sprites
