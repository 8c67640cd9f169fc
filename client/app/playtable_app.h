// The game client's application object: start-up as a local automation server, the lobby's
// settings and persons, the resource libraries, and the orderly shut-down. It owns the main
// frame and the class object, and hands each what it needs: the frame reports to it as its
// MainFrameOwner, StartGame objects reach it as their StartGameHost. Nothing below looks the
// application up.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "lobby_state.h"
#include "main_frame.h"
#include "start_game.h"
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
  CMainFrame* MainFrame() const { return frame_.get(); }

  // StartGameHost
  LobbyState& Lobby() override { return lobby_; }
  bool HasMainFrame() const override { return frame_ != nullptr; }
  void ShowMainFrame(CStartGame* caller) override;
  void ShowJoinTeam(const std::string& text, int ms, int32_t joined_id) override;
  void ForgetStartGame(CStartGame* game) override {
    if (m_pStartGame == game) m_pStartGame = nullptr;
  }

  // MainFrameOwner
  void OnJoinTeamAccepted(int32_t joined_id) override;
  void OnJoinTeamTimerExpired() override { m_bJoinTeamShown = FALSE; }
  // The table is over once its frame is gone: the class object is withdrawn so that the
  // lobby's next activation starts a new game client instead of reaching this one.
  void OnFrameDestroyed() override;

  CStartGame* StartGame() const { return m_pStartGame; }
  HMODULE PictureModule() const { return m_hPictureModule.Get(); }
  HMODULE StyleModule() const { return m_hStyleModule.Get(); }
  HMODULE SoundModule() const { return m_hSoundModule.Get(); }
  int GameStyle() const { return m_nGameStyle; }
  BOOL LargeScreen() const { return m_bLargeScreen; }
  BOOL SetupFailed() const { return m_bSetupFailed; }

 private:
  bool RegisterServer();
  bool UnregisterServer();

  LobbyState lobby_;
  std::unique_ptr<CMainFrame> frame_;
  winkit::ClassFactory<CStartGame, StartGameHost> factory_{*this};
  winkit::UniqueHandle m_hMutex;
  BOOL m_bLargeScreen = TRUE;
  int m_nGameStyle = 0;
  winkit::UniqueModule m_hPictureModule;
  winkit::UniqueModule m_hStyleModule;
  winkit::UniqueModule m_hSoundModule;
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
