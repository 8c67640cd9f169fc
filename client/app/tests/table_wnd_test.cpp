// The game's table window in its main frame, made by the application object as the program
// makes it, on the real controls: what the lobby's lines show in the chat pane, what a failing
// control call ends, a table without a local player, and the skin's colours and captions.
// The game server is a listening socket that never answers.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "playtable_app.h"
#include "room_panes.h"
#include "shell_texts.h"
#include "table_wnd.h"
#include "window_test_support.h"
#include "winkit/testing/com_test_support.h"

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"Korvel.dll", L"KorvelTable.dll", L"Vitrine.dll",
                                             L"Parley.dll", L"VyrSock.dll", L"OzkPersonList.dll",
                                             L"KorvelFlash.dll"},
                                            true));
[[maybe_unused]] auto* const g_win =
    ::testing::AddGlobalTestEnvironment(new framework_window::testing::WindowTestEnvironment);

using framework_window::testing::Pump;

constexpr int kChatOutput = 2001;  // the chat control's output pane

// The table window with the frame's protected parts in reach of the tests.
class TestTableWnd : public CTableWnd {
 public:
  using CTableWnd::CTableWnd;
  using CTableWnd::Guarded;
  // Runs before the game is created, with the skin's metrics loaded.
  std::function<void(layout::FrameMetrics&)> beforeGame;
  void CreateGame() override {
    if (beforeGame) beforeGame(m_metrics);
    CTableWnd::CreateGame();
  }
  void SetCaptionMode(int16_t mode) { m_metrics.m_bCenterCaption = mode; }
};

// A game server that takes the connection and never says a word.
class SilentServer {
 public:
  SilentServer() {
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(socket_, 4);
    int size = sizeof a;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
  }
  ~SilentServer() { closesocket(socket_); }
  uint16_t Port() const { return port_; }
  // True when a client has connected (and is waiting to be taken).
  bool Connected() const {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(socket_, &read);
    timeval none{};
    return select(0, &read, nullptr, nullptr, &none) == 1;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  uint16_t port_ = 0;
};

GAMESTR Text(const char* s) {
  GAMESTR g = {};
  std::strncpy(g.str, s, sizeof g.str - 1);
  return g;
}

// The application with the lobby's hand-over of a two-player table.
struct Table {
  SilentServer server;
  CPlaytableApp app;
  TestTableWnd* wnd = nullptr;

  explicit Table(bool withMe = true) {
    for (uint32_t id : {1001u, 1002u}) {
      PERSON p = {};
      p.id = id;
      std::snprintf(p.username, sizeof p.username, "player%u", id - 1000);
      std::snprintf(p.nickname, sizeof p.nickname, "nick%u", id - 1000);
      p.seatno = static_cast<short>(id - 1001);
      p.status = 4;
      p.watchno = -1;
      app.Lobby().AddPerson(&p);
    }
    if (withMe) app.Lobby().SetMyID(1001);
    GAMESTR host = Text("127.0.0.1");
    app.Lobby().SetGameSockIp(&host, static_cast<short>(server.Port()));
    app.Lobby().SetSeatNum(2);
    app.SetTableFactory([this](CPlaytableApp& a) -> std::unique_ptr<ShellTableWindow> {
      auto made = std::make_unique<TestTableWnd>(a);
      wnd = made.get();
      if (beforeGame) made->beforeGame = beforeGame;
      return made;
    });
  }
  ~Table() {
    if (app.MainFrame() && app.MainFrame()->hwnd()) app.MainFrame()->Destroy();
    Pump(50);
  }
  void Show() {
    app.LoadResourceModules(nullptr);
    app.CreateMainFrame();
    Pump(300);
  }
  HWND Frame() const { return app.MainFrame() ? app.MainFrame()->hwnd() : nullptr; }
  std::wstring ChatText() const {
    HWND chat = wnd ? wnd->Manager().Chat().ControlWindow() : nullptr;
    HWND output = chat ? GetDlgItem(chat, kChatOutput) : nullptr;
    if (!output) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(output)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(output, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  std::function<void(layout::FrameMetrics&)> beforeGame;
};

// Presses OK on the thread's message boxes as they come up, keeping their texts.
class MessageBoxes {
 public:
  MessageBoxes() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 100, &MessageBoxes::Tick);
  }
  ~MessageBoxes() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  std::vector<std::string> texts;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_) return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM) -> BOOL {
          wchar_t cls[16] = {};
          GetClassNameW(w, cls, 16);
          HWND label = GetDlgItem(w, 0xFFFF);
          if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || !label) return TRUE;
          char text[256] = {};
          GetWindowTextA(label, text, sizeof text);
          current_->texts.push_back(text);
          PostMessageW(w, WM_COMMAND, IDOK, 0);
          return TRUE;
        },
        0);
  }
  static MessageBoxes* current_;
  UINT_PTR timer_ = 0;
};
MessageBoxes* MessageBoxes::current_ = nullptr;

// The lobby's advert and instant message show in the chat pane; those that came before the chat
// pane was there show once it is, first.
TEST(TableWindow, TheLobbysLinesShowInTheChatPane) {
  Table t;
  LobbyChatLine early;
  early.advert = true;
  early.sound = "IDW_ADV";
  early.link = "http://adverts.example/table";
  early.text = "early advert";
  t.app.ShowLobbyLine(early);  // no frame, no chat pane yet: it waits
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  ASSERT_TRUE(t.wnd->Manager().ChatUp());
  EXPECT_TRUE(t.app.LobbyLines().empty());
  LobbyChatLine instant;
  instant.sound = "IDW_FINDMESSAGE";
  instant.format.m_nColor = 255;
  instant.format.m_nStyle[0] = instant.format.m_nStyle[1] = 1;
  instant.text = "instant words";
  t.app.ShowLobbyLine(instant);
  Pump(200);
  const std::wstring shown = t.ChatText();
  const size_t advert = shown.find(L"early advert");
  const size_t words = shown.find(L"instant words");
  ASSERT_NE(advert, std::wstring::npos) << shown.size();
  ASSERT_NE(words, std::wstring::npos) << shown.size();
  EXPECT_LT(advert, words);
  // The advert is a system line (its label before it).
  EXPECT_NE(shown.find(L"[\x7cfb\x7edf\x6d88\x606f]"), std::wstring::npos);
  framework_window::testing::SaveWindowPng(t.wnd->Manager().Chat().ControlWindow(),
                                           KORVEL_ARTEFACT_DIR "/table_lobby_lines.png");
  EXPECT_EQ(t.wnd->FailureCount(), 0) << t.wnd->LastFailure();
}

// The play table's own lines (a player entering, leaving, gone off line) are shown whatever the
// player's line filter hides.
TEST(TableWindow, ThePlayTablesLinesAreNotFiltered) {
  Table t;
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  ASSERT_TRUE(t.wnd->Manager().ChatUp());
  t.wnd->Manager().Chat().flags[4] = 1;  // the player hides every chat line
  t.wnd->AddChatLine(ChatTextFormat{}, "nick2(player2) left");
  Pump(100);
  EXPECT_NE(t.ChatText().find(L"nick2(player2) left"), std::wstring::npos);
}

// A failing control call ends the operation it was made in; the game goes on, nothing is shown
// and each failure is logged.
TEST(TableWindow, AFailingControlCallEndsOnlyItsOperation) {
  Table t;
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  CMjPlayTableWin* table = t.wnd->Manager().PlayTable();
  ASSERT_NE(table, nullptr);
  bool after = false;
  for (int i = 0; i < 2; ++i) {
    t.wnd->Guarded("PlayFlash", [&] {
      throw framework_window::PaneCallError(E_FAIL, IID_IGChat, "refused");
      after = true;
    });
  }
  Pump(300);
  EXPECT_FALSE(after);
  EXPECT_EQ(t.wnd->FailureCount(), 2);
  EXPECT_NE(t.wnd->LastFailure().find("PlayFlash"), std::string::npos) << t.wnd->LastFailure();
  EXPECT_EQ(table->IsGameOver(), 0);
  EXPECT_TRUE(IsWindow(t.Frame()));
  // The operations after it still run.
  int ran = 0;
  t.wnd->Guarded("next", [&] { ++ran; });
  EXPECT_EQ(ran, 1);
}

// A lobby that names no local player: the player is told, the table is not connected and the
// frame closes as soon as it is shown.
TEST(TableWindow, WithoutALocalPlayerTheTableTellsAndCloses) {
  Table t(false);
  MessageBoxes boxes;
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{kTextNoLocalPlayer});
  EXPECT_TRUE(t.app.SetupFailed());
  ASSERT_NE(t.wnd->Manager().PlayTable(), nullptr);
  EXPECT_EQ(t.wnd->Manager().PlayTable()->TableControlWindow(), nullptr);
  for (int i = 0; i < 20 && IsWindow(t.Frame()); ++i) Pump(100);
  EXPECT_FALSE(IsWindow(t.Frame()));
  EXPECT_FALSE(t.server.Connected());
}

// With a local player the same table connects (the other side of the test above).
TEST(TableWindow, WithALocalPlayerTheTableConnects) {
  Table t;
  t.Show();
  for (int i = 0; i < 20 && !t.server.Connected(); ++i) Pump(100);
  EXPECT_TRUE(t.server.Connected());
  EXPECT_FALSE(t.app.SetupFailed());
}

// The skin's colours: the notices take strings 142 to 144, the table display string 101.
TEST(TableWindow, NoticesAndTheTableTakeTheSkinsColours) {
  Table t;
  t.beforeGame = [](layout::FrameMetrics& m) {
    m.m_clrText1 = 0x0000F1;
    m.m_clrText2 = 0x0000F2;
    m.m_clrText3 = 0x0000F3;
    m.m_clrFrameFill = 0x123456;
    m.m_clrColumnFill = 0x654321;
  };
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  const ShellNoticeColors c = t.wnd->NoticeColors();
  EXPECT_EQ(c.c1, 0x0000F1u);
  EXPECT_EQ(c.c2, 0x0000F3u);
  EXPECT_EQ(c.text, 0x0000F2u);
  EXPECT_EQ(t.wnd->TableBkColor(), 0x123456u);
}

// "设置" and "退出" are drawn beside the play pane only in the caption-text mode 1.
TEST(TableWindow, SetupAndExitCaptionsFollowTheCaptionMode) {
  Table t;
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  RECT client{};
  GetClientRect(t.wnd->Hwnd(), &client);
  const auto render = [&](int16_t mode) {
    t.wnd->SetCaptionMode(mode);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    t.wnd->DrawFrame(dc);
    const layout::Rect& r = t.wnd->Rects().setupText;
    const layout::Rect& e = t.wnd->Rects().exitText;
    std::vector<COLORREF> pixels;
    for (const layout::Rect* box : {&r, &e})
      for (int y = box->top; y < box->bottom; ++y)
        for (int x = box->left; x < box->right + 30; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
  };
  const auto with = render(1);
  const auto without = render(0);
  ASSERT_EQ(with.size(), without.size());
  ASSERT_FALSE(with.empty());
  // The two words are drawn in mode 1 only: their pixels are what tells the two apart.
  size_t differing = 0;
  for (size_t i = 0; i < with.size(); ++i) differing += with[i] != without[i];
  EXPECT_GT(differing, 20u);
}

}  // namespace
