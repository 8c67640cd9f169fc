// Bitmap frames and bands from the sample style module, the splitter bar and the paged
// picture grid under Wine.
#include "skin_bitmaps.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "window_test_support.h"

namespace framework_window {
namespace {

using testing::Canvas;
using testing::RecordingWindow;

HMODULE Style() {
  static HMODULE m = LoadLibraryA((std::string(KORVEL_BIN_DIR) + "\\pellamres01.dll").c_str());
  return m;
}
uint32_t Rgb(int r, int g, int b) { return (static_cast<uint32_t>(r) << 16) | (g << 8) | b; }

TEST(SkinBitmaps, NinePartFrameDrawsPiecesAndFillOrNothing) {
  ASSERT_TRUE(Style());
  NinePartFrame frame;
  frame.SetFillColour(RGB(1, 2, 3));
  frame.Load(Style(), "IDB_BORDER61", "IDB_BORDER63", "IDB_BORDER66", "IDB_BORDER68",
             "IDB_BORDER64", "IDB_BORDER62", "IDB_BORDER65", "IDB_BORDER67");
  ASSERT_TRUE(frame.Complete());
  Canvas canvas(100, 60, 0x00FF00FF);
  frame.Draw(canvas.dc(), 10, 10, 61, 37);
  EXPECT_EQ(canvas.At(10, 10), Rgb(12, 20, 34));          // outer line of the corner
  EXPECT_EQ(canvas.At(10 + 6, 30), Rgb(214, 170, 84));    // the left edge's gold line
  EXPECT_EQ(canvas.At(70, 46), Rgb(12, 20, 34));          // bottom-right corner
  EXPECT_EQ(canvas.At(40, 30), Rgb(1, 2, 3));             // the fill
  EXPECT_EQ(canvas.At(5, 5), 0xFF00FFu);                  // outside the frame
  canvas.SavePng(std::string(KORVEL_ARTEFACT_DIR) + "/nine_part_frame.png");

  // The clipped draw copies from a cached rendering.
  Canvas clipped(100, 60, 0x00FF00FF);
  frame.DrawClipped(clipped.dc(), 10, 10, 61, 37, 10, 10, 61, 8);
  EXPECT_EQ(clipped.At(10, 10), Rgb(12, 20, 34));
  EXPECT_EQ(clipped.At(40, 30), 0xFF00FFu) << "only the asked part";

  NinePartFrame partial;
  partial.Load(Style(), "IDB_BORDER61", "NO_SUCH", "IDB_BORDER66", "IDB_BORDER68", "IDB_BORDER64",
               "IDB_BORDER62", "IDB_BORDER65", "IDB_BORDER67");
  Canvas untouched(40, 40, 0x00FF00FF);
  partial.Draw(untouched.dc(), 0, 0, 40, 40);
  EXPECT_EQ(untouched.At(0, 0), 0xFF00FFu) << "a missing piece: nothing drawn";
}

TEST(SkinBitmaps, BandsAndStrings) {
  ThreePartStrip band;
  band.Load(Style(), "IDB_BORDER41", "IDB_BORDER42", "IDB_BORDER43");
  EXPECT_EQ(band.LeftSize().height, 22);
  Canvas canvas(50, 30, 0x00FF00FF);
  band.Draw(canvas.dc(), 0, 0, 47);
  EXPECT_EQ(canvas.At(46, 21), Rgb(12, 20, 34));
  EXPECT_EQ(canvas.At(47, 5), 0xFF00FFu);
  ThreePartStrip none;
  none.Load(nullptr, "IDB_BORDER41", "IDB_BORDER42", "IDB_BORDER43");
  none.Draw(canvas.dc(), 0, 0, 47);  // nothing, no crash

  EXPECT_EQ(LoadResString(Style(), 147), "skin");
  EXPECT_EQ(LoadResString(Style(), 9999), "");
  EXPECT_EQ(LoadResString(nullptr, 147), "");
}

TEST(SkinBitmaps, SplitterBarPaintsItsBrushOrRed) {
  testing::ActivateHost();
  CSplitter_Wnd bar;
  ASSERT_TRUE(bar.Create(testing::Host(), 33025, WS_CHILD));
  Canvas canvas(6, 6);
  SendMessageW(bar.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  GetClientRect(bar.hwnd(), nullptr);
  SetWindowPos(bar.hwnd(), nullptr, 0, 0, 6, 6, SWP_NOZORDER);
  SendMessageW(bar.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_EQ(canvas.At(2, 2), 0xFF0000u);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 200));
  bar.SetBrush(brush);
  SendMessageW(bar.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_EQ(canvas.At(2, 2), 0x0000C8u);
  bar.Destroy();
  DeleteObject(brush);
}

TEST(SkinBitmaps, PictureGridPagesToolsAndClicks) {
  testing::ActivateHost();
  RecordingWindow owner;
  owner.CreateChild(testing::Host(), 1000, 700, 5, 5);
  const std::string skin = KORVEL_SKIN_DIR;
  std::vector<PreviewItem> items;
  for (int i = 0; i < 10; ++i)
    items.push_back(PreviewItem{"item" + std::to_string(i),
                                i == 3 ? std::string() : skin + (i % 2 ? "\\ok.png" : "\\off.png")});
  CImage_Preview grid;
  const RECT rect{12, 400, 12 + 120, 400 + 120};
  ASSERT_TRUE(grid.Create(testing::Host(), 33280, rect));
  grid.SetItems(&items, rect, 40, 40);
  grid.SetOwner(owner.hwnd());
  grid.SetBackground((skin + "\\dlg_bk.png").c_str());
  EXPECT_EQ(grid.Pages().page_count(), 2);
  EXPECT_EQ(grid.LoadedPictures(), 9u);
  EXPECT_FALSE(grid.PrevPage());
  ASSERT_TRUE(grid.NextPage());
  EXPECT_EQ(grid.LoadedPictures(), 10u);
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ASSERT_TRUE(SendMessageW(grid.ToolTip(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_EQ(ti.uId, 10u);
  EXPECT_EQ(SendMessageW(grid.ToolTip(), TTM_GETTOOLCOUNT, 0, 0), 9);
  EXPECT_FALSE(grid.NextPage());

  SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_EQ(owner.records.size(), 1u);
  EXPECT_EQ(owner.records[0].msg, 0x466u);
  EXPECT_EQ(owner.records[0].wp, 9u);
  SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 5));  // no cell
  EXPECT_EQ(owner.records.size(), 1u);

  SendMessageW(grid.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(45, 5));
  EXPECT_EQ(grid.HoverItem(), 10) << "cell 1 of page 1";

  NMTTDISPINFOW info{};
  info.hdr = NMHDR{grid.ToolTip(), 10, TTN_NEEDTEXTW};
  EXPECT_EQ(SendMessageW(grid.hwnd(), WM_NOTIFY, 10, reinterpret_cast<LPARAM>(&info)), 1);
  EXPECT_STREQ(info.szText, L"item9");
  info.hdr.idFrom = 11;
  EXPECT_EQ(SendMessageW(grid.hwnd(), WM_NOTIFY, 11, reinterpret_cast<LPARAM>(&info)), 0);

  grid.PrevPage();
  Canvas canvas(120, 120);
  SendMessageW(grid.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_EQ(canvas.At(40, 60), 0x030303u) << "grid line";
  canvas.SavePng(std::string(KORVEL_ARTEFACT_DIR) + "/image_preview.png");
}

}  // namespace
}  // namespace framework_window
