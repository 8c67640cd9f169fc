// The client program's shell on its own: the main frame reports to whatever owns it, and a
// StartGame object works against whatever hosts it, so each is tested with a fake in place of
// the application object.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "main_frame.h"
#include "start_game.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"

namespace {

class FakeOwner : public MainFrameOwner {
 public:
  void OnJoinTeamAccepted(int32_t joined_id) override {
    log.push_back("accepted " + std::to_string(joined_id));
  }
  void OnJoinTeamTimerExpired() override { log.push_back("expired"); }
  void OnFrameDestroyed() override { log.push_back("destroyed"); }
  std::vector<std::string> log;
};

TEST(MainFrame, ItsMessagesReachItsOwner) {
  FakeOwner owner;
  CMainFrame frame(owner);
  ASSERT_TRUE(frame.LoadFrame());
  const HWND hwnd = frame.hwnd();

  EXPECT_EQ(SendMessageW(hwnd, WM_JOINTEAM_ACCEPTED, 55, 0), 0);
  // Timer 220 ends the invitation gate once and is killed; other timers are not the gate's.
  ASSERT_NE(SetTimer(hwnd, kJoinTeamTimer, 60000, nullptr), 0u);
  SendMessageW(hwnd, WM_TIMER, 7, 0);
  SendMessageW(hwnd, WM_TIMER, kJoinTeamTimer, 0);
  EXPECT_FALSE(KillTimer(hwnd, kJoinTeamTimer));  // already gone
  EXPECT_EQ(owner.log, (std::vector<std::string>{"accepted 55", "expired"}));

  frame.Destroy();
  EXPECT_EQ(owner.log.back(), "destroyed");
  EXPECT_EQ(frame.hwnd(), nullptr);
}

class FakeHost : public StartGameHost {
 public:
  LobbyState& Lobby() override { return lobby; }
  bool HasMainFrame() const override { return frame; }
  void ShowMainFrame(CStartGame* caller) override {
    if (fail_show) throw std::bad_alloc();
    shown_for.push_back(caller);
    frame = true;
  }
  void ShowJoinTeam(const std::string& text, int ms, int32_t joined_id) override {
    invitations.push_back(text + "|" + std::to_string(ms) + "|" + std::to_string(joined_id));
  }
  void ForgetStartGame(CStartGame* game) override { forgotten.push_back(game); }

  LobbyState lobby;
  bool frame = false;
  bool fail_show = false;
  std::vector<CStartGame*> shown_for;
  std::vector<std::string> invitations;
  std::vector<CStartGame*> forgotten;
};

GAMESTR Text(const char* s) {
  GAMESTR g = {};
  std::strncpy(g.str, s, sizeof g.str - 1);
  return g;
}

TEST(StartGame, WorksAgainstItsHost) {
  FakeHost host;
  winkit::ComPtr<IStartGame> game;
  ASSERT_HRESULT_SUCCEEDED(
      winkit::CreateComObject<CStartGame>(IID_IStartGame, game.PutVoid(), host));
  auto* object = static_cast<CStartGame*>(game.Get());

  // Before the frame exists an invitation is dropped.
  GAMESTR inviter = Text("inviter");
  EXPECT_EQ(game->Join_Team(&inviter, 9), S_OK);
  EXPECT_TRUE(host.invitations.empty());

  // ShowWindow brings the frame up once, for this object.
  EXPECT_EQ(game->ShowWindow(), S_OK);
  EXPECT_EQ(game->ShowWindow(), S_OK);
  EXPECT_EQ(host.shown_for, std::vector<CStartGame*>{object});

  EXPECT_EQ(game->Join_Team(&inviter, 9), S_OK);
  ASSERT_EQ(host.invitations.size(), 1u);
  EXPECT_NE(host.invitations[0].find("inviter"), std::string::npos);
  EXPECT_NE(host.invitations[0].find("|5000|9"), std::string::npos);

  // The lobby's settings land in the host's lobby state.
  EXPECT_EQ(game->AddRoomInfo1(3, 20, 12), S_OK);
  EXPECT_EQ(host.lobby.Settings().roomid, 12);

  game.Reset();
  EXPECT_EQ(host.forgotten, std::vector<CStartGame*>{object});
}

TEST(StartGame, AFailureInTheHostBecomesTheCallsResult) {
  FakeHost host;
  host.fail_show = true;
  winkit::ComPtr<IStartGame> game;
  ASSERT_HRESULT_SUCCEEDED(
      winkit::CreateComObject<CStartGame>(IID_IStartGame, game.PutVoid(), host));
  EXPECT_EQ(game->ShowWindow(), E_OUTOFMEMORY);
  EXPECT_TRUE(host.shown_for.empty());
}

}  // namespace
