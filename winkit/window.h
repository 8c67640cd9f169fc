// A thin window class: one C++ object per window, messages dispatched to HandleMessage.
#pragma once
#include <windows.h>

namespace winkit {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Registers `class_name` once per process (with this module's instance) and creates the
  // window. Returns null on failure.
  HWND Create(const wchar_t* class_name, const wchar_t* title, DWORD style, DWORD ex_style,
              const RECT& rect, HWND parent, HMENU menu_or_id);
  void Destroy();
  // Forgets the window without destroying it (at process exit, when the system takes it).
  void Abandon();
  HWND hwnd() const { return hwnd_; }

 protected:
  // The class's message map (message_map.h): true when a row handled the message.
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  // Handles one message: the message map, then DefWindowProc.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Called after WM_NCDESTROY, when the window handle is gone.
  virtual void OnFinalMessage() {}
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

}  // namespace winkit
