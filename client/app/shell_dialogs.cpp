#include "shell_dialogs.h"

#include <gdiplus.h>
#include <windowsx.h>

#include <cstdio>
#include <cstring>

#include "notice_dialogs.h"
#include "shell_texts.h"
#include "winkit/handle.h"

using framework_window::LoadPicture;

bool InCloseBox(POINT p, int client_width) {
  return p.x >= client_width - 40 && p.x < client_width - 10 && p.y >= 10 && p.y < 40;
}

namespace {

std::string Picture(const std::string& dir, const char* name) { return dir + "\\" + name; }

// "dlg_bk.png" stretched over the client area; loaded on first use. Nothing without it.
void PaintBackground(HWND dialog, HDC dc, const std::string& dir,
                     framework_window::BitmapPtr& picture, bool& tried) {
  if (!tried) {
    tried = true;
    picture = LoadPicture(Picture(dir, "dlg_bk.png").c_str());
  }
  if (!picture) return;
  RECT r{};
  GetClientRect(dialog, &r);
  Gdiplus::Graphics g(dc);
  g.DrawImage(picture.get(), 0, 0, r.right, r.bottom);
}

// The close box ends the dialog; any click then drags it by its body.
void CloseBoxOrDrag(winkit::Dialog& dialog, LPARAM lp) {
  const HWND hwnd = dialog.hwnd();
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  RECT r{};
  GetClientRect(hwnd, &r);
  if (InCloseBox(p, r.right)) {
    if (dialog.IsModal())
      dialog.EndDialog(IDCANCEL);
    else
      ShowWindow(hwnd, SW_HIDE);
    return;
  }
  ClientToScreen(hwnd, &p);
  PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

// Sizes `dialog` to its background picture; a picture that did not load keeps the template's
// size (a dialog of no size would block the program unseen).
void SizeToPicture(HWND dialog, Gdiplus::Bitmap* picture) {
  if (!picture) return;
  const UINT w = picture->GetWidth(), h = picture->GetHeight();
  if (w == 0 || h == 0) return;
  SetWindowPos(dialog, nullptr, 0, 0, static_cast<int>(w), static_cast<int>(h),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// --- CGameCloseDialog -----------------------------------------------------------------------

CGameCloseDialog::CGameCloseDialog(ShellPlayTable* table, ShellNoticeColors colors)
    : winkit::Dialog(kTemplateCloseDialog), m_pTable(table), m_colors(colors) {}

CGameCloseDialog::~CGameCloseDialog() = default;

BOOL CGameCloseDialog::OnInitDialog() {
  if (!m_bBackgroundTried) {
    m_bBackgroundTried = true;
    m_background = LoadPicture(Picture(m_strImageDir, "dlg_bk.png").c_str());
  }
  const struct {
    framework_window::CImageButton& button;
    UINT id;
    const char* normal;
    const char* disabled;
  } buttons[] = {{m_btnForce, kIdForceExit, "force_color.png", "force_gray.png"},
                 {m_btnRequest, kIdRequestExit, "request_color.png", "request_gray.png"},
                 {m_btnCancel, IDCANCEL, "cancel.png", "cancel.png"}};
  for (const auto& b : buttons) {
    const HWND control = GetDlgItem(hwnd(), static_cast<int>(b.id));
    if (!control) continue;
    if (!b.button.hwnd()) b.button.Attach(control);
    b.button.SetImages(Picture(m_strImageDir, b.normal).c_str(),
                       Picture(m_strImageDir, b.disabled).c_str());
  }
  EnableWindow(GetDlgItem(hwnd(), kIdRequestExit), m_pTable && m_pTable->MayRequestExit());
  SizeToPicture(hwnd(), m_background.get());
  // The three buttons in a row along the bottom, whatever size the dialog took.
  RECT r{};
  GetClientRect(hwnd(), &r);
  constexpr int kW = 72, kH = 22, kGap = 12;
  int x = (r.right - (3 * kW + 2 * kGap)) / 2;
  for (UINT id : {kIdForceExit, kIdRequestExit, static_cast<UINT>(IDCANCEL)}) {
    if (const HWND b = GetDlgItem(hwnd(), static_cast<int>(id)))
      MoveWindow(b, x, r.bottom - kH - 12, kW, kH, FALSE);
    x += kW + kGap;
  }
  return TRUE;
}

bool CGameCloseDialog::DecideWithoutAsking() {
  ShellPlayTable* p = m_pTable;
  if (!p || p->ReviewMode()) {
    m_bMayClose = true;
  } else if (!p->IsPlayer()) {
    p->SendExit(0);
    p->SetExitPending();
    m_bMayClose = true;
  } else if (!p->HandStarted()) {
    p->SendLeaveSeat();
    p->SetExitPending();
    m_bMayClose = true;
  } else if (!p->InProgress()) {
    p->SendExit(0);
    p->SetExitPending();
    m_bMayClose = true;
  } else {
    return false;
  }
  return true;
}

bool CGameCloseDialog::Ask(const char* text) {
  framework_window::CTimerDialog question(hwnd());
  question.SetText(text);
  question.SetTime(8000);
  question.SetColors(m_colors.c1, m_colors.c2, m_colors.text);
  question.SetImageDir(m_strImageDir.c_str());
  question.DoModal();
  return question.Accepted();
}

void CGameCloseDialog::Finish() {
  // The caller closes the frame when MayClose() says so; the dialog only ends.
  EndDialog(m_bMayClose ? IDOK : IDCANCEL);
}

LRESULT CGameCloseDialog::OnForceExit(WORD, WORD, HWND, bool&) {
  if (!DecideWithoutAsking()) {
    m_bMayClose = false;
    if (Ask(kTextAskForceExit)) {
      m_pTable->SendExit(1);
      m_pTable->SetExitPending();
      m_bMayClose = true;
    }
  }
  Finish();
  return 0;
}

LRESULT CGameCloseDialog::OnRequestExit(WORD, WORD, HWND, bool&) {
  if (!DecideWithoutAsking()) {
    // Asking to leave never closes the window: the others answer.
    m_bMayClose = false;
    if (Ask(kTextAskRequestExit)) m_pTable->RequestExit();
  }
  Finish();
  return 0;
}

LRESULT CGameCloseDialog::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool& handled) {
  if (!m_background) {
    handled = false;
    return 0;
  }
  PaintBackground(hwnd(), reinterpret_cast<HDC>(wp), m_strImageDir, m_background,
                  m_bBackgroundTried);
  return 1;
}

LRESULT CGameCloseDialog::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  CloseBoxOrDrag(*this, lp);
  return 0;
}

// --- CSetDialog -------------------------------------------------------------------------------

CSetDialog::CSetDialog() : winkit::Dialog(kTemplateSetDialog) {}

CSetDialog::~CSetDialog() { DestroyModeless(); }

void CSetDialog::ShowCentered(HWND over) {
  if (!hwnd() && !CreateModeless(over)) return;
  RECT o{}, d{};
  if (over && IsWindow(over))
    GetWindowRect(over, &o);
  else
    o = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(hwnd(), &d);
  const int w = d.right - d.left, h = d.bottom - d.top;
  SetWindowPos(hwnd(), nullptr, o.left + (o.right - o.left - w) / 2,
               o.top + (o.bottom - o.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(hwnd(), SW_SHOW);
}

BOOL CSetDialog::OnInitDialog() {
  const HWND ok = GetDlgItem(hwnd(), IDOK), cancel = GetDlgItem(hwnd(), IDCANCEL);
  if (ok && !m_btnOk.hwnd()) m_btnOk.Attach(ok);
  if (cancel && !m_btnCancel.hwnd()) m_btnCancel.Attach(cancel);
  const std::string ok_png = Picture(m_strImageDir, "ok.png");
  const std::string off_png = Picture(m_strImageDir, "off.png");
  m_btnOk.SetImages(ok_png.c_str(), ok_png.c_str());
  m_btnCancel.SetImages(off_png.c_str(), off_png.c_str());
  for (HWND b : {ok, cancel})
    if (b) SetWindowPos(b, nullptr, 0, 0, 50, 20, SWP_NOMOVE | SWP_NOZORDER);
  const HWND sw = GetDlgItem(hwnd(), kIdSoundSwitch);
  if (sw && !m_switch.hwnd()) m_switch.Attach(sw);
  m_switch.SetColors(0x8643, 0xC8FA);
  m_switch.SetCheckMode(true, true);
  ShowWindow(sw, SW_SHOW);
  EnableWindow(sw, TRUE);
  // Without a play table the switch shows the default: sound on.
  m_nSound = m_pTable ? (m_pTable->SoundFlag() ? 1 : 0) : 1;
  // The switch keeps its own check mark, toggled by a press.
  if (sw && m_switch.GetCheck() != (m_nSound != 0)) {
    SendMessageW(sw, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(sw, WM_LBUTTONUP, 0, 0);
    ReleaseCapture();
  }
  return TRUE;
}

void CSetDialog::OnOK() {
  m_nSound = m_switch.hwnd() && m_switch.GetCheck() ? 1 : 0;
  if (m_pTable) m_pTable->SetSoundFlag(m_nSound);
  winkit::UniqueKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Hollin\\insound", 0, nullptr, 0, KEY_WRITE,
                      nullptr, key.Put(), nullptr) == ERROR_SUCCESS) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", m_nSound);
    RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
  }
  winkit::Dialog::OnOK();
}

LRESULT CSetDialog::OnDrawItem(UINT, WPARAM wp, LPARAM lp, bool& handled) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  if (wp != kIdSoundSwitch || !m_switch.hwnd()) {
    handled = false;
    return 0;
  }
  m_switch.DrawItem(item);
  return TRUE;
}

LRESULT CSetDialog::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool& handled) {
  PaintBackground(hwnd(), reinterpret_cast<HDC>(wp), m_strImageDir, m_background,
                  m_bBackgroundTried);
  if (!m_background) {
    handled = false;
    return 0;
  }
  return 1;
}

LRESULT CSetDialog::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  CloseBoxOrDrag(*this, lp);
  return 0;
}
