// The Windows play table on the real controls: the table display, the rules engine and the
// option board created in a test window through CMjPlayTableWin, with a fake table window, a
// recording socket, timers and notices. What set-up shows, the type-library check, bindings
// against the real rules engine, the chooser dialog clicked like a player would, and failing
// calls stopped at the boundary.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "chat_host.h"
#include "magic_action_dialogs.h"
#include "magic_catalogue.h"
#include "dib_canvas.h"
#include "framework_messages.h"
#include "mj_body.h"
#include "mj_controls.h"
#include "mj_play_table_win.h"
#include "play_table_fakes.h"
#include "winkit/testing/com_test_support.h"

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment(
        {L"Korvel.dll", L"KorvelTable.dll", L"Vitrine.dll", L"KorvelFlash.dll"}));

constexpr int kTableW = 1024, kTableH = 768;
constexpr COLORREF kFelt = RGB(24, 96, 64);

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Runs the message loop for a while: the display animates on its own window timers.
void PumpFor(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
}

HWND MakeWindow(const wchar_t* title, int w, int h) {
  static const bool registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MjControlsTestWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  RECT r = {0, 0, w, h};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExW(0, L"MjControlsTestWindow", title,
                         WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

HBITMAP SolidBitmap(int w, int h, COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP b = CreateCompatibleBitmap(screen, w, h);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, b);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r = {0, 0, w, h};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return b;
}

// The chat pane's wire side: the lines it shows.
class FakeChatHost : public ChatHostCore {
 public:
  std::vector<std::string> lines;

 protected:
  TablePerson* GetMe() override { return nullptr; }
  TablePerson* FindPersonAt(int16_t, int16_t, int16_t) override { return nullptr; }
  std::vector<uint32_t> GetBlockedIds() override { return {}; }
  int CanShowLines() override { return 1; }
  int16_t GetSeatCode(int16_t, int16_t seatno) override { return seatno; }
  void AddText(const ChatTextFormat&, int32_t, const char* text) override { lines.push_back(text); }
};

// The table window: a real window as parent, the skin as plain bitmaps, the rest recorded.
class FakeHost : public IMjTableHost, public winkit::ControlEventTarget {
 public:
  FakeHost() {
    table = MakeWindow(L"mahjong table", kTableW, kTableH);
    frame = CreateWindowExW(0, L"STATIC", L"frame", 0, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    background = SolidBitmap(kTableW, kTableH, kFelt);
  }
  ~FakeHost() {
    DestroyWindow(table);
    DestroyWindow(frame);
    DeleteObject(background);
  }
  HWND table = nullptr;
  HWND frame = nullptr;
  HBITMAP background = nullptr;
  FakeChatHost* chat = nullptr;
  std::vector<std::string> log;
  std::vector<std::pair<UINT, DISPID>> events;

  HWND TableHwnd() const override { return table; }
  HWND MainFrameHwnd() const override { return frame; }
  winkit::ControlEventTarget* ControlEvents() override { return this; }
  COLORREF TableBkColor() const override { return kFelt; }
  HBITMAP TableBackground() const override { return background; }
  void CryBitmaps(HBITMAP out[4]) const override { std::fill(out, out + 4, nullptr); }
  void SmellBitmaps(HBITMAP out[4]) const override { std::fill(out, out + 4, nullptr); }
  void ListBitmaps(HBITMAP out[3]) const override { std::fill(out, out + 3, nullptr); }
  std::string imageDir = KORVEL_TABLE_SKIN;
  std::string ImageDir() const override { return imageDir; }
  intptr_t PersonIcon(const TablePerson*) override { return 0; }
  int PersonIconCount() override { return 0; }
  void PersonListAdd(TablePerson*) override { log.push_back("PersonListAdd"); }
  void PersonListRemove(TablePerson*) override { log.push_back("PersonListRemove"); }
  ChatHostCore* ChatHost() override { return chat; }
  void AddChatLine(const ChatTextFormat&, const char* text) override {
    log.push_back(std::string("AddChatLine ") + text);
  }
  void AddHotRegion(const HotRegionRecord&) override { log.push_back("AddHotRegion"); }
  void PlaySoundSync(const char*) override {}
  void PlaySoundAsync(const char*) override {}
  void PlayStyleSound(const char*) override {}
  void RedrawPersonList() override {}
  void OnControlEvent(UINT child, DISPID id, const winkit::EventArgs&) override {
    events.emplace_back(child, id);
  }
};

// One table: I sit at seat 1, bob at seat 0; Join connects and takes the session start.
struct Table {
  CallLog log;
  FakeSocket socket{log};
  FakeTimers timers{log};
  FakeNotices notices{log};
  SessionSettings settings;
  FakeHost host;
  std::vector<std::string> messages;
  std::unique_ptr<CMjPlayTableWin> table;
  ScriptedServer server;
  std::vector<int32_t> pending;

  explicit Table(std::string dllfile = {}) {
    settings.gameType = 3;
    settings.subType = 1;
    MjTableLaunch launch;
    launch.dllfile = std::move(dllfile);
    launch.sendtime = 15;
    launch.tableadv = "http://127.0.0.1/adv";
    table = std::make_unique<CMjPlayTableWin>(socket, timers, notices, settings, host, launch);
    table->SetMessageBox([this](HWND, const char* text) { messages.push_back(text); });
    timers.fire = [this](uint32_t id) { table->OnGameTimer(id); };
    table->SetMyId(1);
    AddPerson(1, "me", 1);
    AddPerson(2, "bob", 0);
  }
  void AddPerson(uint32_t id, const char* name, int16_t seat) {
    auto p = std::make_unique<TablePerson>();
    p->id = id;
    std::snprintf(p->nickname, sizeof p->nickname, "%s", name);
    std::snprintf(p->username, sizeof p->username, "%s", name);
    p->status = 4;
    p->deskno = 3;
    p->seatno = seat;
    table->AppendPerson(std::move(p));
  }
  size_t Mark() const { return log.size(); }
  std::vector<int32_t> RequestsSince(size_t mark) const {
    std::vector<int32_t> requests;
    for (size_t i = mark; i < log.size(); ++i) {
      if (log[i].rfind("RecvNext(", 0) == 0) requests.push_back(std::stoi(log[i].substr(9)));
      if (log[i] == "Close") requests.clear();
    }
    return requests;
  }
  bool Deliver(const std::vector<uint8_t>& frame) {
    size_t at = 0;
    while (at < frame.size()) {
      if (pending.size() != 1) return false;
      const auto n = static_cast<size_t>(pending.front());
      if (at + n > frame.size()) return false;
      const size_t mark = Mark();
      std::vector<uint8_t> piece(frame.begin() + static_cast<long>(at),
                                 frame.begin() + static_cast<long>(at + n));
      table->OnSocketData(piece.data(), piece.size());
      pending = RequestsSince(mark);
      at += n;
    }
    return true;
  }
  bool Send(uint16_t id, const std::vector<uint8_t>& body) { return Deliver(server.Next(id, body)); }
  void Join() {
    const size_t mark = Mark();
    table->OnSocketConnect(1);
    pending = RequestsSince(mark);
    ASSERT_TRUE(Deliver(server.SessionStart(77, 500, 100)));
  }
  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> SentSince(size_t from) const {
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> out;
    for (size_t i = from; i < socket.sent.size(); ++i) {
      const auto& f = socket.sent[i];
      out.emplace_back(LoadBigEndian16(f.data()),
                       std::vector<uint8_t>(f.begin() + kMessageHeaderSize,
                                            f.end() - kMessageTrailerSize));
    }
    return out;
  }
  // A hand: bob deals, my thirteen tiles.
  // paced: the persons shown first and the display given the time a server leaves it for the
  // wall and the deal animations, so that a picture shows the dealt table.
  void Deal(const std::vector<uint8_t>& mine, bool paced = false) {
    if (paced) {
      table->ShowSeatPerson(0);
      table->ShowSeatPerson(1);
    }
    ASSERT_TRUE(Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
    if (paced) PumpFor(2000);
    ASSERT_TRUE(Send(611, Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13)
                              .codes(mine, 22).b));
    if (paced) PumpFor(3000);
  }
  void Discard(int seat, uint8_t code) { ASSERT_TRUE(Send(616, Body().u16(seat).codes({code}, 2).b)); }
  void Show() {
    table->Move(0, 0, kTableW, kTableH);
    RedrawWindow(host.table, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
  }
  std::unique_ptr<sprites::testing::Canvas> Capture() {
    Show();
    auto canvas = std::make_unique<sprites::testing::Canvas>(kTableW, kTableH);
    HDC dc = GetDC(host.table);
    BitBlt(canvas->dc(), 0, 0, kTableW, kTableH, dc, 0, 0, SRCCOPY);
    ReleaseDC(host.table, dc);
    // Child windows are drawn into the table window's DC only where they lie; take each one's
    // own picture as well so that what the player sees is what the canvas holds.
    for (HWND child : {table->TableControlWindow(), table->ChooserWindow()}) {
      if (!child || !IsWindowVisible(child)) continue;
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, host.table, reinterpret_cast<POINT*>(&r), 2);
      HDC cdc = GetDC(child);
      BitBlt(canvas->dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, cdc, 0, 0, SRCCOPY);
      ReleaseDC(child, cdc);
      if (child == table->ChooserWindow()) {
        if (HWND board = GetDlgItem(child, 32785)) {
          RECT b;
          GetWindowRect(board, &b);
          MapWindowPoints(nullptr, host.table, reinterpret_cast<POINT*>(&b), 2);
          HDC bdc = GetDC(board);
          BitBlt(canvas->dc(), b.left, b.top, b.right - b.left, b.bottom - b.top, bdc, 0, 0,
                 SRCCOPY);
          ReleaseDC(board, bdc);
        }
      }
    }
    return canvas;
  }
};

// My hand: two chows on the four of characters (2-3-4 and 3-4-5), nothing else to claim.
const std::vector<uint8_t> kMine = {C(0, 2), C(0, 3), C(0, 5), C(3, 3), C(3, 3), C(2, 1), C(2, 1),
                                    C(2, 1), C(1, 9), C(1, 9), C(1, 9), C(4, 1), C(1, 5)};

TEST(MjPlayTableWin, CreatesBothControlsAndSetsUpTheTable) {
  Table t;
  ASSERT_EQ(t.table->Create(), 1);
  EXPECT_TRUE(t.messages.empty());

  const HWND display = t.table->TableControlWindow();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(GetParent(display), t.host.table);
  EXPECT_EQ(GetDlgCtrlID(display), 32770);
  EXPECT_TRUE(GetWindowLongW(display, GWL_STYLE) & WS_VISIBLE);
  const HWND engine = t.table->ArithmeticControlWindow();
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(GetDlgCtrlID(engine), 32769);
  RECT er = {};
  GetClientRect(engine, &er);
  EXPECT_EQ(er.right, 0);  // the rules engine takes no room
  EXPECT_NE(t.table->TableInterface(), nullptr);
  EXPECT_NE(t.table->CommTableInterface(), nullptr);
  EXPECT_NE(t.table->ArithmeticInterface(), nullptr);
  EXPECT_NE(t.table->CommArithmeticInterface(), nullptr);

  // The chooser: a hidden child dialog of the table window holding the board.
  const HWND chooser = t.table->ChooserWindow();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(GetParent(chooser), t.host.table);
  EXPECT_FALSE(IsWindowVisible(chooser));
  EXPECT_NE(GetDlgItem(chooser, 32785), nullptr);

  // Set-up reached the display: the table model was built (its buttons are child windows).
  EXPECT_NE(GetWindow(display, GW_CHILD), nullptr);
  auto shot = t.Capture();
  ASSERT_TRUE(shot->Save("mj_play_table_setup.bmp"));
}

TEST(MjPlayTableWin, WithoutACentrePictureTheTableBackgroundShows) {
  // An image folder without the skin's centre picture: the table window's background bitmap
  // (the felt) fills the table.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  Table t;
  t.host.imageDir = std::string(temp) + "mj_no_skin";
  CreateDirectoryA(t.host.imageDir.c_str(), nullptr);
  ASSERT_EQ(t.table->Create(), 1);
  auto shot = t.Capture();
  EXPECT_EQ(shot->At(kTableW / 2, kTableH / 2), 0x186040u);
  EXPECT_EQ(shot->At(100, 100), 0x186040u);
}

TEST(MjPlayTableWin, MissingTypeLibraryShowsTheMessageAndCreatesNothing) {
  ASSERT_HRESULT_SUCCEEDED(UnRegisterTypeLib(LIBID_KORVELTABLELib, 1, 3, 0, SYS_WIN64));
  {
    Table t;
    EXPECT_EQ(t.table->Create(), 0);
    EXPECT_EQ(t.messages, std::vector<std::string>{kTextComponentVersion});
    EXPECT_EQ(t.table->TableControlWindow(), nullptr);
    EXPECT_EQ(GetDlgItem(t.host.table, 32770), nullptr);
  }
  ASSERT_HRESULT_SUCCEEDED(winkit::testing::CallDllExport(L"KorvelTable.dll", "DllRegisterServer"));
  Table again;
  EXPECT_EQ(again.table->Create(), 1);
  EXPECT_TRUE(again.messages.empty());
}

TEST(MjPlayTableWin, BindingsRoundTripThroughTheRealEngine) {
  Table t;
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  t.Deal(kMine);
  MjArithmeticBinding engine(t.table->ArithmeticInterface(), t.table->CommArithmeticInterface());

  // Bob's discard of the four of characters offers two chows, each three tiles.
  t.Discard(0, C(0, 4));
  int16_t chows = 0;
  engine.GetEatNum(&chows);
  EXPECT_EQ(chows, 2);
  for (int16_t i = 0; i < chows; ++i) {
    std::vector<card> tiles;
    engine.GetEatCards(i, tiles);
    ASSERT_EQ(tiles.size(), 3u) << i;
    EXPECT_TRUE(std::find(tiles.begin(), tiles.end(), card{0, 4}) != tiles.end()) << i;
  }
  // Nothing to pung or kong on it.
  std::vector<card> pung;
  engine.GetPengCards(pung);
  EXPECT_TRUE(pung.empty());

  // My draw: the engine picks one tile of my hand to discard.
  t.table->OnGuo();
  ASSERT_TRUE(t.Send(621, Body().u16(1).codes({C(0, 8)}, 2).u16(1).u16(0).u16(40).b));
  std::vector<card> discard;
  engine.AutoSendCards(discard);
  ASSERT_EQ(discard.size(), 1u);
}

TEST(MjPlayTableWin, ChooserShowsTwoChowsAndTheSecondRowSendsItsChoice) {
  Table t;
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  t.Deal(kMine, true);
  t.Discard(0, C(0, 4));

  const size_t sent = t.socket.sent.size();
  t.table->OnChi();
  EXPECT_TRUE(t.SentSince(sent).empty());
  ASSERT_EQ(t.table->InfoDlg().Options().size(), 2u);
  const std::vector<card> second = t.table->InfoDlg().Options()[1][0];

  // Shown at the table window's bottom-right corner, the board above a 20-pixel strip.
  const HWND chooser = t.table->ChooserWindow();
  ASSERT_TRUE(IsWindowVisible(chooser));
  RECT cr = {};
  GetWindowRect(chooser, &cr);
  MapWindowPoints(nullptr, t.host.table, reinterpret_cast<POINT*>(&cr), 2);
  EXPECT_EQ(cr.right, kTableW);
  EXPECT_EQ(cr.bottom, kTableH);
  const HWND board = GetDlgItem(chooser, 32785);
  ASSERT_NE(board, nullptr);
  RECT br = {};
  GetClientRect(board, &br);
  EXPECT_EQ(br.right, cr.right - cr.left);
  EXPECT_EQ(br.bottom, cr.bottom - cr.top - 20);

  auto shot = t.Capture();
  ASSERT_TRUE(shot->Save("mj_play_table_chooser.bmp"));
  // The dialog's grey strip under the board.
  EXPECT_EQ(shot->At(cr.left + 5, kTableH - 5), 0xD6D6D6u);

  // The player clicks the second row (two rows: bands of half the board's height).
  const int band = br.bottom / 2;
  const int y = band + band / 2;
  SendMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(br.right / 2, y));
  SendMessageW(board, WM_LBUTTONUP, 0, MAKELPARAM(br.right / 2, y));
  Pump();

  const auto out = t.SentSince(sent);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].first, 617);
  ASSERT_GE(out[0].second.size(), 7u);
  EXPECT_EQ(out[0].second[3], 1);  // the chow
  for (size_t i = 0; i < 3; ++i) {
    const uint8_t code = out[0].second[4 + i];
    EXPECT_EQ((card{code & 7, code >> 3}), second[i]) << i;
  }
  EXPECT_FALSE(IsWindowVisible(chooser));
}

TEST(MjPlayTableWin, TheTableAfterADeal) {
  Table t;
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  t.Deal(kMine, true);
  auto shot = t.Capture();
  ASSERT_TRUE(shot->Save("mj_play_table_dealt.bmp"));
  // My thirteen tiles stand at the bottom: the ivory of their faces along the hand's row.
  int ivory = 0;
  for (int x = 200; x < 800; ++x) {
    const uint32_t p = shot->At(x, 735);
    ivory += (p >> 16) > 0xE0 && ((p >> 8) & 0xFF) > 0xE0 && (p & 0xFF) > 0xC0;
  }
  EXPECT_GT(ivory, 200);
}

TEST(MjPlayTableWin, FailingCallsStopAtTheBoundary) {
  // A binding without its interface: E_POINTER with the interface's IID.
  MjTableBinding none(nullptr, nullptr);
  try {
    none.Update(0);
    ADD_FAILURE() << "no error";
  } catch (const MjControlError& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
    EXPECT_TRUE(IsEqualIID(e.iid(), IID_ICommTable));
  }
  MjArithmeticBinding noEngine(nullptr, nullptr);
  try {
    int16_t n = 0;
    noEngine.GetEatNum(&n);
    ADD_FAILURE() << "no error";
  } catch (const MjControlError& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
    EXPECT_TRUE(IsEqualIID(e.iid(), IID_IArithmetic));
  }

  // A message handled while the display's interface is gone: the handler ends, the receiving
  // goes on with one request for the next header.
  Table t;
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  MjTableBinding broken(nullptr, nullptr);
  t.table->SetTableControl(&broken);
  EXPECT_NO_THROW(t.Deal(kMine));
  EXPECT_EQ(t.pending, std::vector<int32_t>{32});
}

TEST(MjPlayTableWin, ChatMessagesAskForOneHeaderAndTheFrameCloses) {
  Table t;
  FakeChatHost chat;
  // Connected straight to the socket, as a chat pane made on its own would be.
  chat.SetConnection(&t.socket, &GetFrameworkSession());
  t.host.chat = &chat;
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  // A chat line too short to show is still taken: exactly one request follows.
  const size_t mark = t.Mark();
  ASSERT_TRUE(t.Send(3021, Body().u16(0).b));
  int headers = 0;
  for (size_t i = mark; i < t.log.size(); ++i) headers += t.log[i] == "RecvNext(32)";
  EXPECT_EQ(headers, 1);

  t.table->ExitGame();
  MSG msg = {};
  EXPECT_TRUE(PeekMessageW(&msg, t.host.frame, WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST(MjPlayTableWin, CataloguesComeFromTheResourceLibrarysFolder) {
  // <base>\bin\res.dll: the catalogues are read from <base>\config.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string base = std::string(temp) + "mj_catalogues";
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA((base + "\\config").c_str(), nullptr);
  if (FILE* f = std::fopen((base + "\\config\\actionconfig.ini").c_str(), "wb")) {
    std::fputs("[PUBLIC]\r\ntypecount=1\r\n[TYPE0]\r\nitemcount=1\r\nitem0ID=7\r\n"
               "item0name=wave\r\nitem0swf=wave.swf\r\n", f);
    std::fclose(f);
  }
  Table t(base + "\\bin\\res.dll");
  ASSERT_EQ(t.table->Create(), 1);
  ASSERT_EQ(t.table->ActionManager().Items().size(), 1u);
  EXPECT_EQ(t.table->ActionManager().Items()[0]->id, 7);

  // A received action of that item, from bob to me: a chat line with its hot region.
  CVyrMessage_MagicAction action;
  action.actionType = 0;
  action.itemId = 7;
  action.senderId = 2;
  action.receiverId = 1;
  std::snprintf(action.text, sizeof action.text, "hi");
  action.textLength = 2;
  EXPECT_NO_THROW(t.table->ShowMagicAction(action));
  EXPECT_EQ(std::count(t.host.log.begin(), t.host.log.end(), "AddHotRegion"), 1);
  // An unknown item shows nothing.
  action.itemId = 8;
  EXPECT_NO_THROW(t.table->ShowMagicAction(action));
  EXPECT_EQ(std::count(t.host.log.begin(), t.host.log.end(), "AddHotRegion"), 1);

  // Avatars: an item per person, found again by the person's id.
  EXPECT_FALSE(t.table->FindAvatarItem(1));
  t.table->AddAvatarItem(1, base + "\\ozkshow\\me.png");
  EXPECT_TRUE(t.table->FindAvatarItem(1));
  EXPECT_EQ(t.table->GetAvatarFolder(), base);
  EXPECT_NO_THROW(t.table->PushAvatarsToTable());
}

// The action windows of this thread that are on screen.
std::vector<HWND> ShownActionWindows() {
  std::vector<HWND> out;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"MyOleControl", nullptr); w;
       w = FindWindowExW(nullptr, w, L"MyOleControl", nullptr)) {
    if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId())
      out.push_back(w);
  }
  return out;
}

// Pixels of about this colour on the screen inside the window.
int ScreenPixels(HWND w, int r, int g, int b) {
  RECT rect;
  GetWindowRect(w, &rect);
  sprites::testing::Canvas canvas(rect.right - rect.left, rect.bottom - rect.top);
  HDC screen = GetDC(nullptr);
  BitBlt(canvas.dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left,
         rect.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  int n = 0;
  for (int y = 0; y < rect.bottom - rect.top; ++y) {
    for (int x = 0; x < rect.right - rect.left; ++x) {
      const uint32_t v = canvas.At(x, y);
      n += std::abs(int((v >> 16) & 0xFF) - r) < 40 && std::abs(int((v >> 8) & 0xFF) - g) < 40 &&
           std::abs(int(v & 0xFF) - b) < 40;
    }
  }
  return n;
}

std::vector<uint8_t> Wire(const CVyrMessage_MagicAction& action) {
  const auto bytes = ToWireBytes(action);
  return {bytes.begin(), bytes.end()};
}

TEST(MjPlayTableWin, AReceivedMagicActionPlaysOnTheTableWithItsWords) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string base = std::string(temp) + "mj_actions";
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA((base + "\\config").c_str(), nullptr);
  CreateDirectoryA((base + "\\OzkMagicAction").c_str(), nullptr);
  if (FILE* f = std::fopen((base + "\\config\\actionconfig.ini").c_str(), "wb")) {
    std::fputs("[PUBLIC]\r\ntypecount=1\r\n[TYPE0]\r\nitemcount=1\r\nitem0ID=7\r\n"
               "item0name=wave\r\nitem0swf=wave.kvmv\r\nitem0showsize=260,240\r\n", f);
    std::fclose(f);
  }
  if (FILE* f = std::fopen((base + "\\OzkMagicAction\\wave.kvmv").c_str(), "wb")) {
    std::fputs("KVMV 1\nshape=circle\ncolor=0,200,0\nframes=40\n", f);
    std::fclose(f);
  }
  Table t(base + "\\bin\\res.dll");
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  t.Show();

  CVyrMessage_MagicAction action;
  action.actionType = 0;
  action.itemId = 7;
  action.senderId = 2;
  // A receiver outside the table, then a sender outside it: nothing plays and receiving goes on.
  action.receiverId = 99;
  action.SetText("\xc4\xe3\xba\xc3 hello");  // 你好 hello
  ASSERT_TRUE(t.Send(3040, Wire(action)));
  action.senderId = 98;
  action.receiverId = 1;
  ASSERT_TRUE(t.Send(3040, Wire(action)));
  PumpFor(200);
  EXPECT_TRUE(ShownActionWindows().empty());

  // Bob to me: it plays over my seat with its words.
  action.senderId = 2;
  ASSERT_TRUE(t.Send(3040, Wire(action)));
  PumpFor(400);
  const std::vector<HWND> shown = ShownActionWindows();
  ASSERT_EQ(shown.size(), 1u);
  RECT r;
  GetWindowRect(shown[0], &r);
  EXPECT_EQ(r.right - r.left, 260);
  EXPECT_EQ(r.bottom - r.top, 240);
  EXPECT_GT(ScreenPixels(shown[0], 0, 200, 0), 500);   // the movie
  EXPECT_GT(ScreenPixels(shown[0], 20, 20, 120), 20);  // its words
}

// A catalogue of two actions with movies under <temp>\<name>; returns the resource library path
// the lobby would give (<base>\bin\res.dll).
std::string ActionCatalogue(const char* name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string base = std::string(temp) + name;
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA((base + "\\config").c_str(), nullptr);
  CreateDirectoryA((base + "\\OzkMagicAction").c_str(), nullptr);
  if (FILE* f = std::fopen((base + "\\config\\actionconfig.ini").c_str(), "wb")) {
    std::fputs("[PUBLIC]\r\ntypecount=2\r\n[TYPE0]\r\nitemcount=1\r\nitem0ID=7\r\n"
               "item0name=wave\r\nitem0swf=wave.kvmv\r\nitem0showsize=260,240\r\n"
               "[TYPE1]\r\nitemcount=1\r\nitem0ID=9\r\nitem0name=rose\r\n"
               "item0swf=wave.kvmv\r\nitem0showsize=200,200\r\n", f);
    std::fclose(f);
  }
  if (FILE* f = std::fopen((base + "\\OzkMagicAction\\wave.kvmv").c_str(), "wb")) {
    std::fputs("KVMV 1\nshape=circle\ncolor=0,200,0\nframes=40\n", f);
    std::fclose(f);
  }
  return base + "\\bin\\res.dll";
}

void HideActionWindows() {
  for (HWND w : ShownActionWindows()) ShowWindow(w, SW_HIDE);
}

// The play table makes the picker and the send box over the table window; an action chosen
// there leaves as 3040 with the item's two numbers and the recipient's whole user id, and the
// picker goes away.
TEST(MjPlayTableWin, ThePickerAndTheSendBoxSendTheChosenActionAs3040) {
  Table t(ActionCatalogue("mj_send_actions"));
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  t.Show();
  framework_window::CActionSelectDlg* picker = t.table->ActionPicker();
  framework_window::CActionWordDlg* words = t.table->ActionWords();
  ASSERT_NE(picker, nullptr);
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(GetWindow(picker->hwnd(), GW_OWNER), t.host.table);
  EXPECT_EQ(GetWindow(words->hwnd(), GW_OWNER), t.host.table);
  EXPECT_FALSE(IsWindowVisible(picker->hwnd()));

  // The table display's star: the picker in the table window's lower right corner.
  picker->ShowAtCorner(t.host.table);
  EXPECT_TRUE(IsWindowVisible(picker->hwnd()));
  RECT client, at;
  GetClientRect(t.host.table, &client);
  POINT corner{client.right - 275, client.bottom - 234};
  ClientToScreen(t.host.table, &corner);
  GetWindowRect(picker->hwnd(), &at);
  EXPECT_EQ(at.left, corner.x);
  EXPECT_EQ(at.top, corner.y);

  // Bob was chosen in the person list: the send box offers him.
  TablePerson* bob = t.table->FindPerson(2);
  ASSERT_NE(bob, nullptr);
  t.table->SetSelectedPerson(reinterpret_cast<intptr_t>(bob));
  SendMessageW(picker->hwnd(), framework_window::CImage_Preview::kMsgItemChosen, 1, 0);
  ASSERT_TRUE(IsWindowVisible(words->hwnd()));
  HWND combo = GetDlgItem(words->hwnd(), framework_window::kRecipientCombo);
  wchar_t chosen[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, SendMessageW(combo, CB_GETCURSEL, 0, 0),
               reinterpret_cast<LPARAM>(chosen));
  EXPECT_STREQ(chosen, L"bob(bob)");
  SetDlgItemTextW(words->hwnd(), framework_window::kWordsEdit, L"  hi bob  ");

  // No hand yet: nothing leaves and the picker stays.
  const size_t before = t.socket.sent.size();
  auto click = [&](int id) {
    SendMessageW(words->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(words->hwnd(), id)));
  };
  click(framework_window::kSendButton);
  EXPECT_EQ(t.socket.sent.size(), before);
  EXPECT_TRUE(IsWindowVisible(picker->hwnd()));

  // The preview plays on this table only.
  HideActionWindows();
  SendMessageW(picker->hwnd(), framework_window::CImage_Preview::kMsgItemChosen, 0, 0);  // the box stays open
  EXPECT_EQ(words->Item(), t.table->ActionManager().Items()[0].get());
  click(framework_window::kPreviewButton);
  PumpFor(300);
  EXPECT_EQ(ShownActionWindows().size(), 1u);
  EXPECT_EQ(t.socket.sent.size(), before);
  HideActionWindows();

  // In a hand: 3040 with the rose (type 1, id 9), from me (seat 1, id 1) to bob (id 2).
  ASSERT_TRUE(t.Send(601, Body().u16(0).u16(1).u16(72).u16(0).u16(1).b));
  SendMessageW(picker->hwnd(), framework_window::CImage_Preview::kMsgItemChosen, 1, 0);
  const size_t mark = t.socket.sent.size();
  click(framework_window::kSendButton);
  const auto sent = t.SentSince(mark);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].first, 3040);
  ASSERT_EQ(sent[0].second.size(), 228u);
  const std::vector<uint8_t> head(sent[0].second.begin(), sent[0].second.begin() + 34);
  const std::vector<uint8_t> want{0, 1, 0, 0,   // my seat
                                  0, 0, 0, 1,   // type
                                  0, 0, 0, 9,   // item id
                                  0, 0, 0, 0,   // not to everybody
                                  0, 0, 0, 1,   // my id
                                  0, 0, 0, 2,   // bob's id
                                  0, 0,         // value
                                  0, 6, 'h', 'i', ' ', 'b', 'o', 'b'};
  EXPECT_EQ(head, want);
  EXPECT_TRUE(std::all_of(sent[0].second.begin() + 34, sent[0].second.end(),
                          [](uint8_t b) { return b == 0; }));
  EXPECT_FALSE(IsWindowVisible(picker->hwnd()));
  EXPECT_FALSE(IsWindowVisible(words->hwnd()));

  // A person value that is no longer (or never was) one of the table's: the box offers
  // everybody.
  t.table->SetSelectedPerson(0x12345678);
  EXPECT_EQ(t.table->SelectedPerson(), nullptr);
  EXPECT_EQ(t.table->KnownPerson(reinterpret_cast<intptr_t>(bob) + 8), nullptr);
  EXPECT_EQ(t.table->KnownPerson(reinterpret_cast<intptr_t>(bob)), bob);
  picker->ShowAtCorner(t.host.table);
  SendMessageW(picker->hwnd(), framework_window::CImage_Preview::kMsgItemChosen, 0, 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  SendMessageW(picker->hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindowVisible(picker->hwnd()));
  EXPECT_FALSE(IsWindowVisible(words->hwnd()));
}

// A click on a received action's chat line gives its action value: the item at that place in
// the catalogue plays again; any other value (the sender of the action chose it) plays nothing
// and is never followed as an address.
TEST(MjPlayTableWin, AClickOnAnActionLinePlaysOnlyAnItemOfTheCatalogue) {
  Table t(ActionCatalogue("mj_line_actions"));
  ASSERT_EQ(t.table->Create(), 1);
  t.Join();
  t.Show();
  HideActionWindows();
  const CActionItem* first = t.table->ActionManager().Items()[0].get();
  for (intptr_t value : {intptr_t{-1}, intptr_t{2}, intptr_t{0x10000}, intptr_t{0x7FFFFFFF},
                         reinterpret_cast<intptr_t>(first), reinterpret_cast<intptr_t>(&t)}) {
    EXPECT_NO_THROW(t.table->PlayActionOfLine(value)) << value;
  }
  PumpFor(200);
  EXPECT_TRUE(ShownActionWindows().empty());
  t.table->PlayActionOfLine(0);
  PumpFor(300);
  const std::vector<HWND> shown = ShownActionWindows();
  ASSERT_EQ(shown.size(), 1u);
  RECT r;
  GetWindowRect(shown[0], &r);
  EXPECT_EQ(r.right - r.left, 260);  // the first item's size
}

}  // namespace
