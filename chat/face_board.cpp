#include "face_board.h"

namespace chat {

BoardRect FaceCell(int index) {
  const int step = BoardMetrics::kCellWidth + BoardMetrics::kGap;
  const int left = BoardMetrics::kLeftMargin + step * (index % BoardMetrics::kColumns);
  const int top = BoardMetrics::kTopMargin + step * (index / BoardMetrics::kColumns);
  return {left, top, left + BoardMetrics::kCellWidth, top + BoardMetrics::kCellHeight};
}

std::vector<BoardLine> BoardGridLines(int width, int height) {
  std::vector<BoardLine> lines;
  const int step = BoardMetrics::kCellWidth + BoardMetrics::kGap;
  for (int i = 1; i <= BoardMetrics::kRows; ++i)
    lines.push_back({3, step * i + 1, width - 3, step * i + 1});
  for (int j = 1; j < BoardMetrics::kColumns; ++j)
    lines.push_back({step * j + 1, 3, step * j + 1, height - BoardMetrics::kBottomMargin});
  return lines;
}

int BoardHitTest(const std::vector<BoardRect>& cells, int x, int y) {
  for (size_t i = 0; i < cells.size(); ++i) {
    const BoardRect& c = cells[i];
    if (c.left < x && x < c.right && c.top < y && y < c.bottom) return static_cast<int>(i);
  }
  return -1;
}

FaceBoardHover::Move FaceBoardHover::OnMouseMove(const std::vector<BoardRect>& cells, int x,
                                                 int y) {
  Move move;
  const int hit = BoardHitTest(cells, x, y);
  if (hit >= 0) {
    if (!(cells[hit] == m_hover)) {
      move.invalidate = true;
      m_hover = cells[hit];
    }
    move.frame = cells[hit];
  } else if (!m_hover.Empty()) {
    m_hover = {};
    move.invalidate = true;
  }
  return move;
}

ImageButtonState::Effect ImageButtonState::OnMouseMove() {
  Effect e;
  if (freeRunning) return e;
  e.relayToTooltip = relayTooltip;
  if (LatchedWithListener() || tracked) return e;
  if (!hoverFrames) {
    SetFrame(0);
    return e;
  }
  e.trackLeave = true;
  tracked = true;
  SetFrame(1);
  e.invalidate = true;
  e.startTimer = animateHover;
  return e;
}

ImageButtonState::Effect ImageButtonState::OnLButtonDown() {
  Effect e;
  if (freeRunning || LatchedWithListener()) return e;
  if (hoverFrames && !animateHover && m_frameCount >= 3) {
    SetFrame(2);
    e.invalidate = true;
  }
  return e;
}

ImageButtonState::Effect ImageButtonState::OnLButtonUp() {
  Effect e;
  if (freeRunning || LatchedWithListener()) return e;
  SetFrame(2);
  e.click = hasListener;
  return e;
}

ImageButtonState::Effect ImageButtonState::OnMouseLeave() {
  Effect e;
  if (freeRunning) return e;
  tracked = false;
  if (!latched) SetFrame(0);
  e.invalidate = true;
  return e;
}

ImageButtonState::Effect ImageButtonState::OnTimer() {
  Effect e;
  if (freeRunning) {
    SetFrame(m_frame + 1);
    e.invalidate = true;
    return e;
  }
  if (++m_tick % 3 == 0 && animateHover) {
    SetFrame(m_frame + 1);
    e.invalidate = true;
  }
  return e;
}

uint32_t ImageButtonState::CaptionColor() const {
  if (LatchedWithListener()) return kHoverTextColor;
  if (!hoverFrames) return kPlainTextColor;
  return tracked ? kHoverTextColor : kTextColor;
}

BoardPoint PlaceBoard(const BoardRect& button, const BoardRect& screen, int width, int height) {
  BoardPoint at{button.left, button.bottom};
  if (at.y + height > screen.bottom) at.y = button.top - height;
  if (at.x + width > screen.right) at.x = screen.right - width;
  return at;
}

}  // namespace chat
