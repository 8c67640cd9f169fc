// The seat clocks: own turns and claims, auto mode's shortening turns, the ping at 15, the
// opponent's counting up, the digits drawn, and the timers that start and stop.
#include <gtest/gtest.h>

#include "table_fixture.h"

namespace table {
namespace {

using namespace testing;

// Ticks the own clock until it runs out; returns how many ticks that took and the result.
std::pair<int, int> RunOut(TableFixture& f) {
  for (int ticks = 1; ticks < 100; ++ticks) {
    const int r = f.t().CountDownTick(0);
    if (r != kClockGoesOn) return {ticks, r};
  }
  return {-1, -1};
}

TEST(Clock, OwnTurnsShortenAfterTheFirstTimeOut) {
  TableFixture f;
  f.t().SetCountDown(1000, 30);
  const int expected[] = {30, 15, 7, 5, 5};
  for (int turn = 0; turn < 5; ++turn) {
    f.t().StartChoice(0);
    EXPECT_TRUE(f.timers.Runs(kTimerOwnClock));
    EXPECT_EQ(f.timers.running[kTimerOwnClock], 1000u);
    const auto [ticks, result] = RunOut(f);
    EXPECT_EQ(ticks, expected[turn]) << turn;
    EXPECT_EQ(result, kOwnTimeOut);
    EXPECT_TRUE(f.t().autoMode);
    EXPECT_FALSE(f.timers.Runs(kTimerOwnClock));
  }
  f.t().StartOneHand();  // a new hand: 30 seconds again
  f.t().StartChoice(0);
  EXPECT_EQ(RunOut(f).first, 30);
}

TEST(Clock, ClaimsLastFifteenOrFiveAndRunOutAsPass) {
  TableFixture f;
  f.t().StartChoice_InTimer(0);
  EXPECT_TRUE(f.t().claimChoice);
  EXPECT_FALSE(f.t().m_bOwnTurn);
  auto [ticks, result] = RunOut(f);
  EXPECT_EQ(ticks, 15);
  EXPECT_EQ(result, kClaimTimeOut);
  f.t().StartChoice_InTimer(0);  // auto mode now
  std::tie(ticks, result) = RunOut(f);
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(result, kClaimTimeOut);
  // A turn clears the claim flag.
  f.t().StartChoice(0);
  EXPECT_FALSE(f.t().claimChoice);
}

TEST(Clock, AutoSendRunsOneSecondAndDisablesTheSendButton) {
  TableFixture f;
  f.t().autoSend = true;
  f.t().LightSend(1);
  f.t().StartChoice(0);
  EXPECT_FALSE(f.t().Buttons().Enabled(kButtonSend));
  EXPECT_EQ(RunOut(f).first, 1);
  f.t().LightGuo(1);
  f.t().StartChoice_InTimer(0);
  EXPECT_FALSE(f.t().Buttons().Enabled(kButtonGuo));
  EXPECT_EQ(RunOut(f).first, 1);
}

TEST(Clock, PingOnlyWhenTheOwnClockShowsFifteen) {
  for (bool claim : {false, true}) {
    TableFixture f;
    claim ? f.t().StartChoice_InTimer(0) : f.t().StartChoice(0);
    std::vector<int> shownAtPing;
    for (int i = 0; i < 40; ++i) {
      const int shown = f.seat(0).countdown;
      f.surface.Clear();
      const int r = f.t().CountDownTick(0);
      for (const auto& s : f.surface.Of("sound")) {
        EXPECT_EQ(s.arg, int(Sound::Ping));
        EXPECT_EQ(s.opacity, 2.0f);  // played twice
        shownAtPing.push_back(shown);
      }
      if (r != kClockGoesOn) break;
    }
    EXPECT_EQ(shownAtPing, std::vector<int>{15}) << claim;
  }
  TableFixture quiet;
  quiet.t().soundOn = false;
  quiet.t().StartChoice_InTimer(0);
  RunOut(quiet);
  EXPECT_TRUE(quiet.surface.Of("sound").empty());
}

TEST(Clock, DigitsOfTheShownValue) {
  TableFixture f;
  f.t().StartChoice_InTimer(0);  // 15
  f.surface.Clear();
  f.t().CountDownTick(0);
  const auto images = f.surface.Of("image");
  ASSERT_EQ(images.size(), 3u);
  const Rect clock{28, 404, 92, 468};
  EXPECT_EQ(images[0].arg, int(SkinImage::Clock));
  EXPECT_EQ(images[0].rect, clock);
  EXPECT_EQ(images[1].arg, int(SkinImage::Digit1));
  EXPECT_EQ(images[1].rect, (Rect{42, 420, 66, 452}));
  EXPECT_EQ(images[2].arg, int(SkinImage::Digit5));
  EXPECT_EQ(images[2].rect, (Rect{54, 420, 78, 452}));
  // A stopped clock is taken off the table.
  f.surface.Clear();
  f.t().StopCountDown(0);
  ASSERT_EQ(f.surface.Of("restore").size(), 1u);
  EXPECT_EQ(f.surface.Of("restore")[0].rect, clock);
  EXPECT_FALSE(f.timers.Runs(kTimerOwnClock));
}

TEST(Clock, OpponentCountsUpToThreeHundred) {
  TableFixture f;
  f.t().StartChoice(1);
  EXPECT_TRUE(f.timers.Runs(1));
  EXPECT_FALSE(f.timers.Runs(kTimerOwnClock));
  for (int i = 0; i < 299; ++i) EXPECT_EQ(f.t().CountDownTick(1), kClockGoesOn);
  EXPECT_TRUE(f.timers.Runs(1));
  f.t().CountDownTick(1);
  EXPECT_FALSE(f.timers.Runs(1));
  EXPECT_EQ(f.seat(1).countdown, 300);
}

TEST(Clock, StartChoiceGuards) {
  TableFixture f;
  f.t().StartChoice(0);
  f.t().StartChoice(1);
  f.t().StartChoice(-1);  // a bad seat stops every clock
  EXPECT_FALSE(f.timers.Runs(0));
  EXPECT_FALSE(f.timers.Runs(1));
  EXPECT_EQ(f.t().CountDownTick(5), kClockGoesOn);
  f.t().reviewStyle = 1;  // a replay runs no clocks
  f.t().StartChoice(0);
  EXPECT_FALSE(f.timers.Runs(0));
}

TEST(Clock, DicePhaseSetsNoOwnTurn) {
  TableFixture f;
  f.t().StartDice(0);
  EXPECT_TRUE(f.t().dicePhase);
  EXPECT_TRUE(f.timers.Runs(kTimerOwnClock));
  EXPECT_FALSE(f.t().m_bOwnTurn);
  EXPECT_TRUE(f.t().Buttons().Visible(kButtonDice));
  f.t().SetDice(0, 3, 4);
  EXPECT_FALSE(f.timers.Runs(kTimerOwnClock));
  EXPECT_FALSE(f.t().Buttons().Visible(kButtonDice));
  EXPECT_EQ(f.t().dice[0], 3);
  EXPECT_FALSE(f.t().dicePhase);
  f.t().StartDice(-1);
  EXPECT_FALSE(f.t().dicePhase);
  EXPECT_EQ(f.t().diceSeat, -1);
}

}  // namespace
}  // namespace table
