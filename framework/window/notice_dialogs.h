// The framework's notice boxes: a count-down box with an optional agree/disagree pair
// (CTimerDialog) and its two answering kinds (join-team invitation, exit question), and a
// message box with one OK that can close the main window (CMessageDialog). All paint
// "dlg_bk.png" of the skin image folder behind their text and are dragged by their body.
//
// Behind the play table's notices:
//   wait box        CTimerDialog: SetText, SetTime, HideButtons, ShowModeless(table window)
//   count-down      the same, run with DoModal(table window)
//   message         CMessageDialog::SetMainWindow(main frame), Show(parent, close_on_ok ? 1 : 0)
//   message + wait  CMessageDialog::Show(parent, 0), then WaitUntilClosed()
//   exit question   CExitTimerDialog(table, mode, asker id, parent): SetText, ShowModeless
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "image_buttons.h"
#include "notice_layout.h"
#include "owner_drawn.h"
#include "winkit/dialog.h"
#include "winkit/handle.h"
#include "winkit/message_map.h"

class CVyrPokePlayTableImp;

namespace framework_window {

// Dialog templates of the notice boxes (resources of the program, window_kit.rc).
constexpr UINT kTemplateTimerDialog = 164;
constexpr UINT kTemplateMessageDialog = 180;

// The join-team invitation was accepted (to the main frame; wParam the invitation's value).
constexpr UINT kMsgJoinTeamAccepted = WM_USER + 200;  // 0x4C8

// Colours and pictures shared by both boxes.
struct NoticeLook {
  COLORREF c1 = 0xFFFFFF, c2 = 0xFCBF82, text = 0;
  COLORREF extra1 = 0xFFFFFF, extra2 = 0;  // kept, not drawn
  std::string image_dir;
  winkit::UniqueBrush brush;
  BitmapPtr background;  // "dlg_bk.png", loaded on first paint
  bool background_tried = false;

  void SetImageDir(const char* dir);
  void SetBkColor(COLORREF colour);
  std::string Picture(const char* name) const { return image_dir + "\\" + name; }
  // Background picture stretched over the client area (the brush, or the dialog face, when
  // there is no picture), then the tick label and the text.
  void Paint(HWND dialog, HDC dc, const std::string& tick_label, const std::string& text);
};

// Width in pixels of `text` in the dialog's font.
int32_t MeasureDialogText(HWND dialog, const std::string& text);

class CTimerDialog : public winkit::Dialog {
 public:
  explicit CTimerDialog(HWND parent = nullptr);
  ~CTimerDialog() override;

  void SetTime(uint32_t ms) { m_nTime = ms; }
  void SetText(const char* text) { m_strText = text ? text : ""; }
  void HideButtons() { m_bMessageOnly = true; }
  void ShowButtons() { m_bMessageOnly = false; }
  void SetImageDir(const char* dir) { m_look.SetImageDir(dir); }
  void SetBkColor(COLORREF colour) { m_look.SetBkColor(colour); }
  void SetColors(COLORREF c1, COLORREF c2, COLORREF text);
  void SetExtraColors(COLORREF c1, COLORREF c2);
  // Shows the box modeless, centred over `parent` (or the screen), topmost, not activated.
  void ShowModeless(HWND parent);
  // Runs the box modal over the parent given at construction.
  INT_PTR DoModal() { return winkit::Dialog::DoModal(m_hParent); }
  using winkit::Dialog::DoModal;
  // Ends the box from outside: neither accepted nor cancelled.
  void Close();

  bool Accepted() const { return m_countDown.accepted(); }
  bool Cancelled() const { return m_countDown.cancelled(); }
  int16_t Ticks() const { return m_countDown.ticks(); }
  const std::string& Text() const { return m_strText; }
  uint32_t Time() const { return m_nTime; }
  HBRUSH BackgroundBrush() const { return m_look.brush.Get(); }

  BEGIN_MSG_MAP(CTimerDialog)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  END_MSG_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  // Timer 213: the time ran out.
  virtual void OnTimeOut();
  void StopTimers();
  void ClearAccepted() { m_countDown.Close(); }

 private:
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  void PrepareButtons(bool show);
  void StartTimers();
  void PlaceButtons(const layout::TimerDialogLayout& l);

  HWND m_hParent;
  std::string m_strText;
  uint32_t m_nTime = 3000;
  layout::CountDown m_countDown;
  NoticeLook m_look;
  CImageButton m_btnOk, m_btnCancel;
  bool m_bMessageOnly = false;
};

class CMessageDialog : public winkit::Dialog {
 public:
  explicit CMessageDialog(HWND parent = nullptr);
  ~CMessageDialog() override;

  void SetText(const char* text) { m_strText = text ? text : ""; }
  void SetImageDir(const char* dir) { m_look.SetImageDir(dir); }
  void SetBkColor(COLORREF colour) { m_look.SetBkColor(colour); }
  void SetColors(COLORREF c1, COLORREF c2, COLORREF text);
  void SetExtraColors(COLORREF c1, COLORREF c2);
  // The window a confirmed game-ending notice closes (the main frame); without one, the
  // top-level window that owns the box.
  void SetMainWindow(HWND main) { m_hMain = main; }
  // Centres the box over `window` instead of placing it across the screen (null: the screen).
  void PlaceOver(HWND window) { m_hPlaceOver = window; }
  // Shows the box; with `close_main` non-zero, OK closes the main window.
  void Show(HWND parent, int close_main);
  // Runs the thread's messages until the box is hidden or destroyed (a WM_QUIT is passed on).
  void WaitUntilClosed();
  bool Visible() const { return hwnd() && IsWindowVisible(hwnd()); }
  int CloseMainValue() const { return m_nCloseMain; }
  const std::string& Text() const { return m_strText; }

  BEGIN_MSG_MAP(CMessageDialog)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  END_MSG_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  void Place(UINT extra_flags);

  HWND m_hParent;
  std::string m_strText;
  NoticeLook m_look;
  CImageButton m_btnOk;
  int m_nCloseMain = 1;
  HWND m_hMain = nullptr;
  HWND m_hPlaceOver = nullptr;
};

// The join-team invitation: OK tells the owner (0x4C8 with the value); a time out answers
// nothing.
class CJoinTeamTimerDialog : public CTimerDialog {
 public:
  CJoinTeamTimerDialog(uint32_t value, HWND owner);

 protected:
  void OnOK() override;
  void OnTimeOut() override;

 private:
  HWND m_hOwner;
  uint32_t m_nValue;
};

// Another player asks to leave: OK agrees (3032 with 0), cancel or a time out refuses
// (3032 with 1). Mode non-zero only tells: nothing is sent.
class CExitTimerDialog : public CTimerDialog {
 public:
  // The answer as the table sends it: the asker and 0 (agree) or 1 (refuse).
  using Answerer = std::function<void(uint32_t asker_id, int16_t answer)>;

  CExitTimerDialog(CVyrPokePlayTableImp* table, int16_t mode, uint32_t asker_id, HWND parent);
  // The same with the answer handed to `answer` (a notice adapter passing it to the table).
  CExitTimerDialog(Answerer answer, int16_t mode, uint32_t asker_id, HWND parent);

 protected:
  void OnOK() override;
  void OnCancel() override;
  void OnTimeOut() override;

 private:
  void Answer(int16_t flag);
  Answerer m_answer;
  int16_t m_nMode;
  uint32_t m_nAskerId;
};

}  // namespace framework_window
