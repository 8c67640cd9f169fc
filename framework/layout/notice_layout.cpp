#include "notice_layout.h"

namespace layout {

TimerDialogLayout LayoutTimerDialog(int32_t text_width, bool message_only, bool at_init) {
  TimerDialogLayout l;
  const int32_t w = text_width + 50;
  if (message_only) {
    l.box = Size{w, 60};
    return l;
  }
  l.box = Size{w, 85};
  l.buttons = true;
  if (w <= 150) {
    l.ok = Rect::At(10, 50, 50, 20);
    l.cancel = Rect::At(w - 60, 50, 50, 20);
  } else {
    const int32_t y = at_init ? 60 : 50;
    l.ok = Rect::At((w - 150) / 2, y, 50, 20);
    l.cancel = Rect::At((w - 150) / 2 + 100, y, 50, 20);
  }
  return l;
}

Point CentreOver(Point parent_origin, Size parent_client, Size box) {
  return Point{parent_origin.x + (parent_client.width - box.width) / 2,
               parent_origin.y + (parent_client.height - box.height) / 2};
}

MessageDialogLayout LayoutMessageDialog(int32_t text_width, Size screen) {
  const int32_t w = text_width + 50, h = 85;
  MessageDialogLayout l;
  l.box = Rect::At((screen.width - w) / 2, (screen.height - h) / 2 + h, w, h);
  l.ok = Rect::At((w - 50) / 2, 73 - 20, 50, 20);
  return l;
}

CountDown::Step CountDown::OnTimer(uint32_t id) {
  if (id == kTimerCountDownTick) {
    if (!running_) return Step::kNone;
    if (ticks_ < INT16_MAX) ++ticks_;
    return Step::kRepaintTick;
  }
  if (id == kTimerCountDownEnd) {
    if (!running_) return Step::kNone;
    running_ = false;
    accepted_ = false;
    return Step::kTimeOut;
  }
  return Step::kNone;
}

void CountDown::Accept() {
  running_ = false;
  accepted_ = true;
}

void CountDown::Cancel() {
  running_ = false;
  cancelled_ = true;
}

void CountDown::Close() {
  running_ = false;
  accepted_ = false;
  cancelled_ = false;
}

std::string CountDown::TickLabel() const {
  return ticks_ > 0 ? "[" + std::to_string(ticks_) + "]" : std::string();
}

}  // namespace layout
