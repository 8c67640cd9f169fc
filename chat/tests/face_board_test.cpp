#include "face_board.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

std::vector<BoardRect> Cells(int count) {
  std::vector<BoardRect> cells;
  for (int i = 0; i < count; ++i) cells.push_back(FaceCell(i));
  return cells;
}

TEST(FaceBoard, CellsRunTenToARowAndA61stFaceStartsARowBelowTheGrid) {
  struct Case {
    int index;
    BoardRect cell;
  } cases[] = {
      {0, {3, 3, 23, 23}},     {1, {27, 3, 47, 23}},     {9, {219, 3, 239, 23}},
      {10, {3, 27, 23, 47}},   {59, {219, 123, 239, 143}}, {60, {3, 147, 23, 167}},
  };
  for (const Case& c : cases) EXPECT_EQ(FaceCell(c.index), c.cell) << c.index;
  // The last horizontal grid line lies at 145: the seventh row is below the grid.
  const auto lines = BoardGridLines(BoardMetrics::kWidth, BoardMetrics::kHeight);
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0].y1, 25);
  EXPECT_EQ(lines[5].y1, 145);
  EXPECT_EQ(lines[5].x2, 239);
  EXPECT_EQ(lines[6].x1, 25);
  EXPECT_EQ(lines[14].x1, 217);
  EXPECT_EQ(lines[14].y2, 146);
}

TEST(FaceBoard, OpensBelowTheButtonAndStaysOnTheScreen) {
  const BoardRect screen{0, 0, 1280, 1024};
  const struct {
    BoardRect button;
    int x, y;
  } cases[] = {
      {{100, 500, 125, 520}, 100, 520},    // at the button's bottom-left
      {{100, 900, 125, 920}, 100, 724},    // would pass the bottom: above the button
      {{1200, 500, 1225, 520}, 1038, 520}, // would pass the right edge: ends at it
      {{1200, 900, 1225, 920}, 1038, 724},
      {{100, 828, 125, 848}, 100, 848},    // ends exactly at the bottom: stays below
  };
  for (const auto& c : cases) {
    const BoardPoint at = PlaceBoard(c.button, screen);
    EXPECT_EQ(at.x, c.x) << c.button.left << "," << c.button.top;
    EXPECT_EQ(at.y, c.y) << c.button.left << "," << c.button.top;
  }
}

TEST(FaceBoard, HitTestIsStrictlyInsideACell) {
  const auto cells = Cells(12);
  struct Case {
    int x, y, hit;
  } cases[] = {
      {13, 13, 0}, {4, 4, 0},   {3, 13, -1},  {23, 13, -1}, {25, 13, -1},  // grid gap
      {22, 22, 0}, {30, 30, 11}, {60, 30, -1},                           // past the 12th face
      {-5, -5, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(BoardHitTest(cells, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(FaceBoard, HoverFrameMovesWithTheMouse) {
  const auto cells = Cells(3);
  FaceBoardHover hover;
  auto m = hover.OnMouseMove(cells, 10, 10);
  EXPECT_TRUE(m.invalidate);
  ASSERT_TRUE(m.frame);
  EXPECT_EQ(*m.frame, cells[0]);
  m = hover.OnMouseMove(cells, 11, 11);  // same face: framed again, no repaint
  EXPECT_FALSE(m.invalidate);
  EXPECT_TRUE(m.frame);
  m = hover.OnMouseMove(cells, 30, 10);
  EXPECT_TRUE(m.invalidate);
  EXPECT_EQ(*m.frame, cells[1]);
  m = hover.OnMouseMove(cells, 25, 10);  // off every face: cleared once
  EXPECT_TRUE(m.invalidate);
  EXPECT_FALSE(m.frame);
  EXPECT_FALSE(hover.OnMouseMove(cells, 25, 10).invalidate);
}

TEST(ImageButton, FramesHoverPressAndClick) {
  struct Case {
    const char* name;
    int frames;
    bool hoverFrames, animate, latched, listener;
    int afterMove, afterDown, afterUp, afterLeave;
    bool click;
    uint32_t hoverColor;
  } cases[] = {
      {"three frames", 3, true, false, false, true, 1, 2, 2, 0, true, ImageButtonState::kHoverTextColor},
      {"two frames: no pressed frame on down", 2, true, false, false, true, 1, 1, 0, 0, true,
       ImageButtonState::kHoverTextColor},
      {"one frame shows frame 0 always", 1, true, false, false, true, 0, 0, 0, 0, true,
       ImageButtonState::kHoverTextColor},
      {"no hover frames", 3, false, false, false, true, 0, 0, 2, 0, true, ImageButtonState::kPlainTextColor},
      {"latched with a listener ignores the mouse", 3, true, false, true, true, 0, 0, 0, 0, false,
       ImageButtonState::kHoverTextColor},
      {"no listener: no click", 3, true, false, false, false, 1, 2, 2, 0, false,
       ImageButtonState::kHoverTextColor},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImageButtonState b;
    b.SetFrameCount(c.frames);
    b.hoverFrames = c.hoverFrames;
    b.animateHover = c.animate;
    b.latched = c.latched;
    b.hasListener = c.listener;
    b.OnMouseMove();
    EXPECT_EQ(b.Frame(), c.afterMove);
    EXPECT_EQ(b.CaptionColor(), c.hoverColor);
    b.OnLButtonDown();
    EXPECT_EQ(b.Frame(), c.afterDown);
    EXPECT_EQ(b.OnLButtonUp().click, c.click);
    EXPECT_EQ(b.Frame(), c.afterUp);
    b.OnMouseLeave();
    EXPECT_EQ(b.Frame(), c.afterLeave);
  }
}

TEST(ImageButton, TimerAnimatesEveryThirdTickOrEveryTickWhenFreeRunning) {
  ImageButtonState hovering;
  hovering.SetFrameCount(4);
  hovering.hoverFrames = true;
  EXPECT_TRUE(hovering.OnMouseMove().startTimer);
  std::vector<int> frames;
  for (int i = 0; i < 6; ++i) {
    hovering.OnTimer();
    frames.push_back(hovering.Frame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 2, 3}));

  ImageButtonState free;
  free.SetFrameCount(3);
  free.freeRunning = true;
  EXPECT_FALSE(free.OnLButtonUp().click);  // the mouse is ignored
  frames.clear();
  for (int i = 0; i < 4; ++i) {
    free.OnTimer();
    frames.push_back(free.Frame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1}));

  ImageButtonState empty;  // no frames at all: nothing to divide by
  empty.freeRunning = true;
  empty.OnTimer();
  EXPECT_EQ(empty.Frame(), 0);
}

}  // namespace
}  // namespace chat
