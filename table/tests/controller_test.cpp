// The control's commands, clicks and timers: the events fired, in order, and what changes in
// the model.
#include <gtest/gtest.h>

#include "table_controller.h"
#include "table_fixture.h"

namespace table {
namespace {

using namespace testing;

struct RecordingSink : TableEventSink, ControllerHost {
  std::vector<std::string> events;
  std::vector<card> sent;
  void Fire(TableEvent e) override { events.push_back("event " + std::to_string(int(e))); }
  void FireTimeOut(int16_t loc) override { events.push_back("TimeOut " + std::to_string(loc)); }
  void FireRequestSend(int16_t num, const card* cards) override {
    events.push_back("RequestSend " + std::to_string(num));
    sent.assign(cards, cards + num);
  }
  void HideFlash(int16_t place) override { events.push_back("hide " + std::to_string(place)); }
};

std::string Ev(TableEvent e) { return "event " + std::to_string(int(e)); }

struct ControllerFixture : TableFixture {
  RecordingSink sink;
  TableController controller{*table, sink, sink};
  explicit ControllerFixture(bool play = true) : TableFixture(true, true, play) {
    TableController::ResetBlinkFlags();
  }
  void LightAll() {
    for (auto light : {&CCommMjTable::LightSend, &CCommMjTable::LightGuo, &CCommMjTable::LightTing,
                       &CCommMjTable::LightChi, &CCommMjTable::LightPeng, &CCommMjTable::LightGang,
                       &CCommMjTable::LightHu})
      (t().*light)(1);
  }
  std::vector<int> Enabled() {
    std::vector<int> out;
    for (int id : kActionStrip)
      if (t().Buttons().Enabled(id)) out.push_back(id);
    return out;
  }
};

TEST(Commands, ActionButtonsFireAndDarkenTheirGroup) {
  struct Case {
    int id;
    std::vector<std::string> events;
    std::vector<int> stillLit;  // of the seven, after the command
  } cases[] = {
      {kButtonGuo, {Ev(kEventGuo)}, {}},
      {kButtonTing, {Ev(kEventTing), Ev(kEventGuo)}, {kButtonHu, kButtonGang, kButtonSend}},
      {kButtonChi, {Ev(kEventChi)}, {kButtonTing, kButtonSend}},
      {kButtonPeng, {Ev(kEventPeng)}, {kButtonTing, kButtonSend}},
      {kButtonGang, {Ev(kEventGang)}, {kButtonTing, kButtonSend}},
      {kButtonHu, {Ev(kEventHu)}, {kButtonTing, kButtonChi, kButtonPeng, kButtonGang, kButtonSend}},
      {kButtonSave, {Ev(kEventSaveOneHand)}, {}},
      {kButtonSetup, {Ev(kEventSetup)}, {}},
      {kButtonExit, {Ev(kEventExit)}, {}},
      {kButtonAction, {Ev(kEventSelectAction)}, {}},
      {kButtonDice, {Ev(kEventDice)}, {}},
      {kButtonPause, {}, {}},  // not a replay
      {kButtonNext, {}, {}},
      {999, {}, {}},
  };
  for (const auto& c : cases) {
    ControllerFixture f;
    f.LightAll();
    f.t().claimChoice = true;
    f.t().StartChoice_InTimer(0);
    f.controller.OnCommand(c.id, 0);
    SCOPED_TRACE(c.id);
    EXPECT_EQ(f.sink.events, c.events);
    if (!c.stillLit.empty()) {
      std::vector<int> expected;
      for (int id : kActionStrip)
        if (std::find(c.stillLit.begin(), c.stillLit.end(), id) != c.stillLit.end())
          expected.push_back(id);
      EXPECT_EQ(f.Enabled(), expected);
      EXPECT_FALSE(f.t().claimChoice);
    }
  }
}

TEST(Commands, PassStopsTheClockAndNotificationsOtherThanClicksAreIgnored) {
  ControllerFixture f;
  f.LightAll();
  f.t().StartChoice_InTimer(0);
  f.controller.OnCommand(kButtonGuo, 1);  // not a click
  EXPECT_TRUE(f.sink.events.empty());
  f.controller.OnCommand(kButtonGuo, 0);
  EXPECT_FALSE(f.timers.Runs(kTimerOwnClock));
  EXPECT_TRUE(f.Enabled().empty());
  // Ting without the pass button lit fires Ting alone.
  f.sink.events.clear();
  f.t().LightTing(1);
  f.controller.OnCommand(kButtonTing, 0);
  EXPECT_EQ(f.sink.events, std::vector<std::string>{Ev(kEventTing)});
}

TEST(Commands, DiscardSendsTheSelectedTileOnce) {
  ControllerFixture f;
  f.Deal({{0, 1}, {0, 2}, {0, 3}});
  f.LightAll();
  f.t().StartChoice(0);
  f.t().claimChoice = true;
  f.controller.OnCommand(kButtonSend, 0);  // nothing selected
  EXPECT_TRUE(f.sink.events.empty());
  EXPECT_FALSE(f.t().claimChoice);
  EXPECT_TRUE(f.timers.Runs(kTimerOwnClock));

  f.seat(0).hand().ClickAt(85, 30);
  f.controller.OnCommand(kButtonSend, 0);
  EXPECT_EQ(f.sink.events, std::vector<std::string>{"RequestSend 1"});
  ASSERT_EQ(f.sink.sent.size(), 1u);
  EXPECT_TRUE(f.sink.sent[0] == (card{0, 3}));
  EXPECT_FALSE(f.timers.Runs(kTimerOwnClock));
  EXPECT_TRUE(f.Enabled().empty());

  f.sink.events.clear();
  f.t().autoSend = true;
  f.controller.OnCommand(kButtonSend, 0);
  EXPECT_TRUE(f.sink.events.empty());
}

TEST(Commands, StartAsksForTheDealOnlyWhenPlaying) {
  for (bool play : {true, false}) {
    ControllerFixture f(play);
    f.t().StartDeal();
    f.t().ShowButton(kButtonStart, true);
    f.t().HuPai(0, 1);
    f.t().ShowScoreInfo(true);
    f.controller.OnTimer(kTimerStart);  // the start button ran out
    EXPECT_FALSE(f.t().Buttons().Visible(kButtonStart));
    EXPECT_FALSE(f.t().ScoreListShown());
    EXPECT_FALSE(f.timers.Runs(kTimerStart));
    EXPECT_EQ(f.sink.events.size(), play ? 1u : 0u);
    EXPECT_EQ(f.timers.Runs(kTimerAngry), !play);
  }
}

TEST(Commands, ReplayButtonsAndTheAutoSendToggle) {
  ControllerFixture f;
  f.t().reviewStyle = 1;
  f.controller.OnCommand(kButtonNext, 0);
  f.controller.OnCommand(kButtonPause, 0);
  f.t().SetButtonChecked(kButtonPause, true);
  f.controller.OnCommand(kButtonPause, 0);
  EXPECT_EQ(f.sink.events,
            (std::vector<std::string>{Ev(kEventNextNo), Ev(kEventPause), Ev(kEventAutoReview)}));
  f.t().SetButtonChecked(kButtonAutoSend, true);
  f.controller.OnCommand(kButtonAutoSend, 0);
  EXPECT_TRUE(f.t().autoSend);
  f.t().SetButtonChecked(kButtonAutoSend, false);
  f.controller.OnCommand(kButtonAutoSend, 0);
  EXPECT_FALSE(f.t().autoSend);
  ControllerFixture watching(false);
  watching.t().SetButtonChecked(kButtonAutoSend, true);
  watching.controller.OnCommand(kButtonAutoSend, 0);
  EXPECT_FALSE(watching.t().autoSend);
}

TEST(Clicks, RightButtonDiscardsOnlyOnALitOwnTurn) {
  struct Case {
    bool play, lit, autoSend, ownTurnAfterLight;
    bool sends;
  } cases[] = {{true, true, false, true, true},   {false, true, false, true, false},
               {true, false, false, true, false}, {true, true, true, true, false},
               {true, true, false, false, false}};
  for (const auto& c : cases) {
    ControllerFixture f;
    f.Deal({{0, 1}, {0, 2}});
    f.seat(0).hand().ClickAt(5, 30);
    if (c.lit) f.t().LightSend(1);
    if (!c.ownTurnAfterLight) f.t().ClearOwnTurn();
    f.t().autoSend = c.autoSend;
    f.t().playMode = c.play;
    f.controller.OnRightButtonDown();
    EXPECT_EQ(!f.sink.events.empty(), c.sends) << c.play << c.lit << c.autoSend;
  }
}

TEST(Clicks, LeftButtonSelectsTilesAndHitsSetupAndExitWithTheirExtension) {
  ControllerFixture f;
  f.Deal({{0, 1}, {0, 2}, {0, 3}});
  f.t().AddCardToCurrent(0, 1, 1, true);
  CMjLocation& own = f.seat(0);
  own.CalcCardLayout(f.surface.client);
  const Rect hand = own.AreaRect(CMjLocation::kHand);
  const Rect current = own.AreaRect(CMjLocation::kCurrent);
  f.controller.OnLeftButtonDown(hand.left + 45, hand.top + 30);
  EXPECT_EQ(own.hand().SelectedIndices(), std::vector<uint16_t>{1});
  f.controller.OnLeftButtonDown(current.left + 5, current.top + 30);
  EXPECT_TRUE(own.hand().SelectedIndices().empty());
  uint16_t n = 0;
  own.current().GetSelectedCount(n);
  EXPECT_EQ(n, 1);

  struct Case {
    int x, y;
    std::vector<std::string> events;
  } cases[] = {{980, 10, {Ev(kEventExit)}},  {980, 49, {Ev(kEventExit)}},
               {980, 60, {}},                {920, 40, {Ev(kEventSetup)}},
               {500, 300, {}}};
  for (const auto& c : cases) {
    f.sink.events.clear();
    f.controller.OnLeftButtonDown(c.x, c.y);
    EXPECT_EQ(f.sink.events, c.events) << c.x << "," << c.y;
  }
  ControllerFixture watching(false);
  watching.controller.OnLeftButtonDown(980, 10);
  EXPECT_TRUE(watching.sink.events.empty());
}

TEST(Timers, OwnClockRunningOutByPhase) {
  struct Case {
    const char* name;
    int16_t diceSeat;  // -1: no dice phase
    bool claim;
    std::vector<std::string> events;
  } cases[] = {{"turn", -1, false, {"TimeOut 0"}},
               {"claim", -1, true, {Ev(kEventGuo)}},
               {"own dice", 0, false, {Ev(kEventDice)}},
               {"opponent's dice", 1, false, {}}};
  for (const auto& c : cases) {
    ControllerFixture f;
    if (c.diceSeat >= 0) {
      f.t().StartDice(c.diceSeat);
      f.t().StartChoice(0);
    } else if (c.claim) {
      f.t().StartChoice_InTimer(0);
    } else {
      f.t().StartChoice(0);
    }
    for (int i = 0; i < 40 && f.timers.Runs(0); ++i) f.controller.OnTimer(0);
    EXPECT_EQ(f.sink.events, c.events) << c.name;
  }
}

TEST(Timers, ReplayRunsNoClocksAndNeverPasses) {
  ControllerFixture f(false);
  f.t().reviewStyle = 1;
  f.Deal({{0, 1}, {0, 2}, {0, 3}});
  const card discard{1, 5};
  f.t().SetRecvCards(1, 1, &discard, 1);  // the opponent's replayed discard: my claim
  f.t().SetRecvCards(0, 1, &discard, 1);  // my replayed discard: the opponent's claim
  f.t().StartChoice_InTimer(0);
  f.t().StartChoice_InTimer(1);
  f.t().StartChoice(0);
  f.t().StartChoice(1);
  EXPECT_FALSE(f.timers.Runs(0));
  EXPECT_FALSE(f.timers.Runs(1));
  EXPECT_FALSE(f.t().claimChoice);
  for (int i = 0; i < 40; ++i) {
    if (f.timers.Runs(0)) f.controller.OnTimer(0);
    if (f.timers.Runs(1)) f.controller.OnTimer(1);
  }
  EXPECT_EQ(f.sink.events, std::vector<std::string>{});
}

TEST(Timers, DispatchByIdentifier) {
  struct Case {
    uint32_t id;
    bool stops;                        // the timer is killed by its tick
    std::vector<std::string> events;
  } cases[] = {{120, true, {}},           {110, true, {}},  // no winner: killed
               {250, true, {"hide 0"}},   {251, true, {"hide 1"}},
               {252, true, {"hide 2"}},   {253, false, {}},
               {77, false, {}},           {104, false, {}}};
  for (const auto& c : cases) {
    ControllerFixture f;
    f.timers.SetTimer(c.id, 100);
    f.controller.OnTimer(c.id);
    EXPECT_EQ(f.timers.Runs(c.id), !c.stops) << c.id;
    EXPECT_EQ(f.sink.events, c.events) << c.id;
  }
}

TEST(Timers, AnimationsStopAtTheirEnd) {
  ControllerFixture f;
  const card pung[3] = {{0, 5}, {0, 5}, {0, 5}};
  f.t().ExposeCard_InRecover(1, kMeldChowOrPung, 3, pung);
  f.t().StartMeldAnimation(1, 1);
  int ticks = 0;
  while (f.timers.Runs(136) && ticks < 50) {
    f.controller.OnTimer(136);
    ++ticks;
  }
  EXPECT_EQ(ticks, 11);
  f.t().SetDealNum_InTimer(1, 13);
  ticks = 0;
  while (f.timers.Runs(kTimerDealOpponent) && ticks < 50) {
    f.controller.OnTimer(kTimerDealOpponent);
    ++ticks;
  }
  EXPECT_EQ(ticks, 13);
  f.t().InitWall_InTimer(64);
  ticks = 0;
  while (f.timers.Runs(kTimerWallBuild) && ticks < 50) {
    f.controller.OnTimer(kTimerWallBuild);
    ++ticks;
  }
  EXPECT_EQ(ticks, 17);
}

TEST(Timers, BlinkFlagsAlternate) {
  ControllerFixture f;
  f.controller.OnTimer(kTimerWallBlink);
  EXPECT_EQ(TableController::BlinkA(), 1);
  f.controller.OnTimer(kTimerWallBlink);
  EXPECT_EQ(TableController::BlinkA(), 0);
  f.controller.OnTimer(kTimerMeldBlink);
  f.controller.OnTimer(kTimerKongBlink);
  EXPECT_EQ(TableController::BlinkB(), 0);
  f.t().HuPai(0, 1);
  f.controller.OnTimer(kTimerWinnerBlink);
  EXPECT_EQ(TableController::BlinkB(), 1);
  EXPECT_TRUE(f.timers.Runs(kTimerWinnerBlink));
}

}  // namespace
}  // namespace table
