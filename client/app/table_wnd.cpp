#include "table_wnd.h"

#include <gdiplus.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "korvel_table.h"
#include "magic_action_dialogs.h"
#include "mj_controls.h"
#include "parley.h"
#include "parley_events.h"
#include "playtable_app.h"
#include "shell_dialogs.h"
#include "shell_texts.h"
#include "skin_bitmaps.h"
#include "vyr_sock.h"
#include "winkit/late_bound.h"
#include "winkit/module.h"
#include "winkit/gbk.h"
#include "winkit/memory_stream.h"

namespace {

// The table display's events (its outgoing interface's dispatch ids).
enum TableEvent : DISPID {
  kSendCard = 1, kRequestSend, kTimeOut, kRequestDeal, kDClick, kAutoSendEvent, kGuo, kTing, kChi,
  kPeng, kGang, kHu, kSaveOneHand, kPause, kDice, kNextNo, kAutoReview, kExitEvent, kSetupEvent,
  kSelectAction,
};

// The rules engine's events.
enum ArithmeticEvent : DISPID {
  kLightSend = 1, kLightListen, kLightChi, kLightPeng, kLightGang, kLightHu, kLightGuo,
  kOnReceiveCards, kAutoGuo, kAutoSendOnTing, kAutoHu, kPlaySoundEvent,
};

constexpr uint32_t kAutoSendOnTingDelay = 1500;
constexpr uint32_t kAdvertDelay = 5000;

// A failing control call.
void Check(HRESULT hr, REFIID iid, const char* what) {
  if (FAILED(hr)) throw framework_window::PaneCallError(hr, iid, what);
}

}  // namespace

namespace {

// Loads the in-process server the registry names for the class and has it make its class object
// once (its first-use set-up). The library stays loaded: the table hosts the control for the rest
// of the run.
void LoadServerOf(REFCLSID clsid) {
  wchar_t guid[40];
  if (!StringFromGUID2(clsid, guid, 40)) return;
  const std::wstring key = std::wstring(L"CLSID\\") + guid + L"\\InprocServer32";
  wchar_t path[MAX_PATH];
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) !=
      ERROR_SUCCESS)
    return;
  if (!LoadLibraryExW(path, nullptr, 0)) return;
  IClassFactory* factory = nullptr;
  if (SUCCEEDED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                 reinterpret_cast<void**>(&factory))))
    factory->Release();
}

}  // namespace

void WarmUpTableWindow() {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // In the order the table makes them: the advert pane's browser, the person list, the chat, the
  // socket, the display, the rules engine and the option board.
  for (const CLSID* clsid : {&framework_window::CWebBrowser2::ClassId(), &CLSID_OzkPersonList,
                             &CLSID_GChat, &CLSID_VyrSock, &CLSID_Table, &CLSID_Arithmetic,
                             &CLSID_MjBoard})
    LoadServerOf(*clsid);
  // A 1 x 1 PNG: the first picture decoded loads and sets up the decoder, whichever it is.
  static const BYTE kPng[] = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
      0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F,
      0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0B, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x60,
      0x00, 0x02, 0x00, 0x00, 0x05, 0x00, 0x01, 0x7A, 0x5E, 0xAB, 0x3F, 0x00, 0x00, 0x00, 0x00,
      0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  if (winkit::ComPtr<IStream> stream = winkit::StreamOnCopy(kPng, sizeof kPng))
    delete Gdiplus::Bitmap::FromStream(stream.Get());
  // The frame's strip pictures, from the image folder of the style module beside the program
  // (the registry's style): the frame reads them first thing.
  int style = 0;
  char value[21] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Hollin\\mj_gamestyle", nullptr, RRF_RT_REG_SZ,
                   nullptr, value, &size) == ERROR_SUCCESS)
    style = std::atoi(value);
  char name[32];
  std::snprintf(name, sizeof name, "\\pellamres%d1.dll", style);
  const winkit::UniqueModule module(LoadLibraryExA((winkit::Module::ProgramFolder() + name).c_str(),
                                                   nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (module)
    framework_window::PreloadPictures(
        CTableWnd::StripPicturePaths(CTableWnd::ImageFolderOf(module.Get())));
  if (SUCCEEDED(com)) CoUninitialize();
}

namespace {

// Opens a page in the browser. The shell is loaded when a page is first opened.
void OpenPage(HWND owner, const std::string& url) {
  static const auto execute =
      winkit::LateBound<decltype(ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
  if (execute) execute(owner, "open", "IExplore.exe", url.c_str(), nullptr, SW_SHOW);
}

}  // namespace

// The play table's sound flag; the play table switches the display's own sounds (the deal, the
// alarm) with it.
void SetTableSound(CMjPlayTableWin& table, int on) { table.SetSound(on ? 1 : 0); }

// What the frame's close rule asks of the play table.
class CTableWnd::ExitView : public ShellPlayTable {
 public:
  ExitView(CMjPlayTableWin& t, const SessionSettings& s) : t_(t), s_(s) {}
  bool ReviewMode() const override { return s_.reviewMode != 0; }
  bool ExitPending() const override { return t_.IsExitPending() != 0; }
  bool GameOver() const override { return t_.IsGameOver() != 0; }
  bool InProgress() const override { return t_.IsInProgress() != 0; }
  bool HandStarted() const override { return t_.IsHandStarted() != 0; }
  bool IsPlayer() const override { return t_.IsPlayer(); }
  bool MayRequestExit() const override { return t_.CanRequestExit(); }
  const TablePerson* Me() const override { return t_.GetMe(); }
  void SetExitPending() override { t_.SetExitPending(1); }
  void SendExit(int16_t forced) override { t_.SendExit(forced); }
  void SendLeaveSeat() override { t_.SendLeaveSeat(); }
  void RequestExit() override { t_.RequestExit(); }
  void PlaySound(const char* name) override { t_.PlaySound(name); }
  int SoundFlag() const override { return t_.IsSoundOn(); }
  void SetSoundFlag(int on) override { SetTableSound(t_, on); }

 private:
  CMjPlayTableWin& t_;
  const SessionSettings& s_;
};

// ---------------------------------------------------------------------------------------------
// The game manager

CGameManager::CGameManager(CTableWnd& wnd) : wnd_(wnd), chat_(wnd), persons_(wnd) {
  chat_.SetEvents(&wnd);
  persons_.SetEvents(&wnd);
}

CGameManager::~CGameManager() {
  // The play table (and the socket control's sink that reaches it) goes before the wrappers it
  // reaches and the timers it sets.
  socket_events_.reset();
  table_.reset();
  notices_.reset();
}

void CGameManager::LoadSkin() {
  HMODULE style = wnd_.App().StyleModule();
  table_bitmaps[kTableBackground].Reset(
      style ? framework_window::LoadSkinBitmap(style, "TABLE_BK2") : nullptr);
}

void CGameManager::InitSkins() {
  if (chat_up_) chat_.InitSkin();
  if (table_) SetTableSound(*table_, SoundSetting());
  if (persons_up_) persons_.InitSkin(wnd_.App().StyleModule());
}

void CGameManager::RefreshChatSkin() {
  if (chat_up_) chat_.ApplySkin();
}

int CGameManager::CreateChatPane(HWND parent, HWND owner) {
  chat_up_ = chat_.Create(parent, owner) != 0;
  if (chat_up_) chat_.RegisterSkinWindow();
  return chat_up_ ? 1 : 0;
}

void CGameManager::NewPlayTable(int16_t) {
  if (table_) return;
  timers_.Create();
  notices_ = std::make_unique<TableNoticeWindows>(wnd_.hwnd(), wnd_.MainFrameHwnd());
  const StartSettings& s = wnd_.App().Lobby().Settings();
  MjTableLaunch launch;
  launch.connection.serverhost = s.gamesockip;
  launch.connection.serverport = s.gamesockport;
  launch.connection.proxyhost = s.proxyip;
  launch.connection.proxyport = s.proxyport;
  launch.connection.isuseproxy = s.isuseproxy;
  launch.connection.socktype = s.socktype;
  launch.connection.ispasswd = s.ispasswd;
  launch.connection.proxyuser = s.proxyuser;
  launch.connection.proxypassword = s.proxypasswd;
  launch.sendtime = s.sendtime;
  launch.tableadv = s.tableadv;
  launch.dllfile = s.dllfile;
  launch.cominfo = s.cominfo;
  launch.reviewfile = s.reviewfile;
  table_ = std::make_unique<CMjPlayTableWin>(Transport(), timers_, *notices_, Settings(), wnd_,
                                             std::move(launch));
  CMjPlayTableWin* table = table_.get();
  socket_events_ = std::make_unique<VyrSockEventRouter>(*table);
  timers_.SetTarget([table](uint32_t id) { table->OnGameTimer(id); });
  notices_->SetExitAnswer(
      [table](uint32_t asker, int16_t answer) { table->SendExitAnswer(asker, answer); });
  // The notices in the table window's colours, with the pictures of the table's image folder.
  const ShellNoticeColors colors = wnd_.NoticeColors();
  notices_->SetLook(TableNoticeLook{colors.c1, colors.c2, colors.text, table->ImageDir()});
}

int CGameManager::CreatePlayTablePane(HWND, HWND) {
  if (!table_) return 0;
  table_->SetAuxViews(nullptr, nullptr);
  if (!table_->Create()) return 0;
  if (Settings().reviewMode)
    table_->LoadHandRecord();
  else
    table_->StartConnection();
  ReadInSoundSetting();
  SetTableSound(*table_, SoundSetting());
  return 1;
}

void CGameManager::MovePlayTablePane(int x, int y, int w, int h) {
  if (table_) table_->Move(x, y, w, h);
}

void CGameManager::MoveChatPane(int x, int y, int w, int h) {
  if (chat_up_) chat_.Move(x, y, w, h);
}

// ---------------------------------------------------------------------------------------------
// The window

CTableWnd::CTableWnd(CPlaytableApp& app) : m_app(app), m_manager(*this) {
  SetCaptionText("Korvel");
  m_nColumnWidth = app.LargeScreen() ? 260 : 200;
}

CTableWnd::~CTableWnd() {
  if (m_pSetDialog && m_pSetDialog->hwnd()) DestroyWindow(m_pSetDialog->hwnd());
  m_pSetDialog.reset();
  m_exitView.reset();
}

bool CTableWnd::Create(HWND frame) {
  if (!CreateChildren(framework_window::kIdTableWindow, frame)) return false;
  LoadResources(m_app.StyleModule(), 0);
  return true;
}

void CTableWnd::Layout(int cx, int cy) {
  if (!hwnd()) return;
  // Nothing reaches the screen while the panes move and the frame is drawn (each pane would
  // paint itself at once, some at their old size); the window and every pane are drawn once
  // from the new layout afterwards.
  const bool drawing = IsWindowVisible(hwnd()) != FALSE;
  if (drawing) SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
  MoveWindow(hwnd(), 0, 0, cx, cy, TRUE);
  LayoutChildren(0, 0, cx, cy);
  PaintFrame();
  if (drawing) SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CTableWnd::LogFailure(const char* what, const char* why) {
  ++m_failures;
  m_lastFailure = std::string(what) + ": " + (why ? why : "");
  OutputDebugStringA(("table window: " + m_lastFailure + "\n").c_str());
}

void CTableWnd::ApplyPersonsFromLobby() {
  CMjPlayTableWin* table = m_manager.PlayTable();
  if (!table) return;
  const LobbyState& lobby = m_app.Lobby();
  for (const auto& p : lobby.Persons()) {
    if (!p) continue;
    table->AppendPerson(std::make_unique<TablePerson>(*p));
  }
  if (const TablePerson* me = lobby.Me()) table->SetMyId(me->id);
}

void CTableWnd::LoadSkinBitmaps(HMODULE module) {
  for (int i = 0; i < 4; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "IDB_CRY%d", i + 1);
    m_cry[i].Reset(module ? framework_window::LoadSkinBitmap(module, name) : nullptr);
    std::snprintf(name, sizeof name, "IDB_SMELL%d", i + 1);
    m_smell[i].Reset(module ? framework_window::LoadSkinBitmap(module, name) : nullptr);
  }
  m_background.Reset(module ? framework_window::LoadSkinBitmap(module, "TABLE_BK2") : nullptr);
  m_bkColor = m_metrics.m_clrFrameFill;
  m_listColor = m_metrics.m_clrListSkin ? m_metrics.m_clrListSkin : 0x00331A;
  m_chatTextColor = m_metrics.m_clrText2;
}

void CTableWnd::CreateGame() {
  const StartSettings& s = m_app.Lobby().Settings();
  // 1. The cry and smell pictures of the style module.
  LoadSkinBitmaps(m_app.StyleModule());
  // 2-3. The play table, the framework's settings and the socket control.
  m_manager.SetSubType(s.servicetype, s.gametype, s.subtype);
  m_manager.SetIsPlayer(s.isplayer);
  m_manager.SetReviewMode(s.isreview);
  m_manager.SetDoubleStyle(s.isdouble);
  m_manager.Settings().seatsPerTable = s.seatnum > 0 ? s.seatnum : 2;
  m_manager.NewPlayTable(s.subtype);
  ApplyPersonsFromLobby();
  m_manager.CreateSocket(hwnd(), m_manager.Settings().seatsPerTable, m_manager.SocketEvents());
  if (CMjPlayTableWin* t = m_manager.PlayTable()) m_exitView = std::make_unique<ExitView>(*t, m_manager.Settings());
  bool failed = false;
  // A table is played as the local player the lobby named: without one there is nobody to join
  // as, so the table is not connected and closes as soon as it is shown.
  const bool noPlayer = !s.isreview && m_app.Lobby().Me() == nullptr;
  if (noPlayer) {
    MessageBoxW(hwnd(), winkit::GbkToWide(kTextNoLocalPlayer).c_str(), nullptr, MB_OK);
    failed = true;
  }
  // The room icons of the person list: "<folder>\room\mj<letter>.dll", in the folder the
  // lobby gave, else beside the program.
  m_elements.personList.curdir = !s.curdir.empty() ? s.curdir : winkit::Module::ProgramFolder();
  m_elements.personList.modulePrefix = "mj";
  // The picture library's caption and person-list skin, then the room icons.
  if (HMODULE picture = m_app.PictureModule()) m_elements.SetPictureModule(picture);
  m_elements.personList.LoadRoomIcons();
  // 4. The person list.
  Guarded("CreateGame", [&] {
    CTablePersonListImp& list = m_manager.PersonList();
    const bool up = list.Create(hwnd(), hwnd()) != 0;
    m_manager.SetPersonListUp(up);
    if (!up) {
      failed = true;
      return;
    }
    list.RegisterSkinWindow();
    list.SetupColumns(s.isdouble != 0, 0);
  });
  if (!m_manager.PersonListUp()) failed = true;
  // 5. The chat pane (none in review mode).
  if (s.isreview) {
    if (!m_manager.CreateExtraPane2()) failed = true;
  } else if (!m_manager.CreateChatPane(hwnd(), hwnd())) {
    failed = true;
  }
  // 6. The play table: its controls, then the connection.
  if (!noPlayer && !m_manager.CreatePlayTablePane(hwnd(), hwnd())) failed = true;
  // 7. Skins.
  Guarded("CreateGame", [&] {
    m_manager.InitSkins();
    if (m_manager.ChatUp() && m_manager.Chat().Control())
      Check(m_manager.Chat().Control()->SetTextColor(static_cast<long>(m_chatTextColor)),
            IID_IGChat, "SetTextColor");
  });
  // 8. The icon and the advert, once, a little later.
  m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102));
  ::SetTimer(hwnd(), kAdvertTimer, kAdvertDelay, nullptr);
  if (failed) m_app.MarkSetupFailed();
  // The lobby's lines that came before the chat pane.
  m_app.ShowWaitingLobbyLines();
}

void CTableWnd::SetPaneLayout(int key, int height) {
  // The list and the chat share what the column leaves them (`height`) evenly until the player
  // moves the bar; a new window height (`key`) shares it out again.
  if (key != m_paneLayoutKey || m_nListHeight == 0) {
    m_paneLayoutKey = key;
    m_nListHeight = static_cast<int16_t>(height / 2);
    m_nChatHeight = static_cast<int16_t>(height / 2);
    m_bListShown = TRUE;
    m_bChatShown = TRUE;
    if (HWND w = m_manager.PersonList().ControlWindow()) ShowWindow(w, SW_SHOW);
    if (HWND w = m_manager.Chat().ControlWindow()) ShowWindow(w, SW_SHOW);
  } else {
    if (m_bListShown)
      if (HWND w = m_manager.PersonList().ControlWindow()) ShowWindow(w, SW_SHOW);
    if (m_bChatShown)
      if (HWND w = m_manager.Chat().ControlWindow()) ShowWindow(w, SW_SHOW);
  }
}

void CTableWnd::MovePanes() {
  const layout::FrameMetrics& m = m_metrics;
  const layout::Rect& p = m_rc.play;
  m_manager.MovePlayTablePane(p.left + m.m_nTableInsetLeft, p.top + m.m_nTableInsetTop,
                              p.Width() - m.m_nTableInsetLeft - m.m_nTableInsetRight,
                              p.Height() - m.m_nTableInsetTop - m.m_nTableInsetBottom);
  const int title = m_nTitleBandHeight;
  const auto place = [&](const layout::Rect& r, auto&& move) {
    move(r.left + m.m_nPaneInsetLeft, r.top + title,
         r.Width() - m.m_nPaneInsetLeft - m.m_nPaneInsetRight, r.Height() - title);
  };
  if (m_manager.PersonListUp())
    place(m_rc.list, [&](int x, int y, int w, int h) { m_manager.PersonList().Move(x, y, w, h); });
  place(m_rc.chat, [&](int x, int y, int w, int h) { m_manager.MoveChatPane(x, y, w, h); });
}

void CTableWnd::InvalidatePanes() {
  for (HWND w : {m_manager.Chat().ControlWindow(),
                 m_manager.PlayTable() ? m_manager.PlayTable()->TableControlWindow() : nullptr,
                 m_manager.PersonList().ControlWindow()})
    if (w) InvalidateRect(w, nullptr, TRUE);
}

void CTableWnd::RefreshLayout() {
  const layout::Rect& l = m_rc.list;
  if (HWND w = m_manager.PersonList().ControlWindow()) {
    m_bListShown = l.Height() > 40;
    ShowWindow(w, m_bListShown ? SW_SHOW : SW_HIDE);
  }
  if (HWND w = m_manager.Chat().ControlWindow()) {
    m_bChatShown = m_rc.chat.Height() > 50;
    ShowWindow(w, m_bChatShown ? SW_SHOW : SW_HIDE);
    if (m_bChatShown) InvalidateRect(w, nullptr, TRUE);
  }
  MovePanes();
  DrawTitle();
}

void CTableWnd::OnShop() {
  const std::string& url = m_app.Lobby().Settings().pageurl;
  if (!url.empty()) OpenPage(hwnd(), url);
}

void CTableWnd::OnHelp() {
  const std::string& url = m_app.Lobby().Settings().helpurl;
  if (!url.empty()) OpenPage(hwnd(), url);
}

void CTableWnd::OnSetup() {
  if (!m_pSetDialog) {
    m_pSetDialog = std::make_unique<CSetDialog>();
    m_pSetDialog->SetPlayTable(m_exitView.get());
    m_pSetDialog->SetImageDir(ImageDir().c_str());
  }
  m_pSetDialog->ShowCentered(hwnd());
}

void CTableWnd::OnExit() { m_app.ConfirmExit(); }

HMODULE CTableWnd::ReloadSkin() { return m_app.ReloadStyleModule(); }

void CTableWnd::DrawTable(HMODULE module) {
  Guarded("DrawTable", [&] {
    LoadSkinBitmaps(module);
    m_manager.table_bitmaps[CVyrPokeGameManager::kTableBackground].Reset(
        framework_window::LoadSkinBitmap(module, "TABLE_BK2"));
    if (IPersonList* list = m_manager.PersonList().Control()) {
      Check(list->SetResourceModule(reinterpret_cast<__int3264>(module), 0), IID_IPersonList,
            "SetResourceModule");
      Check(list->SetSkinColor1(static_cast<long>(m_listColor)), IID_IPersonList, "SetSkinColor1");
    }
    CMjPlayTableWin* t = m_manager.PlayTable();
    ITable* table = t ? t->TableInterface() : nullptr;
    ICommTable* comm = t ? t->CommTableInterface() : nullptr;
    if (!table || !comm) throw framework_window::PaneCallError(E_POINTER, IID_ITable, "DrawTable");
    HBITMAP smell[4], cry[4], list[3];
    SmellBitmaps(smell);
    CryBitmaps(cry);
    ListBitmaps(list);
    Check(table->SetSmellBitmap(4, reinterpret_cast<__int3264>(smell)), IID_ITable,
          "SetSmellBitmap");
    Check(table->SetCryBitmap(4, reinterpret_cast<__int3264>(cry)), IID_ITable, "SetCryBitmap");
    Check(comm->SetBkColor(static_cast<long>(m_bkColor)), IID_ICommTable, "SetBkColor");
    Check(comm->SetBkBitmap(reinterpret_cast<__int3264>(m_background.Get())), IID_ICommTable,
          "SetBkBitmap");
    if (m_manager.ChatUp() && m_manager.Chat().Control())
      Check(m_manager.Chat().Control()->SetTextColor(static_cast<long>(m_chatTextColor)),
            IID_IGChat, "SetTextColor");
    Check(comm->Update(-1), IID_ICommTable, "Update");
  });
  InvalidatePanes();
}

void CTableWnd::DrawFrame(HDC dc) {
  CVyrTableWnd2_Adv3::DrawFrame(dc);
  if (m_metrics.m_bCenterCaption == 1) DrawSetupExitText(dc);
}

void CTableWnd::PaintFrame() {
  CVyrTableWnd2_Adv0::PaintFrame();
}

void CTableWnd::OnPreTrick() {
  Guarded("OnPreTrick", [&] {
    if (CMjPlayTableWin* t = m_manager.PlayTable())
      if (ITable* table = t->TableInterface()) Check(table->PreTrick(), IID_ITable, "PreTrick");
  });
}

void CTableWnd::OnNextTrick() {
  Guarded("OnNextTrick", [&] {
    if (CMjPlayTableWin* t = m_manager.PlayTable())
      if (ITable* table = t->TableInterface()) Check(table->NextTrick(), IID_ITable, "NextTrick");
  });
}

void CTableWnd::OnSaveRecord() {
  if (Replaying()) return;
  if (CMjPlayTableWin* t = m_manager.PlayTable()) t->SaveHandRecord();
}

void CTableWnd::OnAutoSend(bool checked) {
  Guarded("OnAutoSend", [&] {
    if (CMjPlayTableWin* t = m_manager.PlayTable())
      if (ITable* table = t->TableInterface())
        Check(table->SetAutoSend(checked ? 1 : 0), IID_ITable, "SetAutoSend");
  });
}

// --- What the frame asks ---

void CTableWnd::OnGameTimer(HWND, UINT_PTR id) {
  if (CMjPlayTableWin* t = m_manager.PlayTable()) t->OnGameTimer(static_cast<uint32_t>(id));
}

ShellPlayTable* CTableWnd::PlayTable() { return m_exitView.get(); }

std::string CTableWnd::ImageDir() const { return m_strImagePath; }

ShellNoticeColors CTableWnd::NoticeColors() const {
  ShellNoticeColors colors;
  colors.c1 = m_metrics.m_clrText1;
  colors.c2 = m_metrics.m_clrText3;
  colors.text = m_metrics.m_clrText2;
  return colors;
}

bool CTableWnd::ShowLobbyLine(const LobbyChatLine& line) {
  if (!m_manager.ChatUp()) return false;
  Guarded("ShowLobbyLine", [&] {
    if (CMjPlayTableWin* t = m_manager.PlayTable(); t && line.sound) t->PlaySound(line.sound);
    CParleyImp& chat = m_manager.Chat();
    ChatTextFormat format = line.format;
    if (line.advert)
      chat.AddLink(&format, line.link.empty() ? nullptr : line.link.c_str(), line.text.c_str());
    else
      chat.ShowLine(format, line.text.c_str());
  });
  return true;
}

// --- What the play table asks ---

HBITMAP CTableWnd::TableBackground() const { return m_background.Get(); }

void CTableWnd::CryBitmaps(HBITMAP out[4]) const {
  for (int i = 0; i < 4; ++i) out[i] = m_cry[i].Get();
}

void CTableWnd::SmellBitmaps(HBITMAP out[4]) const {
  for (int i = 0; i < 4; ++i) out[i] = m_smell[i].Get();
}

void CTableWnd::ListBitmaps(HBITMAP out[3]) const {
  out[0] = m_hListLeft.Get();
  out[1] = m_hListMid.Get();
  out[2] = m_hListRight.Get();
}

intptr_t CTableWnd::PersonIcon(const TablePerson* person) {
  if (!person) return 0;
  const auto& icons = m_elements.personList.m_roomIcons;
  const auto index = static_cast<size_t>(person->headpicid);
  return index < icons.size() ? reinterpret_cast<intptr_t>(icons[index]) : 0;
}

int CTableWnd::PersonIconCount() { return static_cast<int>(m_elements.personList.m_roomIcons.size()); }

void CTableWnd::SetLevelTitle(TablePerson* person) { m_app.SetLevelTitle(person); }

void CTableWnd::PersonListAdd(TablePerson* person) {
  if (!m_manager.PersonListUp() || !person) return;
  m_app.SetLevelTitle(person);
  m_manager.PersonList().AddPerson(person);
}

void CTableWnd::PersonListRemove(TablePerson* person) {
  if (m_manager.PersonListUp() && person) m_manager.PersonList().RemovePerson(person);
}

ChatHostCore* CTableWnd::ChatHost() { return m_manager.ChatUp() ? &m_manager.Chat() : nullptr; }

void CTableWnd::AddChatLine(const ChatTextFormat& format, const char* text) {
  if (m_manager.ChatUp() && text) m_manager.Chat().ShowLine(format, text);
}

void CTableWnd::AddHotRegion(const HotRegionRecord& region) {
  if (!m_manager.ChatUp() || !m_manager.Chat().Control()) return;
  Check(m_manager.Chat().Control()->AddHotRegion(
            reinterpret_cast<__int3264>(const_cast<HotRegionRecord*>(&region)), 0),
        IID_IGChat, "AddHotRegion");
}

void CTableWnd::PlaySoundSync(const char* name) { m_app.PlaySoundSync(name); }
void CTableWnd::PlaySoundAsync(const char* name) { m_app.PlaySoundAsync(name); }
void CTableWnd::PlayStyleSound(const char* name) { m_app.PlayStyleSound(name); }

void CTableWnd::RedrawPersonList() {
  if (m_manager.PersonListUp()) m_manager.PersonList().RedrawList();
}

// --- What the wrappers ask ---

TablePerson* CTableWnd::GetMe() {
  CMjPlayTableWin* t = m_manager.PlayTable();
  return t ? t->GetMe() : nullptr;
}

TablePerson* CTableWnd::FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  return t ? t->FindPersonAt(deskno, seatno, state) : nullptr;
}

std::vector<TablePerson*> CTableWnd::GetPersons() {
  CMjPlayTableWin* t = m_manager.PlayTable();
  return t ? t->GetPersons() : std::vector<TablePerson*>{};
}

int16_t CTableWnd::GetSeatCode(int16_t deskno, int16_t seatno) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  return t ? t->GetSeatCode(deskno, seatno) : seatno;
}

// --- Messages ---

LRESULT CTableWnd::OnTimer(UINT, WPARAM wp, LPARAM, bool& handled) {
  handled = false;
  if (wp == kAdvertTimer) {
    ::KillTimer(hwnd(), kAdvertTimer);
    const StartSettings& s = m_app.Lobby().Settings();
    if (!s.tableadv.empty()) {
      char url[1024];
      std::snprintf(url, sizeof url, "%s?type=%d&subtype=%d&roomid=%d", s.tableadv.c_str(),
                    s.gametype, s.subtype, s.roomid);
      Advert().Navigate(url);
    }
    handled = true;
    return 0;
  }
  Guarded("OnTimer", [&] {
    if (CMjPlayTableWin* t = m_manager.PlayTable()) t->OnGameTimer(static_cast<uint32_t>(wp));
  });
  return 0;
}

LRESULT CTableWnd::OnToggleSound(WORD, WORD, HWND, bool&) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  HMENU menu = GetMenu(MainFrameHwnd());
  HMENU sub = menu ? GetSubMenu(menu, 0) : nullptr;
  const bool checked =
      sub && (GetMenuState(sub, kToggleSoundCommand, MF_BYCOMMAND) & MF_CHECKED) != 0;
  if (t) SetTableSound(*t, checked ? 0 : 1);
  if (sub) CheckMenuItem(sub, kToggleSoundCommand, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
  return 0;
}

// --- Events ---

void CTableWnd::OnControlEvent(UINT child_id, DISPID id, const winkit::EventArgs& args) {
  Guarded("OnControlEvent", [&] {
    switch (child_id) {
      case CMjPlayTableWin::kTableControlId: OnTableEvent(id, args); break;
      case CMjPlayTableWin::kArithmeticControlId: OnArithmeticEvent(id, args); break;
      case CParleyImp::kChildId: OnChatEvent(id, args); break;
      case CTablePersonListImp::kChildId: OnPersonListEvent(id, args); break;
      default: break;
    }
  });
}

void CTableWnd::OnTableEvent(DISPID id, const winkit::EventArgs& args) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  if (!t) return;
  const bool replaying = Replaying();
  switch (id) {
    case kRequestSend: {
      if (replaying) break;
      const int16_t count = args.Short(0);
      const auto* tiles = reinterpret_cast<const card*>(args.Ptr(1));
      if (count > 0 && tiles) t->OnRequestSend(count, tiles);
      break;
    }
    case kTimeOut: if (!replaying) t->OnTimeOut(args.Short(0)); break;
    case kRequestDeal: if (!replaying) t->RequestDeal(); break;
    case kAutoSendEvent: if (!replaying) t->OnTimeOut(0); break;
    case kGuo: t->OnGuo(); break;
    case kTing: if (!replaying) t->OnTingDeclare(); break;
    case kChi: if (!replaying) t->OnChi(); break;
    case kPeng: if (!replaying) t->OnPeng(); break;
    case kGang: if (!replaying) t->OnGang(); break;
    case kHu: if (!replaying) t->OnHuDeclare(); break;
    case kSaveOneHand: OnSaveRecord(); break;
    case kPause: if (replaying) m_manager.Timers().KillTimer(kTimerReplayStep); break;
    case kDice: if (!replaying) t->ThrowDice(); break;
    case kNextNo: if (replaying) t->ReplayNextStep(); break;
    case kAutoReview: if (replaying) t->StartAutoReview(); break;
    case kExitEvent: OnExit(); break;
    case kSetupEvent: {
      CSetDialog dialog;
      dialog.SetPlayTable(m_exitView.get());
      dialog.DoModal(hwnd());
      break;
    }
    case kSelectAction:
      m_selectedPerson = 0;
      t->SetSelectedPerson(0);
      if (framework_window::CActionSelectDlg* picker = t->ActionPicker())
        picker->ShowAtCorner(hwnd());
      break;
    default: break;  // SendCard, DClick
  }
}

void CTableWnd::OnArithmeticEvent(DISPID id, const winkit::EventArgs& args) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  if (!t) return;
  const bool replaying = Replaying();
  if (id >= kLightSend && id <= kLightGuo) {
    t->OnRulesLight(static_cast<MjLight>(id - kLightSend), args.Short(0));
    return;
  }
  switch (id) {
    case kAutoGuo: if (!replaying) t->OnGuo(); break;
    case kAutoSendOnTing:
      if (!replaying) m_manager.Timers().SetTimer(kTimerAutoDiscard, kAutoSendOnTingDelay);
      break;
    case kAutoHu: if (!replaying) t->OnHuDeclare(); break;
    case kPlaySoundEvent:
      if (t->IsSoundOn()) {
        char name[32];
        std::snprintf(name, sizeof name, "IDW_%d%d", args.Short(0) + 1, args.Short(1));
        m_app.PlaySoundSync(name);
      }
      break;
    default: break;  // OnReceiveCards
  }
}

void CTableWnd::OnChatEvent(DISPID id, const winkit::EventArgs& args) {
  CParleyImp& chat = m_manager.Chat();
  switch (id) {
    case kChatSendMyText:
      OnChatSendMyText(reinterpret_cast<const ChatTextFormat*>(args.Ptr(0)), args.Int(1),
                       reinterpret_cast<const char*>(args.Ptr(2)));
      break;
    case kChatClickSetup: chat.OnClickSetup(); break;
    case kChatClickCommand: chat.OnClickCommand(); break;
    case kChatAddCommand: {
      const auto* format = reinterpret_cast<const ChatTextFormat*>(args.Ptr(0));
      const auto* key = reinterpret_cast<const char*>(args.Ptr(2));
      if (format && key) chat.SendCommand(*format, args.Int(1), key);
      break;
    }
    case kChatSave: chat.SaveChatLog(); break;
    case kChatClickHotRegion:
      // The line's action value is the item's place in the catalogue (chosen by whoever sent
      // the action): it is looked up there, never taken for an address.
      if (CMjPlayTableWin* t = m_manager.PlayTable()) t->PlayActionOfLine(args.Ptr(0));
      break;
    default: break;
  }
}

void CTableWnd::OnChatSendMyText(const ChatTextFormat* format, int32_t iswhisper,
                                 const char* text) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  if (t && format) t->SendTypedChat(*format, iswhisper, text);
}

const TablePerson* CTableWnd::PersonOfList(intptr_t person) {
  CMjPlayTableWin* t = m_manager.PlayTable();
  return t ? t->KnownPerson(person) : nullptr;
}

void CTableWnd::OnPersonListEvent(DISPID id, const winkit::EventArgs& args) {
  const intptr_t person = args.Ptr(0);
  switch (id) {
    case 1: {
      m_selectedPerson = person;
      // The list gives back what it was given; only a person of this table is followed.
      if (CMjPlayTableWin* t = m_manager.PlayTable()) {
        t->SetSelectedPerson(person);
        m_manager.PersonList().ShowPersonMenu(t->KnownPerson(person));
      }
      break;
    }
    case 2:
    case 3:
      m_selectedPerson = person;
      if (CMjPlayTableWin* t = m_manager.PlayTable()) t->SetSelectedPerson(person);
      break;
    case 4:
      if (const TablePerson* p = PersonOfList(person)) {
        const std::string nick(p->nickname, strnlen(p->nickname, sizeof p->nickname));
        m_manager.Chat().SetEditText(nick.c_str());
      }
      break;
    default: break;
  }
}
