// The main frame: the top-level window the lobby's ShowWindow opens. It has no caption and no
// menu, holds the table window as its only child and decides whether the table may close. What
// it cannot decide itself it asks its owner (the application object).
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "shell_table.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

// Window message from the join-team invitation: wParam is the inviting team's id.
constexpr UINT WM_JOINTEAM_ACCEPTED = WM_USER + 200;  // 0x4C8
// Timer that lets the next join-team invitation through after 60 s.
constexpr UINT_PTR kJoinTeamTimer = 220;

inline constexpr wchar_t kMainFrameClass[] = L"KorvelGameFrame";

// What the frame reports to the object that made it, and asks of it.
class MainFrameOwner {
 public:
  // The invitation dialog's OK: the lobby hears the acceptance of team `joined_id`.
  virtual void OnJoinTeamAccepted(int32_t joined_id) = 0;
  // Timer 220 ran out: the next invitation may show.
  virtual void OnJoinTeamTimerExpired() = 0;
  // The frame's window is being destroyed (its children still exist): the table is over.
  virtual void OnFrameClosing() = 0;
  // The frame's window is gone.
  virtual void OnFrameDestroyed() = 0;
  // A pane of the table could not be made: the frame closes without asking.
  virtual bool SetupFailed() const = 0;
  // The local player's record; null when the lobby named none.
  virtual const TablePerson* LocalPlayer() const = 0;
  virtual bool LargeScreen() const = 0;

 protected:
  ~MainFrameOwner() = default;
};

class CMainFrame : public winkit::Window {
 public:
  // `table` is the frame's table window (none: the frame stands empty and closes freely).
  explicit CMainFrame(MainFrameOwner& owner, std::unique_ptr<ShellTableWindow> table = nullptr);
  ~CMainFrame() override;
  bool LoadFrame();
  ShellTableWindow* Table() const { return table_.get(); }
  bool Created() const { return created_; }

  // The close rule: closes at once, shows the "may not leave" notice, or asks with the close
  // dialog. The table's exit button comes here too (through WM_CLOSE).
  void RequestClose();

  BEGIN_MSG_MAP(CMainFrame)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
    MESSAGE_HANDLER(WM_NCPAINT, OnNcRedraw)
    MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcRedraw)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnNcRedraw)
    MESSAGE_HANDLER(WM_SIZING, OnNcRedraw)
    MESSAGE_HANDLER(WM_MOVING, OnNcRedraw)
    MESSAGE_HANDLER(WM_NCMOUSEMOVE, OnNcMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_RANGE_HANDLER(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(WM_JOINTEAM_ACCEPTED, OnJoinTeamAccepted)
  END_MSG_MAP()

 protected:
  void OnFinalMessage() override;

 private:
  LRESULT OnCreate(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnSize(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnClose(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnDestroy(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNcCalcSize(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNcActivate(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNcRedraw(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNcMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnActivate(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnCtlColor(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnJoinTeamAccepted(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  void DrawCaption();

  MainFrameOwner& owner_;
  std::unique_ptr<ShellTableWindow> table_;
  bool table_up_ = false;  // the table window was made
  bool created_ = false;
  bool placing_ = false;   // moving the restored position: no second layout
  // The size and kind of the last layout: the system may report one size twice (showing the
  // frame maximised does), and the second report needs no new layout.
  WPARAM laid_kind_ = ~WPARAM{0};
  LPARAM laid_size_ = 0;
};
