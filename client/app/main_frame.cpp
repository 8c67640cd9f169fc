#include "main_frame.h"

#include <windowsx.h>

#include "notice_dialogs.h"
#include "shell_dialogs.h"
#include "shell_texts.h"
#include "records/table_person.h"

ExitDecision DecideExit(bool setup_failed, const ShellPlayTable* table, const TablePerson* me) {
  if (setup_failed || !table || table->ReviewMode()) return ExitDecision::kClose;
  if (table->ExitPending() || table->GameOver()) return ExitDecision::kClose;
  if (table->InProgress() && table->IsPlayer() && me && me->IsForceExitForbidden())
    return ExitDecision::kForbidden;
  return ExitDecision::kAsk;
}

CMainFrame::CMainFrame(MainFrameOwner& owner, std::unique_ptr<ShellTableWindow> table)
    : owner_(owner), table_(std::move(table)) {}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::LoadFrame() {
  // The frame opens maximised. It starts at the work area's size, so that a display without a
  // window manager (which may leave the window at its first size) shows the whole table too.
  RECT rect = {0, 0, 800, 600};
  RECT work{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left &&
      work.bottom > work.top)
    rect = work;
  if (!Create(kMainFrameClass, L"KorvelGame", WS_OVERLAPPEDWINDOW & ~WS_CAPTION, 0, rect, nullptr,
              nullptr))
    return false;
  // No caption: the table window draws its own. The system gives every overlapped window a
  // caption at creation, so it is taken off here.
  SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) & ~WS_CAPTION);
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return true;
}

void CMainFrame::DrawCaption() {
  if (table_up_) table_->DrawCaption();
}

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  SetMenu(hwnd(), nullptr);
  if (table_) table_up_ = table_->Create(hwnd());
  created_ = true;
  return 0;
}

LRESULT CMainFrame::OnSize(UINT, WPARAM wp, LPARAM lp, bool& handled) {
  handled = false;  // the default handling runs as well
  if (!created_ || wp == SIZE_MINIMIZED || placing_) return 0;
  if (wp == SIZE_RESTORED) {
    WINDOWPLACEMENT wpl{};
    wpl.length = sizeof wpl;
    if (GetWindowPlacement(hwnd(), &wpl) &&
        (wpl.rcNormalPosition.left != 10 || wpl.rcNormalPosition.top != 10)) {
      OffsetRect(&wpl.rcNormalPosition, 10 - wpl.rcNormalPosition.left,
                 10 - wpl.rcNormalPosition.top);
      placing_ = true;
      SetWindowPlacement(hwnd(), &wpl);
      placing_ = false;
    }
  }
  if (wp == laid_kind_ && lp == laid_size_) return 0;
  laid_kind_ = wp;
  laid_size_ = lp;
  if (table_up_) table_->Layout(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
  return 0;
}

LRESULT CMainFrame::OnTimer(UINT, WPARAM wp, LPARAM, bool& handled) {
  handled = false;
  if (wp == kJoinTeamTimer) {
    KillTimer(hwnd(), kJoinTeamTimer);
    owner_.OnJoinTeamTimerExpired();
  } else if (table_up_) {
    table_->OnGameTimer(hwnd(), wp);
  }
  return 0;
}

void CMainFrame::RequestClose() {
  ShellPlayTable* table = table_up_ ? table_->PlayTable() : nullptr;
  const bool failed = owner_.SetupFailed() || (table_ && !table_up_);
  // The table's record of the local player is the one the server keeps up to date; the
  // lobby's copy holds what was known at the start.
  const TablePerson* me = table && table->Me() ? table->Me() : owner_.LocalPlayer();
  switch (DecideExit(failed, table, me)) {
    case ExitDecision::kClose:
      Destroy();
      return;
    case ExitDecision::kForbidden: {
      table->PlaySound("IDW_FAIL");
      const ShellNoticeColors c = table_->NoticeColors();
      framework_window::CTimerDialog notice(hwnd());
      notice.HideButtons();
      notice.SetText(kTextForceExitForbidden);
      notice.SetColors(c.c1, c.c2, c.text);
      notice.SetImageDir(table_->ImageDir().c_str());
      notice.DoModal();
      return;
    }
    case ExitDecision::kAsk: {
      CGameCloseDialog dialog(table, table_->NoticeColors());
      dialog.SetImageDir(table_->ImageDir().c_str());
      dialog.DoModal(hwnd());
      if (dialog.MayClose() && hwnd()) Destroy();
      return;
    }
  }
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, bool&) {
  RequestClose();
  return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  owner_.OnFrameClosing();
  handled = false;
  return 0;
}

LRESULT CMainFrame::OnNcCalcSize(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  // The client area covers the whole window: the table window draws frame and caption.
  if (!wp) return DefWindowProcW(hwnd(), msg, wp, lp);
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
  const RECT whole = params->rgrc[0];
  DefWindowProcW(hwnd(), msg, wp, lp);
  params->rgrc[0] = whole;
  return 0;
}

LRESULT CMainFrame::OnNcActivate(UINT, WPARAM, LPARAM, bool&) {
  DrawCaption();
  return TRUE;
}

LRESULT CMainFrame::OnNcRedraw(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = DefWindowProcW(hwnd(), msg, wp, lp);
  DrawCaption();
  return r;
}

LRESULT CMainFrame::OnNcMouseMove(UINT, WPARAM wp, LPARAM, bool& handled) {
  const bool frame_part = (wp >= 2 && wp <= 5) || (wp >= 8 && wp <= 18) || wp == 20;
  if (!frame_part) {
    handled = false;
    return 0;
  }
  DrawCaption();
  return 0;
}

LRESULT CMainFrame::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  DefWindowProcW(hwnd(), msg, wp, lp);
  // The window is dragged by its client area.
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ClientToScreen(hwnd(), &p);
  PostMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
  return 0;
}

LRESULT CMainFrame::OnActivate(UINT, WPARAM, LPARAM, bool& handled) {
  if (table_up_) table_->ClearMouseDown();
  handled = false;
  return 0;
}

LRESULT CMainFrame::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lp, bool&) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lp);
  const bool large = owner_.LargeScreen();
  info->ptMinTrackSize = POINT{large ? 800 : 640, large ? 600 : 480};
  info->ptMaxPosition = POINT{0, 0};
  return 0;
}

LRESULT CMainFrame::OnEraseBkgnd(UINT, WPARAM, LPARAM, bool&) {
  if (IsZoomed(hwnd()) && table_up_ && table_->Hwnd()) {
    RECT r{};
    GetClientRect(hwnd(), &r);
    MoveWindow(table_->Hwnd(), 0, 0, r.right, r.bottom, TRUE);
  }
  return 1;
}

LRESULT CMainFrame::OnCtlColor(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT CMainFrame::OnJoinTeamAccepted(UINT, WPARAM wp, LPARAM, bool&) {
  owner_.OnJoinTeamAccepted(static_cast<int32_t>(wp));
  return 0;
}

void CMainFrame::OnFinalMessage() { owner_.OnFrameDestroyed(); }
