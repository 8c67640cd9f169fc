// The table's notices under Wine: each kind in its skinned box centred over the table window,
// OK on a close-on-OK notice closing the main window, the exit question's answers, a new wait
// box replacing the old, the waiting kinds, and a picture of a message over the table.
#include "table_notices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "window_test_support.h"

namespace {

using framework_window::testing::Pump;
using framework_window::testing::RecordingWindow;

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new framework_window::testing::WindowTestEnvironment);

// 游戏结束 / 连接服务器，请稍候.. / 张三(zs)要退出,你同意吗?
constexpr char kGameOver[] = "\xd3\xce\xcf\xb7\xbd\xe1\xca\xf8";
constexpr char kWaiting[] =
    "\xc1\xac\xbd\xd3\xb7\xfe\xce\xf1\xc6\xf7\xa3\xac\xc7\xeb\xc9\xd4\xba\xf2..";
constexpr char kAskExit[] =
    "\xd5\xc5\xc8\xfd(zs)\xd2\xaa\xcd\xcb\xb3\xf6,\xc4\xe3\xcd\xac\xd2\xe2\xc2\xf0?";

std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

template <class F>
bool PumpUntil(F done, DWORD ms = 5000) {
  const DWORD end = GetTickCount() + ms;
  while (!done()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Pump(10);
  }
  return true;
}

bool ButtonShown(HWND box, int id) {
  HWND b = GetDlgItem(box, id);
  return b && IsWindowVisible(b);
}

// A green table window inside the host, and a main window that records its WM_CLOSE.
class TableNoticesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    framework_window::testing::ActivateHost();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(20, 90, 50));
    wc.lpszClassName = L"NoticeTestTable";
    RegisterClassW(&wc);
    table_ = CreateWindowExW(0, L"NoticeTestTable", L"", WS_CHILD | WS_VISIBLE, 60, 40, 720, 520,
                             framework_window::testing::Host(), nullptr, wc.hInstance, nullptr);
    main_.CreateChild(framework_window::testing::Host(), 1000, 700, 10, 10);
    look_.c1 = 0xFFFFFF;
    look_.c2 = 0xFCBF82;
    look_.text = 0x000080;
    look_.imageDir = KORVEL_SKIN_DIR;
    Pump();
  }
  void TearDown() override { DestroyWindow(table_); }

  // The box is a dialog of the kit, centred over the table window.
  void ExpectKitBoxOverTable(HWND box) {
    wchar_t name[16] = {};
    GetClassNameW(box, name, 16);
    EXPECT_STREQ(name, L"#32770");
    EXPECT_TRUE(IsWindowVisible(box));
    RECT t{}, b{};
    GetWindowRect(table_, &t);
    GetWindowRect(box, &b);
    EXPECT_NEAR((b.left + b.right) / 2, (t.left + t.right) / 2, 1);
    EXPECT_NEAR((b.top + b.bottom) / 2, (t.top + t.bottom) / 2, 1);
  }

  HWND table_ = nullptr;
  RecordingWindow main_;
  TableNoticeLook look_;
};

TEST_F(TableNoticesTest, EachKindShowsItsSkinnedBoxOverTheTable) {
  TableNoticeWindows notices(table_, main_.hwnd(), look_);
  const struct {
    NoticeKind kind;
    int16_t mode;
    bool ok, cancel;
  } cases[] = {
      {NoticeKind::WaitBox, 0, false, false},
      {NoticeKind::Message, 0, true, false},
      {NoticeKind::ExitBox, 0, true, true},
      {NoticeKind::ExitBox, 1, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind) * 10 + c.mode);
    TableNotice n;
    n.kind = c.kind;
    n.mode = c.mode;
    n.text = kAskExit;
    n.milliseconds = 60000;
    notices.Show(n);
    ASSERT_EQ(notices.OpenNotices().size(), 1u);
    HWND box = notices.OpenNotices()[0];
    ExpectKitBoxOverTable(box);
    EXPECT_EQ(ButtonShown(box, IDOK), c.ok);
    EXPECT_EQ(ButtonShown(box, IDCANCEL), c.cancel);
    notices.Close(c.kind);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(notices.OpenNotices().empty());
  }
  // The system box stays a plain captioned window with its OK.
  TableNotice system;
  system.kind = NoticeKind::SystemBox;
  system.text = "loc";
  notices.Show(system);
  ASSERT_EQ(notices.OpenNotices().size(), 1u);
  HWND box = notices.OpenNotices()[0];
  EXPECT_TRUE(GetWindowLongW(box, GWL_STYLE) & WS_CAPTION);
  SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(notices.OpenNotices().empty());
}

TEST_F(TableNoticesTest, OkClosesTheMainWindowOnlyOnACloseOnOkNotice) {
  TableNoticeWindows notices(table_, main_.hwnd(), look_);
  for (bool closeOnOk : {false, true, false}) {
    main_.records.clear();
    TableNotice n;
    n.kind = NoticeKind::Message;
    n.text = kGameOver;
    n.closeOnOk = closeOnOk;
    notices.Show(n);
    ASSERT_EQ(notices.OpenNotices().size(), 1u);
    HWND box = notices.OpenNotices()[0];
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    Pump(50);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(notices.OpenNotices().empty());
    EXPECT_EQ(main_.Messages(), closeOnOk ? std::vector<UINT>{WM_CLOSE} : std::vector<UINT>{})
        << closeOnOk;
  }
}

// OK agrees, cancel or the time running out refuses, each answering once; the box that only
// tells, and one closed by the table, answer nothing.
TEST_F(TableNoticesTest, ExitQuestionAnswersOnceThroughTheCallback) {
  TableNoticeWindows notices(table_, main_.hwnd(), look_);
  std::vector<std::pair<uint32_t, int16_t>> answers;
  notices.SetExitAnswer([&](uint32_t asker, int16_t answer) { answers.push_back({asker, answer}); });
  enum End { kOk, kCancel, kTimeOut, kClosed };
  const struct {
    int16_t mode;
    End end;
    std::vector<std::pair<uint32_t, int16_t>> answers;
  } cases[] = {
      {0, kOk, {{7, 0}}},  {0, kCancel, {{7, 1}}}, {0, kTimeOut, {{7, 1}}},
      {0, kClosed, {}},    {1, kTimeOut, {}},
  };
  for (const auto& c : cases) {
    answers.clear();
    TableNotice n;
    n.kind = NoticeKind::ExitBox;
    n.mode = c.mode;
    n.askerId = 7;
    n.text = kAskExit;
    n.milliseconds = c.end == kTimeOut ? 150 : 60000;
    notices.Show(n);
    ASSERT_EQ(notices.OpenNotices().size(), 1u);
    HWND box = notices.OpenNotices()[0];
    if (c.end == kOk || c.end == kCancel)
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.end == kOk ? IDOK : IDCANCEL, BN_CLICKED), 0);
    if (c.end == kClosed) notices.Close(NoticeKind::ExitBox);
    ASSERT_TRUE(PumpUntil([&] { return notices.OpenNotices().empty(); }));
    Pump(250);
    EXPECT_EQ(answers, c.answers) << c.mode << "/" << c.end;
  }
}

TEST_F(TableNoticesTest, NewWaitOrExitBoxReplacesTheOldWithoutAnAnswer) {
  TableNoticeWindows notices(table_, main_.hwnd(), look_);
  int answered = 0;
  notices.SetExitAnswer([&](uint32_t, int16_t) { ++answered; });
  for (NoticeKind kind : {NoticeKind::WaitBox, NoticeKind::ExitBox}) {
    TableNotice n;
    n.kind = kind;
    n.text = kWaiting;
    n.milliseconds = 60000;
    notices.Show(n);
    ASSERT_EQ(notices.OpenNotices().size(), 1u);
    HWND first = notices.OpenNotices()[0];
    n.text = kAskExit;
    notices.Show(n);
    ASSERT_EQ(notices.OpenNotices().size(), 1u);
    HWND second = notices.OpenNotices()[0];
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first) && IsWindowVisible(first));
    notices.Close(kind);
  }
  Pump(50);
  EXPECT_EQ(answered, 0);
}

// A count-down holds its caller until the time is up; a message to wait on until it is
// closed, while the thread's other messages go on.
TEST_F(TableNoticesTest, WaitingKindsHoldTheCallerUntilTheBoxEnds) {
  TableNoticeWindows notices(table_, main_.hwnd(), look_);
  TableNotice countDown;
  countDown.kind = NoticeKind::CountDown;
  countDown.text = kWaiting;
  countDown.milliseconds = 300;
  const DWORD start = GetTickCount();
  notices.Show(countDown);
  EXPECT_GE(GetTickCount() - start, 250u);
  EXPECT_TRUE(notices.OpenNotices().empty());

  static TableNoticeWindows* waiting = nullptr;
  static int seen = 0;
  waiting = &notices;
  seen = 0;
  // While the caller waits, the box is found and OK is pressed on it.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    const auto open = waiting->OpenNotices();
    if (open.size() != 1) return;
    wchar_t name[16] = {};
    GetClassNameW(open[0], name, 16);
    if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(open[0])) ++seen;
    PostMessageW(open[0], WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  TableNotice wait;
  wait.kind = NoticeKind::MessageAndWait;
  wait.text = kGameOver;
  main_.records.clear();
  notices.Show(wait);
  KillTimer(nullptr, timer);
  EXPECT_GE(seen, 1);
  EXPECT_TRUE(notices.OpenNotices().empty());
  Pump(50);
  EXPECT_TRUE(main_.records.empty()) << "not a close-on-OK notice";
}

// A picture of a game-ending message over the table: the GBK text in the skin's box with the
// skin's OK picture.
TEST_F(TableNoticesTest, MessageOverTheTablePicture) {
  TableNoticeWindows notices(table_, main_.hwnd(), look_);
  TableNotice n;
  n.kind = NoticeKind::Message;
  n.text = kAskExit;
  notices.Show(n);
  ASSERT_EQ(notices.OpenNotices().size(), 1u);
  HWND box = notices.OpenNotices()[0];
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump(300);
  // What the screen shows over the table window, the box included.
  RECT t{};
  GetWindowRect(table_, &t);
  framework_window::testing::Canvas canvas(t.right - t.left, t.bottom - t.top);
  HDC screen = GetDC(nullptr);
  BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), screen, t.left, t.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(canvas.SavePng(Artefact("table_notice_message.png")));
  // The table shows around the box, the box's own picture in the middle.
  EXPECT_EQ(canvas.At(5, 5), 0x145A32u);
  EXPECT_NE(canvas.At(canvas.width() / 2, canvas.height() / 2), 0x145A32u);
  notices.Close(NoticeKind::Message);
}

}  // namespace
