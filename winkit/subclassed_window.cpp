#include "subclassed_window.h"

#include <commctrl.h>

namespace winkit {

namespace {
constexpr UINT_PTR kSubclassId = 0x4B57;  // one subclass of ours per window
}

SubclassedWindow::~SubclassedWindow() { Detach(); }

bool SubclassedWindow::Attach(HWND hwnd) {
  Detach();
  if (!hwnd || !IsWindow(hwnd)) return false;
  if (!SetWindowSubclass(hwnd, &SubclassedWindow::Procedure, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this)))
    return false;
  hwnd_ = hwnd;
  return true;
}

void SubclassedWindow::Detach() {
  if (hwnd_ && IsWindow(hwnd_))
    RemoveWindowSubclass(hwnd_, &SubclassedWindow::Procedure, kSubclassId);
  hwnd_ = nullptr;
}

LRESULT SubclassedWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ProcessWindowMessage(hwnd_, msg, wp, lp, result)) return result;
  return Default(msg, wp, lp);
}

LRESULT SubclassedWindow::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return DefSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK SubclassedWindow::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                             UINT_PTR, DWORD_PTR self_data) {
  auto* self = reinterpret_cast<SubclassedWindow*>(self_data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &SubclassedWindow::Procedure, kSubclassId);
    if (self && self->hwnd_ == hwnd) self->hwnd_ = nullptr;
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (!self || self->hwnd_ != hwnd) return DefSubclassProc(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    // A failing handler ends here, not by unwinding through the system's window code.
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
}

}  // namespace winkit
