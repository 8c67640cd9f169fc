// The game's table window in its main frame, made by the application object as the program
// makes it, on the real controls: what the lobby's lines show in the chat pane, what a failing
// control call ends, a table without a local player, and the skin's colours and captions.
// The game server is a listening socket that never answers.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// The person list's rows where the frame shows them, from the list's own measures: the header
// control's height, then one row height per row, less the rows scrolled out of sight.
struct ListGeometry {
  HWND view = nullptr;
  int header = 0;
  int row = 0;
  int top = 0;  // the first row in sight
  // The middle of row `index` in the list's client area, at the first column's text.
  POINT RowMiddle(int index) const { return {40, header + row * (index - top) + row / 2}; }
};

ListGeometry PersonListGeometry(HWND control) {
  ListGeometry g;
  g.view = FindWindowExW(control, nullptr, WC_LISTVIEWW, nullptr);
  if (!g.view) return g;
  RECT h{};
  GetWindowRect(ListView_GetHeader(g.view), &h);
  g.header = h.bottom - h.top;
  // The row height as the list lays its rows out (LVM_APPROXIMATEVIEWRECT: n rows high).
  const auto one = static_cast<DWORD>(
      SendMessageW(g.view, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
  const auto two = static_cast<DWORD>(
      SendMessageW(g.view, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1)));
  g.row = HIWORD(two) - HIWORD(one);
  g.top = ListView_GetTopIndex(g.view);
  return g;
}

// What the screen shows of the list's client area.
struct ListShot {
  explicit ListShot(HWND view) {
    RECT rc{};
    GetClientRect(view, &rc);
    POINT origin{0, 0};
    ClientToScreen(view, &origin);
    shot = std::make_unique<framework_window::testing::Canvas>(rc.right, rc.bottom);
    HDC screen = GetDC(nullptr);
    BitBlt(shot->dc(), 0, 0, rc.right, rc.bottom, screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
  }
  bool Ink(int x, int y) const {
    const uint32_t c = shot->At(x, y);
    return ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) < 3 * 110;
  }
  // The width of the dark text drawn in the first column's text between y0 and y1 (0: none).
  int TextWidth(int y0, int y1) const {
    int left = -1, right = -1;
    for (int y = std::max(0, y0); y < std::min(y1, shot->height()); ++y)
      for (int x = 20; x < std::min(88, shot->width()); ++x)
        if (Ink(x, y)) {
          if (left < 0 || x < left) left = x;
          right = std::max(right, x);
        }
    return left < 0 ? 0 : right - left + 1;
  }
  std::unique_ptr<framework_window::testing::Canvas> shot;
};

// The width a text takes in the list's font.
int TextExtent(HWND view, const char* text) {
  HDC dc = GetDC(view);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(view, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(view, dc);
  return size.cx;
}

int SelectedRow(HWND view) {
  return static_cast<int>(
      SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

const TablePerson* RowPerson(HWND view, int row) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageW(view, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return reinterpret_cast<const TablePerson*>(item.lParam);
}

// Closes the person's menu a right click opens (it runs modal) from a timer.
VOID CALLBACK CloseMenus(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// The person list in the frame, as the player uses it: a left click in the middle of a row,
// where the header and the row heights place it, selects that row, the first row too; the row
// is where its text is drawn; a right click there makes that row's person the selected one.
// With more persons than the pane holds and the list scrolled, the rows in sight answer alike.
TEST(TableWindow, AClickOnAPersonListRowSelectsThatRow) {
  Table t;
  t.Show();
  ASSERT_NE(t.wnd, nullptr);
  ASSERT_TRUE(t.wnd->Manager().PersonListUp());
  HWND frame = t.Frame();
  SetForegroundWindow(frame);
  Pump(200);
  CMjPlayTableWin* table = t.wnd->Manager().PlayTable();
  ASSERT_NE(table, nullptr);
  // More persons than the pane shows: watchers who came to the table.
  std::vector<TablePerson*> watchers;
  for (uint32_t i = 0; i < 40; ++i) {
    auto p = std::make_unique<TablePerson>();
    p->id = 2001 + i;
    std::snprintf(p->username, sizeof p->username, "w%.*s", static_cast<int>(i % 5), "mmmm");
    std::snprintf(p->nickname, sizeof p->nickname, "w%u", i);
    p->status = 3;
    watchers.push_back(table->AppendPerson(std::move(p)));
  }
  const UINT_PTR closer = SetTimer(nullptr, 0, 150, &CloseMenus);
  // As shown; with the watchers and the list scrolled; then in a frame of another size.
  for (const int pass : {0, 1, 2}) {
    const bool scrolled = pass > 0;
    if (pass == 1) {
      for (TablePerson* w : watchers) t.wnd->PersonListAdd(w);
      Pump(200);
    }
    if (pass == 2) {
      SetWindowPos(frame, nullptr, 0, 0, 1024, 700, SWP_NOZORDER);
      Pump(500);
    }
    const ListGeometry g0 = PersonListGeometry(t.wnd->Manager().PersonList().ControlWindow());
    ASSERT_NE(g0.view, nullptr);
    ASSERT_GT(g0.header, 0);
    ASSERT_GT(g0.row, 0);
    const int count = ListView_GetItemCount(g0.view);
    ASSERT_EQ(count, scrolled ? 42 : 2);
    if (scrolled) {
      ListView_Scroll(g0.view, 0, (3 - g0.top) * g0.row);
      Pump(200);
    }
    const ListGeometry g = PersonListGeometry(t.wnd->Manager().PersonList().ControlWindow());
    EXPECT_EQ(g.top, scrolled ? 3 : 0);
    RECT client{};
    GetClientRect(g.view, &client);
    const int inSight = std::min<int>(count - g.top, (client.bottom - g.header) / g.row);
    ASSERT_GE(inSight, 2);

    // What is drawn: the header's titles in the header, each row's name inside its row (the
    // names differ in length, so a row drawn where another belongs shows another width).
    ListView_SetItemState(g.view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    RedrawWindow(g.view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(100);
    const ListShot shot(g.view);
    EXPECT_GT(shot.TextWidth(0, g.header), 0);
    for (int i = 0; i < inSight; ++i) {
      const int top = g.header + g.row * i;
      const int width = shot.TextWidth(top + 2, top + g.row - 2);
      EXPECT_NEAR(width, TextExtent(g.view, RowPerson(g.view, g.top + i)->username), 5)
          << "row " << g.top + i << ", pass " << pass;
    }

    // Clicks on the first rows in sight and the last.
    std::vector<int> clicked;
    for (int i = g.top; i < g.top + std::min(inSight, 3); ++i) clicked.push_back(i);
    if (g.top + inSight - 1 > clicked.back()) clicked.push_back(g.top + inSight - 1);
    for (const int i : clicked) {
      const POINT at = g.RowMiddle(i);
      // Posted mouse messages at the row's middle.
      ListView_SetItemState(g.view, -1, 0, LVIS_SELECTED);
      PostMessageW(g.view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
      PostMessageW(g.view, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
      Pump(150);
      EXPECT_EQ(SelectedRow(g.view), i) << "posted click, row " << i << ", pass " << pass;
      // The mouse itself, at the same place on the screen.
      ListView_SetItemState(g.view, -1, 0, LVIS_SELECTED);
      POINT screen = at;
      ClientToScreen(g.view, &screen);
      SetCursorPos(screen.x, screen.y);
      INPUT in[2] = {};
      in[0].type = in[1].type = INPUT_MOUSE;
      in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
      Pump(300);
      EXPECT_EQ(SelectedRow(g.view), i) << "mouse click, row " << i << ", pass " << pass;
      // A right click reports the row's person.
      table->SetSelectedPerson(0);
      PostMessageW(g.view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
      PostMessageW(g.view, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
      Pump(400);
      const TablePerson* person = table->SelectedPerson();
      EXPECT_NE(person, nullptr) << "row " << i;
      EXPECT_EQ(person, RowPerson(g.view, i)) << "row " << i;
    }
    if (pass == 0) {
      // The local player first.
      EXPECT_EQ(RowPerson(g.view, 0)->id, 1001u);
      framework_window::testing::SaveWindowPng(t.wnd->Manager().PersonList().ControlWindow(),
                                               KORVEL_ARTEFACT_DIR "/table_person_list.png");
    }
  }
  KillTimer(nullptr, closer);
  for (TablePerson* w : watchers) t.wnd->PersonListRemove(w);
  EXPECT_EQ(t.wnd->FailureCount(), 0) << t.wnd->LastFailure();
}

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
