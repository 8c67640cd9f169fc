// The table frame window's skin metrics (decimal strings of the style module), its layout
// (play pane, right column, list and chat panes, bands, strips, splitter bars, text
// rectangles) and the drag of its two pane boundaries.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "geometry.h"

namespace layout {

struct FrameMetrics {
  // Colours (32-bit, red in the low byte).
  uint32_t m_clrFrameFill = 0;       // 101
  uint32_t m_clrColumnFill = 0;      // 102
  uint32_t m_clrListSkin = 0;        // 103
  uint32_t m_clrChatSkin = 0;        // 106
  uint32_t m_clrCaptionText = 0;     // 137
  uint32_t m_clrTitleButtonsBack = 0;  // 141
  uint32_t m_clrText1 = 0xFFFFFF;    // 142
  uint32_t m_clrText2 = 0;           // 143
  uint32_t m_clrText3 = 0xFCBF82;    // 144
  uint32_t m_clrText4 = 0;           // 146
  // Lengths and flags (16-bit).
  int16_t m_nTableInsetLeft = 0;     // 107
  int16_t m_nTableInsetTop = 0;      // 108
  int16_t m_nPlayTop = 0;            // 110
  int16_t m_nColumnTop = 0;          // 112
  int16_t m_nCaptionHeight = 0;      // 113
  int16_t m_nPlayLeft = 0;           // 114
  int16_t m_nBottomMargin = 0;       // 115
  int16_t m_nColumnRightMargin = 0;  // 116
  int16_t m_nPaneInsetLeft = 0;      // 118
  int16_t m_nAdvertOffset = 0;       // 119
  int16_t m_nPaneInsetRight = 0;     // 120
  int16_t m_nColumnReserve = 0;      // 121
  int16_t m_nAdvertHeight = 0;       // 124
  int16_t m_nTableInsetRight = 0;    // 125
  int16_t m_nTableInsetBottom = 0;   // 126
  int16_t m_bStretchTitle = 0;       // 127
  int16_t m_nTitleButtonsTop = 0;    // 128
  int16_t m_bCenterCaption = 0;      // 130
  int16_t m_nCaptionTextTop = 0;     // 131
  int16_t m_nCaptionTextLeft = 0;    // 132
  int16_t m_nCaptionTextBottom = 0;  // 133
  int16_t m_nCaptionTextRight = 0;   // 134
  int16_t m_nCaptionIconWidth = 0;   // 135
  int16_t m_nCaptionIconHeight = 0;  // 136
  int32_t m_nSetupButtonsTop = 0;    // 148
  std::string imageFolder;           // 147, at most 31 characters
};

// A string of the style module by id; empty when missing.
using StringReader = std::function<std::string(uint32_t id)>;

// A metric string as a number: at most 18 characters, a signed decimal (leading blanks and
// a sign allowed, reading stops at the first other character); missing or not a number: 0.
int64_t MetricValue(const std::string& text);

// Reads every metric. The first load applies the 600-pixel rule (advert height 80 on a screen
// of 600 pixels or less); a skin change takes string 124 as it stands.
FrameMetrics ReadFrameMetrics(const StringReader& read, int32_t screen_height, bool first_load);

// The two values the derived window is given to share out between list and chat
// (SetPaneLayout): the height and the list-and-chat height.
struct PaneHeights {
  int32_t height;
  int32_t listAndChat;
};
PaneHeights PaneLayoutHeights(const FrameMetrics& m, int32_t h);

struct FrameInputs {
  int32_t x = 0, y = 0, w = 0, h = 0;
  int16_t columnWidth = 300;
  int16_t listHeight = 0, chatHeight = 0;
  int16_t titleBandHeight = 25;
  Size setupStrip;            // the setup strip's picture size
  bool setupStripHasImage = false;
  Size titleStrip;            // the title strip's first picture size
  int32_t windowWidth = 0;    // the table window's width
  int32_t systemFrameWidth = 0;
};

struct FrameRects {
  Rect play, list, chat, listChatBar, chatTitle, listTitle;
  Rect setupButtons, titleButtons, advert, columnBar, setupText, exitText;
  Rect columnFrame;  // where the right-column frame is drawn
  friend bool operator==(const FrameRects&, const FrameRects&) = default;
};

FrameRects LayoutFrame(const FrameMetrics& m, const FrameInputs& in);
// The two boundary bars of a layout (recomputed after drags).
void BarsOf(const FrameMetrics& m, FrameRects& r, int16_t titleBandHeight);

// The pointer over and dragging of the two pane boundaries.
class FrameDrag {
 public:
  enum State : int16_t { kNone = -1, kListChatDrag = 4, kListChatHover = 10, kColumn = 14 };
  struct MoveResult {
    bool capture = false;    // take the mouse capture
    bool feedback = false;   // show the bar window at the moved bar
    bool stopped = false;    // the column drag reached its limit: default processing only
  };
  struct UpResult {
    State ended = kNone;
    int32_t boundary = 0;     // list/chat drag: the new list bottom
    int16_t columnWidth = 0;  // column drag: the new column width
  };

  // A press that starts a drag or a window move (outside the caption boxes and texts).
  void OnPress(Point p, const FrameMetrics& m, FrameRects& r, int16_t titleBandHeight);
  MoveResult OnMove(Point p, const Rect& client, FrameRects& r);
  UpResult OnRelease(const Rect& client, const FrameMetrics& m, FrameRects& r,
                     int16_t titleBandHeight);
  void OnLeave();

  State state() const { return state_; }
  bool mouseDown() const { return mouse_down_; }
  Point origin() const { return origin_; }
  void ClearMouseDown() { mouse_down_ = false; }

 private:
  State state_ = kNone;
  bool mouse_down_ = false;
  Point origin_;
};

// The caption boxes of the frame (client width W): close, maximise, minimise.
enum class CaptionHit { kNone, kClose, kMaximise, kMinimise };
CaptionHit HitCaptionBox(Point p, int32_t client_width);

// The splitter operations' guards and results; nullopt-like: -1 when refused.
int32_t MoveSplitterLeft(int16_t columnWidth, const FrameRects& r, int32_t delta);
int32_t MoveSplitterRight(int16_t columnWidth, const FrameRects& r, int32_t delta);
int32_t SetSplitterMax(int16_t columnWidth, const FrameRects& r, int32_t client_width);
int32_t ToggleSplitter(int16_t columnWidth, const FrameRects& r);

}  // namespace layout
