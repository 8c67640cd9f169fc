// The grouped row: widths and tile places with gaps, overlaps and kongs, the raised fourth
// tile, four unequal tiles, the face-down layout, the frame bar, group removal and both builds.
#include <gtest/gtest.h>

#include "grouped_tile_row.h"
#include "sprite_fixture.h"

namespace sprites {
namespace {

using testing::OpsOf;
using testing::SmallSet;

constexpr int16_t kMargin = 8;

CSeperator_Mj_Poke MakeGroups(uint16_t mode = 1, SpriteBuild build = SpriteBuild::Table,
                              uint16_t angle = 0) {
  CSeperator_Mj_Poke row(nullptr, build);
  row.Init(angle, kMargin, mode, 0x8000, SmallSet(angle == 180 ? 0 : angle));
  return row;
}

void Add(CSeperator_Mj_Poke& row, std::vector<card> group) {
  row.AddCards(static_cast<int16_t>(group.size()), group.data());
}

const std::vector<card> kPung = {{1, 5}, {1, 5}, {1, 5}};
const std::vector<card> kKong = {{2, 3}, {2, 3}, {2, 3}, {2, 3}};
const std::vector<card> kChow = {{0, 4}, {0, 2}, {0, 3}};
const std::vector<card> kPair = {{3, 1}, {3, 1}};
const std::vector<card> kOpenFour = {{0, 1}, {0, 2}, {0, 3}, {4, 1}};

TEST(GroupedRow, Widths) {
  struct Case {
    const char* name;
    std::vector<std::vector<card>> groups;
    uint16_t mode;
    uint16_t width;
  } cases[] = {
      {"pung", {kPung}, 1, 73},
      {"kong", {kKong}, 1, 73},
      {"chow", {kChow}, 1, 73},
      {"pair", {kPair}, 1, 50},
      {"single", {{{0, 1}}}, 1, 27},
      {"two chows", {kChow, kChow}, 1, 154},
      {"empty group adds its gap", {kPung, {}}, 1, 81},
      {"four unequal face up", {kOpenFour}, 1, 96},
      {"four unequal face down", {kOpenFour}, 2, 73},
  };
  for (const Case& c : cases) {
    CSeperator_Mj_Poke row = MakeGroups(c.mode);
    for (const auto& g : c.groups) Add(row, g);
    uint16_t w = 0, h = 0;
    row.GetSize(w, h);
    EXPECT_EQ(w, c.width) << c.name;
    EXPECT_EQ(h, kMargin + 37) << c.name;
  }
}

TEST(GroupedRow, KongFourthTileIsCentredAndRaised) {
  CSeperator_Mj_Poke row = MakeGroups();
  Add(row, kKong);
  Add(row, kPair);
  const int16_t xs[] = {0, 27, 50, 24, 81, 108};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(row.GetCardX(k), xs[k]) << k;
  EXPECT_EQ(row.GetCardX(6), 0);  // beyond the last tile

  const auto tiles = OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::Tile);
  ASSERT_EQ(tiles.size(), 6u);
  const int32_t ys[] = {kMargin, kMargin, kMargin, 0, kMargin, kMargin};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(tiles[k].dx, xs[k]) << k;
    EXPECT_EQ(tiles[k].dy, ys[k]) << k;
  }
  // The first tile of a group and the raised one are whole; the others lose their left ov
  // pixels under the neighbour, and never read past the tile.
  EXPECT_EQ(tiles[0], (DrawOp{DrawSource::Tile, 0, 0, 0, 27, 37, 0, kMargin}));
  EXPECT_EQ(tiles[1], (DrawOp{DrawSource::Tile, 0, 4, 0, 23, 37, 27, kMargin}));
  EXPECT_EQ(tiles[3].sx, 0);
  EXPECT_EQ(tiles[3].w, 27);
}

TEST(GroupedRow, FourUnequalTilesFitTheirWidth) {
  CSeperator_Mj_Poke row = MakeGroups();
  Add(row, kOpenFour);
  const SpriteDrawing d = row.LayoutDraw({0, 0, 0, 0});
  const auto tiles = OpsOf(d, DrawSource::Tile);
  ASSERT_EQ(tiles.size(), 4u);
  EXPECT_EQ(tiles[3].dx, 73);
  EXPECT_EQ(tiles[3].dy, kMargin);
  EXPECT_EQ(tiles[3].dx + tiles[3].w, d.width);
}

TEST(GroupedRow, FaceDownLaysEveryFourAsAKong) {
  CSeperator_Mj_Poke row = MakeGroups(2);
  Add(row, kOpenFour);
  const SpriteDrawing d = row.LayoutDraw({0, 0, 0, 0});
  EXPECT_EQ(d.tile, TileSource::FaceDown);
  EXPECT_TRUE(OpsOf(d, DrawSource::Face).empty());
  const auto tiles = OpsOf(d, DrawSource::Tile);
  ASSERT_EQ(tiles.size(), 4u);
  EXPECT_EQ(tiles[3].dx, 24);
  EXPECT_EQ(tiles[3].dy, 0);
  EXPECT_EQ(tiles[2].dy, kMargin);
  // Every tile after the first, the raised fourth included, loses its left overlap.
  for (int j = 1; j < 4; ++j) {
    EXPECT_EQ(tiles[j].sx, 4) << j;
    EXPECT_EQ(tiles[j].w, 27 - 4) << j;
  }
  EXPECT_EQ(tiles[0].sx, 0);
  EXPECT_EQ(tiles[0].w, 27);
}

TEST(GroupedRow, FacesFollowTheirTiles) {
  CSeperator_Mj_Poke row = MakeGroups();
  row.SetFaceOffset(3, 2);
  Add(row, kChow);  // sorted to 2, 3, 4 of characters
  const auto faces = OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::Face);
  ASSERT_EQ(faces.size(), 3u);
  EXPECT_EQ(faces[0], (DrawOp{DrawSource::Face, 0, 22, 0, 22, 30, 3, kMargin + 2}));
  EXPECT_EQ(faces[1].dx, 27);  // no x offset inside the group
  EXPECT_EQ(faces[1].sx, 44);
}

TEST(GroupedRow, BoardBuildMirrorsAtAngle180) {
  struct Case {
    SpriteBuild build;
    uint16_t angle;
    int32_t firstY, kongY;
  } cases[] = {
      {SpriteBuild::Table, 0, kMargin, 0},   {SpriteBuild::Table, 180, kMargin, 0},
      {SpriteBuild::Board, 0, kMargin, 0},   {SpriteBuild::Board, 180, 0, kMargin},
  };
  for (const Case& c : cases) {
    CSeperator_Mj_Poke row = MakeGroups(1, c.build, c.angle);
    Add(row, kKong);
    const auto tiles = OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::Tile);
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles[0].dy, c.firstY) << c.angle;
    EXPECT_EQ(tiles[1].dy, c.firstY) << c.angle;
    EXPECT_EQ(tiles[3].dy, c.kongY) << c.angle;
  }
  CSeperator_Mj_Poke turned = MakeGroups(1, SpriteBuild::Board, 90);
  Add(turned, kPung);
  const SpriteDrawing d = turned.LayoutDraw({0, 0, 0, 0});
  EXPECT_TRUE(d.drawn);  // background and copy still happen
  EXPECT_TRUE(d.ops.empty());
}

TEST(GroupedRow, HitTestAlwaysGivesTheNoTileIndex) {
  CSeperator_Mj_Poke row = MakeGroups();
  Add(row, kPung);
  EXPECT_EQ(row.HitTest(nullptr, 5, 20), 100);
  EXPECT_EQ(row.HitTest(nullptr, -50, 9999), 100);
}

TEST(GroupedRow, FrameBarUnderTheLastGroup) {
  CSeperator_Mj_Poke row = MakeGroups();
  Add(row, kPung);
  Add(row, kChow);
  row.ShowFrame();
  EXPECT_TRUE(row.FrameShown());
  EXPECT_EQ(row.FrameRectangle(), (PixelRect{81, 43, 27 + 131, 45}));
  const auto frames = OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::FrameRect);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].w, 158 - 81);
  EXPECT_EQ(frames[0].h, 2);
  // A pair: the bar runs under both of its tiles.
  Add(row, kPair);
  row.ShowFrame();
  EXPECT_EQ(row.FrameRectangle().left, 162);
  EXPECT_EQ(row.FrameRectangle().right, 27 + 162 + 27);
  row.HideFrame();
  EXPECT_TRUE(OpsOf(row.LayoutDraw({0, 0, 0, 0}), DrawSource::FrameRect).empty());
}

TEST(GroupedRow, RemoveGroupNeedsTheStoredOrder) {
  CSeperator_Mj_Poke row = MakeGroups();
  Add(row, kChow);
  Add(row, kPung);
  row.RemoveGroup(3, kChow.data());  // 4, 2, 3: the stored group is sorted
  EXPECT_EQ(row.Groups().size(), 2u);
  const card sorted[3] = {{0, 2}, {0, 3}, {0, 4}};
  row.RemoveGroup(3, sorted);
  ASSERT_EQ(row.Groups().size(), 1u);
  EXPECT_EQ(row.Groups()[0], kPung);
  int16_t x = -1, y = -1;
  row.GetLastGroupPos(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(GroupedRow, CountsAndCardsAcrossGroups) {
  CSeperator_Mj_Poke row = MakeGroups();
  Add(row, kPair);
  Add(row, kKong);
  uint16_t n = 0;
  row.GetCount(n);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(row.CardAt(2), (card{2, 3}));
  EXPECT_FALSE(row.CardAt(6).has_value());
  int16_t x = 0, y = 0;
  row.GetLastGroupPos(x, y);
  EXPECT_EQ(x, 58);
  row.ClearAll();
  row.GetCount(n);
  EXPECT_EQ(n, 0);
}

}  // namespace
}  // namespace sprites
