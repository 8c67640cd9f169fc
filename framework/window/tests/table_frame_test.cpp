// The table frame under Wine, built with the sample style modules: loading, layout and the
// painted frame, the setup strip's messages, both boundary drags, skin changes without a
// leaked GDI object, a missing style module, and a resize.
#include "table_frame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "window_test_support.h"

namespace framework_window {
namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WindowTestEnvironment);

using testing::Canvas;
using testing::Pump;

std::string Bin(const char* name) { return std::string(KORVEL_BIN_DIR) + "\\" + name; }
std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

// A pane stand-in: a coloured area with a name, as the game's controls will fill it.
class PanePlaceholder : public winkit::Window {
 public:
  PanePlaceholder(COLORREF colour, const char* name) : colour_(colour), name_(name) {}
  void Make(HWND parent) {
    Create(L"KorvelTestPane", L"", WS_CHILD | WS_VISIBLE, 0, RECT{0, 0, 0, 0}, parent, nullptr);
  }
  BEGIN_MSG_MAP(PanePlaceholder)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnErase)
  END_MSG_MAP()
  LRESULT OnErase(UINT, WPARAM wp, LPARAM, bool&) {
    HDC dc = reinterpret_cast<HDC>(wp);
    RECT r{};
    GetClientRect(hwnd(), &r);
    SetBkColor(dc, colour_);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(90, 90, 90));
    DrawTextA(dc, name_, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return 1;
  }

 private:
  COLORREF colour_;
  const char* name_;
};

class TestTableWnd : public CVyrTableWnd2_Adv3 {
 public:
  std::vector<std::string> calls;
  HMODULE reload = nullptr;
  PanePlaceholder table{RGB(22, 92, 60), "\xc5\xc6\xd7\xc0"};       // 牌桌
  PanePlaceholder list{RGB(250, 252, 255), "\xcd\xe6\xbc\xd2"};     // 玩家
  PanePlaceholder chat{RGB(250, 252, 255), "\xc1\xc4\xcc\xec"};     // 聊天

  void CreateGame() override {
    calls.push_back("CreateGame");
    table.Make(hwnd());
    list.Make(hwnd());
    chat.Make(hwnd());
  }
  void SetPaneLayout(int, int list_and_chat) override {
    m_nListHeight = static_cast<int16_t>(list_and_chat / 2);
    m_nChatHeight = static_cast<int16_t>(list_and_chat - list_and_chat / 2);
  }
  void MovePanes() override {
    const auto& m = Metrics();
    const auto& r = Rects();
    auto place = [](HWND h, int l, int t, int rr, int b) {
      if (h) SetWindowPos(h, nullptr, l, t, std::max(rr - l, 0), std::max(b - t, 0), SWP_NOZORDER);
    };
    place(table.hwnd(), r.play.left + m.m_nTableInsetLeft, r.play.top + m.m_nTableInsetTop,
          r.play.right - m.m_nTableInsetRight, r.play.bottom - m.m_nTableInsetBottom);
    place(list.hwnd(), r.listTitle.left, r.listTitle.bottom, r.listTitle.right, r.list.bottom - 4);
    place(chat.hwnd(), r.chatTitle.left, r.chatTitle.bottom, r.chatTitle.right, r.chat.bottom - 4);
  }
  void InvalidatePanes() override { calls.push_back("InvalidatePanes"); }
  void RefreshLayout() override {
    calls.push_back("RefreshLayout");
    MovePanes();
  }
  void OnShop() override { calls.push_back("OnShop"); }
  void OnSetup() override { calls.push_back("OnSetup"); }
  void OnHelp() override { calls.push_back("OnHelp"); }
  void OnExit() override { calls.push_back("OnExit"); }
  CMFCShowElement* GetCaptionElements() override { return nullptr; }
  HMODULE ReloadSkin() override { return reload; }
  void DrawTable(HMODULE) override { calls.push_back("DrawTable"); }
};

struct Modules {
  HMODULE style0 = LoadLibraryA(Bin("pellamres01.dll").c_str());
  HMODULE style1 = LoadLibraryA(Bin("pellamres11.dll").c_str());
};
Modules& StyleModules() {
  static Modules* m = new Modules;
  return *m;
}

// One frame for the program (shown top-level windows are slow to go under Xvfb).
TestTableWnd& Frame() {
  static TestTableWnd* frame = [] {
    auto* f = new TestTableWnd;
    testing::ActivateHost();
    f->CreateChildren(kIdTableWindow, testing::Host());
    f->SetCaptionText("\xbf\xad\xce\xd6\xc2\xe9\xbd\xab - \xb5\xda 3 \xd7\xc0");  // 卡沃麻将 - 第 3 桌
    f->LoadResources(StyleModules().style0, 0);
    SetWindowPos(f->hwnd(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
    f->LayoutChildren(0, 0, 1024, 768);
    f->PaintFrame();
    return f;
  }();
  return *frame;
}

void DropPostedMove(HWND frame) {
  MSG m;
  while (PeekMessageW(&m, frame, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
  }
}

uint32_t Rgb(int r, int g, int b) { return (static_cast<uint32_t>(r) << 16) | (g << 8) | b; }

class TableFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StyleModules().style0) << Bin("pellamres01.dll");
    ASSERT_TRUE(StyleModules().style1);
    testing::ActivateHost();
    ASSERT_TRUE(Frame().hwnd());
    Frame().calls.clear();
  }
};

TEST_F(TableFrameTest, LoadsLaysOutAndPaintsTheSampleSkin) {
  TestTableWnd& f = Frame();
  EXPECT_NE(f.ImagePath().rfind("\\skin"), std::string::npos);
  EXPECT_EQ(f.Metrics().m_nCaptionHeight, 30);
  EXPECT_TRUE(f.TableCenter());
  EXPECT_TRUE(f.DialogButtonBackground());
  const auto& r = f.Rects();
  EXPECT_EQ(r.play.right, 728);
  EXPECT_EQ(f.m_nListHeight + f.m_nChatHeight, 768 - 20 - 30 - 90 - 38 - 4);
  RECT s{};
  GetWindowRect(f.SetupStrip().hwnd(), &s);
  MapWindowPoints(nullptr, f.hwnd(), reinterpret_cast<POINT*>(&s), 2);
  EXPECT_EQ(s.left, r.setupButtons.left);
  EXPECT_EQ(s.right - s.left, 208);
  EXPECT_FALSE(IsWindowVisible(f.BarWindow()));

  Canvas canvas(1024, 768);
  testing::CaptureWindow(f.hwnd(), canvas);
  EXPECT_TRUE(canvas.SavePng(Artefact("table_frame.png")));
  // Outer frame edge, the play pane's gold line, the column's fill, the caption's gold line.
  EXPECT_EQ(canvas.At(0, 400), Rgb(12, 20, 34));
  EXPECT_EQ(canvas.At(r.play.left + 6, 400), Rgb(214, 170, 84));
  EXPECT_EQ(canvas.At(r.play.left + 8, 400), Rgb(22, 92, 60)) << "the table pane inside";
  EXPECT_EQ(canvas.At(r.list.left + 3, r.list.bottom - 20), Rgb(222, 230, 240));
  EXPECT_EQ(canvas.At(500, 29), Rgb(214, 170, 84));
}

TEST_F(TableFrameTest, AdvertPaneIsPlacedOrStaysEmpty) {
  TestTableWnd& f = Frame();
  // Wine without its HTML engine may or may not make the control; neither stops the frame.
  if (HWND advert = f.Advert().hwnd()) {
    RECT r{};
    GetWindowRect(advert, &r);
    MapWindowPoints(nullptr, f.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, f.Rects().advert.left);
    EXPECT_EQ(r.bottom, f.Rects().advert.bottom);
    f.Advert().Navigate("about:blank");
  } else {
    EXPECT_FALSE(f.Advert().Navigate("about:blank"));
  }
  Pump(100);
  EXPECT_TRUE(IsWindow(f.hwnd()));
}

TEST_F(TableFrameTest, SetupAndExitTextsAndTheirClicks) {
  TestTableWnd& f = Frame();
  const layout::Rect exit = f.Rects().exitText, setup = f.Rects().setupText;
  Canvas canvas(1024, 768, 0x00000000);
  f.DrawSetupExitText(canvas.dc());
  auto white_in = [&](const layout::Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right + 30; ++x) n += (canvas.At(x, y) & 0x808080) == 0x808080;
    return n;
  };
  EXPECT_GT(white_in(exit), 10);
  EXPECT_GT(white_in(setup), 10);
  // A click on them (widened by 25 on the right) runs the operation, not a window move.
  SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(setup.right + 20, setup.top + 2));
  SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(exit.left + 1, exit.top + 2));
  EXPECT_EQ(f.calls, (std::vector<std::string>{"OnSetup", "OnExit"}));
  MSG m;
  EXPECT_FALSE(PeekMessageW(&m, f.hwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_NOREMOVE));
  // Anywhere else on the frame starts a move of the main window.
  SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 300));
  SendMessageW(f.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(300, 300));
  EXPECT_TRUE(PeekMessageW(&m, f.hwnd(), WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>(HTCAPTION));
}

TEST_F(TableFrameTest, SetupStripButtonsReachTheFrame) {
  TestTableWnd& f = Frame();
  for (int i = 0; i < 4; ++i)
    SendMessageW(f.SetupStrip().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(i * 52 + 26, 12));
  EXPECT_EQ(f.calls, (std::vector<std::string>{"OnShop", "OnHelp", "OnSetup", "OnExit"}));
}

TEST_F(TableFrameTest, ListChatBoundaryDrag) {
  TestTableWnd& f = Frame();
  const int before = f.m_nListHeight;
  const int y0 = f.Rects().list.bottom;
  SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(900, y0));
  DropPostedMove(f.hwnd());
  for (int y = y0 + 10; y <= y0 + 40; y += 10)
    SendMessageW(f.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(900, y));
  EXPECT_EQ(f.DragState(), layout::FrameDrag::kListChatDrag);
  EXPECT_TRUE(IsWindowVisible(f.BarWindow())) << "the bar shows where the boundary goes";
  testing::SaveWindowPng(f.hwnd(), Artefact("table_frame_drag.png"));
  SendMessageW(f.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(900, y0 + 40));
  EXPECT_EQ(f.m_nListHeight, before + 40);
  EXPECT_EQ(f.Rects().list.bottom, y0 + 40);
  EXPECT_FALSE(IsWindowVisible(f.BarWindow()));
  EXPECT_EQ(f.DragState(), layout::FrameDrag::kNone);
  EXPECT_EQ(f.calls, std::vector<std::string>{"RefreshLayout"});
  EXPECT_NE(GetCapture(), f.hwnd());
}

TEST_F(TableFrameTest, ColumnBoundaryDragAndSplitterOperations) {
  TestTableWnd& f = Frame();
  const int x0 = f.Rects().play.right + 2;
  SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, 600));
  DropPostedMove(f.hwnd());
  for (int x = x0 - 20; x >= x0 - 60; x -= 20)
    SendMessageW(f.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 600));
  EXPECT_EQ(f.DragState(), layout::FrameDrag::kColumn);
  SendMessageW(f.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x0 - 60, 600));
  // The bar followed the pointer from the press (730) to 670: its left edge from 728 to 668.
  EXPECT_EQ(f.ColumnWidth(), 1024 - 668);
  EXPECT_EQ(f.Rects().play.right, 4 + 1024 - 356);
  EXPECT_EQ(f.calls, std::vector<std::string>{"InvalidatePanes"});

  EXPECT_TRUE(f.MoveSplitterLeft(56));
  EXPECT_EQ(f.ColumnWidth(), 300);
  f.ToggleSplitter();
  EXPECT_EQ(f.ColumnWidth(), 200);
  f.ToggleSplitter();
  EXPECT_EQ(f.ColumnWidth(), 300);
}

TEST_F(TableFrameTest, SkinChangesLeakNoGdiObject) {
  TestTableWnd& f = Frame();
  auto cycle = [&f] {
    f.LoadFrameBitmaps(StyleModules().style1);
    f.LayoutChildren(0, 0, 1024, 768);
    f.PaintFrame();
    f.LoadFrameBitmaps(StyleModules().style0);
    f.LayoutChildren(0, 0, 1024, 768);
    f.PaintFrame();
    Pump();
  };
  cycle();
  cycle();
  const DWORD before = testing::GdiObjectCount();
  constexpr DWORD kCycles = 20;
  for (DWORD i = 0; i < kCycles; ++i) cycle();
  // Each cycle replaces about eighty bitmaps, icons and brushes; a single one left behind per
  // cycle would show as 20 more. (The system's own DC cache moves the count by a few.)
  EXPECT_LE(testing::GdiObjectCount(), before + 6);

  // A skin change from outside: 0x470 reloads, redraws the table and the frame.
  f.reload = StyleModules().style1;
  SendMessageW(f.hwnd(), kMsgSkinChange, 0, 0);
  EXPECT_EQ(f.calls, std::vector<std::string>{"DrawTable"});
  Canvas canvas(1024, 768);
  testing::CaptureWindow(f.hwnd(), canvas);
  canvas.SavePng(Artefact("table_frame_style1.png"));
  EXPECT_EQ(canvas.At(f.Rects().play.left + 6, 400), Rgb(230, 200, 120));
  f.reload = nullptr;
  SendMessageW(f.hwnd(), kMsgSkinChange, 0, 0);  // no module: nothing changes
  f.LoadFrameBitmaps(StyleModules().style0);
  f.LayoutChildren(0, 0, 1024, 768);
}

TEST_F(TableFrameTest, GrowingTheWindowRemakesTheBackBuffer) {
  TestTableWnd& f = Frame();
  SetWindowPos(f.hwnd(), nullptr, 0, 0, 1090, 790, SWP_NOZORDER);
  f.LayoutChildren(0, 0, 1090, 790);
  Canvas canvas(1090, 790);
  testing::CaptureWindow(f.hwnd(), canvas);
  EXPECT_EQ(canvas.At(1089, 789), Rgb(12, 20, 34)) << "the new corner is painted";
  EXPECT_EQ(canvas.At(1089, 400), Rgb(12, 20, 34));
  // A small screen's frame, for a person to look at.
  SetWindowPos(f.hwnd(), nullptr, 0, 0, 800, 600, SWP_NOZORDER);
  f.LayoutChildren(0, 0, 800, 600);
  Canvas small(800, 600);
  testing::CaptureWindow(f.hwnd(), small);
  small.SavePng(Artefact("table_frame_800x600.png"));
  EXPECT_EQ(small.At(799, 599), Rgb(12, 20, 34));
  SetWindowPos(f.hwnd(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
  f.LayoutChildren(0, 0, 1024, 768);
}

// A frame of its own, made and laid out as the main frame makes it, at w x h.
std::unique_ptr<TestTableWnd> MakeFrame(int w, int h) {
  auto f = std::make_unique<TestTableWnd>();
  if (!f->CreateChildren(kIdTableWindow, testing::Host())) return nullptr;
  f->SetCaptionText("\xbf\xad\xce\xd6\xc2\xe9\xbd\xab");  // 卡沃麻将
  f->LoadResources(StyleModules().style0, 0);
  SetWindowPos(f->hwnd(), HWND_TOP, 0, 0, w, h, 0);
  f->LayoutChildren(0, 0, w, h);
  f->PaintFrame();
  return f;
}

// What the screen shows inside `hwnd` once the pending repaints are done, and no more.
void CaptureAsShown(HWND hwnd, Canvas& canvas) {
  Pump(300);
  HDC dc = GetWindowDC(hwnd);
  BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(hwnd, dc);
}

// A main-frame resize: the frame takes the new client size, lays out, paints and asks for a
// repaint of itself.
void ResizeAsTheMainFrameDoes(TestTableWnd& f, int w, int h) {
  SetWindowPos(f.hwnd(), nullptr, 0, 0, w, h, SWP_NOZORDER);
  f.LayoutChildren(0, 0, w, h);
  f.PaintFrame();
  InvalidateRect(f.hwnd(), nullptr, TRUE);
}

TEST_F(TableFrameTest, AResizedFrameShowsWhatAFreshFrameOfTheSameSizeShows) {
  ShowWindow(Frame().hwnd(), SW_HIDE);
  auto resized = MakeFrame(1024, 768);
  ASSERT_TRUE(resized);
  Pump(300);
  // Stale drawing on the screen where the advert pane and the setup strip are: a resize must
  // leave none of it.
  for (HWND child : {resized->SetupStrip().hwnd(), resized->Advert().hwnd()}) {
    if (!child) continue;
    HDC dc = GetDC(child);
    RECT r{};
    GetClientRect(child, &r);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &r, magenta);
    DeleteObject(magenta);
    ReleaseDC(child, dc);
  }
  ResizeAsTheMainFrameDoes(*resized, 800, 600);
  Pump(300);
  ResizeAsTheMainFrameDoes(*resized, 1024, 768);
  Canvas shown(1024, 768);
  CaptureAsShown(resized->hwnd(), shown);
  shown.SavePng(Artefact("table_frame_resized.png"));
  ShowWindow(resized->hwnd(), SW_HIDE);

  auto fresh = MakeFrame(1024, 768);
  ASSERT_TRUE(fresh);
  Canvas expected(1024, 768);
  CaptureAsShown(fresh->hwnd(), expected);
  expected.SavePng(Artefact("table_frame_fresh.png"));
  ShowWindow(fresh->hwnd(), SW_HIDE);
  ShowWindow(Frame().hwnd(), SW_SHOW);

  int differ = 0, first_x = -1, first_y = -1;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      if (shown.At(x, y) != expected.At(x, y) && differ++ == 0) first_x = x, first_y = y;
  EXPECT_EQ(differ, 0) << "first at (" << first_x << ", " << first_y << "): 0x" << std::hex
                       << shown.At(first_x, first_y) << " shown, 0x"
                       << expected.At(first_x, first_y) << " fresh";
  // The setup strip's gaps show the frame under it, as a fresh frame shows it.
  const layout::Rect s = fresh->Rects().setupButtons;
  EXPECT_EQ(expected.At(s.left, s.top), expected.At(s.left - 1, s.top))
      << "the strip's transparent corner shows the frame";
}

TEST_F(TableFrameTest, WithoutAStyleModuleTheFrameStillLaysOutAndPaints) {
  TestTableWnd bare;
  ASSERT_TRUE(bare.CreateChildren(kIdTableWindow, testing::Host()));
  bare.LoadResources(nullptr, 0);
  SetWindowPos(bare.hwnd(), nullptr, 0, 0, 300, 200, SWP_NOZORDER);
  bare.LayoutChildren(0, 0, 300, 200);  // smaller than the column: nothing breaks
  bare.PaintFrame();
  EXPECT_EQ(bare.Metrics().m_nCaptionHeight, 0);
  EXPECT_EQ(bare.Rects().setupButtons.left, bare.Rects().play.right + 20);
  SendMessageW(bare.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 100));
  DropPostedMove(bare.hwnd());
  SendMessageW(bare.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 100));
  Canvas canvas(300, 200);
  testing::CaptureWindow(bare.hwnd(), canvas);
  ShowWindow(bare.hwnd(), SW_HIDE);
}

}  // namespace
}  // namespace framework_window
