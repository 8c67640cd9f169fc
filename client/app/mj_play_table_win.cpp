#include "mj_play_table_win.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "chat_host.h"
#include "connect_server.h"
#include "magic_action_dialogs.h"
#include "magic_catalogue.h"
#include "magic_receive.h"
#include "mj_controls.h"
#include "mj_info_wnd.h"
#include "winkit/control_host.h"
#include "winkit/module.h"
#include "winkit/gbk.h"

// The magic-action dialogs' view of the play table: its pictures, catalogue and persons, the
// local preview and the send.
class CMjPlayTableWin::ActionHost : public framework_window::MagicActionHost {
 public:
  explicit ActionHost(CMjPlayTableWin& table) : table_(table) {}
  std::string ImageDir() const override { return table_.ImageDir(); }
  std::vector<CActionItem*> ActionItems() const override {
    std::vector<CActionItem*> items;
    for (const auto& item : table_.ActionManager().Items()) items.push_back(item.get());
    return items;
  }
  std::vector<const TablePerson*> TablePersons() const override {
    std::vector<const TablePerson*> persons;
    for (TablePerson* p : table_.GetPersons()) persons.push_back(p);
    return persons;
  }
  const TablePerson* SelectedPerson() const override { return table_.SelectedPerson(); }
  void PreviewMagicAction(int32_t recipient, const CActionItem* item, const char* words) override {
    if (item) table_.PlayFlashFor(recipient, reinterpret_cast<intptr_t>(item), words);
  }
  void SendMagicAction(int32_t recipient, int16_t value, const CActionItem* item,
                       const char* words) override {
    if (item) table_.SendMagicAction(recipient, value, item->type, item->id, words);
  }

 private:
  CMjPlayTableWin& table_;
};

struct CMjPlayTableWin::Controls {
  winkit::ComPtr<winkit::ControlHost> tableHost;
  winkit::ComPtr<winkit::ControlHost> arithmeticHost;
  std::unique_ptr<MjTableBinding> table;
  std::unique_ptr<MjArithmeticBinding> arithmetic;
  std::unique_ptr<MjInfoWnd> chooser;
  MessageBoxFn message;
  // The bitmap lists handed to the display by address.
  HBITMAP smell[4] = {};
  HBITMAP cry[4] = {};
  HBITMAP list[3] = {};
  std::string imageDir;  // handed to the display by address
  std::string advUrl;
  CAction_Manager actions;
  CAvact_Manager avatars;
  // The magic-action dialogs (after the catalogue: they hold its items).
  std::unique_ptr<ActionHost> actionHost;
  std::unique_ptr<framework_window::CActionWordDlg> actionWords;
  std::unique_ptr<framework_window::CActionSelectDlg> actionPicker;
};

namespace {

void DefaultMessageBox(HWND owner, const char* text) {
  MessageBoxW(owner, winkit::GbkToWide(text ? text : "").c_str(), L"KorvelGame",
              MB_OK | MB_ICONEXCLAMATION);
}

// Destroys a hosted control and its window.
void DestroyHost(winkit::ComPtr<winkit::ControlHost>& host) {
  if (host) host->Destroy();
  host.Reset();
}

}  // namespace

CMjPlayTableWin::CMjPlayTableWin(IVyrSockTransport& socket, ITableTimers& timers,
                                 ITableNotices& notices, SessionSettings& settings,
                                 IMjTableHost& host, MjTableLaunch launch)
    : CMjPlayTableImp(socket, timers, notices, settings, host),
      m_host(host),
      m_launch(std::move(launch)),
      m_controls(std::make_unique<Controls>()) {
  m_controls->message = &DefaultMessageBox;
  SetRecordFiles(&m_recordFiles);
}

CMjPlayTableWin::~CMjPlayTableWin() {
  // The core stops using the controls and the files first, then the chooser and the controls go.
  SetRecordFiles(nullptr);
  SetTableControl(nullptr);
  SetArithmeticControl(nullptr);
  Controls& c = *m_controls;
  if (c.actionPicker) c.actionPicker->DestroyModeless();
  if (c.actionWords) c.actionWords->DestroyModeless();
  c.actionPicker.reset();
  c.actionWords.reset();
  if (c.chooser) c.chooser->Destroy();
  c.chooser.reset();
  c.arithmetic.reset();
  c.table.reset();
  DestroyHost(c.arithmeticHost);
  DestroyHost(c.tableHost);
}

void CMjPlayTableWin::SetMessageBox(MessageBoxFn show) {
  m_controls->message = show ? std::move(show) : MessageBoxFn(&DefaultMessageBox);
}

void CMjPlayTableWin::Move(int x, int y, int w, int h) {
  if (const HWND table = TableControlWindow()) MoveWindow(table, x, y, w, h, TRUE);
}

HWND CMjPlayTableWin::TableControlWindow() const {
  return m_controls->tableHost ? m_controls->tableHost->ControlWindow() : nullptr;
}
ITable* CMjPlayTableWin::TableInterface() const {
  return m_controls->table ? m_controls->table->Table() : nullptr;
}
ICommTable* CMjPlayTableWin::CommTableInterface() const {
  return m_controls->table ? m_controls->table->Comm() : nullptr;
}
HWND CMjPlayTableWin::ArithmeticControlWindow() const {
  return m_controls->arithmeticHost ? m_controls->arithmeticHost->ControlWindow() : nullptr;
}
IArithmetic* CMjPlayTableWin::ArithmeticInterface() const {
  return m_controls->arithmetic ? m_controls->arithmetic->Arithmetic() : nullptr;
}
ICommArithmetic* CMjPlayTableWin::CommArithmeticInterface() const {
  return m_controls->arithmetic ? m_controls->arithmetic->Comm() : nullptr;
}
HWND CMjPlayTableWin::ChooserWindow() const {
  return m_controls->chooser ? m_controls->chooser->Hwnd() : nullptr;
}
CAction_Manager& CMjPlayTableWin::ActionManager() { return m_controls->actions; }
CAvact_Manager& CMjPlayTableWin::AvatarManager() { return m_controls->avatars; }
framework_window::CActionSelectDlg* CMjPlayTableWin::ActionPicker() const {
  return m_controls->actionPicker.get();
}
framework_window::CActionWordDlg* CMjPlayTableWin::ActionWords() const {
  return m_controls->actionWords.get();
}

intptr_t CMjPlayTableWin::GetPersonIcon(const TablePerson* person) {
  return m_host.PersonIcon(person);
}

void CMjPlayTableWin::StartConnection() {
  if (Settings().reviewMode) return;
  ConnectServer(m_launch.connection, Socket());
}

// ---------------------------------------------------------------------------------------------
// The controls

int CMjPlayTableWin::CreateTableControl() {
  Controls& c = *m_controls;
  m_recordFiles.SetOwner(m_host.TableHwnd());
  if (!IsTypeLibRegistered(LIBID_KORVELTABLELib, 1, 3)) {
    c.message(m_host.TableHwnd(), kTextComponentVersion);
    return 0;
  }
  winkit::ComPtr<winkit::ControlHost> host;
  if (FAILED(winkit::ControlHost::Create(m_host.TableHwnd(), CLSID_Table, IID__ITableEvents,
                                         kTableControlId, L"KorvelTable.Table", RECT{},
                                         m_host.ControlEvents(), &host)))
    return 0;
  winkit::ComPtr<ITable> table;
  winkit::ComPtr<ICommTable> comm;
  host->QueryControl(IID_ITable, table.PutVoid());
  host->QueryControl(IID_ICommTable, comm.PutVoid());
  auto binding = std::make_unique<MjTableBinding>(table.Get(), comm.Get());
  SetTableControl(binding.get());
  c.table = std::move(binding);
  DestroyHost(c.tableHost);
  c.tableHost = host;
  // Both interfaces, or the pane counts as not created.
  return table && comm ? 1 : 0;
}

int CMjPlayTableWin::CreateArithmeticControl() {
  Controls& c = *m_controls;
  if (!IsTypeLibRegistered(LIBID_KORVELLib, 1, 2)) {
    c.message(m_host.TableHwnd(), kTextComponentVersion);
    return 0;
  }
  winkit::ComPtr<winkit::ControlHost> host;
  if (FAILED(winkit::ControlHost::Create(m_host.TableHwnd(), CLSID_Arithmetic,
                                         IID__IArithmeticEvents, kArithmeticControlId,
                                         L"Korvel.Arithmetic", RECT{}, m_host.ControlEvents(),
                                         &host)))
    return 0;
  winkit::ComPtr<IArithmetic> arithmetic;
  winkit::ComPtr<ICommArithmetic> comm;
  host->QueryControl(IID_IArithmetic, arithmetic.PutVoid());
  host->QueryControl(IID_ICommArithmetic, comm.PutVoid());
  auto binding = std::make_unique<MjArithmeticBinding>(arithmetic.Get(), comm.Get());
  SetArithmeticControl(binding.get());
  c.arithmetic = std::move(binding);
  DestroyHost(c.arithmeticHost);
  c.arithmeticHost = host;
  return arithmetic && comm ? 1 : 0;
}

std::string CMjPlayTableWin::ImageDir() const {
  std::string dir = m_host.ImageDir();
  if (!dir.empty()) return dir;
  return winkit::Module::ProgramFolder() + "\\image";
}

std::string CMjPlayTableWin::CatalogueDir() const {
  std::string dir = m_launch.dllfile;
  for (int i = 0; i < 2; ++i) {
    const size_t slash = dir.find_last_of('\\');
    dir = slash == std::string::npos ? std::string() : dir.substr(0, slash);
  }
  return dir;
}

void CMjPlayTableWin::InitTable() {
  Controls& c = *m_controls;
  if (!c.table) throw MjControlError(E_POINTER, IID_ITable, "no table display");
  MjTableBinding& table = *c.table;
  const SessionSettings& s = Settings();
  const COLORREF colour = m_host.TableBkColor();

  table.SetType(s.gameType, s.subType);
  table.SetBkColor(static_cast<int32_t>(colour));
  c.imageDir = ImageDir();
  table.InitTable_Avact(s.seatsPerTable, s.PlayerFlag ? 1 : 0, 0, c.imageDir.c_str());
  table.InitPoke(0, 0, 0, 0, colour);
  table.SetTimerOut(1000, m_launch.sendtime);
  table.SetBkBitmap(m_host.TableBackground());
  c.advUrl = m_launch.tableadv;
  table.SetAdvUrl(c.advUrl.c_str());
  m_host.SmellBitmaps(c.smell);
  table.SetSmellBitmap(4, c.smell);
  m_host.CryBitmaps(c.cry);
  table.SetCryBitmap(4, c.cry);
  m_host.ListBitmaps(c.list);
  table.SetListBitmap(c.list[0], c.list[1], c.list[2]);

  if (!c.chooser) {
    auto chooser = std::make_unique<MjInfoWnd>(InfoDlg());
    if (chooser->Create(m_host.TableHwnd(), c.message)) c.chooser = std::move(chooser);
  }

  const std::string base = CatalogueDir();
  c.avatars.SetBaseDir(base);
  c.avatars.LoadAvatarConfig();
  c.actions.SetBaseDir(base);
  c.actions.LoadActionConfig();
  CreateActionDialogs();
}

void CMjPlayTableWin::CreateActionDialogs() {
  Controls& c = *m_controls;
  if (c.actionPicker) return;
  c.actionHost = std::make_unique<ActionHost>(*this);
  auto words = std::make_unique<framework_window::CActionWordDlg>(c.actionHost.get());
  auto picker =
      std::make_unique<framework_window::CActionSelectDlg>(c.actionHost.get(), words.get());
  // Both exist or neither: the picker opens the send box.
  if (!picker->CreateDlg(m_host.TableHwnd()) || !words->CreateDlg(m_host.TableHwnd())) {
    picker->DestroyModeless();
    words->DestroyModeless();
    return;
  }
  c.actionWords = std::move(words);
  c.actionPicker = std::move(picker);
}

void CMjPlayTableWin::ExitGame() {
  if (const HWND frame = m_host.MainFrameHwnd()) PostMessageW(frame, WM_CLOSE, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Persons, chat and the table window

void CMjPlayTableWin::AddChatLine(const ChatTextFormat& format, const char* text) {
  m_host.AddChatLine(format, text);
}
void CMjPlayTableWin::PersonListAddPerson(TablePerson* person) { m_host.PersonListAdd(person); }
void CMjPlayTableWin::PersonListRemovePerson(TablePerson* person) {
  m_host.PersonListRemove(person);
}
int CMjPlayTableWin::GetPersonIconCount() { return m_host.PersonIconCount(); }
void CMjPlayTableWin::AddHotRegion(const HotRegionRecord& region) { m_host.AddHotRegion(region); }

void CMjPlayTableWin::ConnectChat(ChatHostCore& chat) { chat.SetConnection(&Socket(), &Session()); }

ChatHostCore* CMjPlayTableWin::InDeskChat() {
  ChatHostCore* chat = m_host.ChatHost();
  if (chat) ConnectChat(*chat);
  return chat;
}

MessageAnswer CMjPlayTableWin::OnChatMessage(uint16_t id, const uint8_t* body,
                                             size_t bodyLength) {
  ChatHostCore* chat = InDeskChat();
  if (!chat) return MessageAnswer::NotMine;
  return chat->OnChatMessage(id, bodyLength, body);
}

// ---------------------------------------------------------------------------------------------
// Magic actions and avatars

void CMjPlayTableWin::ShowMagicAction(const CVyrMessage_MagicAction& action) {
  const ReceivedMagicAction received = DescribeMagicAction(
      action, m_controls->actions,
      [this](int32_t userId) -> const TablePerson* {
        return FindPerson(static_cast<uint32_t>(userId));
      });
  if (received.item) {
    PlayMagicAction(received.senderId, received.receiverId, received.value,
                    reinterpret_cast<intptr_t>(received.item), received.words.c_str());
  }
  if (received.line) m_host.AddHotRegion(*received.line);
}

TablePerson* CMjPlayTableWin::KnownPerson(intptr_t person) {
  if (person == 0) return nullptr;
  for (TablePerson* p : GetPersons()) {
    if (reinterpret_cast<intptr_t>(p) == person) return p;
  }
  return nullptr;
}

void CMjPlayTableWin::PlayActionOfLine(intptr_t action) {
  CActionItem* item = m_controls->actions.ItemAt(action);
  if (item == nullptr || !m_controls->table) return;
  // From off the table (location 5) to nobody: the display plays it in the middle, no words.
  m_controls->table->PlayFlash(5, -1, reinterpret_cast<intptr_t>(item), nullptr);
}

void CMjPlayTableWin::SendMagicAction(int32_t recvId, int16_t value, int32_t actionType,
                                      int32_t itemId, const char* text) {
  if (IsHandStarted() && m_controls->actionPicker && m_controls->actionPicker->hwnd())
    ShowWindow(m_controls->actionPicker->hwnd(), SW_HIDE);
  CMjPlayTableImp::SendMagicAction(recvId, value, actionType, itemId, text);
}

bool CMjPlayTableWin::FindAvatarItem(uint32_t userId) {
  return m_controls->avatars.FindAvatarItem(static_cast<int32_t>(userId)) != nullptr;
}

std::string CMjPlayTableWin::LoadDefaultAvatar(const TablePerson& person) {
  return m_controls->avatars.LoadDefaultAvatar(person);
}

std::string CMjPlayTableWin::GetAvatarFolder() { return CatalogueDir(); }

bool CMjPlayTableWin::FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void CMjPlayTableWin::AddAvatarItem(uint32_t userId, const std::string& picturePath) {
  auto item = std::make_unique<CAvact_Adv_Item>();
  item->userId = static_cast<int32_t>(userId);
  const size_t n = std::min(picturePath.size(), sizeof item->path - 1);
  std::memcpy(item->path, picturePath.data(), n);
  item->width = 60;
  item->height = 60;
  item->kind = 1;
  std::memcpy(item->source, m_controls->avatars.coreRect, sizeof item->source);
  m_controls->avatars.AddItem(std::move(item));
}

void CMjPlayTableWin::PushAvatarsToTable() {
  std::vector<const TablePerson*> persons;
  for (TablePerson* p : GetPersons()) persons.push_back(p);
  m_controls->avatars.PushAvatarsToTable(
      persons, GetSeatsPerTable(), [this](int seat, const CAvact_Adv_Item* item) {
        SetAvactItem(static_cast<int16_t>(seat), reinterpret_cast<intptr_t>(item));
      });
}
