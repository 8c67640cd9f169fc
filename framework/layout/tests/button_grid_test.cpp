#include "button_grid.h"

#include <gtest/gtest.h>

#include <vector>

namespace layout {
namespace {

TEST(ButtonGrid, CellsAreCutRowByRowWithRemaindersDropped) {
  // 4 x 1 strip of 203 x 31: cells of 50 x 31, pixels 200..202 belong to no button.
  const ButtonGrid strip{203, 31, 4, 1};
  EXPECT_EQ(strip.CellCount(), 4);
  EXPECT_EQ(strip.CellRect(0), (Rect{0, 0, 50, 31}));
  EXPECT_EQ(strip.CellRect(3), (Rect{150, 0, 200, 31}));
  EXPECT_EQ(strip.CellRect(4), Rect{});
  EXPECT_EQ(strip.CellRect(-1), Rect{});

  // 3 x 2 grid: index = row x columns + column.
  const ButtonGrid grid{90, 41, 3, 2};
  EXPECT_EQ(grid.CellRect(4), (Rect{30, 20, 60, 40}));
  EXPECT_EQ(grid.CellRect(5), (Rect{60, 20, 90, 40}));
}

TEST(ButtonGrid, HitTestTable) {
  const ButtonGrid strip{203, 31, 4, 1};
  const ButtonGrid grid{90, 41, 3, 2};
  const ButtonGrid empty_picture{0, 0, 4, 1};
  const ButtonGrid not_loaded{203, 31, 0, 0};
  struct Case {
    const ButtonGrid& grid;
    Point p;
    int16_t index;
  } cases[] = {
      {strip, {0, 0}, 0},       {strip, {49, 30}, 0},    {strip, {50, 0}, 1},
      {strip, {199, 15}, 3},    {strip, {200, 15}, -1},  {strip, {202, 0}, -1},
      {strip, {10, 31}, -1},    {strip, {-1, 5}, -1},    {grid, {31, 21}, 4},
      {grid, {89, 39}, 5},      {grid, {45, 40}, -1},    {empty_picture, {0, 0}, -1},
      {not_loaded, {10, 10}, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.grid.HitTest(c.p), c.index) << c.p.x << "," << c.p.y;
}

TEST(StripHover, SequencesOfMovesAndLeaves) {
  using M = StripHover::Move;
  struct Step {
    bool left_down, over, active;
    int16_t index;
    M expect;
    int16_t hover_after;
  };
  struct Sequence {
    const char* what;
    std::vector<Step> steps;
  } sequences[] = {
      {"moving within one button repaints once",
       {{false, true, true, 1, M::kTrackAndRepaint, 1}, {false, true, true, 1, M::kNothing, 1}}},
      {"moving to another button repaints once",
       {{false, true, true, 1, M::kTrackAndRepaint, 1},
        {false, true, true, 2, M::kTrackAndRepaint, 2},
        {false, true, true, 2, M::kNothing, 2}}},
      {"entering with the left button held starts no hover",
       {{true, true, true, 2, M::kNothing, -1}}},
      {"holding the button while already tracking keeps following",
       {{false, true, true, 0, M::kTrackAndRepaint, 0}, {true, true, true, 1, M::kTrackAndRepaint, 1}}},
      {"another window over the strip, or no active window: nothing",
       {{false, false, true, 1, M::kNothing, -1}, {false, true, false, 1, M::kNothing, -1}}},
      {"the gap between buttons is a hover of -1",
       {{false, true, true, 0, M::kTrackAndRepaint, 0},
        {false, true, true, -1, M::kTrackAndRepaint, -1},
        {false, true, true, -1, M::kNothing, -1}}},
  };
  for (const Sequence& s : sequences) {
    StripHover hover;
    for (const Step& st : s.steps) {
      EXPECT_EQ(hover.OnMouseMove(st.left_down, st.over, st.active, st.index), st.expect) << s.what;
      EXPECT_EQ(hover.hover(), st.hover_after) << s.what;
    }
  }
}

TEST(StripHover, LeaveEndsTrackingSoTheSameButtonLightsAgain) {
  StripHover hover;
  hover.OnMouseMove(false, true, true, 2);
  hover.Reset();
  EXPECT_EQ(hover.hover(), -1);
  EXPECT_FALSE(hover.tracking());
  EXPECT_EQ(hover.OnMouseMove(false, true, true, 2), StripHover::Move::kTrackAndRepaint);
  // After a leave, a held left button no longer counts as a continued hover.
  hover.Reset();
  EXPECT_EQ(hover.OnMouseMove(true, true, true, 2), StripHover::Move::kNothing);
}

}  // namespace
}  // namespace layout
