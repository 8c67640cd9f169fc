// The notice boxes under Wine: sizes, count-down to the close value, answers by OK, cancel,
// the close command and Enter, the exit question's 3032 bytes, the join-team message, the
// message box's close-on-OK, and pictures of each box.
#include "notice_dialogs.h"

#include <gtest/gtest.h>

#include <string>

#include "play_table_fakes.h"
#include "window_test_support.h"

namespace framework_window {
namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WindowTestEnvironment);

using testing::Pump;
using testing::RecordingWindow;

// 你确定要同意对方退出吗? / 网络故障,重连服务器 / 加入队伍邀请
constexpr char kAskExit[] =
    "\xc4\xe3\xc8\xb7\xb6\xa8\xd2\xaa\xcd\xac\xd2\xe2\xb6\xd4\xb7\xbd\xcd\xcb\xb3\xf6\xc2\xf0?";
constexpr char kReconnect[] =
    "\xcd\xf8\xc2\xe7\xb9\xca\xd5\xcf,\xd6\xd8\xc1\xac\xb7\xfe\xce\xf1\xc6\xf7";
constexpr char kInvite[] = "\xbc\xd3\xc8\xeb\xb6\xd3\xce\xe9\xd1\xfb\xc7\xeb";

std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

RECT WindowRectOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}
RECT ChildRect(HWND dialog, int id) {
  RECT r = WindowRectOf(GetDlgItem(dialog, id));
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Pumps until `done` or the time runs out.
template <class F>
bool PumpUntil(F done, DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (!done()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Pump(10);
  }
  return true;
}

class NoticeDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ActivateHost();
    owner_.CreateChild(testing::Host(), 1000, 700, 10, 10);
  }
  RecordingWindow owner_;
};

TEST_F(NoticeDialogTest, MessageOnlyCountDownTicksAndClosesWithCancel) {
  CTimerDialog box(testing::Host());
  box.SetText(kReconnect);
  box.SetImageDir(KORVEL_SKIN_DIR);
  box.HideButtons();
  ASSERT_EQ(box.Time(), 3000u);
  box.ShowModeless(testing::Host());
  ASSERT_TRUE(box.hwnd());
  EXPECT_TRUE(IsWindowVisible(box.hwnd()));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(box.hwnd(), IDOK)));
  const RECT r = WindowRectOf(box.hwnd());
  EXPECT_EQ(r.right - r.left, MeasureDialogText(box.hwnd(), kReconnect) + 50);
  EXPECT_EQ(r.bottom - r.top, 60);
  EXPECT_TRUE(GetWindowLongW(box.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  // Centred over the host's client area.
  EXPECT_NEAR((r.left + r.right) / 2, 550, 1);

  ASSERT_TRUE(PumpUntil([&] { return box.Ticks() >= 1; }, 2500));
  testing::SaveWindowPng(box.hwnd(), Artefact("notice_wait_box.png"));
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(box.hwnd()); }, 4000));
  EXPECT_EQ(box.Ticks(), 2);  // "[1]", "[2]", then the end at 3 s
  EXPECT_EQ(box.Result(), IDCANCEL);
  EXPECT_FALSE(box.Accepted());
  EXPECT_FALSE(box.Cancelled());

  // Shown again, the same box counts down again.
  box.SetTime(1200);
  box.ShowModeless(nullptr);
  EXPECT_EQ(box.Ticks(), 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(box.hwnd()); }, 3000));
  EXPECT_EQ(box.Ticks(), 1);
}

TEST_F(NoticeDialogTest, MessageOnlyBoxTakesNeitherFocusNorActivation) {
  // A wait box that became the active window is one the display manages, and hiding it then
  // keeps the program waiting on the display (2 s under Wine without a window manager).
  CTimerDialog box(testing::Host());
  box.SetText(kReconnect);
  box.HideButtons();
  box.CreateModeless(nullptr);
  ASSERT_TRUE(box.hwnd());
  box.ShowModeless(nullptr);
  Pump(50);
  EXPECT_NE(GetActiveWindow(), box.hwnd());
  EXPECT_FALSE(IsChild(box.hwnd(), GetFocus()));
  box.Close();
}

TEST_F(NoticeDialogTest, ButtonsPlacedForNarrowAndWideTexts) {
  CTimerDialog box;
  box.SetImageDir(KORVEL_SKIN_DIR);
  box.SetTime(60000);
  box.SetText("x");
  box.ShowModeless(testing::Host());
  ASSERT_TRUE(box.hwnd());
  const int narrow = MeasureDialogText(box.hwnd(), "x") + 50;
  EXPECT_EQ(ChildRect(box.hwnd(), IDOK).left, 10);
  EXPECT_EQ(ChildRect(box.hwnd(), IDCANCEL).left, narrow - 60);
  EXPECT_EQ(ChildRect(box.hwnd(), IDCANCEL).top, 50);
  EXPECT_EQ(LOWORD(SendMessageW(box.hwnd(), DM_GETDEFID, 0, 0)), IDCANCEL);
  box.Close();
  EXPECT_FALSE(IsWindowVisible(box.hwnd()));

  box.SetText(kAskExit);
  box.ShowModeless(testing::Host());
  const int wide = MeasureDialogText(box.hwnd(), kAskExit) + 50;
  ASSERT_GT(wide, 150);
  EXPECT_EQ(ChildRect(box.hwnd(), IDOK).left, (wide - 150) / 2);
  EXPECT_EQ(ChildRect(box.hwnd(), IDCANCEL).left, (wide - 150) / 2 + 100);
  EXPECT_EQ(ChildRect(box.hwnd(), IDOK).right - ChildRect(box.hwnd(), IDOK).left, 50);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(box.hwnd(), IDCANCEL)));
  box.Close();
}

// The answers of the exit question, each checked in the bytes of the 3032 sent.
struct ExitTable {
  CallLog log;
  FakeSocket socket{log};
  FakeTimers timers{log};
  FakeNotices notices{log};
  FakeDisplay display{log};
  FakeRules rules{log};
  SessionSettings settings;
  FrameworkSession session;
  TestPlayTable table{socket, timers, notices, settings, session, log, display, rules};
  ExitTable() {
    table.SetMyId(1);
    table.AddPerson(1, "me", "myname", 4, 3, 0);
    table.AddPerson(2, "bob", "bobby", 4, 3, 1);
  }
};

TEST_F(NoticeDialogTest, ExitQuestionAnswersWith3032ByteForByte) {
  enum How { kOk, kCancel, kCloseCommand, kEnter, kTimeOut };
  struct Case {
    const char* what;
    How how;
    int16_t mode;
    uint32_t asker;
    int answer;  // -1: nothing sent
  } cases[] = {
      {"OK agrees", kOk, 0, 2, 0},
      {"cancel refuses", kCancel, 0, 2, 1},
      {"the close command refuses", kCloseCommand, 0, 2, 1},
      {"Enter presses the default (disagree)", kEnter, 0, 2, 1},
      {"a time out refuses", kTimeOut, 0, 2, 1},
      {"mode 1 only tells", kOk, 1, 2, -1},
      {"an asker no longer at the table", kOk, 0, 9, -1},
  };
  for (const Case& c : cases) {
    ExitTable t;
    CExitTimerDialog box(&t.table, c.mode, c.asker, testing::Host());
    box.SetText(kAskExit);
    box.SetImageDir(KORVEL_SKIN_DIR);
    box.SetTime(c.how == kTimeOut ? 300 : 60000);
    box.ShowModeless(testing::Host());
    ASSERT_TRUE(box.hwnd()) << c.what;
    if (c.how == kOk && c.answer == 0)
      testing::SaveWindowPng(box.hwnd(), Artefact("notice_exit_question.png"));
    switch (c.how) {
      case kOk:
        SendMessageW(box.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd(), IDOK)));
        break;
      case kCancel:
        SendMessageW(GetDlgItem(box.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
        break;
      case kCloseCommand:
        SendMessageW(box.hwnd(), WM_CLOSE, 0, 0);
        break;
      case kEnter: {
        MSG m{GetDlgItem(box.hwnd(), IDCANCEL), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        IsDialogMessageW(box.hwnd(), &m);
        break;
      }
      case kTimeOut:
        PumpUntil([&] { return !IsWindowVisible(box.hwnd()); }, 3000);
        break;
    }
    Pump();
    EXPECT_FALSE(IsWindowVisible(box.hwnd())) << c.what;
    if (c.answer < 0) {
      EXPECT_TRUE(t.socket.sent.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(t.socket.sent.size(), 1u) << c.what;
    const std::vector<uint8_t>& frame = t.socket.sent.back();
    ASSERT_EQ(frame.size(), kMessageHeaderSize + 16 + kMessageTrailerSize) << c.what;
    const std::vector<uint8_t> body(frame.begin() + kMessageHeaderSize,
                                    frame.begin() + kMessageHeaderSize + 16);
    // The asker (id 2, seat 1) first, then the local player (id 1, seat 0), then the answer.
    const std::vector<uint8_t> want{0, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                                    static_cast<uint8_t>(c.answer)};
    EXPECT_EQ(body, want) << c.what;
    EXPECT_EQ(box.Accepted(), c.answer == 0) << c.what;
  }
}

TEST_F(NoticeDialogTest, ExitQuestionHandsItsAnswerToAnAdapter) {
  std::vector<std::pair<uint32_t, int16_t>> answers;
  CExitTimerDialog box([&](uint32_t asker, int16_t answer) { answers.emplace_back(asker, answer); },
                       0, 42, testing::Host());
  box.SetText(kAskExit);
  box.SetTime(60000);
  box.ShowModeless(testing::Host());
  SendMessageW(GetDlgItem(box.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], (std::pair<uint32_t, int16_t>{42, 1}));
  EXPECT_TRUE(box.Cancelled());
}

TEST_F(NoticeDialogTest, JoinTeamOkTellsTheOwnerAndATimeOutDoesNot) {
  {
    CJoinTeamTimerDialog box(0x12345678, owner_.hwnd());
    box.SetText(kInvite);
    box.SetImageDir(KORVEL_SKIN_DIR);
    box.SetTime(60000);
    box.ShowModeless(testing::Host());
    testing::SaveWindowPng(box.hwnd(), Artefact("notice_join_team.png"));
    SendMessageW(GetDlgItem(box.hwnd(), IDOK), BM_CLICK, 0, 0);
    ASSERT_EQ(owner_.records.size(), 1u);
    EXPECT_EQ(owner_.records[0].msg, 0x4C8u);
    EXPECT_EQ(owner_.records[0].wp, 0x12345678u);
    EXPECT_EQ(owner_.records[0].lp, 0);
    EXPECT_TRUE(box.Accepted());
  }
  owner_.records.clear();
  CJoinTeamTimerDialog box(7, owner_.hwnd());
  box.SetText(kInvite);
  box.SetTime(200);
  box.ShowModeless(testing::Host());
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(box.hwnd()); }, 3000));
  EXPECT_TRUE(owner_.records.empty());
  EXPECT_FALSE(box.Accepted());
}

TEST_F(NoticeDialogTest, ModalCountDownEndsByItselfOrByEscape) {
  CTimerDialog box(testing::Host());
  box.SetText(kReconnect);
  box.HideButtons();
  box.SetTime(1500);
  const DWORD start = GetTickCount();
  EXPECT_EQ(box.DoModal(), IDCANCEL);
  EXPECT_GE(GetTickCount() - start, 1000u);
  EXPECT_EQ(box.Ticks(), 1);
  EXPECT_FALSE(box.Accepted());

  CTimerDialog ask(testing::Host());
  ask.SetText(kAskExit);
  ask.SetTime(60000);
  // Enter once the box is up: the default button is disagree.
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = GetActiveWindow();
    if (box) PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_EQ(ask.DoModal(), IDCANCEL);
  EXPECT_TRUE(ask.Cancelled());
}

TEST_F(NoticeDialogTest, MessageBoxClosesTheMainWindowOnlyWhenAsked) {
  CMessageDialog box(testing::Host());
  box.SetMainWindow(owner_.hwnd());
  box.SetText(kReconnect);
  box.SetImageDir(KORVEL_SKIN_DIR);

  box.Show(testing::Host(), 0);
  ASSERT_TRUE(box.Visible());
  const RECT r = WindowRectOf(box.hwnd());
  const int w = MeasureDialogText(box.hwnd(), kReconnect) + 50;
  EXPECT_EQ(r.right - r.left, w);
  EXPECT_EQ(r.bottom - r.top, 85);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 85) / 2 + 85);
  EXPECT_EQ(ChildRect(box.hwnd(), IDOK).top, 53);
  EXPECT_EQ(ChildRect(box.hwnd(), IDOK).left, (w - 50) / 2);
  testing::SaveWindowPng(box.hwnd(), Artefact("notice_message.png"));

  SendMessageW(GetDlgItem(box.hwnd(), IDOK), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(box.Visible());
  EXPECT_TRUE(owner_.records.empty()) << "value 0: OK only hides the box";
  EXPECT_EQ(box.CloseMainValue(), 1);

  // The value was set back to 1: the next OK closes the main window...
  SendMessageW(box.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  Pump();
  ASSERT_EQ(owner_.Messages(), std::vector<UINT>{WM_CLOSE});
  // ...unless Show passes 0 again.
  owner_.records.clear();
  box.Show(testing::Host(), 0);
  SendMessageW(box.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  Pump();
  EXPECT_TRUE(owner_.records.empty());
}

TEST_F(NoticeDialogTest, ReconnectNoticeWaitsUntilClosedWithoutEndingTheGame) {
  CMessageDialog box(testing::Host());
  box.SetMainWindow(owner_.hwnd());
  box.SetText(kReconnect);
  box.SetImageDir(KORVEL_SKIN_DIR);
  box.Show(testing::Host(), 0);
  // The player presses Enter on the box.
  HWND ok = GetDlgItem(box.hwnd(), IDOK);
  PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 0);
  const DWORD start = GetTickCount();
  box.WaitUntilClosed();
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_FALSE(box.Visible());
  Pump();
  EXPECT_TRUE(owner_.records.empty());
}

TEST_F(NoticeDialogTest, BodyClickStartsADragAndMissingPicturesStillPaint) {
  CMessageDialog box(testing::Host());
  box.SetText(kReconnect);
  box.SetImageDir("Z:\\no\\such\\folder");
  box.Show(testing::Host(), 0);
  ASSERT_TRUE(box.Visible());
  testing::Canvas canvas(40, 40, 0x00FF00FF);
  SendMessageW(box.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_NE(canvas.At(2, 2), 0xFF00FFu) << "the face is painted without a picture";

  SendMessageW(box.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 12));
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, box.hwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(HTCAPTION));
  POINT p{10, 12};
  ClientToScreen(box.hwnd(), &p);
  EXPECT_EQ(m.lParam, MAKELPARAM(p.x, p.y)) << "the grab point is on the screen";
  box.EndDialog(IDCANCEL);
}

TEST_F(NoticeDialogTest, SecondBkColourKeepsTheFirstBrush) {
  CTimerDialog box;
  box.SetBkColor(RGB(1, 2, 3));
  HBRUSH first = box.BackgroundBrush();
  box.SetBkColor(RGB(4, 5, 6));
  EXPECT_EQ(box.BackgroundBrush(), first);
  LOGBRUSH lb{};
  GetObjectW(first, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
}

}  // namespace
}  // namespace framework_window
