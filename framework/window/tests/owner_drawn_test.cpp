// The own-look controls under Wine: the picture button's faces, the game button's check
// mark, and the owner-drawn menu's items, measured and drawn.
#include "owner_drawn.h"

#include <gtest/gtest.h>

#include <string>

#include "window_test_support.h"
#include "window_texts.h"

namespace framework_window {
namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WindowTestEnvironment);

using testing::Canvas;
using testing::Near;
using testing::PicturePixel;

std::string Skin(const char* name) { return std::string(KORVEL_SKIN_DIR) + "\\" + name; }
std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

HWND MakeButton(DWORD style, int x, int y, int w, int h, const char* text = "") {
  return CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | style, x, y,
                         w, h, testing::Host(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

uint32_t Painted(HWND button, Canvas& canvas, int x, int y) {
  SendMessageW(button, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  return canvas.At(x, y);
}

class OwnerDrawnTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ActivateHost(); }
};

TEST_F(OwnerDrawnTest, ImageButtonFaceByStateAndHover) {
  // Normal "ok", disabled "off", hover the dialog panel: three different faces.
  const std::string normal = Skin("ok.png"), disabled = Skin("off.png"),
                    hover = Skin("dlg_bk.png");
  const int x = 4, y = 10;
  const uint32_t n = PicturePixel(normal, x, y), d = PicturePixel(disabled, x, y);
  struct Case {
    const char* what;
    DWORD style;
    bool hover_on, enabled;
    uint32_t want;
    bool hovering;
  } cases[] = {
      {"flat, hover on: the hover face", BS_FLAT, true, true, 0, true},
      {"not flat: never hovers", 0, true, true, n, false},
      {"hover off", BS_FLAT, false, true, n, false},
      {"disabled shows its face even under the pointer", BS_FLAT, true, false, d, true},
  };
  for (const Case& c : cases) {
    HWND h = MakeButton(c.style, 400, 300, 50, 20);
    CImageButton button;
    ASSERT_TRUE(button.Attach(h));
    button.SetImages(normal.c_str(), disabled.c_str(), hover.c_str());
    button.EnableHover(c.hover_on);
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EnableWindow(h, c.enabled);
    EXPECT_EQ(button.Hovering(), c.hovering) << c.what;
    Canvas canvas(50, 20);
    const uint32_t want = c.want ? c.want : PicturePixel(hover, x * 300 / 50, y * 85 / 20);
    EXPECT_TRUE(Near(Painted(h, canvas, x, y), want, 24)) << c.what;
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.Hovering()) << c.what;
    DestroyWindow(h);
  }
}

TEST_F(OwnerDrawnTest, ImageButtonWithoutPicturesDrawsNothing) {
  HWND h = MakeButton(0, 400, 300, 50, 20);
  CImageButton button;
  button.Attach(h);
  button.SetImages(Skin("missing.png").c_str(), "");
  Canvas canvas(50, 20, 0x00123456);
  EXPECT_EQ(Painted(h, canvas, 25, 10), 0x123456u);
  DestroyWindow(h);
  EXPECT_FALSE(button.hwnd()) << "detached when the window goes";
}

TEST_F(OwnerDrawnTest, GameButtonTogglesItsCheckMark) {
  HWND h = MakeButton(0, 20, 300, 90, 30, "\xd2\xf4\xd0\xa7");  // 音效
  CGameButton button;
  ASSERT_TRUE(button.Attach(h));
  EXPECT_TRUE(CGameButton::IsGameButton(h));
  button.SetColors(RGB(0x2b, 0x36, 0x45), RGB(0xff, 0xff, 0xff));
  // Before any paint: toggles off, so a press checks only while held.
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(button.GetCheck());
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  button.SetCheckMode(true, false);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(button.GetCheck());
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(button.GetCheck());
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(button.GetCheck());

  // Drawn: background colour and white text.
  Canvas canvas(90, 30);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = h;
  dis.hDC = canvas.dc();
  dis.rcItem = RECT{0, 0, 90, 30};
  dis.itemAction = ODA_DRAWENTIRE;
  button.DrawItem(&dis);
  EXPECT_EQ(canvas.At(80, 3), 0x2b3645u);
  int white = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 20; x < 90; ++x) white += canvas.At(x, y) == 0xFFFFFF;
  EXPECT_GT(white, 10) << "the checked text is drawn";
  canvas.SavePng(Artefact("game_button_checked.png"));

  // Focus moving to a window that is not a game button leaves the mark alone.
  CGameButton other;
  HWND h2 = MakeButton(0, 120, 300, 90, 30, "x");
  other.Attach(h2);
  button.SetCheckMode(true, true);
  SendMessageW(h, WM_KILLFOCUS, reinterpret_cast<WPARAM>(testing::Host()), 0);
  EXPECT_TRUE(button.GetCheck());
  // To another game button with the exclusive flag: cleared.
  SendMessageW(h, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h2), 0);
  EXPECT_FALSE(button.GetCheck());
  DestroyWindow(h);
  DestroyWindow(h2);
}

TEST_F(OwnerDrawnTest, MenuItemsOwnerDrawnWithTheirOwnTexts) {
  HMENU popup = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(sub, MF_STRING, 201, "\xcb\xbd\xc1\xc4");  // 私聊
  // 加为好友 / 查看资料
  AppendMenuA(popup, MF_STRING, 101, "\xbc\xd3\xce\xaa\xba\xc3\xd3\xd1");
  AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup, MF_STRING | MF_CHECKED, 102, "\xb2\xe9\xbf\xb4\xd7\xca\xc1\xcf");
  AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "more");
  {
    // The texts given to the menu are gone before it is drawn.
    CGameMenu menu;
    menu.SetItemSize(120, 24);
    menu.MakeOwnerDraw(popup);
    for (UINT pos = 0; pos < 4; ++pos) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_DATA;
      GetMenuItemInfoA(popup, pos, TRUE, &info);
      EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << pos;
    }
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    GetMenuItemInfoA(sub, 0, TRUE, &info);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_STREQ(CGameMenu::ItemText(info.dwItemData), "\xcb\xbd\xc1\xc4");

    MEASUREITEMSTRUCT mi{};
    mi.CtlType = ODT_MENU;
    mi.itemID = 101;
    menu.MeasureItem(&mi);
    EXPECT_EQ(mi.itemWidth, 120u);
    EXPECT_EQ(mi.itemHeight, 24u);
    mi.itemID = 0;
    menu.MeasureItem(&mi);
    EXPECT_EQ(mi.itemHeight, 10u) << "a separator is 10 high whatever the item height";

    // Three items drawn one under the other: normal, separator, checked and selected.
    Canvas canvas(120, 58);
    const struct {
      UINT pos, id, state;
      int top, height;
    } rows[] = {{0, 101, 0, 0, 24}, {1, 0, 0, 24, 10}, {2, 102, ODS_CHECKED | ODS_SELECTED, 34, 24}};
    for (const auto& r : rows) {
      MENUITEMINFOA it{};
      it.cbSize = sizeof it;
      it.fMask = MIIM_DATA;
      GetMenuItemInfoA(popup, r.pos, TRUE, &it);
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_MENU;
      dis.itemID = r.id;
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = r.state;
      dis.hDC = canvas.dc();
      dis.rcItem = RECT{0, r.top, 120, r.top + r.height};
      dis.itemData = it.dwItemData;
      menu.DrawItem(&dis);
    }
    EXPECT_EQ(canvas.At(1, 1), 0x008000u) << "green background";
    EXPECT_EQ(canvas.At(60, 24 + 4), 0x400080u) << "separator: top-left colour";
    EXPECT_EQ(canvas.At(60, 24 + 5), 0xFFFFFFu) << "separator: bottom-right colour";
    EXPECT_EQ(canvas.At(115, 36), testing::ColourOf(GetSysColor(COLOR_HIGHLIGHT)));
    canvas.SavePng(Artefact("game_menu.png"));

    // A pattern background replaces the brush; twice leaves one brush.
    HBITMAP pattern = CreateBitmap(8, 8, 1, 32, nullptr);
    const DWORD before = testing::GdiObjectCount();
    menu.SetBkBitmap(pattern);
    menu.SetBkBitmap(pattern);
    EXPECT_EQ(testing::GdiObjectCount(), before);
    DeleteObject(pattern);
  }
  EXPECT_FALSE(IsMenu(popup)) << "the menu goes with its owner";
}

// What the open menu measured, read from inside the menu's own loop.
RECT g_openRow{};
HWND g_openOwner = nullptr;
HMENU g_openMenu = nullptr;
void CALLBACK LookAtOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  GetMenuItemRect(g_openOwner, g_openMenu, 0, &g_openRow);
  EndMenu();
}

TEST_F(OwnerDrawnTest, TrackedMenuIsMeasuredForAnOwnerThatDoesNotPassItOn) {
  // A plain static window knows nothing of owner-drawn menus.
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                               testing::Host(), nullptr, GetModuleHandleW(nullptr), nullptr);
  CGameMenu menu;
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 101, "row\n");
  AppendMenuA(popup, MF_STRING, 102, "row");
  menu.MakeOwnerDraw(popup);
  menu.SetItemSize(140, 26);
  g_openOwner = owner;
  g_openMenu = popup;
  g_openRow = RECT{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 200, &LookAtOpenMenu);
  menu.Track(owner, POINT{100, 100}, 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_openRow.bottom - g_openRow.top, 26);
  EXPECT_GE(g_openRow.right - g_openRow.left, 140);
  // The owner is itself again: a later measure request is not answered by the menu.
  MEASUREITEMSTRUCT mi{};
  mi.CtlType = ODT_MENU;
  mi.itemID = 101;
  SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mi));
  EXPECT_EQ(mi.itemHeight, 0u);

  // A row's closing line break draws nothing: both rows look the same.
  Canvas with(140, 26), without(140, 26);
  for (auto [canvas, pos] : {std::pair{&with, 0u}, std::pair{&without, 1u}}) {
    MENUITEMINFOA it{};
    it.cbSize = sizeof it;
    it.fMask = MIIM_DATA;
    GetMenuItemInfoA(popup, pos, TRUE, &it);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = 101 + pos;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hDC = canvas->dc();
    dis.rcItem = RECT{0, 0, 140, 26};
    dis.itemData = it.dwItemData;
    menu.DrawItem(&dis);
  }
  int differing = 0;
  for (int y = 0; y < 26; ++y)
    for (int x = 0; x < 140; ++x) differing += with.At(x, y) != without.At(x, y);
  EXPECT_EQ(differing, 0);
  DestroyWindow(owner);
}

}  // namespace
}  // namespace framework_window
