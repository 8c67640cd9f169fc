// The player's actions: what each sends, the option board, a watcher, claims the engine did not
// offer, the score report's arithmetic, the dice and the timers of the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "mj_body.h"
#include "mj_fakes.h"

namespace {

using Session = MjSessionT<FakeMjArithmetic>;
using Sent = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;

struct ActionCase {
  const char* what;
  std::function<void(Session&)> act;
  Sent sent;
};

void Prime(Session& s) {
  FakeMjArithmetic& e = s.engine;
  e.eat = {Cards({C(0, 4), C(0, 3), C(0, 2)})};
  e.peng = Cards({C(1, 7), C(1, 7), C(1, 7)});
  e.huType = 2;
  e.currentSended = Tile(C(1, 7));
}

TEST(MjActions, EachActionSendsItsMessage) {
  const std::vector<ActionCase> cases = {
      {"pass", [](Session& s) { s.table.OnGuo(); }, {{617, Body().u16(1).u16(0).zeros(6)}}},
      {"one chow", [](Session& s) { s.table.OnChi(); },
       {{617, Body().u16(1).u16(1).codes({C(0, 4), C(0, 3), C(0, 2)}, 6)}}},
      {"pung", [](Session& s) { s.table.OnPeng(); },
       {{617, Body().u16(1).u16(2).codes({C(1, 7), C(1, 7), C(1, 7)}, 6)}}},
      {"win on a discard", [](Session& s) { s.table.OnHuDeclare(); },
       {{617, Body().u16(1).u16(4).codes({C(1, 7)}, 6)}}},
      {"ready", [](Session& s) { s.table.OnTingDeclare(); }, {{631, Body().u16(1).u16(1)}}},
      {"ready for the deal", [](Session& s) { s.table.RequestDeal(); }, {{602, Body().u16(1).u16(13)}}},
      {"kong on a discard", [](Session& s) {
         s.engine.kongs = {{Cards({C(2, 2), C(2, 2), C(2, 2), C(2, 2)}), 2}};
         s.table.OnGang();
       },
       {{617, Body().u16(1).u16(3).codes({C(2, 2), C(2, 2), C(2, 2), C(2, 2)}, 6)}}},
      {"added kong", [](Session& s) {
         s.engine.kongs = {{Cards({C(2, 2), C(2, 2), C(2, 2), C(2, 2)}), 1}};
         s.table.OnGang();
       },
       {{638, Body().u16(1).codes({C(2, 2), C(2, 2), C(2, 2), C(2, 2)}, 6)}}},
      {"a kong of no known kind sends nothing", [](Session& s) {
         s.engine.kongs = {{Cards({C(2, 2), C(2, 2), C(2, 2), C(2, 2)}), -1}};
         s.table.OnGang();
       },
       {}},
      {"a stale tile from the display is not discarded", [](Session& s) {
         const card stale{0xFFFF, 0xFFFF};
         s.table.OnRequestSend(1, &stale);
       },
       {}},
      {"no tiles, no discard", [](Session& s) { s.table.OnRequestSend(0, nullptr); }, {}},
      // Claims the engine did not offer.
      {"pung without tiles", [](Session& s) {
         s.engine.peng.clear();
         s.table.OnPeng();
       },
       {}},
      {"chow without tiles", [](Session& s) {
         s.engine.eat = {{}};
         s.table.OnChi();
       },
       {}},
      {"kong without an offer opens no board", [](Session& s) {
         s.engine.kongs.clear();
         s.table.OnGang();
       },
       {}},
      {"chow choice out of range", [](Session& s) { s.table.ChiWithChoice(3); }, {}},
  };
  for (const ActionCase& c : cases) {
    Session s(1);
    Prime(s);
    const size_t sent = s.socket.sent.size();
    const size_t mark = s.Mark();
    c.act(s);
    EXPECT_EQ(s.SentSince(sent), c.sent) << c.what;
    if (c.sent.empty()) {
      const CallLog shown = Shown(s.Since(mark));
      EXPECT_EQ(std::count(shown.begin(), shown.end(), "Dlg.Show()"), 0) << c.what;
    }
  }
}

TEST(MjActions, AWatcherSendsNothing) {
  Session s(1);
  Prime(s);
  s.settings.PlayerFlag = 0;
  s.engine.kongs = {{Cards({C(2, 2), C(2, 2), C(2, 2), C(2, 2)}), 3}};
  s.engine.autoSend = Cards({C(1, 1)});
  const size_t sent = s.socket.sent.size();
  const card t = Tile(C(1, 1));
  s.table.OnRequestSend(1, &t);
  s.table.SendCards(1, &t);
  s.table.OnGuo();
  s.table.OnChi();
  s.table.ChiWithChoice(0);
  s.table.OnPeng();
  s.table.OnGang();
  s.table.GangWithChoice(0);
  s.table.OnHuDeclare();
  s.table.OnTingDeclare();
  s.table.ThrowDice();
  s.table.RequestDeal();
  s.table.AutoSend();
  s.table.CheckLastTile();
  s.table.OnTimeOut(0);
  EXPECT_EQ(s.socket.sent.size(), sent);
}

TEST(MjActions, OptionBoard) {
  Session s(1);
  FakeMjArithmetic& e = s.engine;
  e.kongs = {{Cards({C(0, 9), C(0, 9), C(0, 9), C(0, 9)}), 3},
             {Cards({C(3, 1), C(3, 1), C(3, 1), C(3, 1), C(3, 1), C(3, 1)}), 1}};
  size_t mark = s.Mark();
  s.table.OnGang();
  // Every option shows its first four tiles; the message carries at most five codes.
  EXPECT_EQ(Shown(s.Since(mark)),
            (CallLog{"B.ClearAll()", Call("B.InsertRow", 0, T({C(0, 9), C(0, 9), C(0, 9), C(0, 9)})),
                     Call("B.InsertRow", 1, T({C(3, 1), C(3, 1), C(3, 1), C(3, 1)})), "B.Update()",
                     "Dlg.Show()"}));
  size_t sent = s.socket.sent.size();
  s.table.InfoDlg().OnBoardClick(1);
  EXPECT_EQ(s.SentSince(sent),
            (Sent{{638, Body().u16(1).codes({C(3, 1), C(3, 1), C(3, 1), C(3, 1), C(3, 1)}, 6)}}));

  // Three chows: three rows; a click on a row the board never showed sends nothing.
  e.eat = {Cards({C(1, 3), C(1, 2), C(1, 1)}), Cards({C(1, 4), C(1, 3), C(1, 2)}),
           Cards({C(1, 5), C(1, 4), C(1, 3)})};
  s.table.OnChi();
  EXPECT_EQ(s.table.InfoDlg().Options().size(), 3u);
  sent = s.socket.sent.size();
  s.table.InfoDlg().OnBoardClick(3);
  s.table.InfoDlg().OnBoardClick(-1);
  EXPECT_EQ(s.socket.sent.size(), sent);
  s.table.OnChi();
  s.table.InfoDlg().OnBoardClick(2);
  EXPECT_EQ(s.SentSince(sent), (Sent{{617, Body().u16(1).u16(1).codes({C(1, 5), C(1, 4), C(1, 3)}, 6)}}));

  // Without a board the options are kept and nothing is shown.
  s.table.InfoDlg().ReleaseBoard();
  mark = s.Mark();
  s.table.OnChi();
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{});
}

TEST(MjActions, ScoreReport) {
  struct Report {
    const char* what;
    int16_t huType;
    int16_t ting;
    int16_t base;
    int16_t fan;
    int32_t mine;
  };
  const Report reports[] = {
      {"on a discard", 2, 0, 4, 6, 10},
      {"on a discard, ready", 2, 1, 4, 6, 14},
      {"self-drawn", 1, 0, 4, 6, 20},
      {"self-drawn, ready", 1, 1, 4, 6, 28},
  };
  for (const Report& r : reports) {
    Session s(1);
    s.engine.banker = 0;  // I deal (seat 1)
    s.engine.ting = r.ting;
    s.engine.calc[0] = 1;
    s.engine.calc[2] = r.base;
    s.engine.calc[3] = r.fan;
    // More fans than the list holds: the first thirty go out.
    for (int i = 0; i < 40; ++i) s.engine.fans.push_back(static_cast<int16_t>(100 + i));
    CMjMessage_HuResult hu;
    hu.winnerSeat = 1;
    hu.huType = static_cast<uint16_t>(r.huType);
    hu.discarderSeat = 0;
    hu.huTile[0] = static_cast<char>(C(0, 5));
    const size_t sent = s.socket.sent.size();
    const size_t mark = s.Mark();
    s.table.OnHu(hu);
    const Sent out = s.SentSince(sent);
    ASSERT_EQ(out.size(), 1u) << r.what;
    CMjMessage_HuAck ack;
    ASSERT_TRUE(ReadRecord(out[0].second.data(), out[0].second.size(), ack));
    EXPECT_EQ(ack.seat, 1);
    EXPECT_EQ(ack.bankerSeat, 1) << r.what;
    EXPECT_EQ(ack.score[1], r.mine) << r.what;
    EXPECT_EQ(ack.score[0], -r.mine) << r.what;
    EXPECT_EQ(ack.fans[0], 100);
    EXPECT_EQ(ack.fans[29], 129);
    const CallLog shown = Shown(s.Since(mark));
    const std::string info = r.huType == 1 ? "A.SetHuInfo(1,-1,0,5)" : "A.SetHuInfo(2,1,0,5)";
    EXPECT_NE(std::find(shown.begin(), shown.end(), info), shown.end()) << r.what;
  }
  // Another player's win, or a watcher's table, reports nothing.
  Session s(1);
  CMjMessage_HuResult hu;
  hu.winnerSeat = 0;
  hu.huType = 1;
  size_t sent = s.socket.sent.size();
  s.table.OnHu(hu);
  hu.winnerSeat = 1;
  s.settings.PlayerFlag = 0;
  s.table.OnHu(hu);
  EXPECT_EQ(s.socket.sent.size(), sent);
}

TEST(MjActions, FalseWinIsReportedAndNothingSent) {
  Session s(1);
  s.engine.huType = 0;
  const size_t sent = s.socket.sent.size();
  s.table.OnHuDeclare();
  EXPECT_EQ(s.socket.sent.size(), sent);
  EXPECT_EQ(s.notices.shown.back().kind, NoticeKind::SystemBox);
  EXPECT_EQ(s.notices.shown.back().text, "\xbc\xd9\xba\xcd");
}

TEST(MjActions, DiceTargets) {
  struct Throw {
    int16_t bankerLoc;
    int16_t thrown;
    uint32_t a, b;  // rand values: dice a % 6 + 1 and b % 6 + 1
    int16_t next;   // seat sent (I sit at seat 1, location 0)
  };
  const Throw throws[] = {
      {0, 0, 0, 1, 1},   // 1 + 2 odd: the banker (me)
      {0, 0, 0, 0, 0},   // 1 + 1 even: the other seat
      {1, 0, 0, 1, 0},   // odd, bob deals: bob
      {1, 0, 5, 5, 1},   // 6 + 6 even, bob deals: me
      {0, 1, 0, 1, -1},  // the second throw of the hand
  };
  for (const Throw& t : throws) {
    Session s(1);
    s.engine.banker = t.bankerLoc;
    s.engine.diceNum = t.thrown;
    std::vector<uint32_t> values = {t.a, t.b};
    s.table.SetDiceSource([&values] {
      const uint32_t v = values.front();
      values.erase(values.begin());
      return v;
    });
    const size_t sent = s.socket.sent.size();
    s.table.ThrowDice();
    const Sent out = s.SentSince(sent);
    ASSERT_EQ(out.size(), 1u);
    CMjMessage_Dice d;
    ASSERT_TRUE(ReadRecord(out[0].second.data(), out[0].second.size(), d));
    EXPECT_EQ(d.die1, t.a % 6 + 1);
    EXPECT_EQ(d.die2, t.b % 6 + 1);
    EXPECT_EQ(d.nextSeat, t.next) << t.bankerLoc << " " << t.a << " " << t.b;
  }
}

TEST(MjActions, GameTimers) {
  Session s(1);
  // Timer 207 closes the frame; 2 and 5 are killed on expiry.
  for (uint32_t id : {kTimerGame2, kTimerGame5, kTimerCloseFrame}) s.timers.SetTimer(id, 100);
  const size_t mark = s.Mark();
  s.timers.Advance(100);
  for (uint32_t id : {kTimerGame2, kTimerGame5, kTimerCloseFrame}) EXPECT_FALSE(s.timers.Running(id));
  const CallLog log = s.Since(mark);
  EXPECT_EQ(std::count(log.begin(), log.end(), "ExitGame"), 1);

  // In review mode every timer but the replay step is killed on its first expiry; the replay
  // step stops once no recorded step is left.
  Session r(1);
  r.settings.reviewMode = 1;
  r.timers.SetTimer(kTimerKeepAlive, 50);
  r.timers.SetTimer(kTimerReplayStep, kReplayStepPeriod);
  r.timers.Advance(kReplayStepPeriod);
  EXPECT_FALSE(r.timers.Running(kTimerKeepAlive));
  EXPECT_FALSE(r.timers.Running(kTimerReplayStep));
}

TEST(MjActions, SubTypeSetsTheLowestFan) {
  for (int16_t sub : {0, 1, 3, 4, 5}) {
    CallLog log;
    FakeSocket socket{log};
    FakeTimers timers{log};
    FakeNotices notices{log};
    SessionSettings settings;
    settings.subType = sub;
    FrameworkSession session;
    FakeMjWindow window{log};
    FakeMjTable display{log};
    FakeMjArithmetic engine{log};
    MjTestTable table(socket, timers, notices, settings, window, session, log, display, engine);
    table.Create();
    const CallLog shown = Shown(log);
    EXPECT_EQ(shown, (CallLog{Call("A.SetSubType", sub), Call("A.SetLowFan", sub == 4 ? 3 : 0)}));
  }
}

// One chat-ban rule for both ways a line leaves: the line the table sends itself and the line
// the player typed.
TEST(MjActions, ChatBanRefusesTheLine) {
  using Send = void (CMjPlayTableImp::*)(const ChatTextFormat&, int32_t, const char*);
  for (const Send send : {Send{&CMjPlayTableImp::SendChat}, Send{&CMjPlayTableImp::SendTypedChat}}) {
    Session s(1);
    s.table.GetMe()->forbidtype = 0x8000;
    const size_t sent = s.socket.sent.size();
    const size_t mark = s.Mark();
    (s.table.*send)(ChatTextFormat{}, 0, "hello");
    EXPECT_EQ(s.socket.sent.size(), sent);
    EXPECT_EQ(Shown(s.Since(mark)),
              (CallLog{"W.Style(IDW_FAIL)",
                       "CountDown(\xb6\xd4\xb2\xbb\xc6\xf0\xa3\xac\xd5\xe2\xb6\xce\xca\xb1\xbc\xe4\xc4"
                       "\xe3\xb1\xbb\xb0\xfe\xb6\xe1\xc1\xc4\xcc\xec\xb5\xc4\xc8\xa8\xc0\xfb,4000)"}));
  }
}

// A typed line goes out as 3009 before the hand started and as 3021 (the keep-alive restarted
// first) once it has.
TEST(MjActions, TypedChatLineBeforeAndDuringTheHand) {
  for (const int started : {0, 1}) {
    Session s(1);
    s.table.SetHandStarted(started);
    const size_t sent = s.socket.sent.size();
    const size_t mark = s.Mark();
    s.table.SendTypedChat(ChatTextFormat{}, 0, "hello");
    const auto out = s.SentSince(sent);
    ASSERT_EQ(out.size(), 1u) << started;
    EXPECT_EQ(out[0].first, started ? 3021 : 3009);
    const CallLog since = s.Since(mark);
    const bool keptAlive =
        std::find(since.begin(), since.end(), "SetTimer(201,30000)") != since.end();
    EXPECT_EQ(keptAlive, started == 1);
  }
}

// The rules engine's light events light the display's buttons, one each; review mode ignores them.
TEST(MjActions, RulesLightsReachTheirButtons) {
  const char* const buttons[] = {"T.LightSend", "T.LightTing", "T.LightChi", "T.LightPeng",
                                 "T.LightGang", "T.LightHu", "T.LightGuo"};
  for (const int review : {0, 1}) {
    Session s(1);
    s.settings.reviewMode = review;
    for (int16_t i = 0; i < 7; ++i) {
      const size_t mark = s.Mark();
      s.table.OnRulesLight(static_cast<MjLight>(i), 1);
      EXPECT_EQ(Shown(s.Since(mark)), review ? CallLog{} : CallLog{Call(buttons[i], 1)}) << i;
    }
  }
}

TEST(MjActions, SoundsFollowTheSoundFlag) {
  Session s(1);
  s.table.SetSound(0);
  const size_t mark = s.Mark();
  ASSERT_TRUE(s.Send(631, Body().u16(0).u16(1).b));
  EXPECT_EQ(Shown(s.Since(mark)), CallLog{"T.SetTingStatus(1,1)"});
}

}  // namespace

namespace {

TEST(MjMagicActions, FromAndToLocations) {
  struct Row {
    const char* what;
    int32_t sender;
    int32_t receiver;
    const char* call;  // empty: nothing played
  };
  const Row rows[] = {
      {"bob to the whole table", 2, -1, "T.PlayFlash(1,-1,77,hello)"},
      {"a receiver id of 0 is the whole table too", 2, 0, "T.PlayFlash(1,-1,77,hello)"},
      {"bob to me", 2, 1, "T.PlayFlash(1,0,77,hello)"},
      {"a watcher to me", 3, 1, "T.PlayFlash(5,0,77,hello)"},
      {"a watcher to the table", 3, -1, "T.PlayFlash(5,-1,77,hello)"},
      {"bob to a watcher", 2, 3, "T.PlayFlash(5,-1,77,hello)"},
      {"an unknown sender", 9, 1, ""},
      {"an unknown receiver", 2, 9, ""},
  };
  for (const Row& r : rows) {
    Session s(1);
    s.table.AddPerson(3, "eve", "eve", 5, 3, -1);
    const size_t mark = s.Mark();
    s.table.PlayMagicAction(r.sender, r.receiver, 0, 77, "hello");
    EXPECT_EQ(Shown(s.Since(mark)), *r.call ? CallLog{r.call} : CallLog{}) << r.what;
  }
  // The local player's own action.
  Session s(1);
  s.table.AddPerson(3, "eve", "eve", 5, 3, -1);
  const size_t mark = s.Mark();
  s.table.PlayFlashFor(-1, 77, "");
  s.table.PlayFlashFor(2, 77, "hi");
  s.table.PlayFlashFor(3, 77, "hi");
  s.table.PlayFlashFor(9, 77, "hi");
  s.table.SetAvactItem(0, 55);
  EXPECT_EQ(Shown(s.Since(mark)), (CallLog{"T.PlayFlash(0,-1,77,)", "T.PlayFlash(0,1,77,hi)",
                                           "T.PlayFlash(5,-1,77,hi)", "T.SetAvactItem(1,55)"}));
}

}  // namespace
