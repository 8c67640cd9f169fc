#include "main_frame.h"

bool CMainFrame::LoadFrame() {
  const RECT rect = {0, 0, 800, 600};
  return Create(kMainFrameClass, L"KorvelGame", WS_OVERLAPPEDWINDOW, 0, rect, nullptr,
                nullptr) != nullptr;
}

LRESULT CMainFrame::OnJoinTeamAccepted(UINT, WPARAM wp, LPARAM, bool&) {
  owner_.OnJoinTeamAccepted(static_cast<int32_t>(wp));
  return 0;
}

LRESULT CMainFrame::OnTimer(UINT, WPARAM wp, LPARAM, bool& handled) {
  if (wp != kJoinTeamTimer) {
    handled = false;
    return 0;
  }
  KillTimer(hwnd(), kJoinTeamTimer);
  owner_.OnJoinTeamTimerExpired();
  return 0;
}

void CMainFrame::OnFinalMessage() { owner_.OnFrameDestroyed(); }
