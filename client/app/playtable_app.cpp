// WinSock 2 before anything brings in windows.h.
#include <winsock2.h>

#include "playtable_app.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <ole2.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "image_buttons.h"
#include "korvel_game.h"
#include "wave_sound.h"
#include "winkit/module.h"
#include "winkit/registration.h"
#include "winkit/server_monitor.h"

namespace {

const GUID kAppId = {0x488DDF87, 0x89D9, 0x4BC6, {0xA4, 0xA5, 0x3F, 0xF8, 0x5D, 0x58, 0xBA, 0x22}};

const winkit::ClassRegistration kStartGameRegistration = {
    &CLSID_StartGame, L"KorvelGame.StartGame.1", L"KorvelGame.StartGame", L"StartGame Class",
    &LIBID_KORVELGAMELib, nullptr, false, 0, nullptr, true, &kAppId};

// The switches of the command line: every token that follows '-' or '/', up to the next blank.
std::vector<std::wstring> CommandSwitches(const wchar_t* line) {
  std::vector<std::wstring> out;
  if (!line) return out;
  for (const wchar_t* p = line; *p; ++p) {
    if (*p != L'-' && *p != L'/') continue;
    const wchar_t* start = ++p;
    while (*p && !std::iswspace(*p) && *p != L'-' && *p != L'/') ++p;
    out.emplace_back(start, p);
    if (!*p) break;
    if (*p == L'-' || *p == L'/') --p;
  }
  return out;
}

bool HasSwitch(const std::vector<std::wstring>& switches, const wchar_t* name) {
  for (const auto& s : switches)
    if (lstrcmpiW(s.c_str(), name) == 0) return true;
  return false;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Appends what the lobby handed over to the file KORVEL_LOBBY_TRACE names, if any: a
// diagnostic of the lobby interface, used by the tests that drive it from another process.
void TraceLobbyState(const LobbyState& state, const char* moment) {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("KORVEL_LOBBY_TRACE", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  FILE* f = std::fopen(path, "ab");
  if (!f) return;
  std::fprintf(f, "[%s]\n%s", moment, DescribeLobbyState(state).c_str());
  std::fclose(f);
}

// Loads a resource library as data; an empty handle when it is not there.
winkit::UniqueModule LoadFrom(const std::string& dir, const std::string& name) {
  const std::string path = dir + "\\" + name;
  return winkit::UniqueModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

}  // namespace

CPlaytableApp::CPlaytableApp() = default;

CPlaytableApp::~CPlaytableApp() = default;

int CPlaytableApp::Run(HINSTANCE instance, const wchar_t* command_line) {
  winkit::Module::SetInstance(instance);
  if (!InitInstance(command_line)) return ExitInstance();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // A closed frame's table (its controls, the socket, the play table) goes here, where no
    // handler of it is still running; with it go the last locks of the module.
    if (frame_gone_ && frame_) {
      frame_gone_ = false;
      frame_.reset();
    }
  }
  return ExitInstance();
}

bool CPlaytableApp::RegisterServer() {
  const std::wstring path = winkit::Module::Path();
  return SUCCEEDED(winkit::RegisterModuleTypeLib(path)) &&
         SUCCEEDED(winkit::RegisterComClass(kStartGameRegistration, path));
}

bool CPlaytableApp::UnregisterServer() {
  const bool cls = SUCCEEDED(winkit::UnregisterComClass(kStartGameRegistration));
  const bool lib = SUCCEEDED(winkit::UnregisterModuleTypeLib(winkit::Module::Path()));
  return cls && lib;
}

BOOL CPlaytableApp::InitInstance(const wchar_t* command_line) {
  // 1. WinSock 2.0.
  WSADATA wsa;
  const int err = WSAStartup(MAKEWORD(2, 0), &wsa);
  if (err != 0) {
    MessageBoxA(nullptr, "WSAStartup failed with error \n", nullptr, MB_OK);
    return FALSE;
  }
  winsock_up_ = true;
  if (LOBYTE(wsa.wVersion) != 2 || HIBYTE(wsa.wVersion) != 0) {
    std::fputs("\nWinSock version not supported\n", stderr);
    WSACleanup();
    winsock_up_ = false;
    return FALSE;
  }
  // 2. OLE, COM, common controls.
  if (FAILED(OleInitialize(nullptr))) {
    MessageBoxA(nullptr, "OLE Initialization Failed!", nullptr, MB_OK);
    return FALSE;
  }
  ole_up_ = true;
  com_up_ = SUCCEEDED(CoInitialize(nullptr));
  InitCommonControls();
  // 3. The automation module needs no start: winkit::Module is ready when the program loads.
  // 4. GDI+.
  Gdiplus::GdiplusStartupInput gdiplus_input;
  gdiplus_up_ = Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplus_input, nullptr) == Gdiplus::Ok;
  // 5. There is no document template: the main frame is made when the lobby shows the table.
  // 6. The shutdown monitor.
  winkit::ServerMonitor::Start(1000);
  // 7. Register or unregister and quit.
  const std::vector<std::wstring> switches = CommandSwitches(command_line);
  if (HasSwitch(switches, L"UnregServer")) {
    UnregisterServer();
    return FALSE;
  }
  if (HasSwitch(switches, L"RegServer")) {
    RegisterServer();
    return FALSE;
  }
  // 8. Register again and offer the class object.
  RegisterServer();
  CoRegisterClassObject(CLSID_StartGame, &factory_, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                        &class_cookie_);
  // 9. A stand-alone start shows no window: it leaves the mutex and quits.
  if (!HasSwitch(switches, L"Embedding") && !HasSwitch(switches, L"Automation")) {
    m_hMutex.Reset(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "korvel"));
    if (!m_hMutex) m_hMutex.Reset(CreateMutexA(nullptr, TRUE, "korvel"));
    return FALSE;
  }
  // 10. Wait for the lobby's calls; what the table needs whatever they say gets ready meanwhile.
  if (warm_up_)
    warm_up_thread_.Reset(CreateThread(
        nullptr, 0,
        [](void* work) WINAPI -> DWORD {
          (*static_cast<std::function<void()>*>(work))();
          return 0;
        },
        &warm_up_, 0, nullptr));
  return TRUE;
}

int CPlaytableApp::ExitInstance() {
  if (lobby_.FrameCreated()) TraceLobbyState(lobby_, "exit");
  m_hMutex.Reset();
  m_pJoinTeamDialog.reset();
  if (frame_) {
    // The process is ending: the system takes the frame's window with it. Destroying it here
    // would wait on the display for nothing.
    frame_->Abandon();
    frame_.reset();
  }
  // An asynchronous sound plays from the module's memory: it stops before the module goes.
  stop_sounds_();
  m_hPictureModule.Reset();
  m_hStyleModule.Reset();
  m_hSoundModule.Reset();
  if (class_cookie_) {
    CoRevokeClassObject(class_cookie_);
    class_cookie_ = 0;
  }
  winkit::ServerMonitor::Join();
  FinishWarmUp();
  framework_window::DropPreloadedPictures();
  if (gdiplus_up_) Gdiplus::GdiplusShutdown(m_gdiplusToken);
  gdiplus_up_ = false;
  winkit::Module::ReleaseTypeLib();
  if (winsock_up_) WSACleanup();
  winsock_up_ = false;
  if (com_up_) CoUninitialize();
  com_up_ = false;
  if (ole_up_) OleUninitialize();
  ole_up_ = false;
  return 0;
}

BOOL CPlaytableApp::LoadResourceModules(CStartGame* caller) {
  // 1. The table style from the registry; a missing key is created with the current style.
  winkit::UniqueKey key;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Hollin\\mj_gamestyle", 0, nullptr, 0,
                      KEY_READ | KEY_WRITE, nullptr, key.Put(), &disposition) == ERROR_SUCCESS) {
    char value[21] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      value[sizeof value - 1] = '\0';
      m_nGameStyle = std::atoi(value);
    } else if (disposition == REG_CREATED_NEW_KEY) {
      char text[16];
      std::snprintf(text, sizeof text, "%d", m_nGameStyle);
      RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>(strlen(text) + 1));
    }
  }
  // 2. Large screen.
  m_bLargeScreen = GetSystemMetrics(SM_CXSCREEN) >= 1024 ? TRUE : FALSE;
  // 3-5. The three resource libraries, from the lobby's directory or else the program's.
  const std::string dir = DirectoryOf(lobby_.Settings().dllfile);
  char style_name[32];
  std::snprintf(style_name, sizeof style_name, "pellamres%d1.dll", m_nGameStyle);
  m_hPictureModule = LoadFrom(dir, "picture11.dll");
  m_hStyleModule = LoadFrom(dir, style_name);
  m_hSoundModule = LoadFrom(dir, "pellamsound.dll");
  m_pStartGame = caller;
  const std::string own = winkit::Module::ProgramFolder();
  if (!m_hSoundModule) m_hSoundModule = LoadFrom(own, "pellamsound.dll");
  if (!m_hPictureModule) m_hPictureModule = LoadFrom(own, "picture11.dll");
  if (!m_hStyleModule) m_hStyleModule = LoadFrom(own, style_name);
  return TRUE;
}

void CPlaytableApp::CreateMainFrame() {
  if (frame_) return;
  lobby_.MarkFrameCreated();
  TraceLobbyState(lobby_, "show");
  frame_ = std::make_unique<CMainFrame>(*this, table_factory_ ? table_factory_(*this) : nullptr);
  if (!frame_->LoadFrame()) return;
  ::ShowWindow(frame_->hwnd(), SW_SHOWMAXIMIZED);
  UpdateWindow(frame_->hwnd());
  if (m_bSetupFailed) PostMessageW(frame_->hwnd(), WM_CLOSE, 0, 0);
}

HMODULE CPlaytableApp::ReloadStyleModule() {
  char style_name[32];
  std::snprintf(style_name, sizeof style_name, "pellamres%d1.dll", m_nGameStyle);
  stop_sounds_();
  m_hStyleModule.Reset();
  m_hStyleModule = LoadFrom(DirectoryOf(lobby_.Settings().dllfile), style_name);
  if (!m_hStyleModule) m_hStyleModule = LoadFrom(winkit::Module::ProgramFolder(), style_name);
  return m_hStyleModule.Get();
}

void CPlaytableApp::FinishWarmUp() {
  if (warm_up_thread_) WaitForSingleObject(warm_up_thread_.Get(), INFINITE);
  warm_up_thread_.Reset();
}

void CPlaytableApp::ShowMainFrame(CStartGame* caller) {
  if (frame_) return;
  // Normally long done; the table is made with nothing else going on.
  FinishWarmUp();
  LoadResourceModules(caller);
  CreateMainFrame();
}

void CPlaytableApp::OnJoinTeamAccepted(int32_t joined_id) {
  if (m_pStartGame) m_pStartGame->Fire_AgreeOrNot(lobby_.Settings().roomid, 1, joined_id);
}

void CPlaytableApp::OnFrameClosing() {
  // The table is over once its frame starts to go: the lobby's next activation must start a new
  // client, not reach this one while its panes are still being torn down (a lobby sees the
  // frame gone before the last of its window messages has run).
  if (class_cookie_) {
    CoRevokeClassObject(class_cookie_);
    class_cookie_ = 0;
  }
}

void CPlaytableApp::OnFrameDestroyed() {
  frame_gone_ = true;
  OnFrameClosing();
}

void CPlaytableApp::ShowJoinTeam(const std::string& text, int ms, int32_t joined_id) {
  if (m_bJoinTeamShown || !frame_ || !frame_->hwnd()) return;
  const HWND main = frame_->hwnd();
  m_pJoinTeamDialog.reset();  // the previous invitation's window goes with it
  m_pJoinTeamDialog = std::make_unique<framework_window::CJoinTeamTimerDialog>(
      static_cast<uint32_t>(joined_id), main);
  m_pJoinTeamDialog->SetImageDir(ImageDir().c_str());
  m_pJoinTeamDialog->SetTime(ms > 0 ? static_cast<uint32_t>(ms) : 0u);
  m_pJoinTeamDialog->SetText(text.c_str());
  m_pJoinTeamDialog->ShowButtons();
  m_pJoinTeamDialog->ShowModeless(main);
  m_bJoinTeamShown = TRUE;
  SetTimer(main, kJoinTeamTimer, 60000, nullptr);
}

void CPlaytableApp::ShowLobbyLine(const LobbyChatLine& line) {
  ShellTableWindow* table = frame_ ? frame_->Table() : nullptr;
  if (table && lobby_lines_.empty() && table->ShowLobbyLine(line)) return;
  // Kept until the chat pane is there; a lobby that sends without end keeps the newest.
  constexpr size_t kKeptLines = 200;
  if (lobby_lines_.size() == kKeptLines) lobby_lines_.pop_front();
  lobby_lines_.push_back(line);
}

void CPlaytableApp::ShowWaitingLobbyLines() {
  ShellTableWindow* table = frame_ ? frame_->Table() : nullptr;
  while (table && !lobby_lines_.empty() && table->ShowLobbyLine(lobby_lines_.front()))
    lobby_lines_.pop_front();
}

void CPlaytableApp::ConfirmExit() {
  if (frame_ && frame_->hwnd()) frame_->RequestClose();
}

std::string CPlaytableApp::ImageDir() const {
  if (frame_ && frame_->Table()) {
    std::string dir = frame_->Table()->ImageDir();
    if (!dir.empty()) return dir;
  }
  // The skin names its image folder beside the program (string 147 of the style module), as
  // the table window's skin does.
  char name[32] = {};
  if (m_hStyleModule && LoadStringA(m_hStyleModule.Get(), 147, name, sizeof name) > 0)
    return winkit::Module::ProgramFolder() + "\\" + name;
  return winkit::Module::ProgramFolder() + "\\image";
}

bool CPlaytableApp::PlayStyleSound(const char* name) const {
  return PlayWave(m_hStyleModule.Get(), name, WaveMode::kAsync);
}

bool CPlaytableApp::PlaySoundAsync(const char* name) const {
  return PlayWave(m_hSoundModule.Get(), name, WaveMode::kAsync);
}

bool CPlaytableApp::PlaySoundSync(const char* name) const {
  return PlayWave(m_hSoundModule.Get(), name, WaveMode::kSync);
}
