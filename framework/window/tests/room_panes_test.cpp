// The pane hosts against the real controls: the person list (OzkPersonList.dll) with its skin,
// image lists, persons and context menu; the chat host with the chat control (Parley.dll).
#include "room_panes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "window_test_support.h"
#include "winkit/testing/com_test_support.h"

namespace framework_window {
namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"OzkPersonList.dll", L"Parley.dll"}));
[[maybe_unused]] auto* const g_win =
    ::testing::AddGlobalTestEnvironment(new testing::WindowTestEnvironment);

constexpr UINT kMenuId = 300;

HICON SolidIcon(COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP colourBits = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, colourBits);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r = {0, 0, 16, 16};
  FillRect(dc, &r, brush);
  SelectObject(dc, mask);
  PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
  SelectObject(dc, old);
  DeleteObject(brush);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info = {TRUE, 0, 0, mask, colourBits};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colourBits);
  DeleteObject(mask);
  return icon;
}

// A skin element that loads no libraries: its icons are set by the test.
class TestPersonListElement : public CPersonListShowElements {
 public:
  int LoadIconModule(char) override { return 0; }
};

class TestPersonList : public CVyrPersonListImp {
 public:
  TestPersonListElement element;
  bool failCreate = false;
  std::vector<std::string> errors;
  struct MenuState {
    UINT friendState, dislikeState, permitState;
  };
  std::vector<MenuState> shown;

  int CreateControl(HWND parent) override {
    return !failCreate && HostPersonListControl(parent, 1001, nullptr) ? 1 : 0;
  }
  CPersonListShowElements* GetShowElement() override { return &element; }
  void Reserved8() override {}

 protected:
  void ShowCreateError(const char* text) override { errors.push_back(text); }
  UINT TrackContextMenu(HMENU menu, POINT) override {
    shown.push_back({GetMenuState(menu, kItemFriend, MF_BYCOMMAND),
                     GetMenuState(menu, kItemDislike, MF_BYCOMMAND),
                     GetMenuState(menu, kItemPermitWatch, MF_BYCOMMAND)});
    return 0;
  }
};

TablePerson Person(uint32_t id, const char* name, int16_t seatno, int16_t watchno) {
  TablePerson p;
  p.id = id;
  std::strcpy(p.username, name);
  std::strcpy(p.nickname, name);
  p.deskno = 0;
  p.seatno = seatno;
  p.watchno = watchno;
  p.status = watchno == -1 ? 4 : 5;
  return p;
}

HWND ListView(const CVyrPersonListImp& pane) {
  return FindWindowExW(pane.ControlWindow(), nullptr, WC_LISTVIEWW, nullptr);
}

TEST(PersonListPane, ShowsBothPlayersAndAWatcherWithTheSkinIcons) {
  TestPersonList pane;
  ASSERT_EQ(pane.Create(testing::Host(), testing::Host()), 1);
  ASSERT_NE(pane.ControlWindow(), nullptr);
  pane.element.m_roomIcons = {SolidIcon(RGB(200, 0, 0)), SolidIcon(RGB(0, 200, 0))};
  for (COLORREF c : {RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200)}) {
    pane.element.m_skinIcons.emplace_back(SolidIcon(c));
  }
  pane.element.m_nSkinValue[0] = 0x00331A;  // the list's text
  pane.element.m_nSkinValue[3] = 0xE1E1E1;  // its background
  pane.InitSkin();
  EXPECT_EQ(ImageList_GetImageCount(pane.RoomImages()), 2);
  EXPECT_EQ(ImageList_GetImageCount(pane.PersonImages()), 3);
  // The control window is now told of skin changes through the frame.
  EXPECT_EQ(pane.element.FirstNotifyWindow(), testing::Host());

  PersonListColumn name = {};
  std::strcpy(name.title, "name");
  pane.AddColumn(&name);
  TablePerson east = Person(1, "east", 0, -1);
  TablePerson west = Person(2, "west", 1, -1);
  TablePerson watcher = Person(3, "watcher", 0, 0);
  west.headpicid = 1;
  watcher.headpicid = 2;
  pane.SetMyPerson(&east);
  pane.AddPerson(&east);
  pane.AddPerson(&west);
  pane.AddPerson(&watcher);
  pane.Move(10, 20, 220, 300);
  testing::Pump(50);
  HWND view = ListView(pane);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(ListView_GetItemCount(view), 3);
  RECT r;
  GetWindowRect(pane.ControlWindow(), &r);
  EXPECT_EQ(r.right - r.left, 220);
  EXPECT_EQ(r.bottom - r.top, 300);
  testing::SaveWindowPng(pane.ControlWindow(), KORVEL_ARTEFACT_DIR "/person_list_pane.png");

  pane.RemovePerson(&watcher);
  EXPECT_EQ(ListView_GetItemCount(view), 2);
  pane.element.m_roomIcons.clear();  // the icons are the test's: the element does not own them
}

TEST(PersonListPane, AnEmptySkinLeavesTheImageListsEmpty) {
  TestPersonList pane;
  ASSERT_EQ(pane.Create(testing::Host(), testing::Host()), 1);
  pane.InitSkin();
  EXPECT_EQ(ImageList_GetImageCount(pane.RoomImages()), 0);
  EXPECT_EQ(ImageList_GetImageCount(pane.PersonImages()), 0);
}

TEST(PersonListPane, ReSkinningChangesOnlyTheContextMenuBackground) {
  TestPersonList pane;
  ASSERT_EQ(pane.Create(testing::Host(), testing::Host()), 1);
  pane.element.m_listBitmap.Reset(CreateBitmap(8, 8, 1, 32, nullptr));
  pane.InitSkin();
  const HBRUSH contextBefore = pane.ContextMenu().BackgroundBrush();
  const HBRUSH secondBefore = pane.SecondMenu().BackgroundBrush();
  EXPECT_NE(secondBefore, nullptr);
  pane.element.m_listBitmap.Reset(CreateBitmap(8, 8, 1, 32, nullptr));
  pane.ApplySkin();
  EXPECT_NE(pane.ContextMenu().BackgroundBrush(), contextBefore);
  EXPECT_EQ(pane.SecondMenu().BackgroundBrush(), secondBefore);
}

TEST(PersonListPane, ContextMenuFollowsThePersonAndOnlyMyselfMayPermitWatching) {
  TestPersonList pane;
  ASSERT_EQ(pane.Create(testing::Host(), testing::Host()), 1);
  ASSERT_TRUE(pane.LoadContextMenu(kMenuId));
  TablePerson me = Person(1, "me", 0, -1);
  TablePerson other = Person(2, "other", 1, -1);
  other.ismyfriend = 1;
  me.is_permit_watch = 1;

  pane.UpdateContextMenu(&me, POINT{});  // before SetMyPerson: grayed for everybody
  pane.SetMyPerson(&me);
  pane.UpdateContextMenu(&me, POINT{});
  pane.UpdateContextMenu(&other, POINT{});
  EXPECT_EQ(pane.UpdateContextMenu(nullptr, POINT{}), 0u);  // nobody: no menu
  ASSERT_EQ(pane.shown.size(), 3u);
  EXPECT_TRUE(pane.shown[0].permitState & MF_GRAYED);
  EXPECT_TRUE(pane.shown[0].permitState & MF_CHECKED);
  EXPECT_FALSE(pane.shown[1].permitState & MF_GRAYED);
  EXPECT_FALSE(pane.shown[1].friendState & MF_CHECKED);
  EXPECT_TRUE(pane.shown[2].permitState & MF_GRAYED);
  EXPECT_TRUE(pane.shown[2].friendState & MF_CHECKED);
  EXPECT_FALSE(pane.shown[2].dislikeState & MF_CHECKED);
  // The items are drawn by the game menu.
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(pane.ContextMenu().menu(), 50001, FALSE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
}

TEST(PersonListPane, FailedCreationSaysSoAndCallsFail) {
  TestPersonList pane;
  pane.failCreate = true;
  EXPECT_EQ(pane.Create(testing::Host(), testing::Host()), 0);
  ASSERT_EQ(pane.errors.size(), 1u);
  EXPECT_EQ(pane.errors[0], kTextPersonListCreateFailed);
  try {
    pane.RedrawList();
    FAIL() << "no error";
  } catch (const PaneCallError& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
    EXPECT_TRUE(IsEqualIID(e.iid(), IID_IPersonList));
  }
}

class TestChat : public CVyrChatImp {
 public:
  CChatShowElements element;
  bool failCreate = false;
  int created = 0;
  std::vector<std::string> errors;

  int CreateControl(HWND parent) override {
    return !failCreate && HostChatControl(parent, 1002, nullptr) ? 1 : 0;
  }
  CChatShowElements* GetShowElement() override { return &element; }
  void OnClickCommand() override {}
  void OnClickSetup() override {}
  void Reserved21() override { ++created; }

 protected:
  TablePerson* GetMe() override { return nullptr; }
  TablePerson* FindPersonAt(int16_t, int16_t, int16_t) override { return nullptr; }
  std::vector<uint32_t> GetBlockedIds() override { return {}; }
  int CanShowLines() override { return 1; }
  int16_t GetSeatCode(int16_t, int16_t seatno) override { return seatno; }
  void ShowCreateError(const char* text) override { errors.push_back(text); }
};

TEST(ChatPane, HostsTheChatControlSkinsItAndShowsLines) {
  TestChat pane;
  ASSERT_EQ(pane.Create(testing::Host(), testing::Host()), 1);
  EXPECT_EQ(pane.created, 1);
  ASSERT_NE(pane.ControlWindow(), nullptr);
  pane.element.m_clrBack = RGB(240, 240, 230);
  pane.element.m_icons[CChatShowElements::kSend].Reset(SolidIcon(RGB(0, 0, 200)));
  pane.InitSkin();
  pane.RegisterSkinWindow();
  EXPECT_EQ(pane.element.FirstNotifyWindow(), testing::Host());
  pane.UnregisterSkinWindow();
  EXPECT_EQ(pane.element.FirstNotifyWindow(), nullptr);
  pane.Move(0, 0, 240, 180);
  RECT r;
  GetWindowRect(pane.ControlWindow(), &r);
  EXPECT_EQ(r.right - r.left, 240);

  ChatTextFormat format;
  EXPECT_NO_THROW(pane.ShowLine(format, "hello"));
  EXPECT_NO_THROW(pane.IsLineShown(format, "hello"));
  EXPECT_NO_THROW(pane.AddLink(&format, "link", "text"));
  EXPECT_EQ(pane.SetEditText("typed"), S_OK);
  EXPECT_EQ(pane.Clear(), S_OK);
}

TEST(ChatPane, FailedCreationSaysSoAndCallsFailWithThePointerError) {
  TestChat pane;
  pane.failCreate = true;
  EXPECT_EQ(pane.Create(testing::Host(), testing::Host()), 0);
  EXPECT_EQ(pane.created, 0);
  ASSERT_EQ(pane.errors.size(), 1u);
  EXPECT_EQ(pane.errors[0], kTextChatCreateFailed);
  try {
    pane.ShowLine(ChatTextFormat{}, "x");
    FAIL() << "no error";
  } catch (const PaneCallError& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
    EXPECT_TRUE(IsEqualIID(e.iid(), IID_IGChat));
  }
  EXPECT_THROW(pane.Send(), PaneCallError);
}

}  // namespace
}  // namespace framework_window
