#include "frame_layout.h"

#include <cstdlib>

namespace layout {

namespace {

Rect Grow(const Rect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return Rect{r.left - left, r.top - top, r.right + right, r.bottom + bottom};
}

Rect Offset(const Rect& r, int32_t dx, int32_t dy) {
  return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

int64_t MetricValue(const std::string& text) {
  const std::string s = text.substr(0, 18);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) v = v * 10 + (s[i] - '0');
  return negative ? -v : v;
}

FrameMetrics ReadFrameMetrics(const StringReader& read, int32_t screen_height, bool first_load) {
  auto n16 = [&](uint32_t id) { return static_cast<int16_t>(MetricValue(read(id))); };
  auto c32 = [&](uint32_t id) { return static_cast<uint32_t>(MetricValue(read(id))); };
  FrameMetrics m;
  m.m_clrFrameFill = c32(101);
  m.m_clrColumnFill = c32(102);
  m.m_clrListSkin = c32(103);
  m.m_clrChatSkin = c32(106);
  m.m_nTableInsetLeft = n16(107);
  m.m_nTableInsetTop = n16(108);
  m.m_nPlayTop = n16(110);
  m.m_nColumnTop = n16(112);
  m.m_nCaptionHeight = n16(113);
  m.m_nPlayLeft = n16(114);
  m.m_nBottomMargin = n16(115);
  m.m_nColumnRightMargin = n16(116);
  m.m_nPaneInsetLeft = n16(118);
  m.m_nAdvertOffset = n16(119);
  m.m_nPaneInsetRight = n16(120);
  m.m_nColumnReserve = n16(121);
  m.m_nAdvertHeight = (first_load && screen_height <= 600) ? int16_t{80} : n16(124);
  m.m_nTableInsetRight = n16(125);
  m.m_nTableInsetBottom = n16(126);
  m.m_bStretchTitle = n16(127);
  m.m_nTitleButtonsTop = n16(128);
  m.m_bCenterCaption = n16(130);
  m.m_nCaptionTextTop = n16(131);
  m.m_nCaptionTextLeft = n16(132);
  m.m_nCaptionTextBottom = n16(133);
  m.m_nCaptionTextRight = n16(134);
  m.m_nCaptionIconWidth = n16(135);
  m.m_nCaptionIconHeight = n16(136);
  m.m_clrCaptionText = c32(137);
  m.m_clrTitleButtonsBack = c32(141);
  m.m_clrText1 = c32(142);
  m.m_clrText2 = c32(143);
  m.m_clrText3 = c32(144);
  m.m_clrText4 = c32(146);
  m.imageFolder = read(147).substr(0, 31);
  m.m_nSetupButtonsTop = static_cast<int32_t>(MetricValue(read(148)));
  return m;
}

PaneHeights PaneLayoutHeights(const FrameMetrics& m, int32_t h) {
  return PaneHeights{h, h - m.m_nColumnReserve - m.m_nCaptionHeight - m.m_nAdvertHeight -
                            m.m_nAdvertOffset - m.m_nBottomMargin};
}

void BarsOf(const FrameMetrics& m, FrameRects& r, int16_t titleBandHeight) {
  r.listChatBar = Rect{r.list.left, r.list.bottom - 5, r.list.right, r.list.bottom + 5};
  r.columnBar = Rect{r.play.right, r.list.top + titleBandHeight, r.play.right + m.m_nPaneInsetLeft,
                     r.play.bottom};
}

FrameRects LayoutFrame(const FrameMetrics& m, const FrameInputs& in) {
  FrameRects r;
  const int32_t x = in.x, y = in.y, w = in.w, h = in.h;
  r.play = Rect{x + m.m_nPlayLeft, y + m.m_nPlayTop, x + m.m_nPlayLeft + w - in.columnWidth,
                y + h - m.m_nBottomMargin};
  const int32_t t = y + m.m_nAdvertOffset + m.m_nColumnTop + m.m_nAdvertHeight;
  r.list = Rect{r.play.right, t, x + w - m.m_nColumnRightMargin, t + in.listHeight};
  const int32_t setup_left =
      in.setupStripHasImage
          ? r.play.right + ((x + w - m.m_nColumnRightMargin - r.play.right - in.setupStrip.width) >> 1)
          : r.play.right + 20;
  r.setupButtons = Rect::At(setup_left, m.m_nSetupButtonsTop, in.setupStrip.width,
                            in.setupStrip.height);
  const int32_t title_right = in.windowWidth - in.systemFrameWidth - 8;
  r.titleButtons = Rect{title_right - in.titleStrip.width, m.m_nTitleButtonsTop, title_right,
                        m.m_nTitleButtonsTop + in.titleStrip.height};
  const int32_t al = r.list.left + m.m_nPaneInsetLeft;
  const int32_t au = y + m.m_nAdvertOffset + m.m_nColumnTop;
  r.advert = Rect{al, au, r.list.right - m.m_nPaneInsetRight, r.list.top};
  r.chat = Rect{r.list.left, r.list.bottom, r.list.right, r.list.bottom + in.chatHeight};
  r.chatTitle = Rect{r.list.left + m.m_nPaneInsetLeft, r.chat.top, r.list.right - m.m_nPaneInsetRight,
                     r.chat.top + in.titleBandHeight};
  r.listTitle = Rect{r.chatTitle.left, r.list.top, r.chatTitle.right, r.list.top + in.titleBandHeight};
  BarsOf(m, r, in.titleBandHeight);
  const int32_t n = r.play.right - 50, v = y + m.m_nPlayTop + m.m_nTableInsetTop + 1;
  r.exitText = Rect{n - 24, v, n, v + 24};
  r.setupText = Offset(r.exitText, -60, 0);
  r.columnFrame = Rect::At(r.list.left, m.m_nColumnTop, r.list.Width(), r.play.bottom - m.m_nColumnTop);
  return r;
}

void FrameDrag::OnPress(Point p, const FrameMetrics& m, FrameRects& r, int16_t titleBandHeight) {
  mouse_down_ = true;
  origin_ = p;
  BarsOf(m, r, titleBandHeight);
  state_ = kNone;
}

FrameDrag::MoveResult FrameDrag::OnMove(Point p, const Rect& client, FrameRects& r) {
  MoveResult out;
  const Rect list_zone = Grow(r.listChatBar, 0, 30, 0, 30);
  const Rect column_zone = Grow(r.columnBar, 50, 20, 50, 0);
  const bool in_list = list_zone.Contains(p), in_column = column_zone.Contains(p);
  if (mouse_down_) {
    if (in_column) {
      state_ = kColumn;
      out.capture = true;
      const int32_t dx = p.x - origin_.x;
      if (client.right - 150 < r.columnBar.right + dx) {
        out.stopped = true;
        return out;
      }
      if (std::abs(dx) > 5 && r.columnBar.right + dx < client.Width() - 150) {
        r.columnBar = Offset(r.columnBar, dx, 0);
        origin_.x = p.x;
        out.feedback = true;
      }
    }
    if (in_list) {
      state_ = kListChatDrag;
      const int32_t dy = p.y - origin_.y;
      if (r.chat.bottom - 45 >= r.listChatBar.bottom + dy) {
        out.capture = true;
        if (std::abs(dy) > 5 && r.listChatBar.top + dy > r.list.top) {
          r.listChatBar = Offset(r.listChatBar, 0, dy);
          origin_.y = p.y;
          out.feedback = true;
        }
      }
    }
    return out;
  }
  if (in_column)
    state_ = kColumn;
  else if (in_list)
    state_ = kListChatHover;
  return out;
}

FrameDrag::UpResult FrameDrag::OnRelease(const Rect& client, const FrameMetrics& m, FrameRects& r,
                                         int16_t titleBandHeight) {
  UpResult out;
  out.ended = state_;
  if (state_ == kListChatDrag) {
    const int32_t b = r.listChatBar.bottom - 5;
    r.list.bottom = b;
    r.chat.top = b;
    out.boundary = b;
  } else if (state_ == kColumn) {
    out.columnWidth = static_cast<int16_t>(client.right - r.columnBar.left - client.left);
  }
  state_ = kNone;
  BarsOf(m, r, titleBandHeight);
  mouse_down_ = false;
  return out;
}

void FrameDrag::OnLeave() {
  state_ = kNone;
  mouse_down_ = false;
}

CaptionHit HitCaptionBox(Point p, int32_t w) {
  if (Rect{w - 33, 2, w - 8, 27}.Contains(p)) return CaptionHit::kClose;
  if (Rect{w - 57, 2, w - 32, 27}.Contains(p)) return CaptionHit::kMaximise;
  if (Rect{w - 81, 2, w - 56, 27}.Contains(p)) return CaptionHit::kMinimise;
  return CaptionHit::kNone;
}

int32_t MoveSplitterLeft(int16_t columnWidth, const FrameRects& r, int32_t delta) {
  return r.list.Width() < 200 ? -1 : static_cast<int16_t>(columnWidth - delta);
}

int32_t MoveSplitterRight(int16_t columnWidth, const FrameRects& r, int32_t delta) {
  return r.play.Width() < 500 ? -1 : static_cast<int16_t>(columnWidth + delta);
}

int32_t SetSplitterMax(int16_t, const FrameRects& r, int32_t client_width) {
  return r.play.right < 450 ? -1 : static_cast<int16_t>(client_width - 400);
}

int32_t ToggleSplitter(int16_t columnWidth, const FrameRects& r) {
  if (columnWidth == 300) return 200;
  return r.play.right < 450 ? -1 : 300;
}

}  // namespace layout
