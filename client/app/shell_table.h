// What the main frame and the application's exit rule need of the table window and of its play
// table. The table window implements ShellTableWindow; until then the frame runs without one,
// and tests put a fake in its place.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

struct LobbyChatLine;
struct TablePerson;

// The play table's exit state and the few calls the close paths make on it.
class ShellPlayTable {
 public:
  virtual bool ReviewMode() const = 0;
  // Set by the close dialog and by the paths that end the game.
  virtual bool ExitPending() const = 0;
  virtual bool GameOver() const = 0;
  // A hand is being played.
  virtual bool InProgress() const = 0;
  // The first hand of this table has started.
  virtual bool HandStarted() const = 0;
  // The local user sits as a player, not as a watcher.
  virtual bool IsPlayer() const = 0;
  // Another exit request may still be made (permission given, fewer than two made).
  virtual bool MayRequestExit() const = 0;
  // The local player's record as the table keeps it, with what the server has told since the
  // start (games played, forced exits, bans); null when the table has none.
  virtual const TablePerson* Me() const = 0;
  virtual void SetExitPending() = 0;
  virtual void SendExit(int16_t forced) = 0;
  virtual void SendLeaveSeat() = 0;
  virtual void RequestExit() = 0;
  virtual void PlaySound(const char* name) = 0;
  virtual int SoundFlag() const = 0;
  virtual void SetSoundFlag(int on) = 0;

 protected:
  ~ShellPlayTable() = default;
};

// Colours the notices of the table window are drawn in.
struct ShellNoticeColors {
  COLORREF c1 = 0xFFFFFF, c2 = 0xFCBF82, text = 0;
};

// The table window, the frame's only child.
class ShellTableWindow {
 public:
  virtual ~ShellTableWindow() = default;
  // Creates the window and its children in `frame` and loads the skin, which creates the game.
  // False when the window could not be made.
  virtual bool Create(HWND frame) = 0;
  virtual HWND Hwnd() const = 0;
  // Sizes the window to the frame's client size, lays out the children, repaints the frame.
  virtual void Layout(int cx, int cy) = 0;
  virtual void DrawCaption() = 0;
  // The frame was (de)activated: the mouse-down state word is cleared.
  virtual void ClearMouseDown() = 0;
  virtual void OnGameTimer(HWND frame, UINT_PTR id) = 0;
  // The play table; null before the game exists.
  virtual ShellPlayTable* PlayTable() = 0;
  virtual std::string ImageDir() const = 0;
  virtual ShellNoticeColors NoticeColors() const = 0;
  // Shows a line the lobby sent (with its sound) in the chat pane; false while there is no chat
  // pane to show it in (the line is then kept for it).
  virtual bool ShowLobbyLine(const LobbyChatLine& line) {
    (void)line;
    return false;
  }
};

// What a request to close the table comes to.
enum class ExitDecision {
  kClose,      // close at once
  kForbidden,  // the local player may not leave this hand: a notice, nothing closes
  kAsk,        // the close dialog decides
};

// The exit rule shared by the frame's close and the table's exit button. Without a play table
// there is nothing to leave and the window closes; without a local player nothing forbids.
ExitDecision DecideExit(bool setup_failed, const ShellPlayTable* table, const TablePerson* me);
