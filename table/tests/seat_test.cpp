// The seats' tiles as the interface methods change them: dealing, drawing, discarding, melds,
// the own discard choice, banker winds, and every guard against bad input.
#include <gtest/gtest.h>

#include <functional>

#include "table_fixture.h"

namespace table {
namespace {

using namespace testing;

TEST(SeatRouting, DealNumAddsFaceDownTilesToTheOpponentOnly) {
  struct Case {
    int16_t seat, num;
    uint16_t opponentTiles;
    bool seat1Drawn;
  } cases[] = {{0, 13, 0, false}, {1, 0, 0, true},      {1, 13, 13, true},
               {2, 5, 0, false},  {-1, 5, 0, false},    {1, -3, 0, true},
               // more than the largest wall holds: as many as it holds
               {1, 145, 144, true}, {1, 32767, 144, true}};
  for (const auto& c : cases) {
    TableFixture f;
    f.surface.Clear();
    f.t().SetDealNum(c.seat, c.num);
    SCOPED_TRACE(std::to_string(c.seat) + "," + std::to_string(c.num));
    EXPECT_EQ(f.Count(f.seat(1).hand()), c.opponentTiles);
    EXPECT_EQ(f.Count(f.seat(0).hand()), 0);
    EXPECT_EQ(!f.surface.Of("restore").empty(), c.seat1Drawn);
  }
}

TEST(SeatRouting, TimedDealIsBoundedAsTheDealIs) {
  for (auto [num, tiles] : {std::pair<int16_t, uint16_t>{13, 13}, {-5, 0}, {32767, 144}}) {
    TableFixture f;
    f.t().SetDealNum_InTimer(1, num);
    EXPECT_EQ(f.Count(f.seat(1).hand()), tiles) << num;
  }
}

TEST(SeatRouting, OpponentDrawIsOneHiddenTileAndItsDiscardKeepsItsHand) {
  TableFixture f;
  f.t().SetDealNum(1, 13);
  f.t().AddCardToCurrent(1, 2, 5, true);
  f.t().AddCardToCurrent(1, 2, 6, true);  // never two tiles
  ASSERT_EQ(f.Count(f.seat(1).current()), 1);
  uint16_t v = 9, c = 9;
  f.seat(1).current().GetCardAt(0, v, c);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(c, 0);
  const card discard{2, 5};
  f.t().SetRecvCards(1, 1, &discard, 1);
  EXPECT_EQ(f.Count(f.seat(1).hand()), 13);  // the drawn tile went
  EXPECT_EQ(f.Count(f.seat(1).current()), 0);
  f.t().SetRecvCards(1, 1, &discard, 1);
  EXPECT_EQ(f.Count(f.seat(1).hand()), 12);  // no drawn tile: one from the hand
  EXPECT_TRUE(f.t().lastDiscard == discard);
  EXPECT_TRUE(f.timers.Runs(kTimerOwnClock));  // the claim clock after the opponent's discard
  EXPECT_TRUE(f.t().claimChoice);
}

TEST(OwnDiscard, DrawnTileAndHandCopiesEndRight) {
  const card k1{0, 1}, k2{0, 2}, k3{0, 3};
  struct Case {
    const char* name;
    std::vector<card> hand;
    std::vector<card> current;
    card discard;
    std::vector<card> after;
  } cases[] = {
      {"drawn tile thrown, hand has a copy", {k1, k2, k2}, {k2}, k2, {k1, k2, k2}},
      {"drawn tile thrown, no copy", {k1, k3}, {k2}, k2, {k1, k3}},
      {"hand tile thrown, drawn tile joins", {k1, k3}, {k2}, k3, {k1, k2}},
      {"no drawn tile", {k1, k2, k3}, {}, k1, {k2, k3}},
  };
  for (const auto& c : cases) {
    TableFixture f;
    f.Deal(c.hand);
    for (const card& d : c.current) f.t().AddCardToCurrent(0, d.m_nColor, d.m_nValue, true);
    f.t().SetRecvCards(0, 1, &c.discard, 1);
    SCOPED_TRACE(c.name);
    const auto hand = f.OwnHand();
    ASSERT_EQ(hand.size(), c.after.size());
    for (size_t i = 0; i < hand.size(); ++i) EXPECT_TRUE(hand[i] == c.after[i]) << i;
    EXPECT_EQ(f.Count(f.seat(0).current()), 0);
  }
}

TEST(OwnDiscard, BadDiscardCallsChangeNothing) {
  TableFixture f;
  f.Deal({{0, 1}, {0, 2}});
  const card d{0, 1};
  f.t().SetRecvCards(0, 0, &d, 1);
  f.t().SetRecvCards(0, 1, nullptr, 1);
  f.t().SetRecvCards(7, 1, &d, 1);
  f.t().SetRecvCards_InRecover(0, 0, &d);
  f.t().SetRecvCards_InRecover(0, 3, nullptr);
  EXPECT_EQ(f.OwnHand().size(), 2u);
  EXPECT_FALSE(f.timers.Runs(kTimerWallBlink));
  // Three tiles: only the first is placed, and it is not the last discard.
  const card three[3] = {{1, 1}, {1, 2}, {1, 3}};
  f.t().SetRecvCards(1, 3, three, 1);
  EXPECT_EQ(f.t().lastDiscard.m_nValue, -1);
  uint16_t v = 0, c = 0;
  f.t().Wall().GetCardAt(0, v, c);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(c, 1);
}

TEST(GetSendCards, OneSelectedTileAndTheReadyHandRule) {
  TableFixture f;
  f.Deal({{0, 1}, {0, 2}, {0, 3}});
  EXPECT_FALSE(f.t().GetSendCards());  // nothing selected
  f.seat(0).hand().ClickAt(45, 30);    // the second tile (40 wide)
  auto t = f.t().GetSendCards();
  ASSERT_TRUE(t);
  EXPECT_TRUE(*t == (card{0, 2}));

  f.t().AddCardToCurrent(0, 1, 9, true);
  f.seat(0).current().ClickAt(5, 30);
  EXPECT_FALSE(f.t().GetSendCards());  // two selected
  f.seat(0).hand().ClearSelection();
  ASSERT_TRUE(f.t().GetSendCards());
  EXPECT_TRUE(*f.t().GetSendCards() == (card{1, 9}));

  // Ready hand: only the drawn tile may go.
  f.t().SetTingStatus(0, 1);
  f.seat(0).current().ClearSelection();
  f.seat(0).hand().ClickAt(5, 30);
  EXPECT_FALSE(f.t().GetSendCards());

  // Watching: never a tile.
  f.t().SetTingStatus(0, 0);
  f.t().playMode = false;
  EXPECT_FALSE(f.t().GetSendCards());
}

TEST(GetSendCards, SelectionDoesNotOutliveTheTilesItPointedAt) {
  TableFixture f;
  f.Deal({{0, 1}, {0, 5}, {0, 5}, {0, 7}});
  f.seat(0).hand().ClickAt(125, 30);  // the fourth tile
  ASSERT_TRUE(f.t().GetSendCards());
  f.t().lastDiscard = {0, 5};
  const card pung[3] = {{0, 5}, {0, 5}, {0, 5}};
  f.t().ExposeCard(0, kMeldChowOrPung, 3, pung);  // two tiles leave the hand
  EXPECT_EQ(f.OwnHand().size(), 2u);
  EXPECT_FALSE(f.t().GetSendCards());  // never the 0xFFFF tile
  // New tiles in the hand clear a selection too.
  f.seat(0).hand().ClickAt(5, 30);
  f.Deal({{2, 2}});
  EXPECT_FALSE(f.t().GetSendCards());
}

// The range check alone: tiles leave the hand behind the table's back (the holder keeps its
// selected indices on a removal), and a selection past the end gives no tile.
TEST(GetSendCards, SelectionPastTheEndGivesNoTile) {
  TableFixture f;
  f.Deal({{0, 1}, {0, 5}, {0, 5}, {0, 7}});
  f.seat(0).hand().ClickAt(125, 30);  // the fourth tile
  f.seat(0).hand().RemoveFirst(2);
  uint16_t selected = 0;
  f.seat(0).hand().GetSelectedCount(selected);
  ASSERT_EQ(selected, 1u);  // still pointing at index 3 of a hand of two
  EXPECT_FALSE(f.t().GetSendCards());
}

// The clear alone: a selection that is still in range after tiles left or joined the hand
// would send a tile the player chose before; every change of the own hand drops it.
TEST(GetSendCards, TilesLeavingOrJoiningTheHandDropTheSelection) {
  struct Case {
    const char* name;
    std::function<void(TableFixture&)> change;
  } cases[] = {
      {"pung", [](TableFixture& f) {
         const card pung[3] = {{0, 5}, {0, 5}, {0, 5}};
         f.t().lastDiscard = pung[0];
         f.t().ExposeCard(0, kMeldChowOrPung, 3, pung);
       }},
      {"kong on a discard", [](TableFixture& f) {
         const card kong[4] = {{0, 5}, {0, 5}, {0, 5}, {0, 5}};
         f.t().lastDiscard = kong[0];
         f.t().ExposeCard(0, kMeldKongOnDiscard, 4, kong);
       }},
      {"concealed kong", [](TableFixture& f) {
         const card kong[4] = {{0, 5}, {0, 5}, {0, 5}, {0, 5}};
         f.t().ExposeCard(0, kMeldConcealedKong, 4, kong);
       }},
      {"own discard", [](TableFixture& f) {
         const card discard{0, 5};
         f.t().SetRecvCards(0, 1, &discard, 1);
       }},
      {"tiles added", [](TableFixture& f) {
         const card added{2, 2};
         f.t().AddCardsToMyHandWithSort(1, &added);
       }},
  };
  for (const auto& c : cases) {
    TableFixture f;
    f.Deal({{0, 1}, {0, 5}, {0, 5}, {0, 5}, {0, 5}, {0, 7}});
    f.seat(0).hand().ClickAt(5, 30);  // the first tile, in range whatever leaves
    ASSERT_TRUE(f.t().GetSendCards()) << c.name;
    c.change(f);
    uint16_t selected = 1;
    f.seat(0).hand().GetSelectedCount(selected);
    EXPECT_EQ(selected, 0u) << c.name;
    EXPECT_FALSE(f.t().GetSendCards()) << c.name;
  }
}

TEST(Melds, ExposeCardByKind) {
  struct Case {
    const char* name;
    int16_t seat, type;
    std::vector<card> group;
    size_t handAfter, meldsAfter, kongsAfter, flowersAfter;
    int animationTimer;  // -1 none
    bool lightsSend;
  } cases[] = {
      {"own pung", 0, kMeldChowOrPung, {{0, 5}, {0, 5}, {0, 5}}, 6, 3, 0, 0, 135, true},
      {"own chow", 0, kMeldChowOrPung, {{0, 4}, {0, 5}, {0, 6}}, 6, 3, 0, 0, 130, true},
      {"own kong on a discard", 0, kMeldKongOnDiscard, {{0, 5}, {0, 5}, {0, 5}, {0, 5}}, 5,
       4, 0, 0, 140, true},
      {"own concealed kong", 0, kMeldConcealedKong, {{1, 1}, {1, 1}, {1, 1}, {1, 1}}, 5, 0,
       4, 0, 140, true},
      {"own flowers", 0, kMeldFlowers, {{5, 1}, {5, 2}}, 8, 0, 0, 2, -1, false},
      {"own hand laid open", 0, kMeldHandLaidOpen, {{0, 4}, {0, 5}}, 0, 2, 0, 0, -1, true},
      {"opponent pung", 1, kMeldChowOrPung, {{2, 2}, {2, 2}, {2, 2}}, 0, 3, 0, 0, 136, false},
      {"unknown kind", 0, 9, {{0, 5}}, 8, 0, 0, 0, -1, false},
  };
  for (const auto& c : cases) {
    TableFixture f;
    f.Deal({{0, 4}, {0, 5}, {0, 5}, {0, 5}, {0, 6}, {1, 1}, {1, 1}, {1, 1}});
    f.t().AddCardToCurrent(0, 1, 1, true);
    f.t().SetDealNum(1, 5);
    const card discard = c.group.front();
    f.t().SetRecvCards_InRecover(c.seat == 0 ? 1 : 0, 1, &discard);
    f.t().lastDiscard = discard;
    f.t().LightPeng(1);
    f.timers.running.clear();
    f.t().ExposeCard(c.seat, c.type, static_cast<int16_t>(c.group.size()), c.group.data());
    SCOPED_TRACE(c.name);
    CMjLocation& s = f.seat(c.seat);
    if (c.seat == 0) EXPECT_EQ(f.OwnHand().size(), c.handAfter);
    EXPECT_EQ(f.Count(s.melds()), c.meldsAfter);
    EXPECT_EQ(f.Count(s.concealedKongs()), c.kongsAfter);
    EXPECT_EQ(f.Count(s.flowers()), c.flowersAfter);
    bool animated = false;
    for (uint32_t id = 130; id < 150; ++id) animated = animated || f.timers.Runs(id);
    EXPECT_EQ(animated, c.animationTimer >= 0);
    if (c.animationTimer >= 0) EXPECT_TRUE(f.timers.Runs(c.animationTimer));
    EXPECT_EQ(f.t().Buttons().Enabled(kButtonSend), c.lightsSend);
    if (c.lightsSend) EXPECT_FALSE(f.t().Buttons().Enabled(kButtonPeng));
  }
}

TEST(Melds, RecoveryAndBadGroups) {
  TableFixture f;
  const card kong[4] = {{3, 7}, {3, 7}, {3, 7}, {3, 7}};
  f.t().ExposeCard_InRecover(1, kMeldConcealedKong, 4, kong);
  f.t().ExposeCard_InRecover(1, kMeldFlowers, 2, kong);
  f.t().ExposeCard_InRecover(1, kMeldAddedKong, 4, kong);
  EXPECT_EQ(f.Count(f.seat(1).concealedKongs()), 4);
  EXPECT_EQ(f.Count(f.seat(1).flowers()), 2);
  EXPECT_EQ(f.Count(f.seat(1).melds()), 4);
  EXPECT_EQ(f.t().GetHuaNum(1), 2);
  for (int16_t bad : {-1, 2, 300}) EXPECT_EQ(f.t().GetHuaNum(bad), 0);
  // Counts below one, null arrays and bad seats are ignored.
  f.t().ExposeCard_InRecover(0, kMeldChowOrPung, 0, kong);
  f.t().ExposeCard_InRecover(0, kMeldChowOrPung, 3, nullptr);
  f.t().ExposeCard(0, kMeldChowOrPung, 3, nullptr);
  f.t().ExposeCard(5, kMeldChowOrPung, 3, kong);
  EXPECT_EQ(f.Count(f.seat(0).melds()), 0);
  f.t().DeleteAllHideGang();
  EXPECT_EQ(f.Count(f.seat(1).concealedKongs()), 0);
}

// A claimed discard leaves the discarder's row when the claim is shown (the row is drawn again
// without it), whoever claims; a win on a discard takes it too, a self-drawn win takes nothing.
TEST(Melds, ClaimedDiscardLeavesTheRowAtOnce) {
  struct Case {
    const char* name;
    int16_t claimer;
    int16_t type;  // a MeldKind, or -1: the win (HuPai) on the discard
    int16_t gunloc;
    bool taken;
  } cases[] = {
      {"own pung", 0, kMeldChowOrPung, 1, true},
      {"own kong on the discard", 0, kMeldKongOnDiscard, 1, true},
      {"opponent pung", 1, kMeldChowOrPung, 0, true},
      {"own win on the discard", 0, -1, 1, true},
      {"opponent win on the discard", 1, -1, 0, true},
      {"self-drawn win", 0, -1, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TableFixture f;
    f.Deal({{0, 5}, {0, 5}, {0, 5}, {1, 2}});
    f.t().SetDealNum(1, 6);
    const int16_t discarder = c.claimer == 0 ? 1 : 0;
    const card discard{0, 5};
    if (discarder == 0) f.t().AddCardToCurrent(0, 0, 5, true);
    f.t().SetRecvCards(discarder, 1, &discard, 1);
    f.t().BlinkWall(true);
    uint16_t v = 0, col = 0;
    f.t().Wall().GetCardAt(0, v, col);
    ASSERT_EQ(v, 5);
    f.surface.Clear();
    if (c.type < 0) {
      f.t().HuPai(c.claimer, c.gunloc);
    } else {
      const card group[4] = {discard, discard, discard, discard};
      f.t().ExposeCard(c.claimer, c.type, c.type == kMeldKongOnDiscard ? 4 : 3, group);
    }
    f.t().Wall().GetCardAt(0, v, col);
    EXPECT_EQ(v != 5, c.taken);
    bool wallDrawn = false;
    for (const Step& step : f.surface.Of("holder")) wallDrawn = wallDrawn || step.holder == &f.t().Wall();
    EXPECT_EQ(wallDrawn, c.taken);
    if (c.taken) EXPECT_FALSE(f.timers.Runs(kTimerWallBlink));
  }
  // A row rebuilt after a reconnection holds no discard waiting for a claim.
  TableFixture f;
  const card tile{2, 3};
  f.t().SetRecvCards_InRecover(1, 1, &tile);
  f.t().HuPai(0, 1);
  uint16_t v = 0, col = 0;
  f.t().Wall().GetCardAt(0, v, col);
  EXPECT_EQ(v, 3);
}

TEST(Wall, PositionsAndCountsFromTheWireStayOnTheWall) {
  TableFixture f;
  f.t().Wall().DeleteCardsFromWall(5, 0);  // no wall yet
  f.t().InitWall(0);                       // ignored
  f.t().InitWall(64);
  f.t().Wall().SetFirstPosition_InWall(1, 500);
  f.t().Wall().DeleteCardsFromWall(300, 0);
  f.t().Wall().DeleteCardsFromWall(-4, 1);
  f.t().Wall().SetFirstPosition_InWall(0, -9);
  f.t().DrawWall();
  uint16_t w = 0, h = 0;
  f.t().Wall().GetSize(w, h);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 300);
}

TEST(Banker, WindsWalkBackwardsFromTheBanker) {
  struct Case {
    int16_t banker;
    uint16_t wind0, wind1;
  } cases[] = {{0, 0, 1}, {1, 1, 0}, {2, 0xFFFF, 0xFFFF}, {-1, 0xFFFF, 0xFFFF}};
  for (const auto& c : cases) {
    TableFixture f;
    f.t().SetBanker(c.banker, 3);
    EXPECT_EQ(f.seat(0).wind, c.wind0) << c.banker;
    EXPECT_EQ(f.seat(1).wind, c.wind1) << c.banker;
  }
}

TEST(Seats, MarksFollowTheirFlags) {
  TableFixture f;
  f.surface.Clear();
  f.t().SetBanker(1, 0);
  f.t().StartGame(0);
  f.t().SetTingStatus(0, 1);
  f.surface.Clear();
  f.t().DrawLocation(0);
  auto marks = f.surface.Of("mark");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].arg, int(Mark::Ready));
  EXPECT_EQ(marks[1].arg, int(Mark::ReadyHand));
  f.surface.marks.erase(Mark::ReadyHand);  // a mark that did not load is left out
  f.surface.Clear();
  f.t().DrawLocation(1);
  f.t().DrawLocation(0);
  marks = f.surface.Of("mark");
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].arg, int(Mark::Banker));
  EXPECT_EQ(marks[1].arg, int(Mark::Ready));
  f.t().StartGame(-1);
  EXPECT_FALSE(f.seat(0).ready);
  f.t().StartGame(4);  // nothing
}

TEST(Seats, DeleteAllFromSendClearsHandCurrentAndKongs) {
  TableFixture f;
  f.Deal({{0, 1}, {0, 2}});
  f.t().AddCardToCurrent(0, 0, 3, true);
  const card kong[4] = {{3, 7}, {3, 7}, {3, 7}, {3, 7}};
  f.t().ExposeCard_InRecover(0, kMeldConcealedKong, 4, kong);
  f.t().ExposeCard_InRecover(0, kMeldChowOrPung, 3, kong);
  f.t().DeleteAllFromSend(0);
  EXPECT_EQ(f.OwnHand().size(), 0u);
  EXPECT_EQ(f.Count(f.seat(0).current()), 0);
  EXPECT_EQ(f.Count(f.seat(0).concealedKongs()), 0);
  EXPECT_EQ(f.Count(f.seat(0).melds()), 3);
  f.t().DeleteAllFromSend(-4);
}

}  // namespace
}  // namespace table
