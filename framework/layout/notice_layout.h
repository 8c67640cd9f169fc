// Sizes and button places of the count-down and message boxes, and the count-down itself:
// which timer does what and how the box ends.
#pragma once
#include <cstdint>
#include <string>

#include "geometry.h"

namespace layout {

// The count-down box for a text `text_width` pixels wide. Message-only boxes have no buttons
// and are 60 high; the others 85, with agree and disagree buttons of 50 x 20. The box's own
// start (`at_init`) puts the buttons of a box wider than 150 at y 60; a modeless show at 50.
struct TimerDialogLayout {
  Size box;
  bool buttons = false;
  Rect ok;
  Rect cancel;
  friend bool operator==(const TimerDialogLayout&, const TimerDialogLayout&) = default;
};
TimerDialogLayout LayoutTimerDialog(int32_t text_width, bool message_only, bool at_init);

// The top-left corner that centres `box` over a parent whose window starts at `parent_origin`
// and whose client area is `parent_client`, or over the screen when there is no parent.
Point CentreOver(Point parent_origin, Size parent_client, Size box);

// The message box: (text width + 50) x 85, centred across the screen with its top at
// (screen height - 85) / 2 + 85; OK 50 x 20, centred, its top at 73 less its height.
struct MessageDialogLayout {
  Rect box;  // screen coordinates
  Rect ok;   // client coordinates
  friend bool operator==(const MessageDialogLayout&, const MessageDialogLayout&) = default;
};
MessageDialogLayout LayoutMessageDialog(int32_t text_width, Size screen);

// Window timers of the count-down box.
constexpr uint32_t kTimerCountDownEnd = 213;   // once, after the box's time
constexpr uint32_t kTimerCountDownTick = 214;  // every second
constexpr uint32_t kCountDownTickPeriod = 1000;

// The count-down: ticks shown as "[n]", and how the box ended.
class CountDown {
 public:
  enum class Step {
    kNone,        // not a count-down timer: default handling
    kRepaintTick, // repaint the tick label
    kTimeOut,     // stop both timers and end the box (IDCANCEL, not accepted)
  };
  // Starting (or showing again): no ticks yet; the caller arms both timers.
  void Start() {
    ticks_ = 0;
    running_ = true;
  }
  Step OnTimer(uint32_t id);
  void Accept();
  void Cancel();
  // Closed from outside: neither accepted nor cancelled.
  void Close();

  int16_t ticks() const { return ticks_; }
  bool running() const { return running_; }
  bool accepted() const { return accepted_; }
  bool cancelled() const { return cancelled_; }
  // "[n]" while n > 0, else empty.
  std::string TickLabel() const;

 private:
  int16_t ticks_ = 0;
  bool running_ = false;
  bool accepted_ = false;
  bool cancelled_ = false;
};

}  // namespace layout
