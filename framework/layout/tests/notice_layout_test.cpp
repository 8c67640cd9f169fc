#include "notice_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace layout {
namespace {

TEST(TimerDialogLayout, SizesAndButtonPlaces) {
  struct Case {
    int32_t text;
    bool message_only, at_init;
    TimerDialogLayout want;
  } cases[] = {
      // A text 90 wide: a 140-pixel box, buttons at x 10 and x 80.
      {90, false, false, {{140, 85}, true, Rect::At(10, 50, 50, 20), Rect::At(80, 50, 50, 20)}},
      {90, false, true, {{140, 85}, true, Rect::At(10, 50, 50, 20), Rect::At(80, 50, 50, 20)}},
      {100, false, true, {{150, 85}, true, Rect::At(10, 50, 50, 20), Rect::At(90, 50, 50, 20)}},
      // Wider than 150: the pair is centred, 100 apart; y 60 at the box's start, 50 when shown.
      {250, false, true, {{300, 85}, true, Rect::At(75, 60, 50, 20), Rect::At(175, 60, 50, 20)}},
      {250, false, false, {{300, 85}, true, Rect::At(75, 50, 50, 20), Rect::At(175, 50, 50, 20)}},
      {250, true, false, {{300, 60}, false, {}, {}}},
      {0, true, true, {{50, 60}, false, {}, {}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LayoutTimerDialog(c.text, c.message_only, c.at_init), c.want)
        << c.text << " " << c.message_only << c.at_init;
}

TEST(TimerDialogLayout, CentredOverParentOrScreen) {
  EXPECT_EQ(CentreOver({100, 50}, {800, 600}, {140, 85}), (Point{430, 307}));
  EXPECT_EQ(CentreOver({0, 0}, {1024, 768}, {300, 60}), (Point{362, 354}));
  // A box bigger than its parent sticks out on both sides.
  EXPECT_EQ(CentreOver({10, 10}, {100, 40}, {300, 60}), (Point{-90, 0}));
}

TEST(MessageDialogLayout, BelowTheMiddleOfTheScreenWithOkCentred) {
  const MessageDialogLayout l = LayoutMessageDialog(150, {1024, 768});
  EXPECT_EQ(l.box, (Rect{412, 426, 612, 511}));
  EXPECT_EQ(l.ok, (Rect{75, 53, 125, 73}));
  EXPECT_EQ(LayoutMessageDialog(0, {800, 600}).box, (Rect{375, 342, 425, 427}));
}

TEST(CountDown, TickSequencesToCloseValues) {
  using S = CountDown::Step;
  enum Event { kTick, kEnd, kOther, kOk, kCancel, kClose };
  struct Case {
    const char* what;
    std::vector<Event> events;
    std::vector<S> steps;  // one per timer event
    bool accepted, cancelled;
    int16_t ticks;
    std::string label;
  } cases[] = {
      {"default 3000 ms: [1], [2], then time out",
       {kTick, kTick, kEnd}, {S::kRepaintTick, S::kRepaintTick, S::kTimeOut}, false, false, 2, "[2]"},
      {"OK after one tick", {kTick, kOk}, {S::kRepaintTick}, true, false, 1, "[1]"},
      {"cancel before any tick", {kCancel}, {}, false, true, 0, ""},
      {"a timer that is not ours", {kOther, kTick}, {S::kNone, S::kRepaintTick}, false, false, 1, "[1]"},
      {"timers after the end change nothing",
       {kEnd, kTick, kEnd}, {S::kTimeOut, S::kNone, S::kNone}, false, false, 0, ""},
      {"closed from outside after OK", {kOk, kClose}, {}, false, false, 0, ""},
  };
  for (const Case& c : cases) {
    CountDown cd;
    cd.Start();
    std::vector<S> steps;
    for (Event e : c.events) {
      switch (e) {
        case kTick: steps.push_back(cd.OnTimer(kTimerCountDownTick)); break;
        case kEnd: steps.push_back(cd.OnTimer(kTimerCountDownEnd)); break;
        case kOther: steps.push_back(cd.OnTimer(201)); break;
        case kOk: cd.Accept(); break;
        case kCancel: cd.Cancel(); break;
        case kClose: cd.Close(); break;
      }
    }
    EXPECT_EQ(steps, c.steps) << c.what;
    EXPECT_EQ(cd.accepted(), c.accepted) << c.what;
    EXPECT_EQ(cd.cancelled(), c.cancelled) << c.what;
    EXPECT_EQ(cd.ticks(), c.ticks) << c.what;
    EXPECT_EQ(cd.TickLabel(), c.label) << c.what;
    EXPECT_EQ(cd.running(), c.events.back() == kTick || c.events.back() == kOther) << c.what;
  }
}

TEST(CountDown, StartingAgainResetsTheTicks) {
  CountDown cd;
  cd.Start();
  cd.OnTimer(kTimerCountDownTick);
  cd.OnTimer(kTimerCountDownEnd);
  cd.Start();
  EXPECT_EQ(cd.ticks(), 0);
  EXPECT_EQ(cd.OnTimer(kTimerCountDownTick), CountDown::Step::kRepaintTick);
  EXPECT_EQ(cd.TickLabel(), "[1]");
}

}  // namespace
}  // namespace layout
