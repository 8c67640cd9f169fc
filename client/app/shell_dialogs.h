// The main frame's dialogs: the close dialog (request or force the exit) and the sound settings
// dialog. Both paint "dlg_bk.png" of the image folder behind their controls, have a close box
// in the top-right corner and are dragged by their body.
#pragma once
#include <windows.h>

#include <string>

#include "image_buttons.h"
#include "owner_drawn.h"
#include "shell_table.h"
#include "winkit/dialog.h"
#include "winkit/message_map.h"

constexpr UINT kTemplateCloseDialog = 159;
constexpr UINT kTemplateSetDialog = 250;
constexpr UINT kIdForceExit = 160;
constexpr UINT kIdRequestExit = 161;
constexpr UINT kIdSoundSwitch = 251;

// Whether a click at `p` (client coordinates) of a dialog `client_width` wide hits its close
// box: the square 40 to 10 pixels left of the right edge and 10 to 40 pixels below the top.
bool InCloseBox(POINT p, int client_width);

class CGameCloseDialog : public winkit::Dialog {
 public:
  // `table` may be null: then there is nothing to tell and the window may close.
  CGameCloseDialog(ShellPlayTable* table, ShellNoticeColors colors);
  ~CGameCloseDialog() override;
  void SetImageDir(const char* dir) { m_strImageDir = dir ? dir : ""; }
  // After DoModal: whether the caller may close the frame.
  bool MayClose() const { return m_bMayClose; }

  BEGIN_MSG_MAP(CGameCloseDialog)
    COMMAND_ID_HANDLER(kIdForceExit, OnForceExit)
    COMMAND_ID_HANDLER(kIdRequestExit, OnRequestExit)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(0x46A, OnSkinRefresh)
  END_MSG_MAP()

 protected:
  BOOL OnInitDialog() override;

 private:
  LRESULT OnForceExit(WORD code, WORD id, HWND ctl, bool& handled);
  LRESULT OnRequestExit(WORD code, WORD id, HWND ctl, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnSkinRefresh(UINT, WPARAM, LPARAM, bool&) { return 0; }
  // The rule both buttons share up to the question; true when it decided.
  bool DecideWithoutAsking();
  bool Ask(const char* text);
  void Finish();

  ShellPlayTable* m_pTable;
  ShellNoticeColors m_colors;
  std::string m_strImageDir;
  framework_window::BitmapPtr m_background;
  bool m_bBackgroundTried = false;
  framework_window::CImageButton m_btnForce, m_btnRequest, m_btnCancel;
  bool m_bMayClose = false;
};

class CSetDialog : public winkit::Dialog {
 public:
  CSetDialog();
  ~CSetDialog() override;
  void SetPlayTable(ShellPlayTable* table) { m_pTable = table; }
  void SetImageDir(const char* dir) { m_strImageDir = dir ? dir : ""; }
  // Creates the dialog modeless when it does not exist, centres it over `over` and shows it.
  void ShowCentered(HWND over);
  int SoundFlag() const { return m_nSound; }

  BEGIN_MSG_MAP(CSetDialog)
    MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_RANGE_HANDLER(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, OnCtlColor)
  END_MSG_MAP()

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  LRESULT OnDrawItem(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnCtlColor(UINT, WPARAM, LPARAM, bool&) { return 0; }

  ShellPlayTable* m_pTable = nullptr;
  std::string m_strImageDir;
  framework_window::BitmapPtr m_background;
  bool m_bBackgroundTried = false;
  framework_window::CGameButton m_switch;
  framework_window::CImageButton m_btnOk, m_btnCancel;
  int m_nSound = 1;
};
