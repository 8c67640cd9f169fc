#include "notice_dialogs.h"

#include <windowsx.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "vyr_poke_play_table.h"
#include "winkit/gbk.h"

namespace framework_window {

namespace {

// The tick label's place, repainted every second.
constexpr RECT kTickRect{4, 25, 30, 50};

void MoveButton(HWND dialog, int id, const layout::Rect& r) {
  if (HWND b = GetDlgItem(dialog, id))
    SetWindowPos(b, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// A left click anywhere on the body drags the box, as its (absent) caption would.
void StartDrag(HWND dialog, LPARAM lp) {
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(dialog, &p);
  PostMessageW(dialog, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

layout::Size ClientSize(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return layout::Size{r.right, r.bottom};
}

}  // namespace

// --- NoticeLook ---------------------------------------------------------------------------

void NoticeLook::SetImageDir(const char* dir) {
  image_dir = dir ? dir : "";
  background.reset();
  background_tried = false;
}

void NoticeLook::SetBkColor(COLORREF colour) {
  if (!brush) brush.Reset(CreateSolidBrush(colour));
}

void NoticeLook::Paint(HWND dialog, HDC dc, const std::string& tick_label,
                       const std::string& text_line) {
  if (!background_tried) {
    background_tried = true;
    background = LoadPicture(Picture("dlg_bk.png").c_str());
  }
  RECT client{};
  GetClientRect(dialog, &client);
  if (background) {
    Gdiplus::Graphics g(dc);
    const Gdiplus::Point corners[3] = {{0, 0}, {client.right, 0}, {0, client.bottom}};
    g.DrawImage(background.get(), corners, 3);
  } else {
    // No picture: a plain face rather than whatever lay under the box.
    FillRect(dc, &client, brush ? brush.Get() : GetSysColorBrush(COLOR_BTNFACE));
  }
  winkit::SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = SetTextColor(dc, text);
  if (!tick_label.empty()) {
    const std::wstring tick = winkit::GbkToWide(tick_label);
    TextOutW(dc, 6, 25, tick.c_str(), static_cast<int>(tick.size()));
  }
  const std::wstring line = winkit::GbkToWide(text_line);
  TextOutW(dc, 30, 25, line.c_str(), static_cast<int>(line.size()));
  SetTextColor(dc, old_colour);
  SetBkMode(dc, old_mode);
}

int32_t MeasureDialogText(HWND dialog, const std::string& text) {
  winkit::WindowDc dc(dialog);
  if (!dc) return 0;
  winkit::SelectedObject font(dc.Get(),
                              reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  SIZE s{};
  const std::wstring wide = winkit::GbkToWide(text);
  GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &s);
  return s.cx;
}

// --- CTimerDialog -------------------------------------------------------------------------

CTimerDialog::CTimerDialog(HWND parent) : winkit::Dialog(kTemplateTimerDialog), m_hParent(parent) {}

CTimerDialog::~CTimerDialog() {
  if (hwnd()) StopTimers();
  m_btnOk.Detach();
  m_btnCancel.Detach();
}

void CTimerDialog::SetColors(COLORREF c1, COLORREF c2, COLORREF text) {
  m_look.c1 = c1;
  m_look.c2 = c2;
  m_look.text = text;
}

void CTimerDialog::SetExtraColors(COLORREF c1, COLORREF c2) {
  m_look.extra1 = c1;
  m_look.extra2 = c2;
}

void CTimerDialog::PrepareButtons(bool show) {
  const struct {
    CImageButton& button;
    int id;
    const char* picture;
  } buttons[] = {{m_btnOk, IDOK, "ok.png"}, {m_btnCancel, IDCANCEL, "off.png"}};
  for (const auto& b : buttons) {
    HWND control = GetDlgItem(hwnd(), b.id);
    if (!b.button.hwnd()) b.button.Attach(control);
    const std::string path = m_look.Picture(b.picture);
    b.button.SetImages(path.c_str(), path.c_str());
    if (show && control) ShowWindow(control, SW_SHOW);
  }
}

void CTimerDialog::PlaceButtons(const layout::TimerDialogLayout& l) {
  for (int id : {IDOK, IDCANCEL})
    if (HWND b = GetDlgItem(hwnd(), id)) ShowWindow(b, l.buttons ? SW_SHOW : SW_HIDE);
  if (!l.buttons) return;
  MoveButton(hwnd(), IDOK, l.ok);
  MoveButton(hwnd(), IDCANCEL, l.cancel);
  SendMessageW(hwnd(), DM_SETDEFID, IDCANCEL, 0);
  SetFocus(GetDlgItem(hwnd(), IDCANCEL));
}

void CTimerDialog::StartTimers() {
  m_countDown.Start();
  SetTimer(hwnd(), layout::kTimerCountDownEnd, m_nTime, nullptr);
  SetTimer(hwnd(), layout::kTimerCountDownTick, layout::kCountDownTickPeriod, nullptr);
}

void CTimerDialog::StopTimers() {
  if (!hwnd()) return;
  KillTimer(hwnd(), layout::kTimerCountDownEnd);
  KillTimer(hwnd(), layout::kTimerCountDownTick);
}

BOOL CTimerDialog::OnInitDialog() {
  if (!m_bMessageOnly) PrepareButtons(true);
  const auto l = layout::LayoutTimerDialog(MeasureDialogText(hwnd(), m_strText), m_bMessageOnly,
                                           /*at_init=*/true);
  SetWindowPos(hwnd(), nullptr, 0, 0, l.box.width, l.box.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceButtons(l);
  StartTimers();
  return FALSE;  // the focus is on the disagree button; a message-only box takes none
}

void CTimerDialog::ShowModeless(HWND parent) {
  const bool existed = hwnd() != nullptr;
  if (!existed) {
    if (!CreateModeless(parent)) return;
  }
  if (existed) {
    // A box shown again counts down again (its start ran only when it was made).
    StopTimers();
    StartTimers();
  }
  m_countDown.Start();
  if (!m_bMessageOnly) PrepareButtons(false);
  const auto l = layout::LayoutTimerDialog(MeasureDialogText(hwnd(), m_strText), m_bMessageOnly,
                                           /*at_init=*/false);
  layout::Point origin{0, 0};
  layout::Size area{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (parent && IsWindow(parent)) {
    RECT r{};
    GetWindowRect(parent, &r);
    origin = layout::Point{r.left, r.top};
    area = ClientSize(parent);
  }
  const layout::Point at = layout::CentreOver(origin, area, l.box);
  SetWindowPos(hwnd(), HWND_TOPMOST, at.x, at.y, l.box.width, l.box.height, SWP_NOACTIVATE);
  PlaceButtons(l);
  ShowWindow(hwnd(), SW_SHOWNA);
  InvalidateRect(hwnd(), nullptr, TRUE);
  UpdateWindow(hwnd());
}

void CTimerDialog::Close() {
  m_countDown.Close();
  if (hwnd()) {
    StopTimers();
    EndDialog(IDCANCEL);
  }
}

void CTimerDialog::OnOK() {
  StopTimers();
  m_countDown.Accept();
  EndDialog(IDOK);
}

void CTimerDialog::OnCancel() {
  StopTimers();
  m_countDown.Cancel();
  EndDialog(IDCANCEL);
}

void CTimerDialog::OnTimeOut() {
  StopTimers();
  EndDialog(IDCANCEL);
}

LRESULT CTimerDialog::OnTimer(UINT, WPARAM wp, LPARAM, bool& handled) {
  switch (m_countDown.OnTimer(static_cast<uint32_t>(wp))) {
    case layout::CountDown::Step::kRepaintTick:
      InvalidateRect(hwnd(), &kTickRect, TRUE);
      return 0;
    case layout::CountDown::Step::kTimeOut:
      OnTimeOut();
      return 0;
    case layout::CountDown::Step::kNone:
      if (wp == layout::kTimerCountDownEnd) {
        StopTimers();  // a stale end timer of a box already ended
        return 0;
      }
      handled = false;
      return 0;
  }
  return 0;
}

LRESULT CTimerDialog::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  m_look.Paint(hwnd(), reinterpret_cast<HDC>(wp), m_countDown.TickLabel(), m_strText);
  return 1;
}

LRESULT CTimerDialog::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  StartDrag(hwnd(), lp);
  return 0;
}

// --- CMessageDialog -----------------------------------------------------------------------

CMessageDialog::CMessageDialog(HWND parent)
    : winkit::Dialog(kTemplateMessageDialog), m_hParent(parent) {}

CMessageDialog::~CMessageDialog() { m_btnOk.Detach(); }

void CMessageDialog::SetColors(COLORREF c1, COLORREF c2, COLORREF text) {
  m_look.c1 = c1;
  m_look.c2 = c2;
  m_look.text = text;
}

void CMessageDialog::SetExtraColors(COLORREF c1, COLORREF c2) {
  m_look.extra1 = c1;
  m_look.extra2 = c2;
}

void CMessageDialog::Place(UINT extra_flags) {
  auto l = layout::LayoutMessageDialog(
      MeasureDialogText(hwnd(), m_strText),
      layout::Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  if (m_hPlaceOver && IsWindow(m_hPlaceOver)) {
    RECT r{};
    GetWindowRect(m_hPlaceOver, &r);
    const layout::Size box{l.box.Width(), l.box.Height()};
    const layout::Point at =
        layout::CentreOver(layout::Point{r.left, r.top}, ClientSize(m_hPlaceOver), box);
    l.box = layout::Rect::At(at.x, at.y, box.width, box.height);
  }
  SetWindowPos(hwnd(), nullptr, l.box.left, l.box.top, l.box.Width(), l.box.Height(),
               extra_flags);
  MoveButton(hwnd(), IDOK, l.ok);
  SetFocus(GetDlgItem(hwnd(), IDOK));
  SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
}

BOOL CMessageDialog::OnInitDialog() {
  HWND ok = GetDlgItem(hwnd(), IDOK);
  if (!m_btnOk.hwnd()) m_btnOk.Attach(ok);
  const std::string path = m_look.Picture("ok.png");
  m_btnOk.SetImages(path.c_str(), path.c_str());
  if (ok) ShowWindow(ok, SW_SHOW);
  Place(SWP_NOACTIVATE | SWP_NOZORDER);
  return FALSE;
}

void CMessageDialog::Show(HWND parent, int close_main) {
  m_nCloseMain = close_main;
  if (!hwnd() && !CreateModeless(parent ? parent : m_hParent)) return;
  Place(0);
  ShowWindow(hwnd(), SW_SHOW);
  InvalidateRect(hwnd(), nullptr, TRUE);
  UpdateWindow(hwnd());
}

void CMessageDialog::WaitUntilClosed() {
  MSG m;
  while (Visible()) {
    const BOOL got = GetMessageW(&m, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    if (got < 0) return;
    if (hwnd() && IsDialogMessageW(hwnd(), &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void CMessageDialog::OnOK() {
  if (m_nCloseMain != 0) {
    HWND main = m_hMain && IsWindow(m_hMain) ? m_hMain : nullptr;
    if (!main && hwnd()) main = GetAncestor(GetWindow(hwnd(), GW_OWNER), GA_ROOT);
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  }
  m_nCloseMain = 1;
  EndDialog(IDOK);
}

LRESULT CMessageDialog::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  m_look.Paint(hwnd(), reinterpret_cast<HDC>(wp), std::string(), m_strText);
  return 1;
}

LRESULT CMessageDialog::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  StartDrag(hwnd(), lp);
  return 0;
}

// --- CJoinTeamTimerDialog -----------------------------------------------------------------

CJoinTeamTimerDialog::CJoinTeamTimerDialog(uint32_t value, HWND owner)
    : CTimerDialog(owner), m_hOwner(owner), m_nValue(value) {}

void CJoinTeamTimerDialog::OnOK() {
  if (m_hOwner) SendMessageW(m_hOwner, kMsgJoinTeamAccepted, m_nValue, 0);
  CTimerDialog::OnOK();
}

void CJoinTeamTimerDialog::OnTimeOut() {
  StopTimers();
  ClearAccepted();
  OnCancel();
}

// --- CExitTimerDialog ---------------------------------------------------------------------

CExitTimerDialog::CExitTimerDialog(CVyrPokePlayTableImp* table, int16_t mode, uint32_t asker_id,
                                   HWND parent)
    : CExitTimerDialog(
          table ? Answerer([table](uint32_t asker, int16_t answer) {
            table->SendExitAnswer(asker, answer);
          })
                : Answerer(),
          mode, asker_id, parent) {}

CExitTimerDialog::CExitTimerDialog(Answerer answer, int16_t mode, uint32_t asker_id, HWND parent)
    : CTimerDialog(parent), m_answer(std::move(answer)), m_nMode(mode), m_nAskerId(asker_id) {}

void CExitTimerDialog::Answer(int16_t flag) {
  if (m_nMode == 0 && m_answer) m_answer(m_nAskerId, flag);
}

void CExitTimerDialog::OnOK() {
  Answer(0);
  CTimerDialog::OnOK();
}

void CExitTimerDialog::OnCancel() {
  Answer(1);
  CTimerDialog::OnCancel();
}

void CExitTimerDialog::OnTimeOut() {
  StopTimers();
  ClearAccepted();
  OnCancel();
}

}  // namespace framework_window
