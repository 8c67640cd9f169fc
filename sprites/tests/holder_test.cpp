// The holder: the sprite made by kind, value/colour order, bounds of GetCardAt, clicks, the
// operations that need a particular kind, and drawing only while visible.
#include <gtest/gtest.h>

#include "sprite_fixture.h"
#include "sprite_holder_core.h"

namespace sprites {
namespace {

using testing::SmallSet;

SpriteHolderCore MakeHolder(uint16_t kind, uint16_t mode = 0, int16_t margin = 12) {
  SpriteHolderCore h(SpriteBuild::Table);
  h.CreateSprite(kind, 0, margin, mode, 0x8000, SmallSet());
  return h;
}

TEST(Holder, KindSelectsTheClass) {
  struct Case {
    uint16_t kind;
    bool plain, groups, matrix, wall4, wall2;
  } cases[] = {
      {4, true, false, false, false, false},  {5, false, false, true, false, false},
      {7, false, false, true, true, false},   {13, false, false, true, false, true},
      {6, false, true, false, false, false},  {1, false, true, false, false, false},
      {99, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    const auto s = CreateSpriteOfKind(c.kind, nullptr, SpriteBuild::Table);
    const CMj_Poke& sprite = *s;
    EXPECT_EQ(typeid(sprite) == typeid(CMj_Poke), c.plain) << c.kind;
    EXPECT_EQ(dynamic_cast<CSeperator_Mj_Poke*>(s.get()) != nullptr, c.groups) << c.kind;
    EXPECT_EQ(dynamic_cast<CMatrix_Mj_Poke*>(s.get()) != nullptr, c.matrix) << c.kind;
    EXPECT_EQ(dynamic_cast<CWall_Mj_Poke*>(s.get()) != nullptr, c.wall4) << c.kind;
    EXPECT_EQ(dynamic_cast<CWall_Mj_Poke_2_90*>(s.get()) != nullptr, c.wall2) << c.kind;
  }
}

TEST(Holder, SecondCreateReinitialisesTheSameSprite) {
  SpriteHolderCore h = MakeHolder(4);
  CMj_Poke* first = h.Sprite();
  h.AddCard(3, 2);
  h.CreateSprite(6, 0, 20, 1, 0, SmallSet());
  EXPECT_EQ(h.Sprite(), first);
  EXPECT_EQ(h.Sprite()->Raise(), 20);
  uint16_t n = 1;
  h.GetCount(n);
  EXPECT_EQ(n, 0);  // Init empties the row
}

TEST(Holder, CardsCrossAsValueThenColour) {
  SpriteHolderCore h = MakeHolder(4);
  h.AddCard(3, 2);
  h.AddCard(1, 0);  // sorted in front
  h.AddCardWithoutSort(9, 0);
  EXPECT_EQ(h.Sprite()->Cards()[1], (card{2, 3}));
  uint16_t value = 0, color = 0;
  h.GetCardAt(1, value, color);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(color, 2);
  for (int16_t bad : {int16_t{3}, int16_t{-1}, int16_t{-32768}}) {
    h.GetCardAt(bad, value, color);
    EXPECT_EQ(value, 0xFFFF) << bad;
    EXPECT_EQ(color, 0xFFFF) << bad;
  }
  h.RemoveCard(3, 2);
  uint16_t n = 0;
  h.GetCount(n);
  EXPECT_EQ(n, 2);
}

TEST(Holder, ClickSelectsTheTileHit) {
  SpriteHolderCore h = MakeHolder(4, 0, 12);
  for (int v = 1; v <= 5; ++v) h.AddCard(static_cast<int16_t>(v), 1);
  h.ClickAt(4 * 27 + 5, 20);
  h.ClickAt(27 + 5, 20);
  EXPECT_EQ(h.SelectedIndices(), std::vector<uint16_t>{1});
  h.ClickAt(27 + 5, 5);  // the raised tile
  EXPECT_TRUE(h.SelectedIndices().empty());
  h.ClickAt(500, 20);  // no tile
  uint16_t n = 9;
  h.GetSelectedCount(n);
  EXPECT_EQ(n, 0);
  h.ClickAt(5, 20);
  h.ClearSelection();
  EXPECT_TRUE(h.SelectedIndices().empty());

  SpriteHolderCore groups = MakeHolder(6, 1);
  groups.ClickAt(1, 1);
  EXPECT_EQ(groups.SelectedIndices(), std::vector<uint16_t>{100});
}

TEST(Holder, KindSpecificOperationsIgnoreOtherKinds) {
  SpriteHolderCore hand = MakeHolder(4);
  hand.AddCard(1, 1);
  hand.InitWall(64);
  hand.SetFirstPosition_InWall(0, 3);
  hand.DeleteCardsFromWall(2, 1);
  hand.ShowDice(1, 0, 1, 2);
  hand.SetWallSize(400, 300);
  hand.SetOverlap(9);
  hand.SetGroupFrame(1);
  const card g[1] = {{1, 1}};
  hand.RemoveGroup(1, g);
  int16_t x = 5, y = 5;
  hand.GetLastGroupPos(x, y);
  EXPECT_EQ(x, 0);
  uint16_t n = 0;
  hand.GetCount(n);
  EXPECT_EQ(n, 1);
  EXPECT_FALSE(hand.Sprite()->FrameShown());

  SpriteHolderCore none(SpriteBuild::Board);  // before CreateSprite
  none.AddCard(1, 1);
  none.ClickAt(1, 1);
  none.InitWall(64);
  EXPECT_FALSE(none.LayoutDraw({0, 0, 10, 10}).has_value());
}

TEST(Holder, WallThroughTheHolder) {
  SpriteHolderCore h = MakeHolder(13, 1, 0);
  h.SetGrid(12, 4);
  h.SetWallSize(400, 300);
  h.InitWall(64);
  h.SetFirstPosition_InWall(0, 0);
  h.DeleteCardsFromWall(2, 0);  // head
  h.DeleteCardsFromWall(1, 1);  // tail
  auto* wall = dynamic_cast<CWall_Mj_Poke_2_90*>(h.Sprite());
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->PresentCount(), 61);
  EXPECT_FALSE(wall->Present(2));
  h.ShowDice(1, 0, 2, 3);
  EXPECT_TRUE(wall->DiceShown());
  h.ShowDice(0, 0, 2, 3);
  EXPECT_FALSE(wall->DiceShown());
  h.PutCardInCell(5, 1, 0);
  EXPECT_EQ(wall->PlacedCount(), 1);
  EXPECT_EQ(wall->Placed()[0].m_nColor, 1);
  EXPECT_EQ(wall->Placed()[0].m_nValue, 5);
  h.SetFrame(1);
  EXPECT_TRUE(wall->FrameShown());
  h.PutCardInCell(6, 1, 1);  // placing hides the frame
  EXPECT_FALSE(wall->FrameShown());
  h.RemoveAt(0);
  EXPECT_EQ(wall->PlacedCount(), 1);
}

TEST(Holder, DrawsOnlyWhileVisible) {
  SpriteHolderCore h = MakeHolder(4);
  h.AddCard(1, 1);
  ASSERT_TRUE(h.LayoutDraw({0, 0, 10, 10}).has_value());
  h.SetVisible(0);
  EXPECT_FALSE(h.LayoutDraw({0, 0, 10, 10}).has_value());
  h.SetVisible(1);
  h.EnableDraw(0);
  EXPECT_FALSE(h.LayoutDraw({0, 0, 10, 10})->drawn);
}

}  // namespace
}  // namespace sprites
