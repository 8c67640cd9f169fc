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
//
// How it is tied in: the window's procedure is replaced (GWLP_WNDPROC) by the kit's own, which
// finds the window's objects in a table kept by the kit and chains to the procedure it
// replaced with CallWindowProc. Nothing more than that stands between a message and the
// window, so a subclassed window answers about as fast as one that is not (the system's
// subclass helper costs a tenth of a millisecond a message under Wine).
//
// Several objects may be attached to one window: the last attached sees a message first, and
// its Default() passes it to the one attached before it, the last of them to the window's own
// procedure.
//
// The order rule: a procedure can only be taken out of a window's chain while it is the
// window's current procedure. When the last object of a window goes and the kit's procedure
// is still the window's, the window gets back the procedure it had before. When someone else
// replaced the window's procedure after us (and chains to ours), ours stays in the chain and
// only passes messages on, so that theirs keeps working; it leaves the chain, with its entry
// in the table, when the window is destroyed (WM_NCDESTROY). Those who subclass after us
// should undo it before we do, as with any window-procedure replacement.
//
// Re-entrancy: a handler may send messages to its own window (they come in at the top
// again), detach itself or others, and delete its own object; nothing of the object is used
// after its handler returns. Objects see every message but WM_NCDESTROY, which detaches them
// all before it goes on to the window's procedure.
#pragma once
#include <windows.h>

namespace winkit {

class SubclassedWindow {
 public:
  SubclassedWindow() = default;
  virtual ~SubclassedWindow();
  SubclassedWindow(const SubclassedWindow&) = delete;
  SubclassedWindow& operator=(const SubclassedWindow&) = delete;

  // Attaches to `hwnd` (detaching from any earlier window). False when hwnd is not a window
  // or its procedure cannot be replaced (a window of another process).
  bool Attach(HWND hwnd);
  void Detach();
  HWND hwnd() const { return hwnd_; }

 protected:
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // What the window would have done without this object: the object attached before it, or
  // the window's own procedure. 0 once the object is detached.
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  struct Hook;
  friend struct Hook;
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
  // The object attached to the same window before this one (next in the chain), if any, and
  // the procedure the kit's replaced on that window.
  SubclassedWindow* below_ = nullptr;
  WNDPROC previous_ = nullptr;
};

}  // namespace winkit
