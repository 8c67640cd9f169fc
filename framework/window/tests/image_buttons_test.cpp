// Button strips under Wine: pictures loaded from the sample skin, clicks to the owner, hover
// and repaint, tooltips, missing pictures, and the title buttons acting on the main window.
#include "image_buttons.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "window_test_support.h"
#include "window_texts.h"

namespace framework_window {
namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WindowTestEnvironment);

using testing::Canvas;
using testing::Near;
using testing::PicturePixel;
using testing::Pump;
using testing::RecordingWindow;

std::string Skin(const char* name) { return std::string(KORVEL_SKIN_DIR) + "\\" + name; }
std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
LPARAM CentreOf(const layout::ButtonGrid& g, int index) {
  const layout::Rect r = g.CellRect(index);
  return At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// What the strip paints, into a canvas of its client size.
uint32_t PaintedAt(HWND strip, Canvas& canvas, int x, int y) {
  SendMessageW(strip, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  return canvas.At(x, y);
}

// A strip that keeps what its click hook was given, as a derived strip of the table does.
class RecordingStrip : public CImage_Buttons {
 public:
  std::vector<int16_t> clicks;
  void OnButtonClick(int16_t index) override { clicks.push_back(index); }
};

class ImageButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ActivateHost();
    owner_.CreateChild(testing::Host(), 600, 400, 10, 10);
  }
  template <class Strip>
  void MakeSetupStrip(Strip& strip, int x = 20, int y = 20) {
    ASSERT_TRUE(strip.Create(testing::Host(), 36873));
    strip.LoadImages(Skin("setup_gray.png").c_str(), Skin("setup_color.png").c_str(), 4, 1);
    for (const char* tip : {kTipShop, kTipHelp, kTipSettings, kTipExit}) strip.AddTip(tip);
    strip.SetOwner(owner_.hwnd());
    strip.CreateTips();
    const SIZE s = strip.PictureSize();
    SetWindowPos(strip.hwnd(), nullptr, x, y, s.cx, s.cy, SWP_NOZORDER);
    Pump();
  }
  RecordingWindow owner_;
};

TEST_F(ImageButtonsTest, SetupStripSendsOneMessagePerButtonAndNothingOutside) {
  CSetup_Buttons strip;
  MakeSetupStrip(strip);
  EXPECT_EQ(strip.PictureSize().cx, 208);
  EXPECT_EQ(strip.PictureSize().cy, 24);
  for (int i = 0; i < 4; ++i) {
    SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(strip.Grid(), i));
    SendMessageW(strip.hwnd(), WM_LBUTTONUP, 0, CentreOf(strip.Grid(), i));
  }
  SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(300, 5));  // no button: -1
  EXPECT_EQ(owner_.Messages(), (std::vector<UINT>{0x52C, 0x52D, 0x52E, 0x52F}));
  for (const auto& r : owner_.records) EXPECT_EQ(r.wp | r.lp, 0u);
}

TEST_F(ImageButtonsTest, PageButtonsSendBackAndForward) {
  CPage_Buttons strip;
  ASSERT_TRUE(strip.Create(testing::Host(), 33281));
  strip.LoadImages(Skin("page_button_gray.png").c_str(), Skin("page_button_color.png").c_str(), 2,
                   1);
  strip.SetOwner(owner_.hwnd());
  SetWindowPos(strip.hwnd(), nullptr, 20, 60, strip.PictureSize().cx, strip.PictureSize().cy,
               SWP_NOZORDER);
  SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(strip.Grid(), 1));
  SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(strip.Grid(), 0));
  EXPECT_EQ(owner_.Messages(), (std::vector<UINT>{0x465, 0x464}));
}

TEST_F(ImageButtonsTest, ClickHookGetsTheIndexOrMinusOne) {
  RecordingStrip strip;
  MakeSetupStrip(strip);
  SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(0, 0));
  SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(207, 23));
  SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(208, 10));
  EXPECT_EQ(strip.clicks, (std::vector<int16_t>{0, 3, -1}));
  EXPECT_TRUE(owner_.records.empty());
}

TEST_F(ImageButtonsTest, HoverPaintsTheHighlightCellAndRepaintsOnlyOnAChange) {
  CSetup_Buttons strip;
  MakeSetupStrip(strip);
  Canvas canvas(208, 24);
  const int fx = 52 * 2 + 5, fy = 12;  // on the face of button 2, clear of its label
  const uint32_t normal = PicturePixel(Skin("setup_gray.png"), fx, fy);
  const uint32_t lit = PicturePixel(Skin("setup_color.png"), fx, fy);
  ASSERT_FALSE(Near(normal, lit, 40));
  EXPECT_TRUE(Near(PaintedAt(strip.hwnd(), canvas, fx, fy), normal));

  ValidateRect(strip.hwnd(), nullptr);
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, CentreOf(strip.Grid(), 2));
  EXPECT_EQ(strip.HoverIndex(), 2);
  EXPECT_TRUE(GetUpdateRect(strip.hwnd(), nullptr, FALSE)) << "a new hover repaints";
  EXPECT_TRUE(Near(PaintedAt(strip.hwnd(), canvas, fx, fy), lit));
  EXPECT_TRUE(Near(PaintedAt(strip.hwnd(), canvas, 5, fy),
                   PicturePixel(Skin("setup_gray.png"), 5, fy)))
      << "other buttons keep the normal look";

  ValidateRect(strip.hwnd(), nullptr);
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, At(fx, fy));
  EXPECT_FALSE(GetUpdateRect(strip.hwnd(), nullptr, FALSE)) << "same button: no repaint";
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, CentreOf(strip.Grid(), 3));
  EXPECT_EQ(strip.HoverIndex(), 3);
  EXPECT_TRUE(GetUpdateRect(strip.hwnd(), nullptr, FALSE));

  testing::SaveWindowPng(testing::Host(), Artefact("image_buttons_hover.png"));

  SendMessageW(strip.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(strip.HoverIndex(), -1);
  EXPECT_FALSE(strip.Tracking());
  EXPECT_TRUE(Near(PaintedAt(strip.hwnd(), canvas, fx, fy), normal));

  // Entering with the left button held (a drag from elsewhere) lights nothing.
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, CentreOf(strip.Grid(), 1));
  EXPECT_EQ(strip.HoverIndex(), -1);
  // Losing the focus ends a hover.
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, CentreOf(strip.Grid(), 1));
  EXPECT_EQ(strip.HoverIndex(), 1);
  SendMessageW(strip.hwnd(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(strip.HoverIndex(), -1);
}

TEST_F(ImageButtonsTest, NoHoverWhenAnotherWindowCoversTheStrip) {
  CSetup_Buttons strip;
  MakeSetupStrip(strip, 20, 100);
  RecordingWindow cover;
  cover.CreateChild(testing::Host(), 20, 100, 60, 24);
  SetWindowPos(cover.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, CentreOf(strip.Grid(), 0));
  EXPECT_EQ(strip.HoverIndex(), -1);
  SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, CentreOf(strip.Grid(), 2));
  EXPECT_EQ(strip.HoverIndex(), 2);
}

TEST_F(ImageButtonsTest, TooltipsOnePerCellWithTextOnRequest) {
  CSetup_Buttons strip;
  MakeSetupStrip(strip);
  HWND tip = strip.ToolTip();
  ASSERT_TRUE(tip);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 4);
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = strip.hwnd();
  ti.uId = 3;
  ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_EQ(ti.rect.left, 104);
  EXPECT_EQ(ti.rect.right, 156);

  struct Case {
    UINT_PTR id;
    LRESULT result;
    const wchar_t* text;
  } cases[] = {{1, 1, L"商城"}, {4, 1, L"退出"}, {0, 0, L""}, {5, 0, L""}};
  for (const Case& c : cases) {
    NMTTDISPINFOW info{};
    info.hdr = NMHDR{tip, c.id, TTN_NEEDTEXTW};
    EXPECT_EQ(SendMessageW(strip.hwnd(), WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&info)),
              c.result)
        << c.id;
    EXPECT_STREQ(info.szText, c.text) << c.id;
  }
  NMTTDISPINFOA ansi{};
  ansi.hdr = NMHDR{tip, 3, TTN_NEEDTEXTA};
  EXPECT_EQ(SendMessageW(strip.hwnd(), WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&ansi)), 1);
  EXPECT_STREQ(ansi.szText, kTipSettings);
}

TEST_F(ImageButtonsTest, LongTipsAreCutToTheTooltipBufferOnACharacterBoundary) {
  CSetup_Buttons strip;
  ASSERT_TRUE(strip.Create(testing::Host(), 1));
  strip.LoadImages(Skin("setup_gray.png").c_str(), Skin("setup_color.png").c_str(), 4, 1);
  std::string long_tip = "a";
  for (int i = 0; i < 60; ++i) long_tip += kTipShop;  // 1 + 240 bytes
  strip.AddTip(long_tip.c_str());
  strip.CreateTips();
  NMTTDISPINFOA ansi{};
  ansi.hdr = NMHDR{strip.ToolTip(), 1, TTN_NEEDTEXTA};
  SendMessageW(strip.hwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&ansi));
  EXPECT_EQ(strlen(ansi.szText), 79u);  // "a" and 39 whole characters
  EXPECT_EQ(std::string(ansi.szText), long_tip.substr(0, 79));
}

TEST_F(ImageButtonsTest, MissingPicturesDrawAndHitNothing) {
  struct Case {
    const char* what;
    std::string normal, highlight;
    LONG width;
  } cases[] = {
      {"both missing", Skin("no_such.png"), Skin("no_such_either.png"), 0},
      {"not a picture", std::string(KORVEL_SKIN_DIR) + "\\..\\CMakeCache.txt", "", 0},
      {"empty paths", "", "", 0},
      {"highlight missing", Skin("setup_gray.png"), Skin("no_such.png"), 208},
  };
  for (const Case& c : cases) {
    RecordingStrip strip;
    ASSERT_TRUE(strip.Create(testing::Host(), 1));
    strip.LoadImages(c.normal.c_str(), c.highlight.c_str(), 4, 1);
    SetWindowPos(strip.hwnd(), nullptr, 20, 200, 208, 24, SWP_NOZORDER);
    EXPECT_EQ(strip.PictureSize().cx, c.width) << c.what;
    SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, At(60, 12));
    Canvas canvas(208, 24, 0x00123456);
    const uint32_t painted = PaintedAt(strip.hwnd(), canvas, 60 + 5, 12);
    if (c.width == 0) {
      // No picture: the strip shows what its owner paints under it.
      Canvas owner(208, 24, 0x00123456);
      SetViewportOrgEx(owner.dc(), -20, -200, nullptr);
      SendMessageW(testing::Host(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(owner.dc()), 0);
      SetViewportOrgEx(owner.dc(), 0, 0, nullptr);
      EXPECT_EQ(painted, owner.At(60 + 5, 12)) << c.what;
      SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(60, 12));
      EXPECT_EQ(strip.clicks, (std::vector<int16_t>{-1})) << c.what;
    } else {
      // The strip still shows; the hovered button has no highlight to show.
      EXPECT_TRUE(Near(painted, PicturePixel(Skin("setup_gray.png"), 65, 12))) << c.what;
    }
  }
}

TEST_F(ImageButtonsTest, ReloadingReplacesPicturesAndCells) {
  CPage_Buttons strip;
  ASSERT_TRUE(strip.Create(testing::Host(), 1));
  strip.LoadImages(Skin("setup_gray.png").c_str(), Skin("setup_color.png").c_str(), 4, 1);
  strip.LoadImages(Skin("page_button_gray.png").c_str(), Skin("page_button_color.png").c_str(), 2,
                   1);
  EXPECT_EQ(strip.PictureSize().cx, 120);
  EXPECT_EQ(strip.Grid().CellCount(), 2);
  EXPECT_EQ(strip.Grid().HitTest({61, 5}), 1);
}

// A picture read ahead on another thread is what the first load of its path gets, and it is
// gone from the pictures read ahead then; those never taken are dropped. (A picture read from a
// file keeps the file open: a file that can be deleted is held by no picture.)
TEST(PreloadedPictures, TakenOnceByTheFirstLoadOfTheirPathOrDropped) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string taken = std::string(temp) + "korvel_preload_taken.png";
  const std::string dropped = std::string(temp) + "korvel_preload_dropped.png";
  for (const std::string& copy : {taken, dropped})
    ASSERT_TRUE(CopyFileA(Skin("setup_gray.png").c_str(), copy.c_str(), FALSE));
  std::thread ahead([&] { PreloadPictures({taken, dropped, Skin("no_such_picture.png")}); });
  ahead.join();
  EXPECT_FALSE(DeleteFileA(dropped.c_str()));  // held by its picture, read ahead
  {
    BitmapPtr first = LoadPicture(taken.c_str());
    ASSERT_TRUE(first);
    EXPECT_EQ(PictureSizeOf(first.get()).cx, 208);
  }
  EXPECT_TRUE(DeleteFileA(taken.c_str()));  // the picture handed out was the one read ahead
  EXPECT_FALSE(LoadPicture(taken.c_str()));
  EXPECT_FALSE(LoadPicture(Skin("no_such_picture.png").c_str()));
  DropPreloadedPictures();
  EXPECT_TRUE(DeleteFileA(dropped.c_str()));
}

class TitleButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ActivateHost();
    ASSERT_TRUE(title_.Create(testing::Host(), 36886));
    title_.LoadImages(Skin("icon_1.png").c_str(), Skin("icon_1_gray.png").c_str(),
                      Skin("icon_2.png").c_str(), Skin("icon_2_gray.png").c_str(), 3, 1);
    SetWindowPos(title_.hwnd(), nullptr, 1000, 4, title_.PictureSize().cx,
                 title_.PictureSize().cy, SWP_NOZORDER);
  }
  void TearDown() override { testing::ActivateHost(); }
  void Click(int index) {
    SendMessageW(title_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(index * 26 + 13, 10));
    Pump();
  }
  CTitle_Buttons title_;
};

TEST_F(TitleButtonsTest, MaximiseRestoreMinimiseAndCloseTheMainWindow) {
  HWND main = testing::Host();
  Click(1);
  EXPECT_TRUE(IsZoomed(main));
  Click(1);
  EXPECT_FALSE(IsZoomed(main));
  Click(0);
  EXPECT_TRUE(IsIconic(main));
  testing::ActivateHost();
  Click(2);  // posts WM_CLOSE; the host only records it
  Click(-1);
  EXPECT_FALSE(IsIconic(main));
}

TEST_F(TitleButtonsTest, PicturePairFollowsTheMaximisedFlagOverTheBackColour) {
  Canvas canvas(78, 20, 0x00FF00FF);
  const int x = 26 + 9, y = 5;  // on the restore glyph, off the maximise glyph
  const uint32_t a = PicturePixel(Skin("icon_1.png"), x, y);
  const uint32_t b = PicturePixel(Skin("icon_2.png"), x, y);
  ASSERT_FALSE(Near(a, b, 40));
  EXPECT_TRUE(title_.Maximized());
  EXPECT_TRUE(Near(PaintedAt(title_.hwnd(), canvas, x, y), a));
  title_.SetMaximized(false);
  EXPECT_TRUE(Near(PaintedAt(title_.hwnd(), canvas, x, y), b));
  // The rounded corner is transparent: the back colour shows through.
  EXPECT_EQ(PaintedAt(title_.hwnd(), canvas, 0, 0), 0x090909u);
  title_.SetBackColor(RGB(0x20, 0x40, 0x60));
  EXPECT_EQ(PaintedAt(title_.hwnd(), canvas, 0, 0), 0x204060u);
  // Hover over the close button shows highlight B's cell.
  SendMessageW(title_.hwnd(), WM_MOUSEMOVE, 0, At(2 * 26 + 4, 10));
  EXPECT_EQ(title_.HoverIndex(), 2);
  EXPECT_TRUE(Near(PaintedAt(title_.hwnd(), canvas, 2 * 26 + 4, 10),
                   PicturePixel(Skin("icon_2_gray.png"), 2 * 26 + 4, 10)));
}

TEST(ImageButtonsPicture, AllStripsTogether) {
  testing::ActivateHost();
  RecordingWindow owner;
  owner.CreateChild(testing::Host(), 600, 400, 10, 10);
  CSetup_Buttons setup;
  CPage_Buttons pages;
  CTitle_Buttons title;
  setup.Create(testing::Host(), 36873);
  setup.LoadImages(Skin("setup_gray.png").c_str(), Skin("setup_color.png").c_str(), 4, 1);
  pages.Create(testing::Host(), 33281);
  pages.LoadImages(Skin("page_button_gray.png").c_str(), Skin("page_button_color.png").c_str(), 2,
                   1);
  title.Create(testing::Host(), 36886);
  title.LoadImages(Skin("icon_1.png").c_str(), Skin("icon_1_gray.png").c_str(),
                   Skin("icon_2.png").c_str(), Skin("icon_2_gray.png").c_str(), 3, 1);
  title.SetMaximized(false);
  SetWindowPos(setup.hwnd(), nullptr, 10, 10, 208, 24, SWP_NOZORDER);
  SetWindowPos(pages.hwnd(), nullptr, 10, 44, 120, 22, SWP_NOZORDER);
  SetWindowPos(title.hwnd(), nullptr, 230, 10, 78, 20, SWP_NOZORDER);
  SendMessageW(setup.hwnd(), WM_MOUSEMOVE, 0, At(80, 12));
  SendMessageW(title.hwnd(), WM_MOUSEMOVE, 0, At(60, 10));
  Canvas canvas(320, 80);
  testing::CaptureWindow(testing::Host(), canvas);
  EXPECT_TRUE(canvas.SavePng(Artefact("image_buttons.png")));
  // Button 1 of the setup strip is lit; button 0 is not.
  EXPECT_TRUE(Near(canvas.At(10 + 57, 22), PicturePixel(Skin("setup_color.png"), 57, 12)));
  EXPECT_TRUE(Near(canvas.At(10 + 5, 22), PicturePixel(Skin("setup_gray.png"), 5, 12)));
}

}  // namespace
}  // namespace framework_window
