// Recovery after a reconnect, against the real rules engine: a hand is played live up to a
// point, then a fresh table is rebuilt from the snapshot the server sends at that point (651 to
// 655); the rebuilt table must show the same melds and ready marks and the engine must hold the
// same hand, melds, kongs and discards as live play reached. The rebuild's own display calls
// are checked where the order matters.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "mj_body.h"
#include "mj_model_table.h"
#include "mj_real_engine.h"

namespace {

using Real = MjSessionT<GlueArithmetic>;
using Fake = MjSessionT<FakeMjArithmetic>;

struct Picture {
  EngineState engine;
  std::multiset<std::string> shown[2];
  int ting[2];
  int16_t gangs[2];
  int16_t dice;
};

Picture PictureOf(Real& s) {
  Picture p;
  p.engine = StateOf(s.engine);
  for (int l = 0; l < 2; ++l) {
    p.shown[l] = s.display.shown[l];
    p.ting[l] = s.display.ting[l];
    p.gangs[l] = s.table.GangCount(l);
  }
  s.engine.GetDiceNum(&p.dice);
  return p;
}

void ExpectSame(const Picture& live, const Picture& rebuilt, const char* what) {
  EXPECT_EQ(rebuilt.engine, live.engine) << what;
  for (int l = 0; l < 2; ++l) {
    EXPECT_EQ(rebuilt.shown[l], live.shown[l]) << what << ", location " << l;
    EXPECT_EQ(rebuilt.ting[l], live.ting[l]) << what << ", location " << l;
    EXPECT_EQ(rebuilt.gangs[l], live.gangs[l]) << what << ", location " << l;
  }
}

// The hand: I sit at seat 1 (location 0), bob deals from seat 0.
const std::vector<uint8_t> kDeal = {C(0, 2), C(0, 3), C(1, 5), C(1, 5), C(1, 5), C(2, 7), C(2, 7),
                                    C(2, 7), C(3, 1), C(3, 1), C(4, 2), C(4, 2), C(0, 9)};
const std::vector<uint8_t> kBob = {C(1, 1), C(1, 1), C(1, 2), C(1, 3), C(1, 4), C(2, 2), C(2, 3),
                                   C(2, 4), C(4, 1), C(4, 1), C(0, 8), C(0, 8), C(0, 8)};
const std::vector<uint8_t> kMelds = {C(0, 1), C(0, 2), C(0, 3), C(3, 1), C(3, 1), C(3, 1)};
const std::vector<uint8_t> kKong = {C(2, 7), C(2, 7), C(2, 7), C(2, 7)};
const std::vector<uint8_t> kHidden = {C(1, 5), C(1, 5), C(1, 5), C(1, 5)};

template <class Session>
void Draw(Session& s, int seat, uint8_t code, int left) {
  ASSERT_TRUE(s.Send(621, Body().u16(seat).codes({code}, 2).u16(1).u16(0).u16(left).b));
}
template <class Session>
void Discard(Session& s, int seat, uint8_t code) {
  ASSERT_TRUE(s.Send(616, Body().u16(seat).codes({code}, 2).b));
}

// A snapshot head: hand 1, wall 72, bob deals, the wall opened at my side, position 5, the tiles
// taken from the front and from the back.
Body Head(int front = 27, int back = 9) {
  return Body().u16(1).u16(72).u16(0).u16(1).u16(5).u16(front).u16(back);
}

// The per-seat strings of the snapshots: discards, melds, kongs and concealed kongs.
Body Strings(const std::vector<uint8_t>& bobDiscards, const std::vector<uint8_t>& myDiscards) {
  return Body().codes(bobDiscards, 30).codes(myDiscards, 30).zeros(16).codes(kMelds, 16).zeros(16)
      .codes(kKong, 16).zeros(16).codes(kHidden, 16);
}

TEST(MjRecovery, RebuildsWhatLivePlayReached) {
  Real live(1);
  // 651: the hand about to start.
  ASSERT_TRUE(live.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
  const Picture atStart = PictureOf(live);
  {
    Real r(1);
    r.table.OnNetworkEnd(2);
    ASSERT_TRUE(r.Send(651, Body().u16(1).u16(72).u16(0).u16(1).u16(-1 & 0xFFFF).b));
    ExpectSame(atStart, PictureOf(r), "651");
    EXPECT_EQ(PictureOf(r).dice, atStart.dice);
    EXPECT_EQ(r.table.IgnoresMjData(), 0);
  }
  // 652: bob threw, I throw next.
  ASSERT_TRUE(live.Send(606, Body().u16(0).u16(0).b));
  ASSERT_TRUE(live.Send(607, Body().u16(0).u16(3).u16(4).u16(1).b));
  const Picture atDice = PictureOf(live);
  {
    Real r(1);
    ASSERT_TRUE(r.Send(652, Body().u16(1).u16(72).u16(0).u16(1).u16(3).u16(4).u16(1).b));
    ExpectSame(atDice, PictureOf(r), "652");
    EXPECT_EQ(PictureOf(r).dice, atDice.dice);
  }

  ASSERT_TRUE(live.Send(607, Body().u16(1).u16(2).u16(2).u16(0xFFFF).b));
  ASSERT_TRUE(live.Send(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(kDeal, 22).b));
  Discard(live, 0, C(0, 1));
  ASSERT_TRUE(live.Send(622, Body().u16(1).u16(1).codes({C(0, 1), C(0, 2), C(0, 3)}, 6).b));
  Discard(live, 1, C(0, 9));
  Draw(live, 0, 0, 40);
  Discard(live, 0, C(3, 1));
  ASSERT_TRUE(live.Send(622, Body().u16(1).u16(2).codes({C(3, 1), C(3, 1), C(3, 1)}, 6).b));
  Discard(live, 1, C(4, 2));
  Draw(live, 0, 0, 39);
  Discard(live, 0, C(2, 7));
  ASSERT_TRUE(live.Send(639, Body().u16(1).codes(kKong, 6).codes({C(1, 5)}, 2).u16(0).u16(1).u16(38).b));
  ASSERT_TRUE(live.Send(637, Body().u16(1).codes(kHidden, 6).codes({C(0, 7)}, 2).u16(0).u16(1).u16(37).b));
  Discard(live, 1, C(0, 7));
  ASSERT_TRUE(live.Send(631, Body().u16(1).u16(1).b));
  Draw(live, 0, 0, 36);
  Discard(live, 0, C(4, 3));

  // 654: bob's discard may be claimed.
  const Picture atDiscard = PictureOf(live);
  {
    Real r(1);
    // The last discard travels on its own, outside the discard strings.
    Body b = Head().codes({C(4, 2)}, 20);
    const Body strings = Strings({}, {C(0, 9), C(4, 2), C(0, 7)});
    b.b.insert(b.b.end(), strings.b.begin(), strings.b.end());
    b.u16(0).codes({C(4, 3)}, 2).u16(0).u16(1).u16(13).u16(1).zeros(2);
    ASSERT_TRUE(r.Send(654, b.b));
    ExpectSame(atDiscard, PictureOf(r), "654");
  }
  {
    // A server that also lists the last discard among its seat's discards: it is laid down once.
    // The 32 tiles taken (30 from the front, 2 from the back) are all at the seats already.
    Real r(1);
    Body b = Head(30, 2).codes({C(4, 2)}, 20);
    const Body strings = Strings({C(4, 3)}, {C(0, 9), C(4, 2), C(0, 7)});
    b.b.insert(b.b.end(), strings.b.begin(), strings.b.end());
    b.u16(0).codes({C(4, 3)}, 2).u16(0).u16(1).u16(13).u16(1).zeros(2);
    const size_t mark = r.Mark();
    ASSERT_TRUE(r.Send(654, b.b));
    ExpectSame(atDiscard, PictureOf(r), "654 listing the last discard");
    const CallLog shown = Shown(r.Since(mark));
    EXPECT_EQ(std::count(shown.begin(), shown.end(), Call("T.SetRecvCards_InRecover", 1, T({C(4, 3)}))), 0);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), Call("T.SetRecvCards", 1, T({C(4, 3)}), 0, 1, 0, 0)), 1);
  }

  // 653: my turn after my draw.
  Draw(live, 1, C(3, 4), 35);
  const Picture atTurn = PictureOf(live);
  {
    Real r(1);
    Body b = Head().codes({C(4, 2), C(3, 4)}, 20);
    const Body strings = Strings({C(4, 3)}, {C(0, 9), C(4, 2), C(0, 7)});
    b.b.insert(b.b.end(), strings.b.begin(), strings.b.end());
    b.u16(1).u16(0).u16(1).u16(13).u16(2).u16(1).zeros(2);
    const size_t mark = r.Mark();
    ASSERT_TRUE(r.Send(653, b.b));
    ExpectSame(atTurn, PictureOf(r), "653");
    // The last own code is the drawn tile; my count-down runs and the discard button is lit.
    const CallLog shown = Shown(r.Since(mark));
    const auto at = [&](const std::string& line) {
      return std::find(shown.begin(), shown.end(), line) - shown.begin();
    };
    EXPECT_LT(at("T.AddCardToCurrent(0,3,4)"), at("T.StartChoice(0)"));
    EXPECT_LT(at("T.StartChoice(0)"), at("T.LightSend(1)"));
    EXPECT_EQ(shown.back(), "T.Update(-1)");
  }

  // 655: my self-drawn win, shown again with its score report.
  Discard(live, 1, C(3, 4));
  Draw(live, 0, 0, 34);
  Discard(live, 0, C(0, 5));
  Draw(live, 1, C(4, 2), 33);
  const std::vector<uint8_t> winning = {C(4, 2), C(4, 2)};
  size_t sent = live.socket.sent.size();
  ASSERT_TRUE(live.Send(627, Body().u16(1).u16(1).u16(0).codes({C(4, 2)}, 2).codes(kBob, 20)
                                 .codes(winning, 20).zeros(16).codes(kHidden, 16).b));
  const auto liveReport = live.SentSince(sent);
  ASSERT_EQ(liveReport.size(), 1u);
  EXPECT_EQ(liveReport[0].first, kMjHuAck);
  const Picture atWin = PictureOf(live);
  {
    Real r(1);
    Body b = Head().codes(kBob, 20).codes(winning, 20);
    const Body strings = Strings({C(4, 3), C(0, 5)}, {C(0, 9), C(4, 2), C(0, 7), C(3, 4)});
    b.b.insert(b.b.end(), strings.b.begin(), strings.b.end());
    b.u16(1).u16(1).u16(0).codes({C(4, 2)}, 2).u16(13).u16(2).u16(0).u16(1).zeros(2);
    sent = r.socket.sent.size();
    const size_t mark = r.Mark();
    ASSERT_TRUE(r.Send(655, b.b));
    ExpectSame(atWin, PictureOf(r), "655");
    // The further kongs are laid open once, as in live play.
    const CallLog shown = Shown(r.Since(mark));
    EXPECT_EQ(std::count(shown.begin(), shown.end(), Call("T.ExposeCard_InRecover", 0, 4, T(kHidden))), 1);
    EXPECT_EQ(r.SentSince(sent), liveReport);
  }
}

// Bob discards the same tile twice, the first time unclaimed: the 654 after his second discard
// ends his discards with the tile it offers. Whether that is the offered tile listed again or his
// earlier discard, only the counts tell; either way the table shows both of his discards.
TEST(MjRecovery, RepeatedDiscardIsKeptUnlessListedTwice) {
  Real live(1);
  ASSERT_TRUE(live.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
  ASSERT_TRUE(live.Send(606, Body().u16(0).u16(0).b));
  ASSERT_TRUE(live.Send(607, Body().u16(0).u16(3).u16(4).u16(0xFFFF).b));
  ASSERT_TRUE(live.Send(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(kDeal, 22).b));
  Discard(live, 0, C(4, 3));
  Draw(live, 1, C(1, 9), 44);
  Discard(live, 1, C(0, 9));
  Draw(live, 0, 0, 43);
  Discard(live, 0, C(4, 3));
  const Picture atDiscard = PictureOf(live);
  std::vector<uint8_t> myHand(kDeal.begin(), kDeal.end() - 1);
  myHand.push_back(C(1, 9));

  struct Case {
    const char* what;
    std::vector<uint8_t> bobDiscards;
  } cases[] = {{"listed once", {C(4, 3)}}, {"listed twice", {C(4, 3), C(4, 3)}}};
  for (const Case& c : cases) {
    Real r(1);
    // 29 tiles taken from the front: 28 at the seats and the offered discard.
    Body b = Head(29, 0).codes(myHand, 20).codes(c.bobDiscards, 30).codes({C(0, 9)}, 30).zeros(96);
    b.u16(0).codes({C(4, 3)}, 2).u16(0).u16(0).u16(13).u16(13).zeros(2);
    const size_t mark = r.Mark();
    ASSERT_TRUE(r.Send(654, b.b));
    ExpectSame(atDiscard, PictureOf(r), c.what);
    const CallLog shown = Shown(r.Since(mark));
    EXPECT_EQ(std::count(shown.begin(), shown.end(), Call("T.SetRecvCards_InRecover", 1, T({C(4, 3)}))), 1)
        << c.what;
  }
}

// A snapshot that arrives over a table still showing a hand (the link was lost in the middle of
// it) must leave the real table model exactly as the same snapshot leaves a fresh one: nothing
// of the old hand stays, no tile shows twice, and the engine holds what a fresh engine holds.
TEST(MjRecovery, SnapshotOverAShownHandShowsWhatAFreshTableShows) {
  using Model = MjSessionT<GlueArithmetic, ModelMjTable>;
  const auto playToMidHand = [](Model& s) {
    ASSERT_TRUE(s.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
    ASSERT_TRUE(s.Send(606, Body().u16(0).u16(0).b));
    ASSERT_TRUE(s.Send(607, Body().u16(0).u16(3).u16(4).u16(0xFFFF).b));
    ASSERT_TRUE(s.Send(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(kDeal, 22).b));
    Discard(s, 0, C(0, 1));
    ASSERT_TRUE(s.Send(622, Body().u16(1).u16(1).codes({C(0, 1), C(0, 2), C(0, 3)}, 6).b));
    Discard(s, 1, C(0, 9));
    Draw(s, 0, 0, 43);
    Discard(s, 0, C(3, 1));
    ASSERT_TRUE(s.Send(622, Body().u16(1).u16(2).codes({C(3, 1), C(3, 1), C(3, 1)}, 6).b));
    ASSERT_GT(s.display.Concealed(0), 0);
    ASSERT_GT(s.display.Concealed(1), 0);
  };
  // The snapshots of a later point of the same hand, or of the next hand.
  const std::vector<uint8_t> myHand = {C(1, 5), C(1, 5), C(1, 5), C(2, 7), C(2, 7), C(2, 7), C(4, 2),
                                       C(4, 2)};
  const Body strings = Body().codes({C(0, 5)}, 30).codes({C(0, 9)}, 30).zeros(16)
                           .codes(kMelds, 16).zeros(64);
  Body s653 = Head(31, 0).codes(myHand, 20);
  s653.b.insert(s653.b.end(), strings.b.begin(), strings.b.end());
  s653.u16(1).u16(0).u16(0).u16(13).u16(8).u16(2).zeros(2);
  Body s654 = Head(31, 0).codes(myHand, 20);
  s654.b.insert(s654.b.end(), strings.b.begin(), strings.b.end());
  s654.u16(0).codes({C(4, 3)}, 2).u16(0).u16(0).u16(13).u16(8).zeros(2);
  const std::vector<uint8_t> winning = {C(1, 5), C(1, 5), C(1, 5), C(2, 7), C(2, 7), C(2, 7), C(4, 2),
                                        C(4, 2)};
  Body s655 = Head(31, 0).codes(kBob, 20).codes(winning, 20);
  s655.b.insert(s655.b.end(), strings.b.begin(), strings.b.end());
  s655.u16(1).u16(1).u16(0).codes({C(4, 2)}, 2).u16(13).u16(8).u16(0).u16(0).zeros(2);
  const struct {
    uint16_t id;
    std::vector<uint8_t> body;
  } snapshots[] = {
      {651, Body().u16(2).u16(72).u16(1).u16(0).u16(0).b},
      {652, Body().u16(2).u16(72).u16(1).u16(1).u16(2).u16(5).u16(0).b},
      {653, s653.b},
      {654, s654.b},
      {655, s655.b},
  };
  for (const auto& snapshot : snapshots) {
    Model fresh(1);
    ASSERT_TRUE(fresh.Send(snapshot.id, snapshot.body)) << snapshot.id;
    Model over(1);
    playToMidHand(over);
    ASSERT_TRUE(over.Send(snapshot.id, snapshot.body)) << snapshot.id;
    EXPECT_EQ(over.display.Tiles(), fresh.display.Tiles()) << snapshot.id;
    EXPECT_EQ(StateOf(over.engine), StateOf(fresh.engine)) << snapshot.id;
    for (int16_t l = 0; l < 2; ++l) EXPECT_LE(over.display.Concealed(l), 14) << snapshot.id;
  }
}

TEST(MjRecovery, OtherPlayerHoldsTheTurn) {
  Fake s(1);
  Body b = Head().codes({C(0, 1), C(0, 2)}, 20).zeros(60 + 96);
  b.u16(0).u16(0).u16(0).u16(14).u16(2).u16(1).zeros(2);
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(653, b.b));
  const CallLog shown = Shown(s.Since(mark));
  // Bob's count less one and a face-down drawn tile; his count-down; no discard button for me.
  EXPECT_NE(std::find(shown.begin(), shown.end(), "T.SetDealNum(1,13)"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), "T.AddCardToCurrent(1,0,0)"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), "T.StartChoice(1)"), shown.end());
  EXPECT_EQ(std::find(shown.begin(), shown.end(), "T.LightSend(1)"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(),
                      Call("T.AddCardsToMyHandWithSort_InDeal", T({C(0, 1), C(0, 2)}))),
            shown.end());
}

TEST(MjRecovery, FocusByTurnState) {
  struct Row {
    int state;
    const char* focus;  // expected FocusCards call, or empty
  };
  const Row rows[] = {{1, ""}, {2, "T.FocusCards(2,1)"}, {3, "T.FocusCards(2,1)"}, {4, "T.FocusCards(3,1)"}};
  for (const Row& row : rows) {
    Fake s(1);
    Body b = Head().codes({C(0, 1), C(0, 2)}, 20).zeros(60 + 96);
    b.u16(1).u16(0).u16(0).u16(13).u16(2).u16(row.state).zeros(2);
    const size_t mark = s.Mark();
    ASSERT_TRUE(s.Send(653, b.b));
    const CallLog shown = Shown(s.Since(mark));
    const bool focused = std::any_of(shown.begin(), shown.end(),
                                     [](const std::string& l) { return l.rfind("T.FocusCards", 0) == 0; });
    if (*row.focus) {
      EXPECT_NE(std::find(shown.begin(), shown.end(), row.focus), shown.end()) << row.state;
    } else {
      EXPECT_FALSE(focused) << row.state;
    }
  }
}

TEST(MjRecovery, DiscardsAreRebuiltInPlayingOrder) {
  Fake s(1);
  // Seat 0 discarded five tiles, seat 1 four.
  const std::vector<uint8_t> seat0 = {C(0, 1), C(0, 2), C(0, 3), C(0, 4), C(0, 5)};
  const std::vector<uint8_t> seat1 = {C(1, 1), C(1, 2), C(1, 3), C(1, 4)};
  Body b = Head().zeros(20).codes(seat0, 30).codes(seat1, 30).zeros(96);
  b.u16(0).codes({}, 2).u16(0).u16(0).u16(13).u16(13).zeros(2);
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(654, b.b));
  CallLog order;
  for (const std::string& line : Shown(s.Since(mark))) {
    if (line.rfind("T.SetRecvCards_InRecover", 0) == 0) order.push_back(line);
  }
  CallLog expected;
  for (size_t r = 0; r < 5; ++r) {
    expected.push_back(Call("T.SetRecvCards_InRecover", 1, T({seat0[r]})));  // seat 0 is bob's
    if (r < 4) expected.push_back(Call("T.SetRecvCards_InRecover", 0, T({seat1[r]})));
  }
  EXPECT_EQ(order, expected);
}

TEST(MjRecovery, PartialMeldGroupsAreIgnored) {
  Fake s(1);
  const std::vector<uint8_t> seven = {C(0, 1), C(0, 2), C(0, 3), C(2, 5), C(2, 5), C(2, 5), C(1, 9)};
  Body b = Head().zeros(20).zeros(60).zeros(16).codes(seven, 16).zeros(64);
  b.u16(0).codes({}, 2).u16(0).u16(0).u16(13).u16(7).zeros(2);
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(654, b.b));
  CallLog melds;
  for (const std::string& line : Shown(s.Since(mark))) {
    if (line.find("ExposeCard_InRecover") != std::string::npos) melds.push_back(line);
  }
  EXPECT_EQ(melds, (CallLog{Call("T.ExposeCard_InRecover", 0, 1, T({C(0, 1), C(0, 2), C(0, 3)})),
                            Call("A.ExposeCard_InRecover", 0, 1, T({C(0, 1), C(0, 2), C(0, 3)})),
                            Call("T.ExposeCard_InRecover", 0, 1, T({C(2, 5), C(2, 5), C(2, 5)})),
                            Call("A.ExposeCard_InRecover", 0, 1, T({C(2, 5), C(2, 5), C(2, 5)}))}));
}

TEST(MjRecovery, SnapshotsAreRecordedForTheHandRecord) {
  Fake s(1);
  Body b = Head().codes({C(0, 1)}, 20).zeros(60 + 96);
  b.u16(1).u16(0).u16(0).u16(13).u16(1).u16(1).zeros(2);
  ASSERT_TRUE(s.Send(653, b.b));
  EXPECT_EQ(s.table.HandRecord().stage, kStageFromTurn);
  EXPECT_EQ(s.table.HandRecord().snapshot3.myHand[0], static_cast<char>(C(0, 1)));
  EXPECT_TRUE(s.table.HandRecord().steps.empty());
}

}  // namespace

namespace {

// Snapshots in any order, and a win for a hand the engine does not hold: each is taken, the
// receiving goes on, nothing is read outside a body.
TEST(MjRecovery, SnapshotsOutOfOrderAndAWinTheEngineDoesNotHold) {
  Real s(1);
  Body r3 = Head().codes({C(0, 1), C(0, 2)}, 20).zeros(60 + 96);
  r3.u16(0).u16(0).u16(0).u16(13).u16(2).u16(1).zeros(2);
  Body r5 = Head().codes(kBob, 20).codes({C(0, 1)}, 20).zeros(60 + 96);
  r5.u16(1).u16(1).u16(0).codes({C(0, 1)}, 2).u16(13).u16(1).u16(0).u16(0).zeros(2);
  Body r4 = Head().zeros(20).zeros(60 + 96);
  r4.u16(1).codes({C(2, 2)}, 2).u16(0).u16(0).u16(0).u16(0).zeros(2);
  const std::vector<std::pair<uint16_t, std::vector<uint8_t>>> script = {
      {655, r5.b},
      {653, r3.b},
      {652, Body().u16(1).u16(72).u16(1).u16(0).u16(0).u16(0).u16(0xFFFF).b},
      {654, r4.b},
      {651, Body().u16(2).u16(72).u16(0).u16(-1 & 0xFFFF).u16(1).b},
      {627, Body().u16(1).u16(2).u16(0).codes({C(3, 3)}, 2).codes(kBob, 20).codes(kDeal, 20).zeros(32).b},
  };
  for (const auto& [id, body] : script) {
    const size_t sent = s.socket.sent.size();
    ASSERT_TRUE(s.Send(id, body)) << id;
    EXPECT_EQ(s.pending, std::vector<int32_t>{32}) << id;
    // Only a win of the local player is reported, once.
    const auto out = s.SentSince(sent);
    if (id == 655 || id == 627) {
      ASSERT_EQ(out.size(), 1u) << id;
      EXPECT_EQ(out[0].first, kMjHuAck) << id;
    } else {
      EXPECT_TRUE(out.empty()) << id;
    }
  }
}

}  // namespace

namespace {

// The player's claims against the real engine: the board offers the engine's chows, and each
// kind of kong the engine offers goes out as its own message.
TEST(MjRealEngine, ClaimsGoOutAsTheEngineOffersThem) {
  Real s(1);
  const std::vector<uint8_t> mine = {C(0, 2), C(0, 3), C(0, 5), C(0, 6), C(3, 3), C(3, 3), C(2, 1),
                                     C(2, 1), C(2, 1), C(1, 9), C(1, 9), C(1, 9), C(4, 1)};
  ASSERT_TRUE(s.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
  ASSERT_TRUE(s.Send(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(mine, 22).b));
  const auto sentOne = [&](const std::function<void()>& act) {
    const size_t sent = s.socket.sent.size();
    act();
    const auto out = s.SentSince(sent);
    EXPECT_EQ(out.size(), 1u);
    return out.empty() ? std::pair<uint16_t, std::vector<uint8_t>>{} : out[0];
  };

  // Three chows on the four of characters: three rows; the second row's chow goes out.
  Discard(s, 0, C(0, 4));
  size_t mark = s.Mark();
  s.table.OnChi();
  CallLog shown = Shown(s.Since(mark));
  EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                          [](const std::string& l) { return l.rfind("B.InsertRow", 0) == 0; }),
            3);
  ASSERT_EQ(s.table.InfoDlg().Options().size(), 3u);
  const std::vector<card> chosen = s.table.InfoDlg().Options()[1][0];
  auto [id, body] = sentOne([&] { s.table.InfoDlg().OnBoardClick(1); });
  EXPECT_EQ(id, kMjAction);
  ASSERT_EQ(body.size(), 10u);
  EXPECT_EQ(body[3], kMjActionChi);
  std::vector<uint8_t> chow(body.begin() + 4, body.begin() + 7);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Tile(chow[i]), chosen[i]);
  ASSERT_TRUE(s.Send(622, Body().u16(1).u16(1).codes(chow, 6).b));

  // The suit tile the chow left in the hand.
  std::vector<uint8_t> rest = {C(0, 2), C(0, 3), C(0, 5), C(0, 6)};
  for (uint8_t c : chow) {
    auto it = std::find(rest.begin(), rest.end(), c);
    if (it != rest.end()) rest.erase(it);
  }
  ASSERT_EQ(rest.size(), 2u);
  Discard(s, 1, C(4, 1));
  Draw(s, 0, 0, 40);

  // Pung of the west wind.
  Discard(s, 0, C(3, 3));
  std::tie(id, body) = sentOne([&] { s.table.OnPeng(); });
  EXPECT_EQ(id, kMjAction);
  EXPECT_EQ(body, Body().u16(1).u16(2).codes({C(3, 3), C(3, 3), C(3, 3)}, 6).b);
  ASSERT_TRUE(s.Send(622, Body().u16(1).u16(2).codes({C(3, 3), C(3, 3), C(3, 3)}, 6).b));
  Discard(s, 1, rest[0]);
  Draw(s, 0, 0, 39);

  // Kong on a discard: 617 action 3.
  Discard(s, 0, C(2, 1));
  std::tie(id, body) = sentOne([&] { s.table.OnGang(); });
  EXPECT_EQ(id, kMjAction);
  EXPECT_EQ(body, Body().u16(1).u16(3).codes({C(2, 1), C(2, 1), C(2, 1), C(2, 1)}, 6).b);
  ASSERT_TRUE(s.Send(639, Body().u16(1).codes({C(2, 1), C(2, 1), C(2, 1), C(2, 1)}, 6)
                              .codes({C(1, 9)}, 2).u16(0).u16(1).u16(38).b));
  // The fourth nine of dots: a concealed kong, 636.
  std::tie(id, body) = sentOne([&] { s.table.OnGang(); });
  EXPECT_EQ(id, kMjGang);
  EXPECT_EQ(body, Body().u16(1).codes({C(1, 9), C(1, 9), C(1, 9), C(1, 9)}, 6).b);
  ASSERT_TRUE(s.Send(637, Body().u16(1).codes({C(1, 9), C(1, 9), C(1, 9), C(1, 9)}, 6)
                              .codes({C(3, 3)}, 2).u16(0).u16(1).u16(37).b));
  // The fourth west wind onto the pung: an added kong, 638.
  std::tie(id, body) = sentOne([&] { s.table.OnGang(); });
  EXPECT_EQ(id, kMjGang2);
  EXPECT_EQ(body, Body().u16(1).codes({C(3, 3), C(3, 3), C(3, 3), C(3, 3)}, 6).b);
  ASSERT_TRUE(s.Send(623, Body().u16(1).codes({C(3, 3), C(3, 3), C(3, 3), C(3, 3)}, 6)
                              .codes({C(0, 8)}, 2).u16(0).u16(1).u16(36).b));
  const EngineState e = StateOf(s.engine);
  EXPECT_EQ(e.meldedKongs.size(), 2u);
  EXPECT_EQ(e.concealedKongs.size(), 1u);
  EXPECT_EQ(e.melds.size(), 1u);  // the chow; the pung became a kong
  EXPECT_EQ(s.table.GangCount(1), 2);
}

}  // namespace

namespace {

TEST(MjRecovery, ReadyStatesAndDiceOfTheEarlySnapshots) {
  struct Row {
    const char* what;
    int player;
    int mine;  // my ready state (I sit at seat 1)
    int bobs;
    CallLog calls;  // what UpdateReadyState shows, between the deal display and the new hand
  };
  const std::vector<Row> rows = {
      {"I am not ready yet", 1, -1, 1, {"T.StartDeal()", "T.StartGame(1)"}},
      {"I am ready", 1, 1, -1, {"T.HideStartButton()", "T.ShowButtons()", "T.StartGame(0)"}},
      {"a watcher sees the start signs only", 0, 1, 1, {"T.StartGame(1)", "T.StartGame(0)"}},
  };
  for (const Row& r : rows) {
    Fake s(1);
    s.settings.PlayerFlag = r.player;
    const size_t mark = s.Mark();
    ASSERT_TRUE(s.Send(651, Body().u16(4).u16(72).u16(0).u16(r.bobs & 0xFFFF).u16(r.mine & 0xFFFF).b));
    CallLog expected = {"T.ResetTable()", "A.SetHandNo(4)", "T.StartDeal()"};
    expected.insert(expected.end(), r.calls.begin(), r.calls.end());
    if (r.player) expected.push_back("A.StartOneHand(-1,1)");
    for (const char* line : {"T.StartOneHand()", "T.DeleteAllFromMyHand()", "T.InitWall(72)",
                             "T.SetBanker(1,-1)", "A.SetBanker(1,-1)"}) {
      expected.push_back(line);
    }
    EXPECT_EQ(Shown(s.Since(mark)), expected) << r.what;
  }
  // 652 before the banker threw: the banker's dice start.
  Fake s(1);
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(652, Body().u16(4).u16(72).u16(0).u16(0).u16(0).u16(0).u16(0xFFFF).b));
  EXPECT_EQ(Shown(s.Since(mark)),
            (CallLog{"A.StartOneHand(-1,1)", "T.StartOneHand()", "T.DeleteAllFromMyHand()", "T.InitWall(72)",
                     "T.SetBanker(1,-1)", "A.SetBanker(1,-1)", "T.StartDice(1)"}));
  EXPECT_EQ(s.table.IsInProgress(), 1);
}

}  // namespace

// The framework's own wait for a snapshot ends with it: a game end the server reports later is
// handled again, and a new hand lets the player ask to leave twice again.
TEST(MjRecovery, ASnapshotEndsTheFrameworksWaitToo) {
  Real r(1);
  r.table.OnNetworkEnd(2);
  EXPECT_EQ(r.table.IgnoresGameData(), 1);
  ASSERT_TRUE(r.Send(651, Body().u16(1).u16(72).u16(0).u16(1).u16(-1 & 0xFFFF).b));
  EXPECT_EQ(r.table.IgnoresGameData(), 0);
  r.table.RequestExit();
  EXPECT_EQ(r.table.ExitRequestsSent(), 1);
  ASSERT_TRUE(r.Send(601, Body().u16(0).u16(2).u16(72).u16(0).u16(1).b));
  EXPECT_EQ(r.table.ExitRequestsSent(), 0);
  ASSERT_TRUE(r.Send(3003, Body().u16(0).u16(0).u16(0xFFFF).u16(0).s32(9999).b));
  EXPECT_EQ(r.table.IsGameOver(), 1);
}
