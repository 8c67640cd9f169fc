// Where everything goes: the seat panels, marks, clocks and action places for both seats on
// both screen sizes, the tile areas, the buttons and the wall.
#include <gtest/gtest.h>

#include <cstring>

#include "table_fixture.h"

namespace table {
namespace {

using namespace testing;

TEST(SeatLayout, RectanglesOfBothSeatsOnBothScreens) {
  struct Case {
    bool big;
    int seat;
    Rect panel, banker, readyHand, ready, clock, action, anchor;
  } cases[] = {
      {true, 0, {15, 468, 105, 628}, {105, 488, 132, 515}, {105, 518, 132, 545},
       {105, 548, 132, 575}, {28, 404, 92, 468}, {894, 538, 979, 618}, {670, 736, 702, 768}},
      {true, 1, {919, 30, 1009, 190}, {892, 80, 919, 107}, {892, 110, 919, 137},
       {939, 3, 966, 30}, {932, 225, 996, 289}, {277, 132, 377, 252}, {496, 0, 528, 32}},
      {false, 0, {0, 340, 70, 460}, {70, 360, 97, 387}, {70, 390, 97, 417},
       {70, 420, 97, 447}, {3, 276, 67, 340}, {670, 370, 755, 450}, {558, 568, 590, 600}},
      {false, 1, {730, 30, 800, 150}, {703, 80, 730, 107}, {703, 110, 730, 137},
       {750, 3, 777, 30}, {733, 185, 797, 249}, {165, 132, 265, 252}, {384, 0, 416, 32}},
  };
  for (const auto& c : cases) {
    TableFixture f(c.big);
    CMjLocation& s = f.seat(c.seat);
    s.CalcLayout(f.surface.client);
    SCOPED_TRACE(std::string(c.big ? "big" : "small") + " seat " + std::to_string(c.seat));
    EXPECT_EQ(s.PanelRect(), c.panel) << Str(s.PanelRect());
    EXPECT_EQ(s.MarkRect(CMjLocation::kMarkBanker), c.banker);
    EXPECT_EQ(s.MarkRect(CMjLocation::kMarkReadyHand), c.readyHand);
    EXPECT_EQ(s.MarkRect(CMjLocation::kMarkReady), c.ready);
    EXPECT_EQ(s.ClockRect(), c.clock) << Str(s.ClockRect());
    EXPECT_EQ(s.ActionRect(), c.action) << Str(s.ActionRect());
    EXPECT_EQ(s.AnchorRect(), c.anchor);
  }
}

TEST(SeatLayout, PlainLookHasLargePanelsAndNoClock) {
  TableFixture f(true, /*avatar=*/false);
  f.surface.clock = {0, 0};
  CMjLocation& s = f.seat(0);
  s.CalcLayout(f.surface.client);
  EXPECT_EQ(s.PanelRect(), (Rect{15, 348, 255, 628}));
  EXPECT_TRUE(IsEmpty(s.ClockRect()));
  f.surface.Clear();
  s.countdown = 20;
  f.t().DrawCountDown(0);
  EXPECT_TRUE(f.surface.Of("image").empty());
}

TEST(CardLayout, OwnSeatRunsKongsMeldsHandAndCurrentOnOneLine) {
  TableFixture f(true);
  f.Deal({{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 7}, {2, 8}, {2, 9}, {3, 1}});
  const card pung[3] = {{4, 5}, {4, 5}, {4, 5}};
  f.t().ExposeCard_InRecover(0, kMeldChowOrPung, 3, pung);
  const card kong[4] = {{3, 3}, {3, 3}, {3, 3}, {3, 3}};
  f.t().ExposeCard_InRecover(0, kMeldConcealedKong, 4, kong);
  f.t().AddCardToCurrent(0, 3, 2, true);
  CMjLocation& s = f.seat(0);
  s.CalcCardLayout(f.surface.client);
  const Rect k = s.AreaRect(CMjLocation::kConcealedKongs), m = s.AreaRect(CMjLocation::kMelds),
             h = s.AreaRect(CMjLocation::kHand), c = s.AreaRect(CMjLocation::kCurrent);
  // Large set: hand tiles 40 x 66 raised by 14; melds 38 wide with an overlap of 2.
  EXPECT_EQ(Width(h), 10 * 40);
  EXPECT_EQ(Height(h), 80);
  EXPECT_EQ(Width(m), 38 + 2 * 36);
  EXPECT_EQ(Width(c), 40);
  const int total = Width(k) + Width(m) + Width(h) + Width(c);
  EXPECT_EQ(k.left, (1024 - total - 6) / 2);
  EXPECT_EQ(m.left, k.right + 2);
  EXPECT_EQ(h.left, m.right + 2);
  EXPECT_EQ(c.left, h.right + 10);
  EXPECT_EQ(k.top, 768 - 35 - Height(k));
  EXPECT_EQ(h.top, k.top);
  EXPECT_EQ(c.top, k.top);
  EXPECT_LE(h.bottom, 768);
  EXPECT_EQ(s.AreaRect(CMjLocation::kFlowers).bottom, 768);
}

TEST(CardLayout, OpponentRunsCurrentHandMeldsAndKongsUnderItsAnchor) {
  for (bool big : {true, false}) {
    TableFixture f(big);
    f.t().SetDealNum(1, 13);
    CMjLocation& s = f.seat(1);
    s.CalcLayout(f.surface.client);
    s.CalcCardLayout(f.surface.client);
    const Rect c = s.AreaRect(CMjLocation::kCurrent), h = s.AreaRect(CMjLocation::kHand),
               m = s.AreaRect(CMjLocation::kMelds);
    const int R = f.surface.client.right;
    const int x0 = (R - Width(h) - Width(c) - 10) / 2;
    SCOPED_TRACE(big);
    EXPECT_EQ(Width(h), 13 * 26);  // the small tile backs
    EXPECT_EQ(c.left, big ? x0 : x0 - 15);
    EXPECT_EQ(c.top, big ? 6 : 30);
    EXPECT_EQ(h.left, c.right + 5);
    EXPECT_EQ(m.left, h.right + 2);
    EXPECT_EQ(s.AreaRect(CMjLocation::kFlowers).right, R - 100);
  }
}

TEST(TableLayout, ButtonsAndWall) {
  struct Case {
    bool big;
    Rect hu, guo, start, dice, action, exit, setup, wall;
  } cases[] = {
      {true, {372, 538, 408, 578}, {612, 538, 648, 578}, {668, 549, 717, 579},
       {661, 549, 724, 579}, {981, 723, 1019, 763}, {970, 5, 994, 29}, {910, 5, 934, 29},
       {312, 194, 712, 494}},
      {false, {260, 460, 296, 500}, {500, 460, 536, 500}, {556, 465, 605, 495},
       {549, 465, 612, 495}, {757, 555, 795, 595}, {746, 5, 770, 29}, {686, 5, 710, 29},
       {200, 130, 600, 430}},
  };
  for (const auto& c : cases) {
    TableFixture f(c.big);
    f.t().CalcLayout();
    ButtonSet& b = f.t().Buttons();
    SCOPED_TRACE(c.big);
    EXPECT_EQ(b.Find(kButtonHu)->rect, c.hu) << Str(b.Find(kButtonHu)->rect);
    EXPECT_EQ(b.Find(kButtonGuo)->rect, c.guo);
    EXPECT_EQ(b.Find(kButtonStart)->rect, c.start) << Str(b.Find(kButtonStart)->rect);
    EXPECT_EQ(b.Find(kButtonDice)->rect, c.dice);
    EXPECT_EQ(b.Find(kButtonAction)->rect, c.action);
    EXPECT_EQ(f.t().ExitArea(), c.exit);
    EXPECT_EQ(f.t().SetupArea(), c.setup);
    EXPECT_EQ(f.t().WallRect(), c.wall) << Str(f.t().WallRect());
  }
}

TEST(TableDrawing, EmptySeatShowsNothingAndNamesGoUnderThePanels) {
  TableFixture f(true);
  f.t().SetPersonLocation(1, 0, nullptr);
  f.surface.Clear();
  f.t().StartGame(1);
  f.t().DrawLocation(1);
  EXPECT_TRUE(f.surface.Of("mark").empty());
  EXPECT_TRUE(f.surface.Of("holder").empty());

  f.t().SetPersonLocation(1, 0, &f.players[1]);
  f.t().RedrawTable();
  ASSERT_EQ(f.surface.composedTexts.size(), 4u);
  EXPECT_EQ(f.surface.composedTexts[0], (TextRun{15, 628, "Me"}));
  EXPECT_EQ(f.surface.composedTexts[1], (TextRun{15, 643, "[me]"}));
  EXPECT_EQ(f.surface.composedTexts[2], (TextRun{919, 190, "You"}));
  // A name that fills its field without a terminator stops at the field's end.
  std::memset(f.players[1].nickname, 'x', sizeof f.players[1].nickname);
  f.t().RedrawTable();
  EXPECT_EQ(f.surface.composedTexts[2].text, std::string(34, 'x'));
}

}  // namespace
}  // namespace table
