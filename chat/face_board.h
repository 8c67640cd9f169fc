// The face board's layout and mouse rules, and the image button's states: what the windows of
// the control draw and do, kept apart from the windows so they can be checked as tables.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace chat {

struct BoardRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const BoardRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct BoardMetrics {
  static constexpr int kRows = 6, kColumns = 10, kCellWidth = 20, kCellHeight = 20, kGap = 4,
                       kBottomMargin = 30, kLeftMargin = 3, kTopMargin = 3, kWidth = 242,
                       kHeight = 176;
  static constexpr uint32_t kBackColor = 0x64C864;      // COLORREF
  static constexpr uint32_t kBorderArgb = 0xFF004B97;
  static constexpr uint32_t kGridArgb = 0xFFDFE6F6;
};

// Where the board opens for a face button (screen coordinates): its top-left at the button's
// bottom-left corner; above the button (its bottom on the button's top) only when it would
// pass the screen's bottom; moved left to end at the screen's right edge when it would pass it.
struct BoardPoint {
  int x = 0, y = 0;
};
BoardPoint PlaceBoard(const BoardRect& button, const BoardRect& screen, int width = BoardMetrics::kWidth,
                      int height = BoardMetrics::kHeight);

// The cell of the index-th face drawn: ten to a row, 24 pixels apart, the first at (3, 3).
BoardRect FaceCell(int index);

struct BoardLine {
  int x1, y1, x2, y2;
};
// The grid: six horizontal lines, then nine vertical ones, for a board of that client size.
std::vector<BoardLine> BoardGridLines(int width, int height);

// The index of the cell that holds the point strictly inside, or -1.
int BoardHitTest(const std::vector<BoardRect>& cells, int x, int y);

// The board's hover frame: a move over a face other than the framed one moves the frame; a
// move off every face clears it.
class FaceBoardHover {
 public:
  struct Move {
    bool invalidate = false;
    std::optional<BoardRect> frame;  // draw a frame one pixel outside this cell
  };
  Move OnMouseMove(const std::vector<BoardRect>& cells, int x, int y);
  void Clear() { m_hover = {}; }
  const BoardRect& Hover() const { return m_hover; }

 private:
  BoardRect m_hover;
};

// The image button: frames, hover, press, an optional latch and animation.
class ImageButtonState {
 public:
  static constexpr uint32_t kTextColor = 0x640000, kHoverTextColor = 0x1414C8,
                            kPlainTextColor = 0x969696;
  static constexpr int kTimerPeriodMs = 250;

  struct Effect {
    bool relayToTooltip = false;
    bool trackLeave = false;
    bool invalidate = false;
    bool startTimer = false;
    bool click = false;          // call the listener with (id, latched)
  };

  void SetFrameCount(int count) { m_frameCount = count; }
  int FrameCount() const { return m_frameCount; }
  // The frame to draw (frames are taken modulo their number).
  int Frame() const { return m_frameCount > 0 ? m_frame % m_frameCount : 0; }

  Effect OnMouseMove();
  Effect OnLButtonDown();
  Effect OnLButtonUp();
  Effect OnMouseLeave();
  Effect OnTimer();
  uint32_t CaptionColor() const;

  bool hoverFrames = false;
  bool animateHover = true;
  bool relayTooltip = true;
  bool freeRunning = false;
  bool latched = false;
  bool hasListener = false;
  bool tracked = false;

 private:
  bool LatchedWithListener() const { return latched && hasListener; }
  void SetFrame(int frame) { m_frame = m_frameCount > 0 ? frame % m_frameCount : 0; }

  int m_frameCount = 0;
  int m_frame = 0;
  int m_tick = 0;
};

}  // namespace chat
