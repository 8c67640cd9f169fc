#include "window.h"

#include "boundary.h"
#include "module.h"

namespace winkit {

Window::~Window() { Destroy(); }

HWND Window::Create(const wchar_t* class_name, const wchar_t* title, DWORD style,
                    DWORD ex_style, const RECT& rect, HWND parent, HMENU menu_or_id) {
  HINSTANCE inst = Module::Instance();
  WNDCLASSEXW wc = {};
  if (!GetClassInfoExW(inst, class_name, &wc)) {
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Window::WindowProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = class_name;
    if (!RegisterClassExW(&wc)) return nullptr;
  }
  return CreateWindowExW(ex_style, class_name, title, style, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, menu_or_id,
                         inst, this);
}

void Window::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void Window::Abandon() {
  if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ProcessWindowMessage(hwnd_, msg, wp, lp, result)) return result;
  return Default(msg, wp, lp);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  // A failing handler ends here, not by unwinding through the system's window code; the
  // message then gets the default handling.
  if (FAILED(CallAtBoundary([&] { result = self->HandleMessage(msg, wp, lp); })))
    result = DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage();
  }
  return result;
}

}  // namespace winkit
