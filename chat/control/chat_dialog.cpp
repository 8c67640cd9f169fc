#include "chat_dialog.h"

#include "chat_platform.h"
#include "winkit/module.h"

namespace parley {

ChatDialog::~ChatDialog() {
  if (hwnd_ && !modal_) ::DestroyWindow(hwnd_);
}

INT_PTR ChatDialog::DoModal(HWND owner) {
  modal_ = true;
  return DialogBoxParamW(winkit::Module::Instance(), MAKEINTRESOURCEW(template_id_), owner,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND ChatDialog::Create(HWND owner) {
  modal_ = false;
  return CreateDialogParamW(winkit::Module::Instance(), MAKEINTRESOURCEW(template_id_), owner,
                            DialogProc, reinterpret_cast<LPARAM>(this));
}

void ChatDialog::EndDialog(INT_PTR result) {
  if (hwnd_ && modal_) ::EndDialog(hwnd_, result);
}

void ChatDialog::DestroyWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

void ChatDialog::SetItemText(int id, const char* gbk) {
  SetDlgItemTextW(hwnd_, id, Wide(gbk).c_str());
}

INT_PTR CALLBACK ChatDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  ChatDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<ChatDialog*>(lp);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  } else {
    self = reinterpret_cast<ChatDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  LRESULT result = 0;
  bool handled = false;
  try {
    handled = self->ProcessWindowMessage(hwnd, msg, wp, lp, result);
  } catch (...) {
    WriteErrorLog("CGChat dialog  error");
    handled = false;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  if (!handled) return FALSE;
  if (msg == WM_INITDIALOG) return static_cast<INT_PTR>(result);
  // Messages whose answer is the procedure's own result.
  switch (msg) {
    case WM_CTLCOLORDLG: case WM_CTLCOLORSTATIC: case WM_CTLCOLOREDIT: case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSCROLLBAR: case WM_COMPAREITEM: case WM_VKEYTOITEM:
    case WM_CHARTOITEM: case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
  }
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace parley
