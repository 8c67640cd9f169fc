// The main frame: the top-level window the lobby's ShowWindow opens. It holds the table
// window once the table is built; for now it is a plain frame.
#pragma once
#include <windows.h>

#include "winkit/window.h"

// Window message from the join-team invitation: wParam is the inviting team's id.
constexpr UINT WM_JOINTEAM_ACCEPTED = WM_USER + 200;  // 0x4C8
// Timer that lets the next join-team invitation through after 60 s.
constexpr UINT_PTR kJoinTeamTimer = 220;

inline constexpr wchar_t kMainFrameClass[] = L"KorvelGameFrame";

class CMainFrame : public winkit::Window {
 public:
  bool LoadFrame();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalMessage() override;
};
