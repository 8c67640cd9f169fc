// The walls: stack places, taking tiles from head and tail with wrapping and the guards for
// positions and counts from the network, the dice, the discards in the middle and their frame.
#include <gtest/gtest.h>

#include "sprite_fixture.h"
#include "wall_mj_poke.h"

namespace sprites {
namespace {

using testing::OpsOf;
using testing::SmallSet;

// The table's wall: kind 13, mode 1, fixed 400 x 300, a 12 x 4 discards grid, stack 46 x 30.
CWall_Mj_Poke_2_90 TableWall(uint16_t mode = 1) {
  CWall_Mj_Poke_2_90 w(nullptr);
  w.Init(0, 0, mode, 0x8000, SmallSet());
  w.SetGrid(12, 4);
  w.SetFaceOffset(4, 3);
  w.SetWallSize(400, 300);
  w.InitWall(64);
  return w;
}

const DrawOp* StackAt(const std::vector<DrawOp>& ops, int32_t x, int32_t y) {
  for (const DrawOp& op : ops)
    if (op.source == DrawSource::Stack && op.dx == x && op.dy == y) return &op;
  return nullptr;
}

TEST(TwoPlayerWall, StackPlaces) {
  CWall_Mj_Poke_2_90 w = TableWall();
  const SpriteDrawing d = w.LayoutDraw({0, 0, 400, 300});
  ASSERT_TRUE(d.drawn);
  EXPECT_TRUE(d.usesStacks);
  const auto stacks = OpsOf(d, DrawSource::Stack);
  ASSERT_EQ(stacks.size(), 64u);
  // Near row: stack 0 rightmost at x0 = (400 - 368) / 2 + 15 x 23 = 361, y0 = 300 - 30 - 3.
  EXPECT_EQ(stacks[0], (DrawOp{DrawSource::Stack, 0, 0, 0, 23, 30, 361, 267}));
  EXPECT_EQ(stacks[1].dy, 259);
  EXPECT_EQ(stacks[2].dx, 338);
  EXPECT_EQ(stacks[31].dx, 16);
  // Far row: lower tiles at y 12, upper at y 4.
  EXPECT_EQ(stacks[32].dx, 361);
  EXPECT_EQ(stacks[32].dy, 12);
  EXPECT_EQ(stacks[33].dy, 4);
}

TEST(TwoPlayerWall, HeadWrapsBelowTheFirstPosition) {
  CWall_Mj_Poke_2_90 w = TableWall();
  w.SetFirstPosition(0, 0);  // head 1, tail 2
  EXPECT_EQ(w.Head(), 1);
  EXPECT_EQ(w.Tail(), 2);
  w.DeleteFromHead(2);
  EXPECT_FALSE(w.Present(1));
  EXPECT_FALSE(w.Present(0));
  EXPECT_EQ(w.Head(), 63);  // -1 on a wall of 64
  w.DeleteFromHead(1);
  EXPECT_FALSE(w.Present(63));
  EXPECT_EQ(w.Head(), 62);
  EXPECT_EQ(w.PresentCount(), 61);
}

TEST(TwoPlayerWall, TailWrapsPastTheLastPosition) {
  CWall_Mj_Poke_2_90 w = TableWall();
  w.SetFirstPosition(1, 15);  // head 63, tail 64: the wall's start
  EXPECT_EQ(w.Head(), 63);
  EXPECT_EQ(w.Tail(), 0);
  w.DeleteFromTail(2);
  EXPECT_FALSE(w.Present(0));
  EXPECT_FALSE(w.Present(1));
  EXPECT_TRUE(w.Present(63));
  EXPECT_EQ(w.Tail(), 2);
}

TEST(TwoPlayerWall, NetworkValuesStayInsideTheWall) {
  CWall_Mj_Poke_2_90 unbuilt(nullptr);
  unbuilt.Init(0, 0, 1, 0, SmallSet());
  unbuilt.DeleteFromHead(5);  // no wall yet: nothing
  unbuilt.DeleteFromTail(5);
  EXPECT_FALSE(unbuilt.HasWall());
  unbuilt.InitWall(0);
  unbuilt.InitWall(-4);
  EXPECT_FALSE(unbuilt.HasWall());

  struct Case {
    int16_t loc, pos;
  } positions[] = {{0, -1}, {0, 500}, {1, -300}, {1, 32767}, {0, -32768}};
  for (const Case& c : positions) {
    CWall_Mj_Poke_2_90 w = TableWall();
    w.SetFirstPosition(c.loc, c.pos);
    EXPECT_GE(w.Head(), 0);
    EXPECT_LT(w.Head(), 64);
    EXPECT_GE(w.Tail(), 0);
    EXPECT_LT(w.Tail(), 64);
    w.DeleteFromHead(3);
    w.DeleteFromTail(3);
    EXPECT_EQ(w.PresentCount(), 58);
  }
  CWall_Mj_Poke_2_90 w = TableWall();
  w.DeleteFromHead(1000);  // more than the wall holds
  EXPECT_EQ(w.PresentCount(), 0);
  w.DeleteFromTail(10);
  EXPECT_EQ(w.PresentCount(), 0);
}

TEST(TwoPlayerWall, UpperTileWithoutItsLowerSitsInItsPlace) {
  CWall_Mj_Poke_2_90 w = TableWall();
  w.SetFirstPosition(0, 0);
  w.DeleteFromTail(1);  // position 2: the lower tile of stack 1
  const auto stacks = OpsOf(w.LayoutDraw({0, 0, 400, 300}), DrawSource::Stack);
  EXPECT_EQ(stacks.size(), 63u);
  EXPECT_NE(StackAt(stacks, 338, 267), nullptr);
  EXPECT_EQ(StackAt(stacks, 338, 259), nullptr);
}

TEST(TwoPlayerWall, Dice) {
  struct Case {
    int16_t seat, die1, die2;
    std::vector<DrawOp> expected;
  } cases[] = {
      {0, 2, 5, {{DrawSource::Dice, 2, 0, 0, 24, 24, 164, 204}, {DrawSource::Dice, 5, 0, 0, 24, 24, 212, 204}}},
      {1, 0, 1, {{DrawSource::Dice, 0, 0, 0, 24, 24, 164, 48}, {DrawSource::Dice, 1, 0, 0, 24, 24, 212, 48}}},
      {4, 3, 3, {{DrawSource::Dice, 3, 0, 0, 24, 24, 0, 0}, {DrawSource::Dice, 3, 0, 0, 24, 24, 0, 0}}},
      {0, 6, -1, {}},
      {-1, 1, 1, {}},
  };
  for (const Case& c : cases) {
    CWall_Mj_Poke_2_90 w = TableWall();
    w.ShowDice(c.seat, c.die1, c.die2);
    EXPECT_EQ(OpsOf(w.LayoutDraw({0, 0, 400, 300}), DrawSource::Dice), c.expected) << c.seat;
  }
  CWall_Mj_Poke_2_90 w = TableWall();
  w.ShowDice(0, 1, 1);
  w.SetFirstPosition(0, 3);  // placing the wall hides the dice
  EXPECT_TRUE(OpsOf(w.LayoutDraw({0, 0, 400, 300}), DrawSource::Dice).empty());
}

TEST(TwoPlayerWall, WithoutAWallNothingIsDrawn) {
  CWall_Mj_Poke_2_90 w(nullptr);
  w.Init(0, 0, 1, 0, SmallSet());
  w.SetWallSize(400, 300);
  EXPECT_FALSE(w.LayoutDraw({0, 0, 400, 300}).drawn);
}

TEST(TwoPlayerWall, DiscardsInTheMiddleWithTheLastFramed) {
  CWall_Mj_Poke_2_90 w = TableWall();
  int16_t column = -1, row = -1;
  const int16_t side = w.FindCell(1, column, row);
  w.PlaceInCell(1, side, {3, 2}, column, row);  // (11, 0)
  w.ShowFrame();
  // Grid 324 x 148 centred in 400 x 300: origin (38, 76).
  const int32_t tx = 11 * 27 + 38, ty = 76;
  EXPECT_EQ(w.FrameRectangle(), (PixelRect{tx + 4, ty + 4, tx + 4 + 21, ty + 4 + 28}));
  const SpriteDrawing d = w.LayoutDraw({0, 0, 400, 300});
  const auto tiles = OpsOf(d, DrawSource::Tile);
  ASSERT_EQ(tiles.size(), 1u);
  EXPECT_EQ(tiles[0].dx, tx);
  EXPECT_EQ(tiles[0].dy, ty);
  EXPECT_EQ(OpsOf(d, DrawSource::FrameRect).size(), 1u);
  EXPECT_EQ(OpsOf(d, DrawSource::FrameRect)[0].index, 1);  // the wall's brush
}

TEST(TwoPlayerWall, TurnedWallInModeTwo) {
  CWall_Mj_Poke_2_90 w = TableWall(2);
  const SpriteDrawing d = w.LayoutDraw({0, 0, 400, 300});
  const auto stacks = OpsOf(d, DrawSource::Stack);
  ASSERT_EQ(stacks.size(), 64u);
  EXPECT_EQ(stacks[0], (DrawOp{DrawSource::Stack, 2, 0, 0, 23, 30, 16, 0}));
  EXPECT_EQ(stacks[1].dy, -5);
  EXPECT_EQ(stacks[32].index, 0);
  EXPECT_EQ(stacks[32].dx, 361);
  EXPECT_EQ(stacks[32].dy, 267);
  EXPECT_EQ(d.tile, TileSource::FaceDown);
}

TEST(FourSidedWall, PositionsSizeAndDice) {
  CWall_Mj_Poke w(nullptr);
  w.Init(0, 0, 1, 0, SmallSet());
  w.InitWall(144);
  EXPECT_EQ(w.StacksPerSide(), 18);
  uint16_t W = 0, H = 0;
  w.GetSize(W, H);
  EXPECT_EQ(W, 18 * 23);
  EXPECT_EQ(H, 18 * 23 + 60);
  w.SetFirstPosition(0, 3);
  EXPECT_EQ(w.Head(), 2 * (36 + 3) + 1);
  w.SetFirstPosition(9, 3);  // not a side: the head stays
  EXPECT_EQ(w.Head(), 79);

  w.SetWallSize(500, 500);
  w.ShowDice(1, 0, 5);
  const SpriteDrawing d = w.LayoutDraw({10, 20, 510, 520});
  EXPECT_TRUE(d.brushBackground);
  EXPECT_EQ(OpsOf(d, DrawSource::Stack).size(), 144u);
  ASSERT_EQ(d.directOps.size(), 2u);
  EXPECT_EQ(d.directOps[0], (DrawOp{DrawSource::Dice, 0, 0, 0, 24, 24, 10 + 48, 20 + 214}));
  EXPECT_EQ(d.directOps[1].dy, 20 + 214 + 48);
}

}  // namespace
}  // namespace sprites
