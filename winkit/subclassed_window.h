// A C++ object attached to a window that something else created (a dialog's control, say):
// its messages go through the object's message map first, then on to the window's own
// procedure. Detached when the object goes or the window is destroyed.
//
//   class SkinnedButton : public winkit::SubclassedWindow {
//     BEGIN_MSG_MAP(SkinnedButton)
//       MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
//     END_MSG_MAP()
//   };
//   button.Attach(GetDlgItem(dialog, IDOK));
#pragma once
#include <windows.h>

namespace winkit {

class SubclassedWindow {
 public:
  SubclassedWindow() = default;
  virtual ~SubclassedWindow();
  SubclassedWindow(const SubclassedWindow&) = delete;
  SubclassedWindow& operator=(const SubclassedWindow&) = delete;

  // Attaches to `hwnd` (detaching from any earlier window). False when hwnd is not a window.
  bool Attach(HWND hwnd);
  void Detach();
  HWND hwnd() const { return hwnd_; }

 protected:
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // The window's own procedure.
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR self);
  HWND hwnd_ = nullptr;
};

}  // namespace winkit
