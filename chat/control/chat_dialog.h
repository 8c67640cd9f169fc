// A dialog from a template of this library, with a message map (winkit/message_map.h): shown
// modally (DoModal) or modeless (Create). Handlers see WM_INITDIALOG and the rest as rows of the
// derived class's map; an unhandled message goes to the system's dialog code.
#pragma once
#include <windows.h>

#include "winkit/message_map.h"

namespace parley {

class ChatDialog {
 public:
  explicit ChatDialog(int template_id) : template_id_(template_id) {}
  virtual ~ChatDialog();
  ChatDialog(const ChatDialog&) = delete;
  ChatDialog& operator=(const ChatDialog&) = delete;

  INT_PTR DoModal(HWND owner);
  HWND Create(HWND owner);
  void EndDialog(INT_PTR result);
  void DestroyWindow();
  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

 protected:
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  void SetItemText(int id, const char* gbk);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  int template_id_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

}  // namespace parley
