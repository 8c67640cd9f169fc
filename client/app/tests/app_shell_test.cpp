// The client program's shell on its own: the main frame reports to whatever owns it, and a
// StartGame object works against whatever hosts it, so each is tested with a fake in place of
// the application object.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <deque>
#include <functional>

#include "main_frame.h"
#include "playtable_app.h"
#include "records/table_person.h"
#include "shell_dialogs.h"
#include "shell_texts.h"
#include "start_game.h"
#include "wave_sound.h"
#include "window_test_support.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"

namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(
    new framework_window::testing::WindowTestEnvironment);

using framework_window::testing::Pump;

std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

class FakeOwner : public MainFrameOwner {
 public:
  void OnJoinTeamAccepted(int32_t joined_id) override {
    log.push_back("accepted " + std::to_string(joined_id));
  }
  void OnJoinTeamTimerExpired() override { log.push_back("expired"); }
  void OnFrameClosing() override { log.push_back("closing"); }
  void OnFrameDestroyed() override { log.push_back("destroyed"); }
  bool SetupFailed() const override { return setup_failed; }
  const TablePerson* LocalPlayer() const override { return me; }
  bool LargeScreen() const override { return large; }
  std::vector<std::string> log;
  bool setup_failed = false;
  const TablePerson* me = nullptr;
  bool large = true;
};

// The play table's exit state, with a log of what the close paths asked of it.
class FakePlayTable : public ShellPlayTable {
 public:
  bool ReviewMode() const override { return review; }
  bool ExitPending() const override { return exit_pending; }
  bool GameOver() const override { return game_over; }
  bool InProgress() const override { return in_progress; }
  bool HandStarted() const override { return hand_started; }
  bool IsPlayer() const override { return player; }
  bool MayRequestExit() const override { return may_request; }
  const TablePerson* Me() const override { return me; }
  void SetExitPending() override { exit_pending = true; }
  void SendExit(int16_t forced) override { log.push_back("SendExit " + std::to_string(forced)); }
  void SendLeaveSeat() override { log.push_back("SendLeaveSeat"); }
  void RequestExit() override { log.push_back("RequestExit"); }
  void PlaySound(const char* name) override { log.push_back(std::string("PlaySound ") + name); }
  int SoundFlag() const override { return sound; }
  void SetSoundFlag(int on) override { sound = on; }

  bool review = false, exit_pending = false, game_over = false, in_progress = false;
  bool hand_started = false, player = true, may_request = true;
  const TablePerson* me = nullptr;
  int sound = 1;
  std::vector<std::string> log;
};

class FakeTableWindow : public ShellTableWindow {
 public:
  explicit FakeTableWindow(FakePlayTable* table, std::vector<std::string>* log)
      : table_(table), log_(log) {}
  bool Create(HWND frame) override {
    log_->push_back("Create");
    hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame,
                            nullptr, nullptr, nullptr);
    return hwnd_ != nullptr;
  }
  HWND Hwnd() const override { return hwnd_; }
  void Layout(int cx, int cy) override {
    log_->push_back("Layout " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  void DrawCaption() override { ++captions; }
  void ClearMouseDown() override { log_->push_back("ClearMouseDown"); }
  void OnGameTimer(HWND, UINT_PTR id) override {
    log_->push_back("OnGameTimer " + std::to_string(id));
  }
  ShellPlayTable* PlayTable() override { return table_; }
  std::string ImageDir() const override { return KORVEL_SKIN_DIR; }
  ShellNoticeColors NoticeColors() const override { return {}; }
  bool ShowLobbyLine(const LobbyChatLine& line) override {
    if (!chat_up) return false;
    lobby_lines.push_back(std::string(line.sound ? line.sound : "") + " " + line.text);
    return true;
  }
  int captions = 0;
  bool chat_up = false;  // the chat pane is there
  std::vector<std::string> lobby_lines;

 private:
  FakePlayTable* table_;
  std::vector<std::string>* log_;
  HWND hwnd_ = nullptr;
};

// Drives modal dialogs: every 50 ms the first step is given the thread's visible dialogs
// (oldest first) and is dropped once it returns true.
using Step = std::function<bool(const std::vector<HWND>&)>;
std::deque<Step> g_steps;

BOOL CALLBACK CollectDialog(HWND h, LPARAM lp) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (IsWindowVisible(h) && lstrcmpW(cls, L"#32770") == 0)
    reinterpret_cast<std::vector<HWND>*>(lp)->insert(
        reinterpret_cast<std::vector<HWND>*>(lp)->begin(), h);
  return TRUE;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  // A step that keeps a picture pumps messages while it draws: the next tick must not run the
  // step again from inside itself (it would press twice and drop the step while it runs).
  static bool running = false;
  if (running || g_steps.empty()) return;
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  running = true;
  const bool done = g_steps.front()(dialogs);
  running = false;
  if (done && !g_steps.empty()) g_steps.pop_front();
}

class Script {
 public:
  explicit Script(std::initializer_list<Step> steps) {
    g_steps.assign(steps.begin(), steps.end());
    timer_ = SetTimer(nullptr, 0, 50, RunStep);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    g_steps.clear();
  }
  bool Done() const { return g_steps.empty(); }

 private:
  UINT_PTR timer_;
};

// A step that presses control `id` of the newest dialog once `count` dialogs are up, after
// keeping a picture of it when `picture` is given.
Step Press(size_t count, UINT id, const char* picture = nullptr) {
  return [=](const std::vector<HWND>& dialogs) {
    if (dialogs.size() < count) return false;
    const HWND top = dialogs.back();
    if (picture) {
      RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      framework_window::testing::SaveWindowPng(top, Artefact(picture));
    }
    PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return true;
  };
}

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

  // No caption: the client area is the whole window, and the minimum size follows the screen.
  RECT window{}, client{};
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, window.right - window.left);
  EXPECT_EQ(client.bottom, window.bottom - window.top);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION);
  for (const bool large : {true, false}) {
    owner.large = large;
    MINMAXINFO info{};
    info.ptMaxPosition = POINT{5, 5};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, large ? 800 : 640);
    EXPECT_EQ(info.ptMinTrackSize.y, large ? 600 : 480);
    EXPECT_EQ(info.ptMaxPosition.x, 0);
  }

  // Without a table there is nothing to leave: a close closes.
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(owner.log.back(), "destroyed");
  EXPECT_EQ(frame.hwnd(), nullptr);
}

TEST(MainFrame, TheTableWindowIsItsChildAndHearsItsMessages) {
  FakeOwner owner;
  FakePlayTable play;
  std::vector<std::string> log;
  auto table = std::make_unique<FakeTableWindow>(&play, &log);
  FakeTableWindow* fake = table.get();
  CMainFrame frame(owner, std::move(table));
  ASSERT_TRUE(frame.LoadFrame());
  const HWND hwnd = frame.hwnd();
  EXPECT_TRUE(frame.Created());
  EXPECT_EQ(GetParent(fake->Hwnd()), hwnd);
  SetWindowPos(hwnd, nullptr, 0, 0, 820, 640, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(hwnd, WM_TIMER, 204, 0);
  SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageW(hwnd, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(log.front(), "Create");
  EXPECT_NE(std::find(log.begin(), log.end(), "Layout 820x640"), log.end());
  // A size reported twice is laid out once; the same size as another kind (maximised) again.
  const auto layouts = [&] {
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& line) { return line.rfind("Layout", 0) == 0; });
  };
  const auto laid = layouts();
  RECT client{};
  GetClientRect(hwnd, &client);
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EXPECT_EQ(layouts(), laid);
  SendMessageW(hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(client.right, client.bottom));
  EXPECT_EQ(layouts(), laid + 1);
  EXPECT_NE(std::find(log.begin(), log.end(), "OnGameTimer 204"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "ClearMouseDown"), log.end());
  EXPECT_GE(fake->captions, 1);
  // Restored windows come back at (10, 10).
  WINDOWPLACEMENT wpl{};
  wpl.length = sizeof wpl;
  GetWindowPlacement(hwnd, &wpl);
  EXPECT_EQ(wpl.rcNormalPosition.left, 10);
  EXPECT_EQ(wpl.rcNormalPosition.top, 10);

  // A setup failure closes without asking; so does a finished game.
  play.game_over = true;
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(frame.hwnd(), nullptr);
  EXPECT_TRUE(play.log.empty());
}

// The invitation over the real frame: shown once per minute, OK goes to the frame as 0x4C8.
TEST(JoinTeam, TheInvitationShowsOverTheFrameOncePerMinute) {
  CPlaytableApp app;
  app.ShowJoinTeam("early", 5000, 1);  // no frame yet: nothing
  EXPECT_EQ(app.JoinTeamDialog(), nullptr);
  app.LoadResourceModules(nullptr);  // the style module beside the program names the skin
  ASSERT_NE(app.StyleModule(), nullptr);
  EXPECT_NE(app.ImageDir().find("\\skin"), std::string::npos) << app.ImageDir();
  app.CreateMainFrame();
  ASSERT_NE(app.MainFrame(), nullptr);
  const HWND frame = app.MainFrame()->hwnd();
  // %s 邀请你加入他的团队，你同意吗？ with "Bob"
  const std::string text =
      "Bob \xd1\xfb\xc7\xeb\xc4\xe3\xbc\xd3\xc8\xeb\xcb\xfb\xb5\xc4\xcd\xc5\xb6\xd3\xa3\xac"
      "\xc4\xe3\xcd\xac\xd2\xe2\xc2\xf0\xa3\xbf";
  app.ShowJoinTeam(text, 5000, 77);
  auto* dialog = app.JoinTeamDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(dialog->hwnd(), nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog->hwnd()));
  EXPECT_EQ(dialog->Text(), text);
  EXPECT_EQ(dialog->Time(), 5000u);
  EXPECT_EQ(GetWindow(dialog->hwnd(), GW_OWNER), frame);
  Pump(100);
  framework_window::testing::SaveWindowPng(dialog->hwnd(), Artefact("join_team.png"));

  // Within the minute a second invitation shows nothing.
  app.ShowJoinTeam("again", 5000, 78);
  EXPECT_EQ(app.JoinTeamDialog(), dialog);
  EXPECT_EQ(dialog->Text(), text);
  // The minute is up (timer 220): the next one replaces it.
  SendMessageW(frame, WM_TIMER, kJoinTeamTimer, 0);
  app.ShowJoinTeam("again", 3000, 78);
  ASSERT_NE(app.JoinTeamDialog(), nullptr);
  EXPECT_EQ(app.JoinTeamDialog()->Text(), "again");
  PostMessageW(app.JoinTeamDialog()->hwnd(), WM_COMMAND, IDOK, 0);
  Pump(100);
  EXPECT_FALSE(IsWindowVisible(app.JoinTeamDialog()->hwnd()));
  EXPECT_TRUE(app.JoinTeamDialog()->Accepted());
  app.MainFrame()->Destroy();
}

// The lobby's lines go to the table window's chat pane; those that come while there is none wait
// for it, in their order, and go before any later line.
TEST(LobbyLines, WaitForTheChatPaneAndKeepTheirOrder) {
  CPlaytableApp app;
  FakeTableWindow* table = nullptr;
  std::vector<std::string> log;
  app.SetTableFactory([&](CPlaytableApp&) -> std::unique_ptr<ShellTableWindow> {
    auto made = std::make_unique<FakeTableWindow>(nullptr, &log);
    table = made.get();
    return made;
  });
  app.CreateMainFrame();
  ASSERT_NE(table, nullptr);
  const auto line = [](const char* text, bool advert) {
    LobbyChatLine l;
    l.text = text;
    l.advert = advert;
    l.sound = advert ? "IDW_ADV" : "IDW_FINDMESSAGE";
    return l;
  };
  app.ShowLobbyLine(line("first", true));
  app.ShowLobbyLine(line("second", false));
  EXPECT_TRUE(table->lobby_lines.empty());
  EXPECT_EQ(app.LobbyLines().size(), 2u);
  table->chat_up = true;
  app.ShowLobbyLine(line("third", false));  // after the two still waiting
  EXPECT_TRUE(table->lobby_lines.empty());
  app.ShowWaitingLobbyLines();
  app.ShowLobbyLine(line("fourth", true));
  EXPECT_EQ(table->lobby_lines, (std::vector<std::string>{"IDW_ADV first", "IDW_FINDMESSAGE second",
                                                         "IDW_FINDMESSAGE third",
                                                         "IDW_ADV fourth"}));
  EXPECT_TRUE(app.LobbyLines().empty());
  app.MainFrame()->Destroy();
}

TEST(ExitRule, DecidesFromThePlayTableAndTheLocalPlayer) {
  TablePerson banned{};
  banned.forbidtype = 0x1000;
  banned.startgame_num = 1000;
  TablePerson free_to_go{};
  free_to_go.startgame_num = 1000;
  struct Case {
    const char* name;
    bool setup_failed, has_table, review, pending, over, in_progress, player;
    const TablePerson* me;
    ExitDecision want;
  } cases[] = {
      {"setup failed", true, true, false, false, false, true, true, &banned, ExitDecision::kClose},
      {"no play table", false, false, false, false, false, false, true, &banned, ExitDecision::kClose},
      {"review", false, true, true, false, false, true, true, &banned, ExitDecision::kClose},
      {"exit pending", false, true, false, true, false, true, true, &banned, ExitDecision::kClose},
      {"game over", false, true, false, false, true, true, true, &banned, ExitDecision::kClose},
      {"banned, in a hand", false, true, false, false, false, true, true, &banned, ExitDecision::kForbidden},
      {"banned, between hands", false, true, false, false, false, false, true, &banned, ExitDecision::kAsk},
      {"banned watcher", false, true, false, false, false, true, false, &banned, ExitDecision::kAsk},
      {"free player", false, true, false, false, false, true, true, &free_to_go, ExitDecision::kAsk},
      {"no local player", false, true, false, false, false, true, true, nullptr, ExitDecision::kAsk},
  };
  for (const Case& c : cases) {
    FakePlayTable t;
    t.review = c.review;
    t.exit_pending = c.pending;
    t.game_over = c.over;
    t.in_progress = c.in_progress;
    t.player = c.player;
    EXPECT_EQ(DecideExit(c.setup_failed, c.has_table ? &t : nullptr, c.me), c.want) << c.name;
  }
}

TEST(MainFrame, ABannedPlayerInAHandIsToldAndStays) {
  TablePerson banned{};
  banned.forbidtype = 0x1000;
  FakeOwner owner;
  owner.me = &banned;
  FakePlayTable play;
  play.hand_started = play.in_progress = true;
  std::vector<std::string> log;
  CMainFrame frame(owner, std::make_unique<FakeTableWindow>(&play, &log));
  ASSERT_TRUE(frame.LoadFrame());
  bool seen = false;
  Script script({[&](const std::vector<HWND>& dialogs) {
    if (dialogs.empty()) return false;
    seen = true;
    framework_window::testing::SaveWindowPng(dialogs.back(), Artefact("exit_forbidden.png"));
    PostMessageW(dialogs.back(), WM_COMMAND, IDCANCEL, 0);
    return true;
  }});
  SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(seen);
  EXPECT_NE(frame.hwnd(), nullptr);
  EXPECT_EQ(play.log, std::vector<std::string>{"PlaySound IDW_FAIL"});
  frame.Destroy();
}

// The lobby's record says a new player (no games yet: no forced exit in a hand); the server has
// since told the table of a hundred games: the close asks, as for any player free to go.
TEST(MainFrame, TheTablesRecordOfThePlayerDecidesTheExit) {
  TablePerson at_start{};
  TablePerson now{};
  now.startgame_num = 100;
  FakeOwner owner;
  owner.me = &at_start;
  FakePlayTable play;
  play.hand_started = play.in_progress = true;
  play.me = &now;
  std::vector<std::string> log;
  CMainFrame frame(owner, std::make_unique<FakeTableWindow>(&play, &log));
  ASSERT_TRUE(frame.LoadFrame());
  bool asked = false;
  Script script({[&](const std::vector<HWND>& dialogs) {
    if (dialogs.empty()) return false;
    asked = GetDlgItem(dialogs.back(), kIdRequestExit) != nullptr;
    PostMessageW(dialogs.back(), WM_COMMAND, IDCANCEL, 0);
    return true;
  }});
  SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(play.log.empty());  // no refusal sound
  frame.Destroy();
}

// The close dialog's two buttons, from the table's state through the question to the result.
TEST(CloseDialog, ForceAndRequestFollowTheTableState) {
  struct Case {
    const char* name;
    bool review, player, hand_started, in_progress;
    UINT button;
    UINT answer;  // to the question; 0: no question expected
    bool may_close;
    std::vector<std::string> sent;
  } cases[] = {
      {"review", true, true, true, true, kIdForceExit, 0, true, {}},
      {"watcher", false, false, true, true, kIdRequestExit, 0, true, {"SendExit 0"}},
      {"before the first hand", false, true, false, false, kIdForceExit, 0, true, {"SendLeaveSeat"}},
      {"between hands", false, true, true, false, kIdRequestExit, 0, true, {"SendExit 0"}},
      {"force in a hand, yes", false, true, true, true, kIdForceExit, IDOK, true, {"SendExit 1"}},
      {"force in a hand, no", false, true, true, true, kIdForceExit, IDCANCEL, false, {}},
      {"request in a hand, yes", false, true, true, true, kIdRequestExit, IDOK, false, {"RequestExit"}},
  };
  for (const Case& c : cases) {
    FakePlayTable t;
    t.review = c.review;
    t.player = c.player;
    t.hand_started = c.hand_started;
    t.in_progress = c.in_progress;
    CGameCloseDialog dialog(&t, ShellNoticeColors{});
    dialog.SetImageDir(KORVEL_SKIN_DIR);
    const bool first_asked = c.answer == IDOK && c.button == kIdForceExit;
    Script script = c.answer ? Script({Press(1, c.button, first_asked ? "close_dialog.png" : nullptr),
                                      Press(2, c.answer, first_asked ? "close_force_question.png" : nullptr)})
                             : Script({Press(1, c.button)});
    dialog.DoModal(framework_window::testing::Host());
    EXPECT_TRUE(script.Done()) << c.name;
    EXPECT_EQ(dialog.MayClose(), c.may_close) << c.name;
    EXPECT_EQ(t.log, c.sent) << c.name;
    EXPECT_EQ(t.exit_pending, c.may_close && !c.review) << c.name;
  }
}

TEST(CloseDialog, KeepsItsSizeWithoutAPictureAndOffersTheRequestOnlyWhenAllowed) {
  for (const bool pictures : {true, false}) {
    FakePlayTable t;
    t.may_request = !pictures;
    CGameCloseDialog dialog(&t, ShellNoticeColors{});
    dialog.SetImageDir(pictures ? KORVEL_SKIN_DIR : "Z:\\nowhere");
    SIZE size{};
    bool request_enabled = true;
    Script script({[&](const std::vector<HWND>& dialogs) {
      if (dialogs.empty()) return false;
      RECT r{};
      GetWindowRect(dialogs.back(), &r);
      size = SIZE{r.right - r.left, r.bottom - r.top};
      request_enabled = IsWindowEnabled(GetDlgItem(dialogs.back(), kIdRequestExit));
      PostMessageW(dialogs.back(), WM_COMMAND, IDCANCEL, 0);
      return true;
    }});
    dialog.DoModal(framework_window::testing::Host());
    if (pictures) {
      EXPECT_EQ(size.cx, 300);  // the sample dlg_bk.png
      EXPECT_EQ(size.cy, 85);
    } else {
      EXPECT_GT(size.cx, 100);  // the template's size, not 0 x 0
      EXPECT_GT(size.cy, 40);
    }
    EXPECT_EQ(request_enabled, !pictures);
    EXPECT_FALSE(dialog.MayClose());
    EXPECT_TRUE(t.log.empty());
  }
}

TEST(SetDialog, ShowsAndStoresTheSoundFlagWithOrWithoutAPlayTable) {
  FakePlayTable t;
  t.sound = 0;
  for (FakePlayTable* table : {&t, static_cast<FakePlayTable*>(nullptr)}) {
    CSetDialog dialog;
    dialog.SetPlayTable(table);
    dialog.SetImageDir(KORVEL_SKIN_DIR);
    dialog.ShowCentered(framework_window::testing::Host());
    ASSERT_NE(dialog.hwnd(), nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog.hwnd()));
    EXPECT_EQ(dialog.SoundFlag(), table ? 0 : 1);
    Pump(50);
    if (table) {
      framework_window::testing::SaveWindowPng(dialog.hwnd(), Artefact("set_dialog.png"));
      // Switch the sound on and confirm: the table hears it.
      const HWND sw = GetDlgItem(dialog.hwnd(), kIdSoundSwitch);
      SendMessageW(sw, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageW(sw, WM_LBUTTONUP, 0, 0);
      ReleaseCapture();
      SendMessageW(dialog.hwnd(), WM_COMMAND, IDOK, 0);
      EXPECT_EQ(t.sound, 1);
      EXPECT_EQ(dialog.SoundFlag(), 1);
    }
  }
}

TEST(Sounds, PlayFromTheSoundLibraryAndFailQuietlyWithoutIt) {
  HMODULE sounds = LoadLibraryExA(KORVEL_BIN_DIR "\\pellamsound.dll", nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(sounds, nullptr);
  EXPECT_NE(FindWave(sounds, "IDW_FAIL"), nullptr);
  EXPECT_NE(FindWave(sounds, "IDW_11"), nullptr);
  // Whether a sound is heard depends on the machine's audio; playing must never fail loudly.
  PlayWave(sounds, "IDW_DICE", WaveMode::kAsync);
  StopSounds();
  EXPECT_FALSE(PlayWave(sounds, "IDW_NO_SUCH", WaveMode::kAsync));
  EXPECT_FALSE(PlayWave(nullptr, "IDW_FAIL", WaveMode::kSync));
  EXPECT_FALSE(PlayWave(sounds, nullptr, WaveMode::kSync));
  EXPECT_FALSE(PlayWave(sounds, "", WaveMode::kSync));
  FreeLibrary(sounds);
}

// A skin change frees the style module, which the table's sounds play from asynchronously: the
// sounds are stopped while the old module is still there, then the new module takes its place.
TEST(Sounds, ReloadingTheStyleModuleStopsTheSoundsFirst) {
  CPlaytableApp app;
  app.LoadResourceModules(nullptr);
  const HMODULE old = app.StyleModule();
  ASSERT_NE(old, nullptr);
  int stops = 0;
  bool oldStillThere = false;
  app.SetSoundStopper([&] {
    ++stops;
    char name[32] = {};
    oldStillThere = LoadStringA(old, 147, name, sizeof name) > 0;  // the skin's image folder
  });
  const HMODULE fresh = app.ReloadStyleModule();
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(oldStillThere);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(app.StyleModule(), fresh);
  char name[32] = {};
  EXPECT_GT(LoadStringA(fresh, 147, name, sizeof name), 0);
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
  void ShowLobbyLine(const LobbyChatLine& line) override { lines.push_back(line); }
  std::vector<LobbyChatLine> lines;

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
  BIG_GAMESTR early = {};
  EXPECT_EQ(game->ShowInstantMessage(1, 2, &early, 0), S_OK);
  EXPECT_TRUE(host.lines.empty());

  // ShowWindow brings the frame up once, for this object.
  EXPECT_EQ(game->ShowWindow(), S_OK);
  EXPECT_EQ(game->ShowWindow(), S_OK);
  EXPECT_EQ(host.shown_for, std::vector<CStartGame*>{object});

  EXPECT_EQ(game->Join_Team(&inviter, 9), S_OK);
  ASSERT_EQ(host.invitations.size(), 1u);
  EXPECT_NE(host.invitations[0].find("inviter"), std::string::npos);
  EXPECT_NE(host.invitations[0].find("|5000|9"), std::string::npos);

  // The lobby's lines are kept for the chat pane once the frame exists, bounded by their records.
  BIG_GAMESTR info = {}, said = {};
  std::memset(info.str, 0x11, sizeof info.str);
  std::memset(said.str, 'a', sizeof said.str);  // no terminator
  GAMESTR short_link = Text("http:/"), link = Text("http://x");
  EXPECT_EQ(game->SetAdvMessage(&info, 500, &short_link, &said), S_OK);
  EXPECT_EQ(game->SetAdvMessage(&info, -3, &link, nullptr), S_OK);
  EXPECT_EQ(game->ShowInstantMessage(1, 2, &said, 500), S_OK);
  EXPECT_EQ(game->ShowInstantMessage(1, 2, nullptr, 0), S_OK);
  ASSERT_EQ(host.lines.size(), 4u);
  EXPECT_TRUE(host.lines[0].advert);
  EXPECT_STREQ(host.lines[0].sound, "IDW_ADV");
  EXPECT_FALSE(host.lines[2].advert);
  EXPECT_STREQ(host.lines[2].sound, "IDW_FINDMESSAGE");
  EXPECT_EQ(host.lines[0].format.m_nSize, 0x1111);  // all 44 bytes replaced, no more
  EXPECT_EQ(host.lines[0].link, "");
  EXPECT_LE(host.lines[0].text.size(), 500u);
  EXPECT_EQ(host.lines[1].format.m_nSize, 9);  // a negative size replaces nothing
  EXPECT_EQ(host.lines[1].link, "http://x");
  EXPECT_EQ(host.lines[2].text, std::string(199, 'a'));
  EXPECT_EQ(host.lines[2].format.m_nColor, 255);
  EXPECT_EQ(host.lines[3].text, "");

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
