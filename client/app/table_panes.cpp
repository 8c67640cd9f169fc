#include "table_panes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pane_texts.h"
#include "text_copy.h"
#include "winkit/gbk.h"

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
  char buffer[512];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n) < sizeof buffer ? n : sizeof buffer - 1);
}

template <size_t N>
std::string Field(const char (&text)[N]) {
  return std::string(text, BoundedLength(text, N));
}

const char* const kColumnTitles[] = {kTextColumnUserName, kTextColumnNickName,
                                     kTextColumnSex,      kTextPaneColumnMember,
                                     kTextColumnGameScore, kTextColumnWins,
                                     kTextColumnLosses,   kTextColumnDraws};

const char* const kStatusRows[] = {
    kTextPersonStatus1, kTextPersonStatus2, kTextPersonStatus3, kTextPersonStatus4,
    kTextPersonStatus5, kTextPersonStatus6, kTextPersonStatus7, kTextPersonStatus8,
    kTextPersonStatus9, kTextPersonStatus10, kTextPersonStatus11};

}  // namespace

bool GetColumn(int index, PersonListColumn& column) {
  if (index < 0 || index >= 8) return false;
  column = {};
  std::strncpy(column.title, kColumnTitles[index], sizeof column.title - 1);
  column.column = index;
  return true;
}

std::array<std::string, 6> PersonMenuRows(const TablePerson& p) {
  std::array<std::string, 6> rows;
  const std::string username = Field(p.username);
  const std::string nickname = Field(p.nickname);
  if (p.status >= 1 && p.status <= 11) {
    rows[0] = Format(kStatusRows[p.status - 1], username.c_str(), nickname.c_str());
  }
  rows[1] = Format(kTextPersonSeat, p.deskno, p.seatno, p.watchno);
  rows[2] = Format(kTextPersonScore, p.gamescore, p.winnum, p.losenum, p.equalnum, p.wealth,
                   p.money);
  // In 64 bits: the counters are the server's and may be anything.
  const int64_t credit = p.startgame_num != 0
                             ? (int64_t{p.startgame_num} - p.forceexit_num) * 100 / p.startgame_num
                             : 0;
  const int64_t breakRate = p.link_num != 0 ? int64_t{p.break_num} * 100 / p.link_num : 0;
  rows[3] = Format(kTextPersonCredit, static_cast<int>(credit), static_cast<int>(breakRate),
                   p.bonusPoints);
  rows[4] = Format(kTextPersonSchool, Field(p.school_name).c_str(), Field(p.level_name).c_str());
  rows[5] = p.IsAdministrator() ? kTextPersonAdministrator
            : p.ismember == 1   ? kTextPersonMember
                                : kTextPersonNone;
  return rows;
}

int CParleyImp::CreateControl(HWND parent) {
  return HostChatControl(parent, kChildId, m_events) ? 1 : 0;
}

void CParleyImp::GetSectionNames(std::string& chat, std::string& cmd) const {
  chat = "chatset";
  cmd = "cmdset";
}

int CTablePersonListImp::CreateControl(HWND parent) {
  return HostPersonListControl(parent, kChildId, m_events) ? 1 : 0;
}

void CTablePersonListImp::InitSkin(HMODULE styleModule) {
  CVyrPersonListImp::InitSkin();
  if (!Control()) return;
  IPersonList& list = *Control();
  const auto check = [](HRESULT hr, const char* what) {
    if (FAILED(hr)) throw framework_window::PaneCallError(hr, IID_IPersonList, what);
  };
  check(list.SetListBkBitmap(0), "SetListBkBitmap");
  check(list.SetResourceModule(reinterpret_cast<__int3264>(styleModule), 0), "SetResourceModule");
  check(list.SetSkinColor1(0x00331A), "SetSkinColor1");
  check(list.SetSkinColor7(0x569C9B), "SetSkinColor7");
  check(list.SetSkinColor6(0xE1E1E1), "SetSkinColor6");
}

void CTablePersonListImp::SetupColumns(bool paired, int32_t pairedValue) {
  PersonOp30(5);
  ClearColumns();
  PersonListColumn column;
  for (int i = 0; GetColumn(i, column); ++i) AddColumn(&column);
  for (TablePerson* person : m_app.GetPersons()) {
    if (!person) continue;
    m_app.SetLevelTitle(person);
    AddPerson(person);
  }
  if (paired) PersonOp29(1, pairedValue);
  if (TablePerson* me = m_app.GetMe()) SetMyPerson(me);
}

HMENU CTablePersonListImp::BuildPersonMenu(const TablePerson& person) {
  HMENU menu = CreatePopupMenu();
  const auto rows = PersonMenuRows(person);
  for (size_t i = 0; i < rows.size(); ++i)
    AppendMenuW(menu, MF_STRING, kDetailIds[i], winkit::GbkToWide(rows[i]).c_str());
  m_detailsMenu.MakeOwnerDraw(menu);
  // As wide as the longer of the status and score rows in the menu's font.
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, m_detailsMenu.Font());
  int width = 0;
  for (const std::string* row : {&rows[0], &rows[2]}) {
    SIZE size = {};
    const std::wstring wide = winkit::GbkToWide(*row);
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    width = std::max(width, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  m_detailsMenu.SetItemSize(static_cast<int16_t>(std::min(width, 32767)), 20);
  return m_detailsMenu.menu();
}

void CTablePersonListImp::ShowPersonMenu(TablePerson* person) {
  if (!person) return;
  BuildPersonMenu(*person);
  HWND list = ControlWindow();
  if (!list) return;
  POINT at{};
  GetCursorPos(&at);
  m_detailsMenu.Track(list, at, TPM_LEFTALIGN);
}

int CTable_PersonListShowElements::LoadIconModule(char letter) {
  const std::string path = curdir + "\\room\\" + modulePrefix + letter + ".dll";
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
  winkit::UniqueModule module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return 0;
  char text[16] = {};
  LoadStringA(module.Get(), 1, text, sizeof text);
  const int count = std::clamp(std::atoi(text), 0, kMaxIconsPerLibrary);
  for (int n = iconCount; n < iconCount + count; ++n) {
    const std::string name = "IDI_" + std::to_string(n);
    if (HICON icon = LoadIconA(module.Get(), name.c_str())) m_roomIcons.push_back(icon);
  }
  iconCount += count;
  m_iconModules.push_back(std::move(module));
  return 1;
}

void CTable_PersonListShowElements::LoadRoomIcons() {
  if (!m_roomIcons.empty()) return;
  for (char letter = 'a'; letter < 'a' + 10; ++letter) {
    if (!LoadIconModule(letter)) break;
  }
}

void CTableShowElements::Refresh() {
  caption.Refresh();
  tab1.Refresh();
  tab2.Refresh();
  personList.Refresh();
  room.Refresh();
  chat.Refresh();
  for (auto* tabs : {&roomTabs, &roomTabs2})
    for (auto& tab : *tabs) tab.Refresh();
}

void CTableShowElements::Assign(const framework_window::CMFCShowElement& other) {
  const auto* table = dynamic_cast<const CTableShowElements*>(&other);
  if (!table) return;
  name = table->name;
  value = table->value;
  caption.Assign(table->caption);
  tab1.Assign(table->tab1);
  tab2.Assign(table->tab2);
  room.Assign(table->room);
  personList.Assign(table->personList);
  chat.Assign(table->chat);
  splitter.Assign(table->splitter);
  tree.Assign(table->tree);
  roomTabs = table->roomTabs;
  roomTabs2 = table->roomTabs2;
}

void CTableShowElements::FreeResources() {
  caption.FreeResources();
  personList.FreeResources();
}

void CTableShowElements::SetPictureModule(HMODULE module) {
  caption.LoadCaptionSkin(module);
  personList.LoadPersonListSkin(module);
}
