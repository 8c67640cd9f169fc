#include "mj_play_table_win.h"

#include "chat_host.h"
#include "connect_server.h"

struct CMjPlayTableWin::Controls {};

CMjPlayTableWin::CMjPlayTableWin(IVyrSockTransport& socket, ITableTimers& timers,
                                 ITableNotices& notices, SessionSettings& settings,
                                 IMjTableHost& host, MjTableLaunch launch)
    : CMjPlayTableImp(socket, timers, notices, settings, host),
      m_host(host),
      m_launch(std::move(launch)),
      m_controls(std::make_unique<Controls>()) {}

CMjPlayTableWin::~CMjPlayTableWin() = default;

void CMjPlayTableWin::Move(int, int, int, int) {}
HWND CMjPlayTableWin::TableControlWindow() const { return nullptr; }
ITable* CMjPlayTableWin::TableInterface() const { return nullptr; }
ICommTable* CMjPlayTableWin::CommTableInterface() const { return nullptr; }

intptr_t CMjPlayTableWin::GetPersonIcon(const TablePerson* person) {
  return m_host.PersonIcon(person);
}

void CMjPlayTableWin::StartConnection() {
  if (Settings().reviewMode) return;
  ConnectServer(m_launch.connection, Socket());
}

int CMjPlayTableWin::CreateTableControl() { return 0; }
int CMjPlayTableWin::CreateArithmeticControl() { return 0; }
void CMjPlayTableWin::InitTable() {}

void CMjPlayTableWin::ExitGame() {
  if (const HWND frame = m_host.MainFrameHwnd()) PostMessageW(frame, WM_CLOSE, 0, 0);
}

void CMjPlayTableWin::AddChatLine(const ChatTextFormat& format, const char* text) {
  m_host.AddChatLine(format, text);
}
void CMjPlayTableWin::PersonListAddPerson(TablePerson* person) { m_host.PersonListAdd(person); }
void CMjPlayTableWin::PersonListRemovePerson(TablePerson* person) {
  m_host.PersonListRemove(person);
}
int CMjPlayTableWin::GetPersonIconCount() { return m_host.PersonIconCount(); }
void CMjPlayTableWin::AddHotRegion(const HotRegionRecord& region) { m_host.AddHotRegion(region); }
void CMjPlayTableWin::ShowMagicAction(const CVyrMessage_MagicAction&) {}
bool CMjPlayTableWin::FindAvatarItem(uint32_t) { return false; }
std::string CMjPlayTableWin::LoadDefaultAvatar(const TablePerson&) { return {}; }
std::string CMjPlayTableWin::GetAvatarFolder() { return {}; }
bool CMjPlayTableWin::FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
void CMjPlayTableWin::AddAvatarItem(uint32_t, const std::string&) {}
void CMjPlayTableWin::PushAvatarsToTable() {}

int CMjPlayTableWin::OnChatMessage(uint16_t id, const uint8_t* body, size_t bodyLength) {
  if (ChatHostCore* chat = m_host.ChatHost()) return chat->OnChatMessage(id, bodyLength, body);
  return 0;
}
