// The main frame: the top-level window the lobby's ShowWindow opens. It holds the table
// window once the table is built; for now it is a plain frame. What it cannot decide itself it
// tells its owner (the application object).
#pragma once
#include <windows.h>

#include <cstdint>

#include "winkit/message_map.h"
#include "winkit/window.h"

// Window message from the join-team invitation: wParam is the inviting team's id.
constexpr UINT WM_JOINTEAM_ACCEPTED = WM_USER + 200;  // 0x4C8
// Timer that lets the next join-team invitation through after 60 s.
constexpr UINT_PTR kJoinTeamTimer = 220;

inline constexpr wchar_t kMainFrameClass[] = L"KorvelGameFrame";

// What the frame reports to the object that made it.
class MainFrameOwner {
 public:
  // The invitation dialog's OK: the lobby hears the acceptance of team `joined_id`.
  virtual void OnJoinTeamAccepted(int32_t joined_id) = 0;
  // Timer 220 ran out: the next invitation may show.
  virtual void OnJoinTeamTimerExpired() = 0;
  // The frame's window is gone.
  virtual void OnFrameDestroyed() = 0;

 protected:
  ~MainFrameOwner() = default;
};

class CMainFrame : public winkit::Window {
 public:
  explicit CMainFrame(MainFrameOwner& owner) : owner_(owner) {}
  bool LoadFrame();

  BEGIN_MSG_MAP(CMainFrame)
    MESSAGE_HANDLER(WM_JOINTEAM_ACCEPTED, OnJoinTeamAccepted)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

 protected:
  void OnFinalMessage() override;

 private:
  LRESULT OnJoinTeamAccepted(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  MainFrameOwner& owner_;
};
