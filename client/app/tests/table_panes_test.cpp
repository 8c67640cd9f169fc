// The game's pane wrappers: the person list filled as the table window fills it, a person's
// details, and the chat pane on the chat control.
#include "table_panes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "pane_texts.h"
#include "window_test_support.h"
#include "winkit/testing/com_test_support.h"

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"OzkPersonList.dll", L"Parley.dll"}));
[[maybe_unused]] auto* const g_win =
    ::testing::AddGlobalTestEnvironment(new framework_window::testing::WindowTestEnvironment);

struct FakeApp : ITablePanesApp {
  std::vector<TablePerson*> persons;
  TablePerson* me = nullptr;
  framework_window::CChatShowElements chat;
  framework_window::CPersonListShowElements list;
  TablePerson* GetMe() override { return me; }
  TablePerson* FindPersonAt(int16_t, int16_t, int16_t) override { return nullptr; }
  std::vector<TablePerson*> GetPersons() override { return persons; }
  void SetLevelTitle(TablePerson* person) override { std::strcpy(person->level_name, "L1"); }
  framework_window::CChatShowElements* ChatElement() override { return &chat; }
  framework_window::CPersonListShowElements* PersonListElement() override { return &list; }
  int16_t GetSeatCode(int16_t, int16_t seatno) override { return seatno; }
};

TablePerson Person(uint32_t id, const char* name, int16_t seatno, int16_t watchno) {
  TablePerson p;
  p.id = id;
  std::strcpy(p.username, name);
  std::strcpy(p.nickname, name);
  p.deskno = 0;
  p.seatno = seatno;
  p.watchno = watchno;
  return p;
}

TEST(TablePanes, ColumnsAreTheEightOfTheTableAndNoMore) {
  PersonListColumn column;
  ASSERT_TRUE(GetColumn(0, column));
  EXPECT_STREQ(column.title, kTextColumnUserName);
  ASSERT_TRUE(GetColumn(7, column));
  EXPECT_STREQ(column.title, kTextColumnDraws);
  EXPECT_EQ(column.column, 7);
  EXPECT_FALSE(GetColumn(8, column));
  EXPECT_FALSE(GetColumn(-1, column));
}

TEST(TablePanes, PersonDetailsRows) {
  TablePerson p = Person(5, "user", 1, -1);
  std::strcpy(p.nickname, "nick");
  p.status = 4;
  p.gamescore = 120;
  p.winnum = 3;
  p.startgame_num = 4;
  p.forceexit_num = 1;
  p.link_num = 10;
  p.break_num = 2;
  p.bonusPoints = 7;
  p.ismember = 1;
  auto rows = PersonMenuRows(p);
  // 用户名：user,昵称:nick,当前状态：游戏
  EXPECT_EQ(rows[0], "\xd3\xc3\xbb\xa7\xc3\xfb\xa3\xbauser,\xea\xc7\xb3\xc6:nick,"
                     "\xb5\xb1\xc7\xb0\xd7\xb4\xcc\xac\xa3\xba\xd3\xce\xcf\xb7");
  EXPECT_NE(rows[1].find(":0,"), std::string::npos);
  EXPECT_NE(rows[2].find("120"), std::string::npos);
  // credit (4 - 1) * 100 / 4 = 75, disconnects 2 * 100 / 10 = 20, bonus points 7
  EXPECT_NE(rows[3].find(":75,"), std::string::npos);
  EXPECT_NE(rows[3].find(":20,"), std::string::npos);
  EXPECT_EQ(rows[5], kTextPersonMember);

  // No games started, no links, an unknown status, an administrator.
  TablePerson q = Person(6, "q", 0, -1);
  q.status = 12;
  q.priority = 1;
  q.forceexit_num = 5;
  q.break_num = 3;
  rows = PersonMenuRows(q);
  EXPECT_EQ(rows[0], "");
  EXPECT_NE(rows[3].find(":0,"), std::string::npos);
  EXPECT_EQ(rows[3].find("-"), std::string::npos);
  EXPECT_EQ(rows[5], kTextPersonAdministrator);
  q.priority = 0;
  EXPECT_EQ(PersonMenuRows(q)[5], kTextPersonNone);
}

TEST(TablePanes, PersonListShowsBothPlayersAndAWatcher) {
  FakeApp app;
  TablePerson east = Person(1, "east", 0, -1);
  TablePerson west = Person(2, "west", 1, -1);
  TablePerson watcher = Person(3, "watcher", 0, 0);
  app.persons = {&east, &west, &watcher};
  app.me = &east;
  CTablePersonListImp pane(app);
  ASSERT_EQ(pane.Create(framework_window::testing::Host(), framework_window::testing::Host()), 1);
  EXPECT_EQ(GetDlgCtrlID(pane.ControlWindow()), static_cast<int>(CTablePersonListImp::kChildId));
  pane.InitSkin(nullptr);
  pane.SetupColumns();
  pane.Move(0, 0, 300, 200);
  framework_window::testing::Pump(50);
  HWND view = FindWindowExW(pane.ControlWindow(), nullptr, WC_LISTVIEWW, nullptr);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(ListView_GetItemCount(view), 3);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(view)), 8);
  EXPECT_EQ(ListView_GetBkColor(view), 0xE1E1E1u);
  EXPECT_EQ(pane.MyPerson(), &east);
  for (const TablePerson* p : app.persons) EXPECT_STREQ(p->level_name, "L1") << p->username;
  framework_window::testing::SaveWindowPng(pane.ControlWindow(),
                                           KORVEL_ARTEFACT_DIR "/table_person_list.png");

  HMENU menu = pane.BuildPersonMenu(west);
  ASSERT_NE(menu, nullptr);
  const UINT ids[] = {51003, 51503, 52003, 53003, 54003, 55003};
  ASSERT_EQ(GetMenuItemCount(menu), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(GetMenuItemID(menu, i), ids[i]) << "row " << i;
}

// The person-list control is an outside component: the client finds it only under its own
// class id, program id and interface id.
TEST(TablePanes, PersonListControlIsFoundUnderItsPublishedIds) {
  CLSID clsid{}, by_name{};
  IID iid{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromString(L"{B58FDAA2-8E8B-49F0-8577-98CA71C19131}", &clsid));
  ASSERT_HRESULT_SUCCEEDED(IIDFromString(L"{BEB825A0-34E9-49B3-B005-FE92BA7E61B7}", &iid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_OzkPersonList, clsid));
  EXPECT_TRUE(IsEqualIID(IID_IPersonList, iid));
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"CPersonList.OzkPersonList", &by_name));
  EXPECT_TRUE(IsEqualCLSID(by_name, clsid));
  winkit::ComPtr<IUnknown> list;
  EXPECT_HRESULT_SUCCEEDED(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, list.PutVoid()));
}

// What the open details menu looked like, read from inside the menu's own loop.
struct OpenMenu {
  static OpenMenu* current;
  HWND popup = nullptr;
  RECT window{};
  RECT firstRow{};
  int rows = 0;
  const CTablePersonListImp* pane = nullptr;
  std::string picture;

  static void CALLBACK Look(HWND, UINT, UINT_PTR id, DWORD) {
    OpenMenu& m = *current;
    KillTimer(nullptr, id);
    m.popup = FindWindowW(L"#32768", nullptr);
    if (m.popup && IsWindowVisible(m.popup)) {
      GetWindowRect(m.popup, &m.window);
      HMENU menu = m.pane->DetailsMenu().menu();
      GetMenuItemRect(m.pane->ControlWindow(), menu, 0, &m.firstRow);
      m.rows = GetMenuItemCount(menu);
      if (!m.picture.empty()) framework_window::testing::SaveWindowPng(m.popup, m.picture);
    }
    EndMenu();
  }
};
OpenMenu* OpenMenu::current = nullptr;

TEST(TablePanes, PersonMenuOpensAtThePointerOverTheListWithItsRowsDrawn) {
  FakeApp app;
  TablePerson east = Person(1, "east", 0, -1);
  TablePerson west = Person(2, "west", 1, -1);
  std::strcpy(west.nickname, "\xce\xf7\xb7\xbd\xcd\xe6\xbc\xd2");  // 西方玩家
  west.status = 4;
  west.gamescore = 1234;
  west.winnum = 12;
  west.losenum = 3;
  app.persons = {&east, &west};
  app.me = &east;
  CTablePersonListImp pane(app);
  ASSERT_EQ(pane.Create(framework_window::testing::Host(), framework_window::testing::Host()), 1);
  pane.InitSkin(nullptr);
  pane.SetupColumns();
  pane.Move(10, 10, 300, 200);
  framework_window::testing::ActivateHost();
  framework_window::testing::Pump(50);

  const POINT pointer{120, 90};
  SetCursorPos(pointer.x, pointer.y);
  POINT at{};
  GetCursorPos(&at);
  OpenMenu open;
  open.pane = &pane;
  open.picture = KORVEL_ARTEFACT_DIR "/person_menu.png";
  OpenMenu::current = &open;
  pane.ShowPersonMenu(nullptr);  // nobody: no menu
  EXPECT_EQ(pane.DetailsMenu().menu(), nullptr);
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, &OpenMenu::Look);
  pane.ShowPersonMenu(&west);
  KillTimer(nullptr, timer);

  ASSERT_NE(open.popup, nullptr) << "the menu did not open";
  EXPECT_EQ(open.rows, 6);
  EXPECT_EQ(open.window.left, at.x);
  EXPECT_EQ(open.window.top, at.y);
  // The rows were measured by the menu although the list control owned it: 20 pixels high and
  // as wide as the longer of the status and score rows.
  EXPECT_EQ(open.firstRow.bottom - open.firstRow.top, 20);
  const auto rows = PersonMenuRows(west);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, pane.DetailsMenu().Font());
  SIZE status{}, score{};
  GetTextExtentPoint32A(dc, rows[0].c_str(), static_cast<int>(rows[0].size()), &status);
  GetTextExtentPoint32A(dc, rows[2].c_str(), static_cast<int>(rows[2].size()), &score);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_GE(open.firstRow.right - open.firstRow.left, std::max(status.cx, score.cx));
  // The menu's background, not the system's, behind the rows (a green brush with no skin).
  const uint32_t background = framework_window::testing::PicturePixel(open.picture, 4, 4);
  EXPECT_TRUE(framework_window::testing::Near(background, 0x008000, 16)) << std::hex << background;
}

TEST(TablePanes, ChatPaneHostsTheChatControl) {
  FakeApp app;
  CParleyImp pane(app);
  ASSERT_EQ(pane.Create(framework_window::testing::Host(), framework_window::testing::Host()), 1);
  EXPECT_EQ(GetDlgCtrlID(pane.ControlWindow()), static_cast<int>(CParleyImp::kChildId));
  pane.InitSkin();
  std::string chat, cmd;
  pane.GetSectionNames(chat, cmd);
  EXPECT_EQ(chat, "chatset");
  EXPECT_EQ(cmd, "cmdset");
  EXPECT_NO_THROW(pane.ShowLine(ChatTextFormat{}, "line"));
}

}  // namespace

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

// The colour at the centre of an icon.
COLORREF CentreOf(HICON icon) {
  framework_window::testing::Canvas canvas(16, 16, 0);
  DrawIconEx(canvas.dc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  return canvas.At(8, 8);
}

TEST(RoomIcons, LibrariesAreReadInLetterOrderWithRunningNumbers) {
  CTable_PersonListShowElements element;
  element.curdir = ProgramFolder();
  element.modulePrefix = "mj";
  element.LoadRoomIcons();
  ASSERT_EQ(element.m_roomIcons.size(), 5u);  // 3 from mja, 2 from mjb; no mjc
  EXPECT_EQ(element.iconCount, 5);
  EXPECT_EQ(element.m_iconModules.size(), 2u);
  // IDI_n has colour n of the sample: 0 red, 1 green, 2 blue, 3 yellow, 4 purple.
  const uint32_t expected[] = {0xC82828, 0x28A028, 0x283CC8, 0xC8A014, 0x9628AA};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(CentreOf(element.m_roomIcons[i]), expected[i]) << i;
  element.LoadRoomIcons();  // loaded already: nothing more
  EXPECT_EQ(element.m_roomIcons.size(), 5u);
}

TEST(RoomIcons, AMissingLibraryLoadsNothing) {
  CTable_PersonListShowElements element;
  element.curdir = ProgramFolder();
  element.modulePrefix = "none";
  element.LoadRoomIcons();
  EXPECT_TRUE(element.m_roomIcons.empty());
  element.curdir = "Z:\\no\\such\\folder";
  element.modulePrefix = "mj";
  element.LoadRoomIcons();
  EXPECT_TRUE(element.m_roomIcons.empty());
}

}  // namespace

namespace {

TEST(TableSkin, RefreshTellsEveryAreaAndAssignTakesTheOthersWindows) {
  framework_window::testing::RecordingWindow listNotify, chatNotify;
  HWND list = listNotify.CreateTopLevel(0, 0, 10, 10);
  HWND chat = chatNotify.CreateTopLevel(0, 0, 10, 10);
  CTableShowElements source;
  source.name = "table";
  source.personList.RegisterWindow(list, list);
  source.chat.RegisterWindow(chat, chat);
  CTableShowElements skin;
  skin.Assign(source);
  EXPECT_EQ(skin.name, "table");
  skin.Refresh();
  EXPECT_EQ(listNotify.Messages(), std::vector<UINT>{framework_window::kMsgSkinChanged});
  EXPECT_EQ(chatNotify.Messages(), std::vector<UINT>{framework_window::kMsgSkinChanged});

  framework_window::CChatShowElements notATable;
  notATable.RegisterWindow(list, list);
  CTableShowElements untouched;
  untouched.Assign(notATable);
  EXPECT_EQ(untouched.chat.FirstNotifyWindow(), nullptr);
  DestroyWindow(list);
  DestroyWindow(chat);
}

TEST(TableSkin, RoomTabsAreToldOfANewSkinAndCopiedNotAppended) {
  framework_window::testing::RecordingWindow first, second;
  HWND a = first.CreateTopLevel(0, 0, 10, 10);
  HWND b = second.CreateTopLevel(0, 0, 10, 10);
  CTableShowElements source;
  source.roomTabs.resize(1);
  source.roomTabs[0].RegisterWindow(a, a);
  source.roomTabs2.resize(1);
  source.roomTabs2[0].RegisterWindow(b, b);
  CTableShowElements skin;
  skin.Assign(source);
  skin.Assign(source);  // a second time: still one tab in each list
  ASSERT_EQ(skin.roomTabs.size(), 1u);
  ASSERT_EQ(skin.roomTabs2.size(), 1u);
  EXPECT_EQ(skin.roomTabs[0].Registrations().size(), 1u);
  skin.Refresh();
  EXPECT_EQ(first.Messages(), std::vector<UINT>{framework_window::kMsgSkinChanged});
  EXPECT_EQ(second.Messages(), std::vector<UINT>{framework_window::kMsgSkinChanged});
  DestroyWindow(a);
  DestroyWindow(b);
}

}  // namespace

namespace {

// The right column as the table window stacks it: chat above, person list below, one picture.
TEST(TablePanes, RightColumnPicture) {
  FakeApp app;
  TablePerson east = Person(1, "east", 0, -1);
  TablePerson west = Person(2, "west", 1, -1);
  TablePerson watcher = Person(3, "watcher", 0, 0);
  app.persons = {&east, &west, &watcher};
  app.me = &east;
  framework_window::testing::RecordingWindow column;
  HWND parent = column.CreateChild(framework_window::testing::Host(), 0, 0, 260, 480);
  CParleyImp chat(app);
  CTablePersonListImp list(app);
  ASSERT_EQ(chat.Create(parent, parent), 1);
  ASSERT_EQ(list.Create(parent, parent), 1);
  chat.InitSkin();
  list.InitSkin(nullptr);
  list.SetupColumns();
  chat.Move(0, 0, 260, 280);
  list.Move(0, 280, 260, 200);
  ChatTextFormat format;
  chat.ShowLine(format, "west(west)\xcb\xb5\xa3\xbahello");  // west(west)说：hello
  framework_window::testing::Pump(100);
  framework_window::testing::SaveWindowPng(parent, KORVEL_ARTEFACT_DIR "/right_column.png");
  // The splitter moves the panes: the list follows the chat's new height.
  chat.Move(0, 0, 260, 200);
  list.Move(0, 200, 260, 280);
  RECT r;
  GetWindowRect(list.ControlWindow(), &r);
  EXPECT_EQ(r.bottom - r.top, 280);
  DestroyWindow(parent);
}

}  // namespace
