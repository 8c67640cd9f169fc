// Skin elements under Wine: registrations, the 0x46A refresh, the person-list and caption
// skins read from the sample style module, and resources freed without a leak.
#include "skin_elements.h"

#include <gtest/gtest.h>

#include "window_test_support.h"

namespace framework_window {
namespace {

using testing::RecordingWindow;

HMODULE Style0() {
  static HMODULE m = LoadLibraryA((std::string(KORVEL_BIN_DIR) + "\\pellamres01.dll").c_str());
  return m;
}

class SkinElementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ActivateHost();
    a_.CreateChild(testing::Host(), 1050, 700, 5, 5);
    b_.CreateChild(testing::Host(), 1060, 700, 5, 5);
    na_.CreateChild(testing::Host(), 1070, 700, 5, 5);
    nb_.CreateChild(testing::Host(), 1080, 700, 5, 5);
  }
  RecordingWindow a_, b_, na_, nb_;
};

TEST_F(SkinElementsTest, RefreshTellsEveryNotificationWindow) {
  CMFCShowElement e;
  e.RegisterWindow(a_.hwnd(), na_.hwnd());
  e.RegisterWindow(a_.hwnd(), nb_.hwnd());  // once only
  e.RegisterWindow(b_.hwnd(), nb_.hwnd());
  e.UnregisterWindow(na_.hwnd());           // never registered as a window
  ValidateRect(a_.hwnd(), nullptr);
  e.Refresh();
  EXPECT_EQ(na_.Messages(), std::vector<UINT>{kMsgSkinChanged});
  EXPECT_EQ(nb_.Messages(), std::vector<UINT>{kMsgSkinChanged});
  EXPECT_TRUE(GetUpdateRect(a_.hwnd(), nullptr, FALSE));
  e.BroadcastSkinChange();
  EXPECT_EQ(na_.records.size(), 2u);
}

TEST_F(SkinElementsTest, AssignAppendsExceptForTheRoomElementWhichReplaces) {
  CTabShowElements tab, other_tab;
  tab.RegisterWindow(a_.hwnd(), na_.hwnd());
  other_tab.RegisterWindow(b_.hwnd(), nb_.hwnd());
  tab.Assign(other_tab);
  tab.Assign(other_tab);
  EXPECT_EQ(tab.Registrations().size(), 3u);

  CRoomShowElements room, other_room;
  room.RegisterWindow(a_.hwnd(), na_.hwnd());
  other_room.RegisterWindow(b_.hwnd(), nb_.hwnd());
  other_room.AddHandle(2, CreateSolidBrush(RGB(1, 2, 3)));
  room.Assign(other_room);
  room.Assign(other_room);
  ASSERT_EQ(room.Registrations().size(), 1u);
  EXPECT_EQ(room.Registrations().window(0), reinterpret_cast<uintptr_t>(b_.hwnd()));
  EXPECT_EQ(room.Count(2), 1);
  const DWORD before = testing::GdiObjectCount();
  room.FreeResources();  // the copies stay the other's
  EXPECT_EQ(testing::GdiObjectCount(), before);
  other_room.FreeResources();
  EXPECT_EQ(testing::GdiObjectCount(), before - 1);
}

TEST_F(SkinElementsTest, RefreshWithNothingRegisteredIsQuiet) {
  CPlayTableElements table;
  table.m_subElements.push_back(std::make_unique<CTabShowElements>());
  table.Refresh();
  CCaptionShowElements caption;
  caption.Refresh();
  table.m_subElements[0]->RegisterWindow(a_.hwnd(), na_.hwnd());
  table.Refresh();
  EXPECT_EQ(na_.Messages(), std::vector<UINT>{kMsgSkinChanged});
}

TEST_F(SkinElementsTest, PersonListAndCaptionSkinsFromTheStyleModule) {
  ASSERT_TRUE(Style0());
  const DWORD before = testing::GdiObjectCount();
  {
    CPersonListShowElements list;
    list.LoadPersonListSkin(Style0());
    EXPECT_EQ(list.m_skinIcons.size(), 2u);
    EXPECT_STREQ(list.m_szFontFace, "SimSun");
    EXPECT_EQ(list.m_nSkinValue[0], 18);
    EXPECT_EQ(list.m_nSkinValue[2], 2);
    EXPECT_TRUE(list.m_listBitmap);
    list.LoadIcons();  // the framework's icon libraries: none
    EXPECT_TRUE(list.m_iconModules.empty());
    CCaptionShowElements caption;
    caption.LoadCaptionSkin(Style0());
    EXPECT_TRUE(caption.m_icons[0] && caption.m_icons[4]);
    EXPECT_TRUE(caption.m_bitmaps[0] && caption.m_bitmaps[1]);
    caption.LoadCaptionSkin(Style0());  // a second load frees the first
  }
  EXPECT_EQ(testing::GdiObjectCount(), before);

  // A library without the person-list strings (this program): an empty icon list.
  CPersonListShowElements bare;
  bare.LoadPersonListSkin(GetModuleHandleW(nullptr));
  EXPECT_TRUE(bare.m_skinIcons.empty());
  EXPECT_FALSE(bare.m_listBitmap);
  bare.LoadPersonListSkin(nullptr);
  EXPECT_TRUE(bare.m_skinIcons.empty());
}

}  // namespace
}  // namespace framework_window
