// The game client's application object: start-up as a local automation server, the lobby's
// settings and persons, the resource libraries, and the orderly shut-down.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "lobby_state.h"

class CStartGame;
class CMainFrame;

class CPlaytableApp {
 public:
  CPlaytableApp();
  ~CPlaytableApp();

  // Runs the program: InitInstance, the message loop when it succeeded, ExitInstance.
  int Run(HINSTANCE instance, const wchar_t* command_line);

  BOOL InitInstance(const wchar_t* command_line);
  int ExitInstance();

  // Called once by IStartGame::ShowWindow before the frame is created; always TRUE.
  BOOL LoadResourceModules(CStartGame* caller);
  // Creates the main frame (IStartGame::ShowWindow); nothing when it exists.
  void CreateMainFrame();
  CMainFrame* MainFrame() const { return frame_.get(); }
  void ShowJoinTeam(const std::string& text, int ms, int32_t joined_id);
  void OnJoinTeamTimerExpired() { m_bJoinTeamShown = FALSE; }
  // The table is over once its frame is gone: the class object is withdrawn so that the
  // lobby's next activation starts a new game client instead of reaching this one.
  void OnFrameDestroyed();

  LobbyState& Lobby() { return lobby_; }
  CStartGame* StartGame() const { return m_pStartGame; }
  void ForgetStartGame(CStartGame* game) {
    if (m_pStartGame == game) m_pStartGame = nullptr;
  }

  HMODULE PictureModule() const { return m_hPictureModule; }
  HMODULE StyleModule() const { return m_hStyleModule; }
  HMODULE SoundModule() const { return m_hSoundModule; }
  int GameStyle() const { return m_nGameStyle; }
  BOOL LargeScreen() const { return m_bLargeScreen; }
  BOOL SetupFailed() const { return m_bSetupFailed; }

 private:
  bool RegisterServer();
  bool UnregisterServer();

  LobbyState lobby_;
  std::unique_ptr<CMainFrame> frame_;
  HANDLE m_hMutex = nullptr;
  BOOL m_bLargeScreen = TRUE;
  int m_nGameStyle = 0;
  HMODULE m_hPictureModule = nullptr;
  HMODULE m_hStyleModule = nullptr;
  HMODULE m_hSoundModule = nullptr;
  ULONG_PTR m_gdiplusToken = 0;
  CStartGame* m_pStartGame = nullptr;
  BOOL m_bJoinTeamShown = FALSE;
  BOOL m_bSetupFailed = FALSE;
  DWORD class_cookie_ = 0;
  // What InitInstance brought up, so ExitInstance takes down each exactly once.
  bool winsock_up_ = false;
  bool ole_up_ = false;
  bool com_up_ = false;
  bool gdiplus_up_ = false;
};

// The one application object.
CPlaytableApp& TheApp();
