// The person-list control hosted as the client hosts it: persons and columns in, rows out, the
// local player first, icons by picture number, and the Select event with the person's address.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ozk_person_list.h"
#include "records/person_list_column.h"
#include "records/table_person.h"
#include "sprites/gdi/tests/dib_canvas.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/testing/com_test_support.h"

using winkit::ComPtr;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"OzkPersonList.dll"}));

struct Recorder : winkit::ControlEventTarget {
  void OnControlEvent(UINT child, DISPID id, const winkit::EventArgs& args) override {
    events.push_back({child, id, args.Count() == 1 ? args.Ptr(0) : -1});
  }
  struct Event {
    UINT child;
    DISPID id;
    intptr_t person;
  };
  std::vector<Event> events;
};

TablePerson Person(uint32_t id, const char* user, const char* nick, int16_t pic, int32_t score) {
  TablePerson p;
  p.id = id;
  std::strcpy(p.username, user);
  std::strcpy(p.nickname, nick);
  p.headpicid = pic;
  p.gamescore = score;
  return p;
}

PersonListColumn Column(const char* title, int32_t field) {
  PersonListColumn c = {};
  std::strcpy(c.title, title);
  c.column = field;
  return c;
}

HIMAGELIST Icons(int count) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, count, 4);
  for (int i = 0; i < count; ++i) {
    HBITMAP b = sprites::testing::PaintedBitmap(16, 16, [i](int x, int y) {
      return (x - 8) * (x - 8) + (y - 8) * (y - 8) < 40 ? (i ? 0xC03020u : 0x2040C0u) : 0xF0F0F0u;
    });
    ImageList_Add(list, b, nullptr);
    DeleteObject(b);
  }
  return list;
}

class PersonListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 420, 200,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(
        parent_, CLSID_OzkPersonList, IID__IPersonListEvents, 32777, L"CPersonList.OzkPersonList",
        RECT{0, 0, 420, 200}, &recorder_, &host_));
    ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IPersonList, list_.PutVoid()));
    view_ = FindWindowExW(host_->ControlWindow(), nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_NE(view_, nullptr);
  }
  void TearDown() override {
    list_.Reset();
    if (host_) host_->Destroy();
    DestroyWindow(parent_);
  }
  std::wstring Cell(int row, int column) {
    wchar_t text[64] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(view_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  int Icon(int row) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(view_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }
  static __int3264 Addr(const void* p) { return reinterpret_cast<__int3264>(p); }

  HWND parent_ = nullptr;
  HWND view_ = nullptr;
  Recorder recorder_;
  ComPtr<winkit::ControlHost> host_;
  ComPtr<IPersonList> list_;
};

TEST_F(PersonListTest, ListsPersonsInTheColumnsAskedForWithTheLocalPlayerFirst) {
  // "用户名", "昵称", "游戏积分" in GBK
  PersonListColumn cols[] = {Column("\xD3\xC3\xBB\xA7\xC3\xFB", kColumnUserName),
                             Column("\xEA\xC7\xB3\xC6", kColumnNickName),
                             Column("\xD3\xCE\xCF\xB7\xBB\xFD\xB7\xD6", kColumnGameScore)};
  for (const auto& c : cols) ASSERT_HRESULT_SUCCEEDED(list_->PersonOp24(Addr(&c)));
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(view_)), 3);

  TablePerson a = Person(1001, "player1", "\xD2\xBB\xBA\xC5\xCD\xE6\xBC\xD2", 0, 120);  // 一号玩家
  TablePerson b = Person(1002, "player2", "\xB6\xFE\xBA\xC5\xCD\xE6\xBC\xD2", 1, -40);  // 二号玩家
  TablePerson c = Person(1003, "watcher", "watch", 7, 0);
  HIMAGELIST icons = Icons(2);
  list_->SetImageLists(0, reinterpret_cast<__int3264>(icons));
  for (auto* p : {&a, &b, &c}) list_->AddPerson(Addr(p));
  list_->AddPerson(Addr(&a));  // already listed
  list_->AddPerson(0);         // nothing
  list_->SetMyPerson(Addr(&b));
  ASSERT_EQ(ListView_GetItemCount(view_), 3);
  EXPECT_EQ(Cell(0, 0), L"player2");
  EXPECT_EQ(Cell(0, 1), L"二号玩家");
  EXPECT_EQ(Cell(0, 2), L"-40");
  EXPECT_EQ(Cell(1, 0), L"player1");
  EXPECT_EQ(Cell(2, 0), L"watcher");
  EXPECT_EQ(Icon(0), 1);
  EXPECT_EQ(Icon(1), 0);
  EXPECT_EQ(Icon(2), -1);  // no such icon: none drawn

  // Scores change in the records; RedrawList shows them.
  a.gamescore = 150;
  list_->RedrawList();
  EXPECT_EQ(Cell(1, 2), L"150");

  list_->SetSkinColor1(0x00331A);
  list_->SetSkinColor6(0xE1E1E1);
  EXPECT_EQ(ListView_GetTextColor(view_), 0x00331Au);
  EXPECT_EQ(ListView_GetBkColor(view_), 0xE1E1E1u);

  // What a person sees: the screen under the list, once it has painted.
  RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG m;
  for (DWORD end = GetTickCount() + 300; GetTickCount() < end;) {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    Sleep(10);
  }
  sprites::testing::Canvas shot(420, 200);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.dc(), 0, 0, 420, 200, screen, 0, 0, SRCCOPY);
  ReleaseDC(nullptr, screen);
  shot.Save("person_list.bmp");

  list_->RemovePerson(Addr(&b));
  ASSERT_EQ(ListView_GetItemCount(view_), 2);
  EXPECT_EQ(Cell(0, 0), L"player1");
  list_->PersonOp25();
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(view_)), 0);
  ImageList_Destroy(icons);
}

// The rows and columns grow one at a time: a column added after the persons fills their rows, a
// person who comes after the local player takes the last row, and clearing the columns and
// adding them again lists everybody as before.
TEST_F(PersonListTest, ColumnsAndPersonsInAnyOrderGiveTheSameRows) {
  TablePerson a = Person(1001, "player1", "one", 0, 120);
  TablePerson b = Person(1002, "player2", "two", 1, -40);
  TablePerson c = Person(1003, "watcher", "three", 0, 7);
  HIMAGELIST icons = Icons(2);
  list_->SetImageLists(0, reinterpret_cast<__int3264>(icons));
  for (auto* p : {&a, &b}) list_->AddPerson(Addr(p));
  list_->SetMyPerson(Addr(&b));
  PersonListColumn name = Column("name", kColumnUserName);
  PersonListColumn score = Column("score", kColumnGameScore);
  for (const auto* col : {&name, &score}) list_->PersonOp24(Addr(col));
  list_->AddPerson(Addr(&c));
  const auto rows = [&] {
    std::vector<std::wstring> out;
    for (int r = 0; r < ListView_GetItemCount(view_); ++r)
      out.push_back(Cell(r, 0) + L"|" + Cell(r, 1) + L"|" + std::to_wstring(Icon(r)));
    return out;
  };
  const std::vector<std::wstring> expected = {L"player2|-40|1", L"player1|120|0", L"watcher|7|0"};
  EXPECT_EQ(rows(), expected);
  list_->SetMyPerson(Addr(&b));  // the same local player again changes nothing
  EXPECT_EQ(rows(), expected);
  list_->PersonOp25();
  for (const auto* col : {&name, &score}) list_->PersonOp24(Addr(col));
  EXPECT_EQ(rows(), expected);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(view_)), 2);
  ImageList_Destroy(icons);
}

TEST_F(PersonListTest, RightClickOnAPersonReportsItsRecord) {
  PersonListColumn col = Column("name", kColumnUserName);
  list_->PersonOp24(Addr(&col));
  TablePerson a = Person(1, "a", "a", 0, 0), b = Person(2, "b", "b", 0, 0);
  list_->AddPerson(Addr(&a));
  list_->AddPerson(Addr(&b));
  NMITEMACTIVATE click = {};
  click.hdr = {view_, 1, static_cast<UINT>(NM_RCLICK)};
  click.iItem = 1;
  SendMessageW(host_->ControlWindow(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&click));
  click.iItem = 5;  // below the last row: nothing
  SendMessageW(host_->ControlWindow(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&click));
  ASSERT_EQ(recorder_.events.size(), 1u);
  EXPECT_EQ(recorder_.events[0].child, 32777u);
  EXPECT_EQ(recorder_.events[0].id, 1);
  EXPECT_EQ(recorder_.events[0].person, reinterpret_cast<intptr_t>(&b));
}

// The mouse on the list itself: a click in the middle of a row, placed from the header's height
// and the row height, selects that row (the first row too), a right click there reports that
// row's person, and a click on the header or under the last row reports nobody.
TEST_F(PersonListTest, MouseOnARowSelectsAndReportsThatRow) {
  PersonListColumn col = Column("name", kColumnUserName);
  list_->PersonOp24(Addr(&col));
  TablePerson a = Person(1, "a", "a", 0, 0), b = Person(2, "b", "b", 0, 0),
              c = Person(3, "c", "c", 0, 0);
  for (auto* p : {&a, &b, &c}) list_->AddPerson(Addr(p));
  list_->SetMyPerson(Addr(&c));
  const TablePerson* rows[] = {&c, &a, &b};
  RECT header{};
  GetWindowRect(ListView_GetHeader(view_), &header);
  const int headerHeight = header.bottom - header.top;
  const auto one = static_cast<DWORD>(
      SendMessageW(view_, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
  const auto two = static_cast<DWORD>(
      SendMessageW(view_, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1)));
  const int rowHeight = HIWORD(two) - HIWORD(one);
  ASSERT_GT(headerHeight, 0);
  ASSERT_GT(rowHeight, 0);
  // Posted, as the mouse's messages come (the list may wait for the button's release).
  const auto click = [&](UINT down, UINT up, WPARAM button, int y) {
    PostMessageW(view_, down, button, MAKELPARAM(30, y));
    PostMessageW(view_, up, 0, MAKELPARAM(30, y));
    MSG m;
    for (DWORD end = GetTickCount() + 150; GetTickCount() < end;) {
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      Sleep(5);
    }
  };
  for (int row = 0; row < 3; ++row) {
    const int y = headerHeight + rowHeight * row + rowHeight / 2;
    click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, y);
    EXPECT_EQ(ListView_GetNextItem(view_, -1, LVNI_SELECTED), row);
    recorder_.events.clear();
    click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, y);
    ASSERT_EQ(recorder_.events.size(), 1u) << "row " << row;
    EXPECT_EQ(recorder_.events[0].person, reinterpret_cast<intptr_t>(rows[row])) << "row " << row;
  }
  recorder_.events.clear();
  click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, headerHeight + rowHeight * 3 + rowHeight / 2);
  EXPECT_TRUE(recorder_.events.empty());
}

}  // namespace
