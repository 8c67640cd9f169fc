// Avatars and magic actions on the hosted table: avatar boards over the seats' panels with
// their pictures animated by the pictures' own frame delays, and actions playing in their
// layered windows over the table with their words, hidden when their time is over. Bad
// pictures and movies show nothing and break nothing. The table with two avatars and two
// actions playing is kept as table_actions.png for a person to look at.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "dib_canvas.h"
#include "korvel_table.h"
#include "records/magic_records.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/handle.h"
#include "winkit/testing/com_test_support.h"
#include "winkit/window.h"

using winkit::ComPtr;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"KorvelTable.dll", L"KorvelFlash.dll"}));

const std::string kFixtures = KORVEL_AVATAR_FIXTURES;

void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

std::vector<HWND> Children(HWND parent, const wchar_t* cls) {
  std::vector<HWND> out;
  for (HWND w = FindWindowExW(parent, nullptr, cls, nullptr); w;
       w = FindWindowExW(parent, w, cls, nullptr))
    out.push_back(w);
  return out;
}

// The visible action windows of this thread.
std::vector<HWND> ActionWindows() {
  std::vector<HWND> out;
  for (HWND w : Children(nullptr, L"MyOleControl")) {
    if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId())
      out.push_back(w);
  }
  return out;
}

RECT ScreenRect(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

// The colour at the middle of a window, as the window draws it.
COLORREF Middle(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  winkit::WindowDc dc(w);
  return GetPixel(dc.Get(), r.right / 2, r.bottom / 2);
}

bool Near(COLORREF c, int r, int g, int b) {
  return std::abs(GetRValue(c) - r) < 40 && std::abs(GetGValue(c) - g) < 40 &&
         std::abs(GetBValue(c) - b) < 40;
}

// What the screen shows in a rectangle (layered windows included).
struct ScreenShot {
  explicit ScreenShot(const RECT& r)
      : rect(r), canvas(r.right - r.left, r.bottom - r.top) {
    winkit::WindowDc screen(nullptr);
    BitBlt(canvas.dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen.Get(), r.left, r.top,
           SRCCOPY);
  }
  int Count(int r, int g, int b) const {
    int n = 0;
    for (int y = 0; y < rect.bottom - rect.top; ++y)
      for (int x = 0; x < rect.right - rect.left; ++x) {
        const uint32_t v = canvas.At(x, y);
        n += Near(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF), r, g, b);
      }
    return n;
  }
  RECT rect;
  sprites::testing::Canvas canvas;
};

CAvact_Adv_Item Avatar(int32_t owner, const std::string& file, int32_t kind = 1) {
  CAvact_Adv_Item item;
  item.userId = owner;
  const std::string path = kFixtures + "\\" + file;
  std::strncpy(item.path, path.c_str(), sizeof item.path - 1);
  item.kind = kind;
  return item;
}

CActionItem Action(const char* name, const std::string& movie, int w, int h) {
  CActionItem item;
  std::strncpy(item.name, name, sizeof item.name - 1);
  std::strncpy(item.swf, movie.c_str(), sizeof item.swf - 1);
  item.width = w;
  item.height = h;
  return item;
}

class HostWindow : public winkit::Window {};

class AvatarActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.Create(L"KorvelAvatarActionHost", L"table window", WS_POPUP | WS_CLIPCHILDREN, 0,
                 {0, 0, 1024, 768}, nullptr, nullptr);
    ShowWindow(host_.hwnd(), SW_SHOWNA);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(host_.hwnd(), CLSID_Table, IID_NULL,
                                                         32770, L"KorvelTable.Table",
                                                         RECT{0, 0, 1024, 768}, nullptr, &site_));
    ASSERT_HRESULT_SUCCEEDED(site_->QueryControl(IID_ITable, table_.PutVoid()));
    control_ = site_->ControlWindow();
    ASSERT_HRESULT_SUCCEEDED(table_->InitTable_Avact(
        2, 1, 0, reinterpret_cast<LONG_PTR>(KORVEL_TABLE_SKIN)));
    PumpFor(50);
  }
  void TearDown() override {
    table_.Reset();
    if (site_) site_->Destroy();
    site_.Reset();
    host_.Destroy();
  }
  std::vector<HWND> Boards() { return Children(control_, L"avactwnd"); }

  HostWindow host_;
  ComPtr<winkit::ControlHost> site_;
  ComPtr<ITable> table_;
  HWND control_ = nullptr;
};

TEST_F(AvatarActionTest, BoardsShowTheSeatsAvatarsOneBoardPerOwner) {
  CAvact_Adv_Item mine = Avatar(1, "still.png"), yours = Avatar(2, "long.gif");
  ASSERT_EQ(table_->SetAvactItem(0, reinterpret_cast<LONG_PTR>(&mine)), S_OK);
  ASSERT_EQ(table_->SetAvactItem(1, reinterpret_cast<LONG_PTR>(&yours)), S_OK);
  PumpFor(100);
  std::vector<HWND> boards = Boards();
  ASSERT_EQ(boards.size(), 2u);
  RECT a = ScreenRect(boards[0]), b = ScreenRect(boards[1]);
  RECT common;
  EXPECT_FALSE(IntersectRect(&common, &a, &b));
  EXPECT_GT(a.right - a.left, 0);
  EXPECT_GT(a.bottom - a.top, 0);

  // The same owner again replaces the picture of its board instead of adding one; a seat
  // outside the table and an item of nobody's add nothing.
  CAvact_Adv_Item again = Avatar(2, "still.png");
  EXPECT_EQ(table_->SetAvactItem(1, reinterpret_cast<LONG_PTR>(&again)), S_OK);
  EXPECT_EQ(table_->SetAvactItem(2, reinterpret_cast<LONG_PTR>(&mine)), S_OK);
  EXPECT_EQ(table_->SetAvactItem(-1, reinterpret_cast<LONG_PTR>(&mine)), S_OK);
  PumpFor(50);
  EXPECT_EQ(Boards().size(), 2u);
  // The replaced item's picture is the one shown (the gradient, not the yellow frame).
  HWND yoursBoard = GetDlgCtrlID(boards[0]) < GetDlgCtrlID(boards[1]) ? boards[1] : boards[0];
  RedrawWindow(yoursBoard, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(Near(Middle(yoursBoard), 255, 255, 0));
}

TEST_F(AvatarActionTest, AnimatedPicturesFollowTheirFrameDelays) {
  CAvact_Adv_Item steps = Avatar(1, "steps.gif"), still = Avatar(2, "still.png");
  table_->SetAvactItem(0, reinterpret_cast<LONG_PTR>(&steps));
  table_->SetAvactItem(1, reinterpret_cast<LONG_PTR>(&still));
  PumpFor(50);
  std::vector<HWND> boards = Boards();
  ASSERT_EQ(boards.size(), 2u);
  HWND animated = GetDlgCtrlID(boards[0]) < GetDlgCtrlID(boards[1]) ? boards[0] : boards[1];
  HWND fixed = animated == boards[0] ? boards[1] : boards[0];
  // Red 100 ms, green 0 ms, blue 250 ms, then red again: red, blue and red after blue are seen.
  std::string seen;
  const COLORREF still0 = Middle(fixed);
  bool stillChanged = false;
  for (int i = 0; i < 150 && seen.find("rbr") == std::string::npos; ++i) {
    PumpFor(15);
    const COLORREF c = Middle(animated);
    const char k = Near(c, 255, 0, 0) ? 'r' : Near(c, 0, 0, 255) ? 'b' : 0;
    if (k && (seen.empty() || seen.back() != k)) seen += k;
    stillChanged |= Middle(fixed) != still0;
  }
  EXPECT_NE(seen.find("rbr"), std::string::npos) << seen;
  EXPECT_FALSE(stillChanged);  // one frame: no frame timer
}

TEST_F(AvatarActionTest, BadPicturesShowNothingAndBreakNothing) {
  // The longest delay a picture can hold keeps its first frame.
  CAvact_Adv_Item longest = Avatar(1, "long.gif");
  table_->SetAvactItem(0, reinterpret_cast<LONG_PTR>(&longest));
  PumpFor(400);
  ASSERT_EQ(Boards().size(), 1u);
  HWND first = Boards()[0];
  EXPECT_TRUE(Near(Middle(first), 255, 255, 0));

  // One owner's avatar replaced by a picture without frames, a missing file, a movie and a
  // missing movie: each is drawn (or shows only the board's frame) and nothing breaks.
  CAvact_Adv_Item broken = Avatar(2, "truncated.gif"), missing = Avatar(2, "none.gif"),
                  movie = Avatar(2, "ball.kvmv", 0), lost = Avatar(2, "none.kvmv", 0);
  for (CAvact_Adv_Item* item : {&broken, &missing, &movie, &lost}) {
    EXPECT_EQ(table_->SetAvactItem(1, reinterpret_cast<LONG_PTR>(item)), S_OK);
    for (HWND b : Boards())
      RedrawWindow(b, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
  }
  ASSERT_EQ(Boards().size(), 2u);
  // The movie plays in a player placed on the board's panel, with the board's id + 1.
  HWND second = Boards()[0] == first ? Boards()[1] : Boards()[0];
  HWND player = GetDlgItem(second, GetDlgCtrlID(second) + 1);
  ASSERT_NE(player, nullptr);
  RECT board, inner;
  GetClientRect(second, &board);
  GetWindowRect(player, &inner);
  MapWindowPoints(nullptr, second, reinterpret_cast<POINT*>(&inner), 2);
  EXPECT_TRUE(EqualRect(&board, &inner));
  EXPECT_TRUE(IsWindow(control_));
}

TEST_F(AvatarActionTest, ActionsPlayWithTheirWordsWhereTheyBelongAndEnd) {
  CAvact_Adv_Item mine = Avatar(1, "steps.gif"), yours = Avatar(2, "still.png");
  table_->SetAvactItem(0, reinterpret_cast<LONG_PTR>(&mine));
  table_->SetAvactItem(1, reinterpret_cast<LONG_PTR>(&yours));
  PumpFor(50);
  std::vector<HWND> boards = Boards();
  ASSERT_EQ(boards.size(), 2u);
  HWND board1 = GetDlgCtrlID(boards[0]) < GetDlgCtrlID(boards[1]) ? boards[1] : boards[0];

  const std::string ball = kFixtures + "\\ball.kvmv";
  CActionItem centre = Action("wave", ball, 240, 220);
  const char words[] = "\xc4\xe3\xba\xc3 hello";  // 你好 hello
  ASSERT_EQ(table_->PlayFlash(5, -1, reinterpret_cast<LONG_PTR>(&centre),
                              reinterpret_cast<LONG_PTR>(words)),
            S_OK);
  PumpFor(300);
  std::vector<HWND> shown = ActionWindows();
  ASSERT_EQ(shown.size(), 1u);
  HWND centreWnd = shown[0];
  RECT c = ScreenRect(centreWnd), table = ScreenRect(control_);
  EXPECT_EQ(c.right - c.left, 240);
  EXPECT_EQ(c.bottom - c.top, 220);
  EXPECT_EQ(c.left - table.left, (1024 - 240) / 2);
  EXPECT_EQ(c.top - table.top, (768 - 220) / 2);
  {
    ScreenShot shot(c);
    EXPECT_GT(shot.Count(0, 200, 0), 500);   // the ball
    EXPECT_GT(shot.Count(20, 20, 120), 20);  // the words
  }

  // Sent to seat 1: the window hangs from the top left corner of that seat's panel (where its
  // avatar board stands); the fixed-size action keeps 200 x 200.
  CActionItem laugh = Action("\xb9\xfe\xb9\xfe\xd0\xa6", ball, 300, 300);
  table_->PlayFlash(0, 1, reinterpret_cast<LONG_PTR>(&laugh), 0);
  PumpFor(300);
  shown = ActionWindows();
  ASSERT_EQ(shown.size(), 2u);
  HWND seatWnd = shown[0] == centreWnd ? shown[1] : shown[0];
  RECT s = ScreenRect(seatWnd), panel = ScreenRect(board1);
  EXPECT_EQ(s.left, panel.left);
  EXPECT_EQ(s.top, panel.top);
  EXPECT_EQ(s.right - s.left, 200);
  EXPECT_EQ(s.bottom - s.top, 200);

  // The picture of the table with its avatars and both actions.
  PumpFor(200);
  {
    ScreenShot shot(table);
    ASSERT_TRUE(shot.canvas.Save("table_actions.bmp"));
  }

  // A movie that does not load replaces the seat's last action with nothing.
  CActionItem lost = Action("lost", kFixtures + "\\none.kvmv", 200, 200);
  table_->PlayFlash(1, 5, reinterpret_cast<LONG_PTR>(&lost), 0);
  PumpFor(200);
  EXPECT_TRUE(IsWindowVisible(seatWnd));
  EXPECT_EQ(ScreenShot(ScreenRect(seatWnd)).Count(0, 200, 0), 0);

  // The same movie again (its path in other letters) plays again, without words this time.
  std::string shouting = ball;
  for (char& ch : shouting) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
  CActionItem again = Action("wave", shouting, 240, 220);
  table_->PlayFlash(-1, -1, reinterpret_cast<LONG_PTR>(&again), reinterpret_cast<LONG_PTR>(""));
  PumpFor(300);
  {
    ScreenShot shot(ScreenRect(centreWnd));
    EXPECT_GT(shot.Count(0, 200, 0), 500);
    EXPECT_EQ(shot.Count(20, 20, 120), 0);
  }

  // Their time is over: the seat's timer hides the seat's window, the centre's the centre's.
  SendMessageW(control_, WM_TIMER, 251, 0);
  EXPECT_FALSE(IsWindowVisible(seatWnd));
  EXPECT_TRUE(IsWindowVisible(centreWnd));
  SendMessageW(control_, WM_TIMER, 252, 0);
  EXPECT_FALSE(IsWindowVisible(centreWnd));
  EXPECT_TRUE(ActionWindows().empty());
}

}  // namespace
