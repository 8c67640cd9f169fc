// The magic-action window with the movie player stand-in: layered, it hosts the player
// windowless and plays the action's movie with its words, restarting the same movie; without
// layered windows it cuts itself to the movie's shapes with a window region, and a movie that
// draws nothing ends.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "flash_window.h"
#include "winkit/com_ptr.h"
#include "winkit/handle.h"
#include "winkit/testing/com_test_support.h"

using table_gdi::CFlashWnd;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"KorvelFlash.dll"}));

const std::string kBall = std::string(KORVEL_AVATAR_FIXTURES) + "\\ball.kvmv";

void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

CActionItem Action(const std::string& movie) {
  CActionItem item;
  std::strncpy(item.swf, movie.c_str(), sizeof item.swf - 1);
  return item;
}

std::wstring Words(CFlashWnd& wnd) {
  winkit::Bstr value;
  wnd.Control()->GetVariable(winkit::Bstr(L"tipword.text").Get(), value.Put());
  return value.Get() ? value.Get() : L"";
}

bool Playing(CFlashWnd& wnd) {
  VARIANT_BOOL playing = VARIANT_FALSE;
  wnd.Control()->get_Playing(&playing);
  return playing != VARIANT_FALSE;
}

class FlashWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"table", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override { DestroyWindow(owner_); }
  void Place(CFlashWnd& wnd) {
    SetWindowPos(wnd.Window(), nullptr, 100, 100, 300, 300,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  HWND owner_ = nullptr;
};

TEST_F(FlashWindowTest, LayeredItPlaysTheMovieWithItsWordsAndRestartsTheSameMovie) {
  CFlashWnd wnd;
  ASSERT_TRUE(wnd.Create(CLSID_ShockwaveFlash, WS_EX_LAYERED,
                         WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS, owner_, GetModuleHandleW(nullptr)));
  EXPECT_TRUE(wnd.Transparent());      // the player took the windowless site
  EXPECT_TRUE(wnd.FixTransparency());  // version 8: alpha from white and black
  Place(wnd);
  winkit::Bstr mode;
  wnd.Control()->get_WMode(mode.Put());
  EXPECT_STREQ(mode.Get(), L"transparent");

  CActionItem ball = Action(kBall);
  wnd.ShowContent(&ball, "\xc4\xe3\xba\xc3");  // 你好
  EXPECT_TRUE(wnd.Shown());
  EXPECT_EQ(Words(wnd), L"\x4f60\x597d");
  PumpFor(300);
  long frame = 0;
  wnd.Control()->get_FrameNum(&frame);
  EXPECT_GT(frame, 0);

  // The same movie, named in other letters: loaded again from its start; no words this time.
  std::string shouting = kBall;
  for (char& c : shouting) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  CActionItem again = Action(shouting);
  wnd.ShowContent(&again, nullptr);
  wnd.Control()->get_FrameNum(&frame);
  EXPECT_EQ(frame, 0);
  EXPECT_TRUE(Playing(wnd));
  EXPECT_EQ(Words(wnd), L"");
  EXPECT_EQ(wnd.CurrentMovie(), kBall);  // the first spelling stays the current one

  wnd.Hide();
  EXPECT_FALSE(wnd.Shown());
  EXPECT_FALSE(IsWindowVisible(wnd.Window()));
}

TEST_F(FlashWindowTest, WithoutLayeredWindowsARegionCutsTheWindowToTheMovie) {
  CFlashWnd wnd;
  ASSERT_TRUE(wnd.Create(CLSID_ShockwaveFlash, 0, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS, owner_,
                         GetModuleHandleW(nullptr)));
  EXPECT_FALSE(wnd.Transparent());
  Place(wnd);
  CActionItem ball = Action(kBall);
  wnd.ShowContent(&ball, nullptr);
  PumpFor(100);
  winkit::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(wnd.Window(), region.Get()), COMPLEXREGION);
  RECT box;
  GetRgnBox(region.Get(), &box);
  // The ball, not the window: well inside the 300 x 300 window.
  EXPECT_GT(box.left, 0);
  EXPECT_LT(box.right, 300);
  EXPECT_GT(box.right - box.left, 40);
  EXPECT_TRUE(PtInRegion(region.Get(), (box.left + box.right) / 2, (box.top + box.bottom) / 2));
  EXPECT_FALSE(PtInRegion(region.Get(), 2, 2));

  // A movie that does not load draws nothing: no region at all, and the player stops.
  CActionItem lost = Action(std::string(KORVEL_AVATAR_FIXTURES) + "\\none.kvmv");
  wnd.ShowContent(&lost, nullptr);
  region.Reset(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(wnd.Window(), region.Get()), NULLREGION);
  EXPECT_FALSE(Playing(wnd));
}

TEST_F(FlashWindowTest, RegionsFromManyRunsAreBuiltInBlocks) {
  CFlashWnd wnd;
  ASSERT_TRUE(wnd.Create(CLSID_ShockwaveFlash, 0, WS_POPUP, owner_, GetModuleHandleW(nullptr)));
  // Every other pixel visible: 100 rows of 60 runs, more than one block of rectangles.
  const int w = 120, h = 100;
  std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4, 0);
  for (int y = 0; y < h; ++y)
    for (int x = (y % 2); x < w; x += 2) bgra[(static_cast<size_t>(y) * w + x) * 4 + 3] = 200;
  winkit::UniqueRegion region = wnd.Alpha2Region(bgra.data(), w, h);
  ASSERT_TRUE(region);
  int visible = 0, wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool in = PtInRegion(region.Get(), x, y) != FALSE;
      visible += in;
      wrong += in != ((x + y) % 2 == 0);
    }
  }
  EXPECT_EQ(visible, w * h / 2);
  EXPECT_EQ(wrong, 0);
  // Faint pixels (alpha below 5) are not part of it.
  for (size_t i = 3; i < bgra.size(); i += 4) bgra[i] = bgra[i] ? 4 : 0;
  region = wnd.Alpha2Region(bgra.data(), w, h);
  RECT box;
  EXPECT_EQ(GetRgnBox(region.Get(), &box), NULLREGION);
}

}  // namespace
