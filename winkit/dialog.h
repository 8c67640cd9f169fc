// A dialog from a template resource of this module, run modal or modeless, with a message map.
//
//   class AskBox : public winkit::Dialog {
//    public:
//     AskBox() : Dialog(164) {}
//     BEGIN_MSG_MAP(AskBox)
//       MESSAGE_HANDLER(WM_TIMER, OnTimer)
//     END_MSG_MAP()
//    protected:
//     BOOL OnInitDialog() override;
//     void OnOK() override;
//   };
//
// A map row's result is the message's result (DWLP_MSGRESULT); a message no row handles gets
// the dialog manager's default. OK and Cancel (IDOK, IDCANCEL, Enter, Escape, the close
// command) reach OnOK and OnCancel. EndDialog ends a modal run; a modeless box is hidden and
// kept, to be shown again.
#pragma once
#include <windows.h>

namespace winkit {

class Dialog {
 public:
  explicit Dialog(UINT template_id) : template_id_(template_id) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modal; the value given to EndDialog, or -1 when it could not be created.
  INT_PTR DoModal(HWND parent);
  // Creates the modeless window (not shown unless the template says so); null on failure.
  HWND CreateModeless(HWND parent);
  void DestroyModeless();
  void EndDialog(INT_PTR result);

  HWND hwnd() const { return hwnd_; }
  bool IsModal() const { return modal_; }
  UINT TemplateId() const { return template_id_; }
  // The value of the last EndDialog (IDCANCEL before any).
  INT_PTR Result() const { return result_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

 protected:
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  // The focus goes to the dialog manager's choice when this returns TRUE.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // A handler threw: the exception stops in the dialog procedure (the message counts as not
  // handled); a dialog that keeps a log writes it here.
  virtual void OnHandlerFailed() noexcept {}

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  UINT template_id_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  INT_PTR result_ = IDCANCEL;
};

}  // namespace winkit
