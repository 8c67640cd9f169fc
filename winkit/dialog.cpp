#include "dialog.h"

#include "module.h"

namespace winkit {

Dialog::~Dialog() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
}

INT_PTR Dialog::DoModal(HWND parent) {
  if (hwnd_ && IsWindow(hwnd_)) return -1;  // the modeless box is up
  modal_ = true;
  const INT_PTR r = DialogBoxParamW(Module::Instance(), MAKEINTRESOURCEW(template_id_), parent,
                                    &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
  modal_ = false;
  hwnd_ = nullptr;
  return r;
}

HWND Dialog::CreateModeless(HWND parent) {
  if (hwnd_ && IsWindow(hwnd_)) return hwnd_;
  modal_ = false;
  CreateDialogParamW(Module::Instance(), MAKEINTRESOURCEW(template_id_), parent,
                     &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
  return hwnd_;
}

void Dialog::DestroyModeless() {
  if (!modal_ && hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  if (!hwnd_) return;
  if (modal_)
    ::EndDialog(hwnd_, result);
  else
    ShowWindow(hwnd_, SW_HIDE);
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Dialog* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR r = FALSE;
  try {
    r = self->Dispatch(msg, wp, lp);
  } catch (...) {
    // A failing handler ends here, not by unwinding through the dialog manager.
    r = FALSE;
    self->OnHandlerFailed();
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return r;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ProcessWindowMessage(hwnd_, msg, wp, lp, result)) {
    switch (msg) {
      // These return their value directly from a dialog procedure.
      case WM_INITDIALOG:
      case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC: case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM:
      case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
      default:
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
  }
  if (msg == WM_INITDIALOG) return OnInitDialog();
  if (msg == WM_COMMAND) {
    if (LOWORD(wp) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace winkit
