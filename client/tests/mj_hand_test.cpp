// Whole hands through the receive path: a scripted server sends real signed frames, the player
// acts through the play table's operations, and each step checks what reached the display, the
// rules engine, the board, the sounds and the notices, and the bodies that went out.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "mj_body.h"
#include "mj_fakes.h"

namespace {

using Session = MjSessionT<FakeMjArithmetic>;
using Sent = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;

struct Step {
  const char* what;
  std::function<void(Session&)> act;
  CallLog shown;
  Sent sent;
};

// An inbound message as a step action.
std::function<void(Session&)> In(uint16_t id, const Body& body) {
  return [id, body](Session& s) { ASSERT_TRUE(s.Send(id, body.b)) << id; };
}

void Play(Session& s, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    const size_t mark = s.Mark();
    const size_t sentMark = s.socket.sent.size();
    step.act(s);
    EXPECT_EQ(Shown(s.Since(mark)), step.shown) << step.what;
    EXPECT_EQ(s.SentSince(sentMark), step.sent) << step.what;
    // Whatever happened, the table waits for the next header.
    EXPECT_EQ(s.pending, std::vector<int32_t>{32}) << step.what;
  }
}

std::string S(const char* name, const char* sound) { return std::string(name) + "(" + sound + ")"; }

// The local player at seat 1; bob (seat 0) deals.
const std::vector<uint8_t> kMine = {C(0, 1), C(0, 2), C(0, 3), C(0, 5), C(0, 7), C(1, 5), C(1, 5),
                                    C(1, 5), C(3, 2), C(3, 2), C(3, 2), C(2, 8), C(2, 8)};
const std::vector<uint8_t> kBobsHand = {C(1, 1), C(1, 1), C(1, 2), C(1, 3), C(1, 4), C(2, 2),
                                        C(2, 3), C(2, 4), C(4, 2), C(4, 2), C(0, 9), C(0, 9),
                                        C(0, 9)};

TEST(MjHand, NotTheDealerChowPungThreeKongsReadyAndSelfDrawnWin) {
  Session s(1);
  std::vector<uint32_t> dice = {2, 3};
  s.table.SetDiceSource([&] {
    const uint32_t v = dice.front();
    dice.erase(dice.begin());
    return v;
  });
  FakeMjArithmetic& e = s.engine;
  const auto draw = [](int seat, uint8_t code, int front, int back, int left) {
    return In(621, Body().u16(seat).codes({code}, 2).u16(front).u16(back).u16(left));
  };
  const auto discard = [](int seat, uint8_t code) { return In(616, Body().u16(seat).codes({code}, 2)); };
  const auto bobDraws = [](std::initializer_list<std::string> extra) {
    CallLog lines = {"T.LightTing(0)", "T.AddCardToCurrent(1,-1,-1)", "T.DeleteCardsFromWall(1,0)"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
  };
  const auto discardShown = [](int loc, uint8_t code) {
    return CallLog{Call("T.SetRecvCards", loc, T({code}), 0, 1, 0, 0),
                   Call("A.SetRecvCards", loc, -1, -1, T({code})), S("W.Sync", "IDW_SEND")};
  };
  const auto myDraw = [](uint8_t code, int afterKong, std::initializer_list<std::string> wall) {
    const card t = Tile(code);
    CallLog lines = {Call("T.AddCardToCurrent", 0, t.m_nColor, t.m_nValue),
                     Call("A.AddCardsToMyHand", T({code})),
                     afterKong ? Call("A.SetCardAfterGang", t.m_nColor, t.m_nValue)
                               : Call("A.SetCardAfterGang", -1, -1),
                     "T.LightTing(0)", S("W.Style", "IDW_ISYOU")};
    lines.insert(lines.end(), wall.begin(), wall.end());
    return lines;
  };
  const auto kong = [](int type, uint8_t code) {
    const std::string tiles = T({code, code, code, code});
    return CallLog{Call("T.ExposeCard", 0, type, tiles), Call("A.ExposeCard", 0, type, tiles),
                   S("W.Sync", "IDW_GANG"), S("W.Async", "IDW_GANG1")};
  };
  const auto join = [](CallLog a, const CallLog& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  std::vector<uint8_t> myWinningHand = {C(0, 2), C(0, 2), C(0, 2), C(0, 5), C(0, 5)};

  Play(s, {
    {"601 hand 1, bob deals", In(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1)),
     {"T.ResetTable()", "A.SetHandNo(1)", "T.StartDeal()", "A.StartOneHand(-1,1)",
      "T.StartOneHand()", "T.InitWall_InTimer(72)", "T.SetBanker(1,-1)", "A.SetBanker(1,-1)"}, {}},
    {"606 bob throws", In(606, Body().u16(0).u16(0)), {"T.StartDice(1)"}, {}},
    {"607 bob threw 2 and 5, I throw next", In(607, Body().u16(0).u16(2).u16(5).u16(1)),
     {"T.SetDice(1,1,4)", "T.StartDice(0)", "A.SetDice(1)", S("W.Sync", "IDW_DICE")}, {}},
    {"my second throw", [](Session& x) { x.table.ThrowDice(); }, {},
     {{607, Body().u16(1).u16(3).u16(4).u16(0xFFFF)}}},
    {"607 my throw opens the wall", In(607, Body().u16(1).u16(3).u16(4).u16(0xFFFF)),
     {"T.StartDice(-1)", "T.SetFirstPosition_InWall(0,4)", S("W.Sync", "IDW_DICE")}, {}},
    {"611 the deal", In(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(kMine, 22)),
     {Call("T.AddCardsToMyHandWithSort_InTimer", T(kMine)), Call("A.AddCardsToMyHand", T(kMine)),
      "T.SetDealNum_InTimer(1,13)", "T.AddCardToCurrentWithoutShow(1,0,0)",
      "T.SetFirstPosition_InWall(0,4)", "T.DeleteCardsFromWall(27,0)"}, {}},
    {"bob discards the four of characters", discard(0, C(0, 4)), discardShown(1, C(0, 4)), {}},
    {"two chows: the board opens",
     [&](Session& x) {
       e.eat = {Cards({C(0, 4), C(0, 3), C(0, 2)}), Cards({C(0, 5), C(0, 4), C(0, 3)})};
       x.table.OnChi();
     },
     {"B.ClearAll()", Call("B.InsertRow", 0, T({C(0, 4), C(0, 3), C(0, 2)})),
      Call("B.InsertRow", 1, T({C(0, 5), C(0, 4), C(0, 3)})), "B.Update()", "Dlg.Show()"}, {}},
    {"the second row is clicked", [](Session& x) { x.table.InfoDlg().OnBoardClick(1); },
     {"Dlg.Hide()"}, {{617, Body().u16(1).u16(1).codes({C(0, 5), C(0, 4), C(0, 3)}, 6)}}},
    {"a second click on the answered board sends nothing",
     [](Session& x) { x.table.InfoDlg().OnBoardClick(1); }, {"Dlg.Hide()"}, {}},
    {"622 my chow", In(622, Body().u16(1).u16(1).codes({C(0, 3), C(0, 4), C(0, 5)}, 6)),
     {Call("T.ExposeCard", 0, 1, T({C(0, 3), C(0, 4), C(0, 5)})),
      Call("A.ExposeCard", 0, 1, T({C(0, 3), C(0, 4), C(0, 5)})), S("W.Sync", "IDW_CHI"),
      S("W.Async", "IDW_CHI1")}, {}},
    {"I discard", [](Session& x) { const card t = Tile(C(0, 1)); x.table.OnRequestSend(1, &t); }, {},
     {{616, Body().u16(1).codes({C(0, 1)}, 2)}}},
    {"616 my discard", discard(1, C(0, 1)), discardShown(0, C(0, 1)), {}},
    {"621 bob draws", draw(0, 0, 1, 0, 40), bobDraws({}), {}},
    {"bob discards an eight of bamboo", discard(0, C(2, 8)), discardShown(1, C(2, 8)), {}},
    {"pung",
     [&](Session& x) {
       e.peng = Cards({C(2, 8), C(2, 8), C(2, 8)});
       x.table.OnPeng();
     },
     {}, {{617, Body().u16(1).u16(2).codes({C(2, 8), C(2, 8), C(2, 8)}, 6)}}},
    {"622 my pung", In(622, Body().u16(1).u16(2).codes({C(2, 8), C(2, 8), C(2, 8)}, 6)),
     {Call("T.ExposeCard", 0, 1, T({C(2, 8), C(2, 8), C(2, 8)})),
      Call("A.ExposeCard", 0, 1, T({C(2, 8), C(2, 8), C(2, 8)})), S("W.Sync", "IDW_PENG"),
      S("W.Async", "IDW_PENG1")}, {}},
    {"I discard the seven", [](Session& x) { const card t = Tile(C(0, 7)); x.table.SendCards(1, &t); },
     {}, {{616, Body().u16(1).codes({C(0, 7)}, 2)}}},
    {"621 bob draws again", draw(0, 0, 1, 0, 38), bobDraws({}), {}},
    {"bob discards a south wind", discard(0, C(3, 2)), discardShown(1, C(3, 2)), {}},
    {"kong on the discard: 617 action 3",
     [&](Session& x) {
       e.kongs = {{Cards({C(3, 2), C(3, 2), C(3, 2), C(3, 2)}), 2}};
       x.table.OnGang();
     },
     {}, {{617, Body().u16(1).u16(3).codes({C(3, 2), C(3, 2), C(3, 2), C(3, 2)}, 6)}}},
    {"639 the kong on a discard and its replacement",
     In(639, Body().u16(1).codes({C(3, 2), C(3, 2), C(3, 2), C(3, 2)}, 6).codes({C(2, 8)}, 2)
                 .u16(0).u16(1).u16(30)),
     join(kong(5, C(3, 2)), myDraw(C(2, 8), 1, {"T.DeleteCardsFromWall(1,1)"})), {}},
    {"added kong onto the pung: 638",
     [&](Session& x) {
       e.kongs = {{Cards({C(2, 8), C(2, 8), C(2, 8), C(2, 8)}), 1}};
       x.table.OnGang();
     },
     {}, {{638, Body().u16(1).codes({C(2, 8), C(2, 8), C(2, 8), C(2, 8)}, 6)}}},
    {"623 the added kong and its replacement",
     In(623, Body().u16(1).codes({C(2, 8), C(2, 8), C(2, 8), C(2, 8)}, 6).codes({C(1, 1)}, 2)
                 .u16(0).u16(1).u16(29)),
     join(kong(4, C(2, 8)), myDraw(C(1, 1), 1, {"T.DeleteCardsFromWall(1,1)"})), {}},
    {"I discard the one of dots", [](Session& x) { const card t = Tile(C(1, 1)); x.table.OnRequestSend(1, &t); },
     {}, {{616, Body().u16(1).codes({C(1, 1)}, 2)}}},
    {"621 bob draws", draw(0, 0, 1, 0, 27), bobDraws({}), {}},
    {"bob discards", discard(0, C(4, 3)), discardShown(1, C(4, 3)), {}},
    {"the fourth five of dots comes late", draw(1, C(1, 5), 1, 0, 26),
     myDraw(C(1, 5), 0, {"T.DeleteCardsFromWall(1,0)"}), {}},
    {"concealed kong: 636",
     [&](Session& x) {
       e.kongs = {{Cards({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}), 3}};
       x.table.OnGang();
     },
     {}, {{636, Body().u16(1).codes({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}, 6)}}},
    {"637 the concealed kong and its replacement",
     In(637, Body().u16(1).codes({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}, 6).codes({C(0, 2)}, 2)
                 .u16(0).u16(1).u16(20)),
     join(kong(3, C(1, 5)), myDraw(C(0, 2), 1, {"T.DeleteCardsFromWall(1,1)"})), {}},
    {"ready hand", [](Session& x) { x.table.OnTingDeclare(); }, {}, {{631, Body().u16(1).u16(1)}}},
    {"631 my ready hand", In(631, Body().u16(1).u16(1)),
     {"T.SetTingStatus(0,1)", "A.SetTingStatus(1)", S("W.Sync", "IDW_TING"), S("W.Async", "IDW_TING1")},
     {}},
    {"I discard", [](Session& x) { const card t = Tile(C(0, 7)); x.table.OnRequestSend(1, &t); }, {},
     {{616, Body().u16(1).codes({C(0, 7)}, 2)}}},
    {"621 bob draws", draw(0, 0, 1, 0, 18), bobDraws({}), {}},
    {"bob discards", discard(0, C(4, 1)), discardShown(1, C(4, 1)), {}},
    {"my winning draw", draw(1, C(0, 2), 1, 0, 17), myDraw(C(0, 2), 0, {"T.DeleteCardsFromWall(1,0)"}),
     {}},
    {"self-drawn win: 626",
     [&](Session& x) {
       e.huType = 1;
       e.currentMo = Tile(C(0, 2));
       x.table.OnHuDeclare();
     },
     {}, {{626, Body().u16(1).codes({C(0, 2)}, 2)}}},
    {"627 my self-drawn win: hands laid open, the score report goes out",
     [&](Session& x) {
       e.calc[0] = 1;  // the engine's banker flag: not what the report carries
       e.calc[2] = 5;
       e.calc[3] = 3;
       e.fans = {1202, 405};
       ASSERT_TRUE(x.Send(627, Body().u16(1).u16(1).u16(0).codes({}, 2).codes(kBobsHand, 20)
                                   .codes(myWinningHand, 20).zeros(16)
                                   .codes({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}, 16).b));
     },
     {"T.StartChoice(-1)", "T.DeleteAllHideGang()",
      Call("T.ExposeCard_InRecover", 0, 4, T({C(1, 5), C(1, 5), C(1, 5), C(1, 5)})),
      "T.DeleteAllFromSend(0)", Call("T.ExposeCard", 0, 6, T(myWinningHand)),
      "T.DeleteAllFromSend(1)", Call("T.ExposeCard", 1, 6, T(kBobsHand)), "T.HuPai(0,-1)",
      S("W.Sync", "IDW_HU"), S("W.Async", "IDW_WIN"), "A.SetHuInfo(1,-1,0,2)", "A.Calculate()",
      "T.ShowButtons()"},
     // Ready hand: twice the base, plus the fans; self-drawn: doubled. The banker is bob, seat 0.
     {{641, Body().u16(1).u16(0).s32(-26).s32(26).u16(1202).u16(405).zeros(56)}}},
    {"642 the scores",
     In(642, Body().s32(-26).s32(26).s32(74).s32(126).s32(3).s32(4).s32(2).s32(1).s32(0).s32(1)
                 .u16(1202).u16(405).zeros(56)),
     {"T.SetScoreInfo(2,0,bob)", "T.SetScoreInfo(2,1,me)", "T.SetMyFans()", "W.RedrawPersonList()",
      "T.ShowScoreInfo(1)"}, {}},
  });

  // The score rows and the persons' running totals.
  ASSERT_EQ(s.display.scoreRows.size(), 2u);
  EXPECT_EQ(s.display.scoreRows[1].values[0], 26);
  EXPECT_EQ(s.display.scoreRows[1].values[1], 126);
  EXPECT_EQ(s.display.scoreRows[1].values[2], 4);
  EXPECT_EQ(s.display.scoreRows[1].values[3], 1);
  EXPECT_EQ(s.display.scoreRows[1].values[4], 1);
  EXPECT_EQ(s.display.scoreRows[1].values[5], 0);
  EXPECT_EQ(s.display.fans[0], 1202);
  EXPECT_EQ(s.display.fans[2], 0);
  const TablePerson* bob = s.table.FindPerson(2);
  EXPECT_EQ(bob->gamescore, 74);
  EXPECT_EQ(bob->winnum, 3);
  EXPECT_EQ(bob->losenum, 2);
  EXPECT_EQ(bob->equalnum, 0);
  EXPECT_EQ(s.table.IsInProgress(), 0);

  // The hand as it was played, for the hand record: the kongs in arrival order under their kinds.
  const CMjHandRecord& r = s.table.HandRecord();
  EXPECT_EQ(r.hand, 1);
  EXPECT_EQ(r.banker, 0);
  EXPECT_EQ(r.wallSize, 72);
  EXPECT_EQ(r.stage, kStageFromDeal);
  EXPECT_EQ(r.deal.dealCount[0], 14);
  EXPECT_EQ(r.deal.myTiles[12], static_cast<char>(C(2, 8)));
  ASSERT_EQ(r.kongs.size(), 3u);
  EXPECT_EQ(r.kongs[0].tile[0], static_cast<char>(C(2, 8)));
  const std::vector<int16_t> steps = {kStepDiscard, kStepMeld, kStepDiscard, kStepDraw,
                                      kStepDiscard, kStepMeld, kStepDraw, kStepDiscard,
                                      kStepKongOnDiscard, kStepAddedKong, kStepDraw, kStepDiscard,
                                      kStepDraw, kStepConcealedKong, kStepTing, kStepDraw,
                                      kStepDiscard, kStepDraw, kStepWin};
  EXPECT_EQ(r.steps, steps);
  EXPECT_EQ(r.result.winnerSeat, 1);
  EXPECT_EQ(r.result.hiddenKongs[1][3], static_cast<char>(C(1, 5)));
}

TEST(MjHand, TheDealerWinsOnADiscard) {
  Session s(0);
  s.table.SetDiceSource([] { return 0u; });
  FakeMjArithmetic& e = s.engine;
  const std::vector<uint8_t> mine = {C(0, 1), C(0, 1), C(0, 1), C(1, 2), C(1, 3), C(1, 4), C(2, 5),
                                     C(2, 6), C(2, 7), C(3, 1), C(3, 1), C(3, 1), C(2, 3), C(4, 3)};
  const std::vector<uint8_t> thirteen(mine.begin(), mine.end() - 1);
  const std::vector<uint8_t> atWin = {C(0, 1), C(0, 1), C(0, 1), C(1, 2), C(1, 3), C(1, 4), C(2, 5),
                                      C(2, 6), C(2, 7), C(3, 1), C(3, 1), C(3, 1), C(2, 3)};

  Play(s, {
    {"601 hand 2, I deal", In(601, Body().u16(0).u16(2).u16(72).u16(0).u16(1)),
     {"T.ResetTable()", "A.SetHandNo(2)", "T.StartDeal()", "A.StartOneHand(-1,0)",
      "T.StartOneHand()", "T.InitWall_InTimer(72)", "T.SetBanker(0,-1)", "A.SetBanker(0,-1)"}, {}},
    {"606 I throw", In(606, Body().u16(0).u16(0)), {"T.StartDice(0)"}, {}},
    {"my first throw: an even sum gives the dice to the other seat",
     [](Session& x) { x.table.ThrowDice(); }, {}, {{607, Body().u16(0).u16(1).u16(1).u16(1)}}},
    {"611 the deal: the fourteenth tile is my draw",
     In(611, Body().u16(0).u16(0).u16(3).u16(0).u16(2).u16(14).u16(13).codes(mine, 22)),
     {Call("T.AddCardsToMyHandWithSort_InTimer", T(thirteen)), Call("A.AddCardsToMyHand", T(thirteen)),
      "T.AddCardToCurrentWithoutShow(0,4,3)", Call("A.AddCardsToMyHand", T({C(4, 3)})),
      "A.SetCardAfterGang(-1,-1)", "T.LightTing(0)", S("W.Style", "IDW_ISYOU"),
      "T.SetDealNum_InTimer(1,13)", "T.SetFirstPosition_InWall(0,2)", "T.DeleteCardsFromWall(2,1)"},
     {}},
    {"I discard the red dragon", [](Session& x) { const card t = Tile(C(4, 3)); x.table.OnRequestSend(1, &t); },
     {}, {{616, Body().u16(0).codes({C(4, 3)}, 2)}}},
    {"621 bob draws (the ready button follows the engine)",
     [&](Session& x) {
       e.listen = 1;
       ASSERT_TRUE(x.Send(621, Body().u16(1).codes({}, 2).u16(1).u16(0).u16(50).b));
     },
     {"T.LightTing(1)", "T.AddCardToCurrent(1,-1,-1)", "T.DeleteCardsFromWall(1,0)"}, {}},
    {"bob discards my winning tile", In(616, Body().u16(1).codes({C(2, 3)}, 2)),
     {Call("T.SetRecvCards", 1, T({C(2, 3)}), 0, 1, 0, 0),
      Call("A.SetRecvCards", 1, -1, -1, T({C(2, 3)})), S("W.Sync", "IDW_SEND")}, {}},
    {"win on the discard: 617 action 4",
     [&](Session& x) {
       e.huType = 2;
       e.currentSended = Tile(C(2, 3));
       x.table.OnHuDeclare();
     },
     {}, {{617, Body().u16(0).u16(4).codes({C(2, 3)}, 6)}}},
    {"627 my win on bob's discard",
     [&](Session& x) {
       e.calc[2] = 4;
       e.calc[3] = 6;
       e.fans = {901};
       ASSERT_TRUE(x.Send(627, Body().u16(0).u16(2).u16(1).codes({C(2, 3)}, 2).codes(atWin, 20)
                                   .codes(kBobsHand, 20).zeros(32).b));
     },
     {"T.StartChoice(-1)", "T.DeleteAllHideGang()", "T.DeleteAllFromSend(0)",
      Call("T.ExposeCard", 0, 6, T(atWin)), Call("T.ExposeCard", 0, 6, T({C(2, 3)})),
      "T.DeleteAllFromSend(1)", Call("T.ExposeCard", 1, 6, T(kBobsHand)), "T.HuPai(0,1)",
      S("W.Sync", "IDW_HU"), S("W.Async", "IDW_WIN"), "A.SetHuInfo(2,1,2,3)", "A.Calculate()",
      "T.ShowButtons()"},
     // Not ready, not self-drawn: base + fans, once. I am the banker (seat 0).
     {{641, Body().u16(0).u16(0).s32(10).s32(-10).u16(901).zeros(58)}}},
    {"642", In(642, Body().s32(10).s32(-10).zeros(32).u16(901).zeros(58)),
     {"T.SetScoreInfo(2,0,me)", "T.SetScoreInfo(2,1,bob)", "T.SetMyFans()", "W.RedrawPersonList()",
      "T.ShowScoreInfo(1)"}, {}},
  });
}

// Starts a hand for the local player at seat 1 (bob deals) and deals it.
void StartHand(Session& s) {
  ASSERT_TRUE(s.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
  ASSERT_TRUE(s.Send(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(kMine, 22).b));
}

TEST(MjHand, DrawnHandReportsTheEmptyWallAndEndsTheHand) {
  Session s(1);
  StartHand(s);
  EXPECT_EQ(s.table.IsInProgress(), 1);
  Play(s, {
    {"the last draw of the wall: last tile, then the wall-empty report",
     In(621, Body().u16(1).codes({C(4, 2)}, 2).u16(1).u16(0).u16(0)),
     {"T.AddCardToCurrent(0,4,2)", Call("A.AddCardsToMyHand", T({C(4, 2)})),
      "A.SetCardAfterGang(-1,-1)", "T.LightTing(0)", S("W.Style", "IDW_ISYOU"),
      "T.DeleteCardsFromWall(1,0)", "A.SetLastBz()"},
     // Bob (location 1) deals: the seat that is not the banker is mine.
     {{628, Body().u16(1).u16(1)}}},
    {"628 the drawn hand", In(628, Body().u16(1).u16(1)),
     {"T.ShowButtons()", "CountDown(\xbb\xc4\xc5\xc6\xc1\xcb,\xb1\xbe\xbe\xd6\xbd\xe1\xca\xf8,2000)"},
     {}},
  });
  // No score message follows a drawn hand: the hand is over.
  EXPECT_EQ(s.table.IsInProgress(), 0);
  EXPECT_EQ(s.table.HandRecord().steps.back(), kStepWallEmpty);
}

TEST(MjHand, EmptyWallAfterAKongChecksWithoutTheLastTileMark) {
  Session s(1);
  StartHand(s);
  s.engine.isHu = 1;  // the engine wins by itself: no report
  const size_t mark = s.Mark();
  const size_t sent = s.socket.sent.size();
  ASSERT_TRUE(s.Send(637, Body().u16(1).codes({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}, 6)
                              .codes({C(0, 9)}, 2).u16(0).u16(1).u16(0).b));
  const CallLog shown = Shown(s.Since(mark));
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "A.SetLastBz()"), 0);
  EXPECT_EQ(s.socket.sent.size(), sent);
  // A concealed kong is not counted as an exposed one.
  EXPECT_EQ(s.table.GangCount(1), 0);
}

TEST(MjHand, HandStartWithoutMoreHandsEndsTheGameAndStillSetsTheTable) {
  Session s(1);
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(601, Body().u16(0).u16(9).u16(72).u16(1).u16(0).b));
  EXPECT_EQ(Shown(s.Since(mark)),
            (CallLog{"CountDown(\xd3\xce\xcf\xb7\xbd\xe1\xca\xf8,2000)", "A.StartOneHand(-1,0)",
                     "T.StartOneHand()", "T.InitWall_InTimer(72)", "T.SetBanker(0,-1)",
                     "A.SetBanker(0,-1)"}));
  EXPECT_EQ(s.table.IsGameOver(), 1);
}

TEST(MjHand, AutomaticActions) {
  Session s(1);
  StartHand(s);
  // The engine asks for the automatic discard (timer 213, armed by the table window).
  s.engine.autoSend = Cards({C(2, 8)});
  s.timers.SetTimer(kTimerAutoDiscard, kAutoDiscardDelay);
  size_t sent = s.socket.sent.size();
  s.timers.Advance(kAutoDiscardDelay);
  EXPECT_FALSE(s.timers.Running(kTimerAutoDiscard));
  ASSERT_EQ(s.SentSince(sent), (Sent{{616, Body().u16(1).codes({C(2, 8)}, 2)}}));

  // The display's count-down ran out for the local player: the same automatic discard.
  sent = s.socket.sent.size();
  s.table.OnTimeOut(0);
  EXPECT_EQ(s.SentSince(sent), (Sent{{616, Body().u16(1).codes({C(2, 8)}, 2)}}));
  // Another seat's count-down sends nothing; nor does an engine that declares the win instead.
  sent = s.socket.sent.size();
  s.table.OnTimeOut(1);
  s.engine.autoSend.clear();
  s.table.OnTimeOut(0);
  EXPECT_EQ(s.socket.sent.size(), sent);

  // The engine passes for the player (AutoGuo) and wins for the player (AutoHu).
  sent = s.socket.sent.size();
  const size_t mark = s.Mark();
  s.table.OnGuo();
  s.engine.huType = 1;
  s.engine.currentMo = Tile(C(0, 9));
  s.table.OnHuDeclare();
  EXPECT_EQ(s.SentSince(sent), (Sent{{617, Body().u16(1).u16(0).zeros(6)},
                                     {626, Body().u16(1).codes({C(0, 9)}, 2)}}));
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{"T.KillScrabble()"});
  // Every send restarted the keep-alive.
  EXPECT_EQ(s.timers.Due(kTimerKeepAlive), s.timers.now + kKeepAlivePeriod);
}

// ---------------------------------------------------------------------------------------------
// What the server may send that the client cannot use.

struct BadInput {
  const char* what;
  uint16_t id;
  std::vector<uint8_t> body;
  CallLog shown;  // what may still reach the controls
};

TEST(MjHand, BadInputIsDroppedAndTheReceivingGoesOn) {
  const std::vector<BadInput> cases = {
      {"unknown id", 699, Body().u16(1).u16(2).b, {}},
      {"outbound-only id", 617, Body().u16(1).u16(1).zeros(6).b, {}},
      {"short 616", 616, {0, 1, C(0, 1)}, {}},
      {"empty 627", 627, {}, {}},
      {"short 653", 653, Body().zeros(203).b, {}},
      {"616 seat outside the table", 616, Body().u16(5).codes({C(0, 1)}, 2).b, {}},
      {"616 without a tile", 616, Body().u16(0).codes({}, 2).b, {}},
      {"601 banker outside the table", 601, Body().u16(0).u16(1).u16(72).u16(7).u16(1).b, {}},
      {"607 next thrower outside the table", 607, Body().u16(0).u16(1).u16(2).u16(9).b, {}},
      {"611 wall seat outside the table", 611,
       Body().u16(0).u16(3).u16(1).u16(0).u16(0).u16(14).u16(13).zeros(22).b, {}},
      {"627 winner outside the table", 627, Body().u16(2).u16(1).u16(0).zeros(74).b, {}},
      {"627 discarder outside the table", 627, Body().u16(0).u16(2).u16(8).zeros(74).b, {}},
      {"631 seat outside the table", 631, Body().u16(0xFFFF).u16(1).b, {}},
      {"653 turn seat outside the table", 653, Body().zeros(190).u16(2).zeros(12).b, {}},
      {"655 winner outside the table", 655, Body().zeros(210).u16(3).u16(1).zeros(14).b, {}},
      {"622 kind 3 changes nothing", 622, Body().u16(0).u16(3).codes({C(0, 1)}, 6).b, {}},
      {"622 kind 5 changes nothing", 622, Body().u16(0).u16(5).codes({C(0, 1)}, 6).b, {}},
      {"an oversized 616 is read as its record", 616,
       Body().u16(0).codes({C(0, 6)}, 2).zeros(40).b,
       {Call("T.SetRecvCards", 1, T({C(0, 6)}), 0, 1, 0, 0),
        Call("A.SetRecvCards", 1, -1, -1, T({C(0, 6)})), S("W.Sync", "IDW_SEND")}},
      {"a dealt count larger than a hand is cut", 611,
       Body().u16(0).u16(1).u16(1).u16(0).u16(0).u16(60000).u16(0).zeros(22).b,
       {"T.SetDealNum_InTimer(1,19)", "T.AddCardToCurrentWithoutShow(1,0,0)",
        "T.SetFirstPosition_InWall(0,0)"}},
      {"code 36 is reported and still one tile", 616, Body().u16(0).codes({36}, 2).b,
       {"SystemBox(FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "36)",
        Call("T.SetRecvCards", 1, "[0:0]", 0, 1, 0, 0), Call("A.SetRecvCards", 1, -1, -1, "[0:0]"),
        S("W.Sync", "IDW_SEND")}},
  };
  for (const BadInput& c : cases) {
    Session s(1);
    s.engine.banker = 1;
    const size_t mark = s.Mark();
    ASSERT_TRUE(s.Send(c.id, c.body)) << c.what;
    EXPECT_EQ(Shown(s.Since(mark)), c.shown) << c.what;
    EXPECT_EQ(s.pending, std::vector<int32_t>{32}) << c.what;
    // The next message is still taken.
    const size_t next = s.Mark();
    ASSERT_TRUE(s.Send(606, Body().u16(1).u16(0).b)) << c.what;
    EXPECT_EQ(Shown(s.Since(next)), CallLog{"T.StartDice(0)"}) << c.what;
  }
}

TEST(MjHand, IgnoreFlagDropsPlayUntilARecoveryMessage) {
  Session s(1);
  s.table.OnNetworkEnd(2);  // the server reports the local player back on line
  size_t mark = s.Mark();
  for (uint16_t id : {601, 606, 607, 611, 616, 621, 622, 623, 627, 628, 631, 637, 639, 642}) {
    ASSERT_TRUE(s.Send(id, std::vector<uint8_t>(MjBodySize(id), 0))) << id;
  }
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{});
  EXPECT_EQ(s.pending, std::vector<int32_t>{32});
  // 602 is still taken.
  mark = s.Mark();
  ASSERT_TRUE(s.Send(602, Body().u16(0).u16(1).b));
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{"T.StartGame(1)"});
  // A recovery message clears the flag and stops the reconnect watchdog.
  s.timers.SetTimer(kTimerReconnectWatchdog, kWatchdogPeriod);
  ASSERT_TRUE(s.Send(651, Body().u16(3).u16(72).u16(0).u16(1).u16(1).b));
  EXPECT_FALSE(s.timers.Running(kTimerReconnectWatchdog));
  EXPECT_EQ(s.table.IgnoresMjData(), 0);
  mark = s.Mark();
  ASSERT_TRUE(s.Send(606, Body().u16(1).u16(0).b));
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{"T.StartDice(0)"});
}

TEST(MjHand, VersionRefusedEndsTheGame) {
  Session s(1);
  const size_t sent = s.socket.sent.size();
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(602, Body().u16(0).u16(99).b));
  EXPECT_EQ(s.table.IsGameOver(), 1);
  const Sent out = s.SentSince(sent);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].first, kInDeskChat);
  // The local player's line, as the chat pane sends it: "me(myname)说：" and the refusal.
  const std::string line(reinterpret_cast<const char*>(out[0].second.data()) + 48);
  EXPECT_EQ(line, "me(myname)\xcb\xb5\xa3\xba"
                  "bob(bobby)\xb0\xe6\xb1\xbe\xb2\xbb\xb6\xd4\xa3\xac\xc7\xeb\xcf\xc2\xd4\xd8\xd0\xc2"
                  "\xb0\xe6\xb1\xbe\xa3\xac\xd3\xce\xcf\xb7\xbd\xe1\xca\xf8");
  EXPECT_EQ(out[1].first, kPlayerExit);
  const CallLog log = s.Since(mark);
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Message(bob(bobby)\xb0\xe6\xb1\xbe\xb2\xbb\xb6\xd4\xa3\xac\xd3\xce\xcf\xb7"
                      "\xbd\xe1\xca\xf8,close)"),
            log.end());
  // The connection is closed: nothing more is asked of it.
  EXPECT_TRUE(s.pending.empty());
  EXPECT_EQ(s.socket.closes, 1);
}

TEST(MjHand, AFailingControlEndsThatMessageOnly) {
  Session s(1);
  s.display.failAfter = 2;
  ASSERT_TRUE(s.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
  EXPECT_EQ(s.pending, std::vector<int32_t>{32});
  s.display.failAfter = -1;
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(606, Body().u16(1).u16(0).b));
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{"T.StartDice(0)"});
}

}  // namespace

namespace {

TEST(MjHand, VersionRefusedWithoutAChatPaneStillEndsTheGame) {
  Session s(1);
  s.table.chatPane = false;
  const size_t sent = s.socket.sent.size();
  ASSERT_TRUE(s.Send(602, Body().u16(0).u16(99).b));
  EXPECT_EQ(s.table.IsGameOver(), 1);
  const Sent out = s.SentSince(sent);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].first, kPlayerExit);
  EXPECT_EQ(s.socket.closes, 1);
}

TEST(MjHand, VersionRefusedForAnUnknownSeatStillEndsTheGame) {
  Session s(1);
  const size_t sent = s.socket.sent.size();
  ASSERT_TRUE(s.Send(602, Body().u16(7).u16(99).b));
  EXPECT_EQ(s.table.IsGameOver(), 1);
  const Sent out = s.SentSince(sent);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].first, kPlayerExit);
  EXPECT_EQ(s.socket.closes, 1);
}

TEST(MjHand, ADealStringWithoutItsEndIsReadToTheEndOfTheBody) {
  Session s(1);
  s.engine.banker = 1;
  std::vector<uint8_t> codes(22, C(1, 1));
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(611, Body().u16(0).u16(1).u16(1).u16(0).u16(0).u16(14).u16(13).codes(codes, 22).b));
  const CallLog shown = Shown(s.Since(mark));
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0], Call("T.AddCardsToMyHandWithSort_InTimer", T(codes)));
  // The hand record keeps the first 20 bytes of it.
  ArchiveWriter w;
  s.table.HandRecord().deal.Serialize(w);
  EXPECT_EQ(w.GetBytes().size(), 14u + 20u);
}

}  // namespace
