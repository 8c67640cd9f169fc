#include "main_frame.h"

#include "playtable_app.h"
#include "start_game.h"

bool CMainFrame::LoadFrame() {
  const RECT rect = {0, 0, 800, 600};
  return Create(kMainFrameClass, L"KorvelGame", WS_OVERLAPPEDWINDOW, 0, rect, nullptr,
                nullptr) != nullptr;
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_JOINTEAM_ACCEPTED:
      if (CStartGame* game = TheApp().StartGame())
        game->Fire_AgreeOrNot(TheApp().Lobby().Settings().roomid, 1,
                              static_cast<int32_t>(wp));
      return 0;
    case WM_TIMER:
      if (wp == kJoinTeamTimer) {
        KillTimer(hwnd(), kJoinTeamTimer);
        TheApp().OnJoinTeamTimerExpired();
        return 0;
      }
      break;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

void CMainFrame::OnFinalMessage() { TheApp().OnFrameDestroyed(); }
