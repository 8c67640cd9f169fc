// The game client's application object: start-up as a local automation server, the lobby's
// settings and persons, the resource libraries, and the orderly shut-down. It owns the main
// frame and the class object, and hands each what it needs: the frame reports to it as its
// MainFrameOwner, StartGame objects reach it as their StartGameHost. Nothing below looks the
// application up.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "lobby_state.h"
#include "main_frame.h"
#include "notice_dialogs.h"
#include "start_game.h"
#include "wave_sound.h"
#include "winkit/com_object.h"
#include "winkit/handle.h"

class CPlaytableApp : public StartGameHost, public MainFrameOwner {
 public:
  CPlaytableApp();
  ~CPlaytableApp();
  CPlaytableApp(const CPlaytableApp&) = delete;
  CPlaytableApp& operator=(const CPlaytableApp&) = delete;

  // Runs the program: InitInstance, the message loop when it succeeded, ExitInstance.
  int Run(HINSTANCE instance, const wchar_t* command_line);

  BOOL InitInstance(const wchar_t* command_line);
  int ExitInstance();

  // Called once by IStartGame::ShowWindow before the frame is created; always TRUE.
  BOOL LoadResourceModules(CStartGame* caller);
  // Creates the main frame (IStartGame::ShowWindow); nothing when it exists.
  void CreateMainFrame();
  // What makes the frame's table window (the program gives the game's; without one the frame
  // stands empty).
  using TableFactory = std::function<std::unique_ptr<ShellTableWindow>(CPlaytableApp&)>;
  void SetTableFactory(TableFactory factory) { table_factory_ = std::move(factory); }
  // A pane of the table could not be made: the frame closes right after it is shown.
  void MarkSetupFailed() { m_bSetupFailed = TRUE; }
  // Loads the style module again (a skin change); the new module, null when it is missing. The
  // sounds playing (they may play from the old module's memory) are stopped first.
  HMODULE ReloadStyleModule();
  // What stops every sound before a module they may play from goes (StopSounds); a test puts
  // its own in to see when it runs.
  void SetSoundStopper(std::function<void()> stop) { stop_sounds_ = std::move(stop); }
  CMainFrame* MainFrame() const { return frame_.get(); }
  // Work the table's first showing needs that nothing the lobby says decides (the controls'
  // libraries, the picture decoder): started on a thread of its own once the class object is
  // offered, so that it is done while the lobby's activation and calls take their time instead
  // of after ShowWindow. The frame is made, and ExitInstance goes on, only once it has ended.
  void SetWarmUp(std::function<void()> work) { warm_up_ = std::move(work); }

  // StartGameHost
  LobbyState& Lobby() override { return lobby_; }
  bool HasMainFrame() const override { return frame_ != nullptr; }
  void ShowMainFrame(CStartGame* caller) override;
  // The join-team invitation over the main frame; at most one in 60 s.
  void ShowJoinTeam(const std::string& text, int ms, int32_t joined_id) override;
  void ShowLobbyLine(const LobbyChatLine& line) override;
  void ForgetStartGame(CStartGame* game) override {
    if (m_pStartGame == game) m_pStartGame = nullptr;
  }

  // MainFrameOwner
  void OnJoinTeamAccepted(int32_t joined_id) override;
  void OnJoinTeamTimerExpired() override { m_bJoinTeamShown = FALSE; }
  // The table is over once its frame is gone: the class object is withdrawn so that the
  // lobby's next activation starts a new game client instead of reaching this one.
  void OnFrameClosing() override;
  void OnFrameDestroyed() override;
  bool SetupFailed() const override { return m_bSetupFailed != FALSE; }
  const TablePerson* LocalPlayer() const override { return lobby_.Me(); }
  bool LargeScreen() const override { return m_bLargeScreen != FALSE; }

  // The exit rule of the table's exit button and the display's exit event: close at once, say
  // that the player may not leave this hand, or ask with the close dialog.
  void ConfirmExit();
  // Writes the person's level title from the score per level and the level names.
  void SetLevelTitle(TablePerson* person) const { lobby_.SetLevelTitle(person); }
  // The "WAVE" resource `name`: from the style module asynchronously, or from the sound module
  // asynchronously or to its end. False when the module or the sound is missing.
  bool PlayStyleSound(const char* name) const;
  bool PlaySoundAsync(const char* name) const;
  bool PlaySoundSync(const char* name) const;
  // Where the notices of the frame take their pictures: the table window's image folder, else
  // "image" beside the program.
  std::string ImageDir() const;
  // The lobby's lines still waiting for the chat pane, oldest first.
  const std::deque<LobbyChatLine>& LobbyLines() const { return lobby_lines_; }
  // Offers the waiting lines to the table window again (its chat pane has come up).
  void ShowWaitingLobbyLines();
  framework_window::CJoinTeamTimerDialog* JoinTeamDialog() const { return m_pJoinTeamDialog.get(); }

  CStartGame* StartGame() const { return m_pStartGame; }
  HMODULE PictureModule() const { return m_hPictureModule.Get(); }
  HMODULE StyleModule() const { return m_hStyleModule.Get(); }
  HMODULE SoundModule() const { return m_hSoundModule.Get(); }
  int GameStyle() const { return m_nGameStyle; }

 private:
  bool RegisterServer();
  bool UnregisterServer();
  // Waits for the warm-up's thread, if it runs.
  void FinishWarmUp();

  LobbyState lobby_;
  std::unique_ptr<CMainFrame> frame_;
  winkit::ClassFactory<CStartGame, StartGameHost> factory_{*this};
  winkit::UniqueHandle m_hMutex;
  BOOL m_bLargeScreen = TRUE;
  int m_nGameStyle = 0;
  winkit::UniqueModule m_hPictureModule;
  std::function<void()> stop_sounds_ = StopSounds;
  winkit::UniqueModule m_hStyleModule;
  winkit::UniqueModule m_hSoundModule;
  ULONG_PTR m_gdiplusToken = 0;
  CStartGame* m_pStartGame = nullptr;
  std::unique_ptr<framework_window::CJoinTeamTimerDialog> m_pJoinTeamDialog;
  BOOL m_bJoinTeamShown = FALSE;
  std::deque<LobbyChatLine> lobby_lines_;
  BOOL m_bSetupFailed = FALSE;
  DWORD class_cookie_ = 0;
  TableFactory table_factory_;
  std::function<void()> warm_up_;
  winkit::UniqueHandle warm_up_thread_;
  bool frame_gone_ = false;  // the frame's window is gone; the frame is deleted next
  // What InitInstance brought up, so ExitInstance takes down each exactly once.
  bool winsock_up_ = false;
  bool ole_up_ = false;
  bool com_up_ = false;
  bool gdiplus_up_ = false;
};
