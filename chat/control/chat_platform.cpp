#include "chat_platform.h"

#include <richedit.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "chat_file.h"
#include "error_log.h"
#include "font_settings.h"
#include "gbk_codec.h"
#include "link_rules.h"
#include "resource_ids.h"
#include "text_copy.h"
#include "winkit/handle.h"
#include "winkit/module.h"

namespace parley {
namespace {

std::unique_ptr<ChatSkin> g_skin;

std::string ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return Gbk(path);
    }
    path.resize(path.size() * 2);
  }
}

HBITMAP LoadBitmapFile(const std::string& path) {
  if (path.empty()) return nullptr;
  return static_cast<HBITMAP>(
      LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

int DefaultMessageBox(HWND owner, const std::wstring& text, UINT type) {
  return MessageBoxW(owner, text.c_str(), L"Parley", type);
}

}  // namespace

MessageBoxFunction g_showMessage = DefaultMessageBox;

void SetReadOnly(HWND pane, bool on) {
  if (!pane) return;
  const bool now = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
  if (now != on) SendMessageW(pane, EM_SETREADONLY, on ? TRUE : FALSE, 0);
}

int PaneTextLength(HWND pane) {
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  const LRESULT n = SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
  return n > 0 ? static_cast<int>(n) : 0;
}

void FaultPoint(const char* handler) {
  using Seam = bool (*)(const char*);
  static const Seam seam = reinterpret_cast<Seam>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "ParleyFaultSeam")));
  if (seam && seam(handler)) throw std::runtime_error(handler);
}

bool OpenChatLink(const std::wstring& link) {
  if (!chat::IsOpenableLink(std::u16string(link.begin(), link.end()))) return false;
  using Seam = void (*)(const wchar_t*);
  if (auto seam = reinterpret_cast<Seam>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(nullptr), "ParleyOpenLinkSeam")))) {
    seam(link.c_str());
    return true;
  }
  auto* copy = new std::wstring(link);
  const winkit::UniqueHandle thread(CreateThread(
      nullptr, 0,
      [](LPVOID p) WINAPI -> DWORD {
        std::unique_ptr<std::wstring> text(static_cast<std::wstring*>(p));
        ShellExecuteW(nullptr, L"open", text->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return 0;
      },
      copy, 0, nullptr));
  if (!thread) {
    delete copy;
    return false;
  }
  return true;
}

int ShowChatMessage(HWND owner, const char* gbk_text, UINT type) {
  return g_showMessage(owner, Wide(gbk_text), type);
}

std::wstring Wide(const std::string& gbk) {
  const std::u16string w = chat::GbkToWide(gbk);
  return std::wstring(w.begin(), w.end());
}

std::wstring Wide(const char* gbk) { return Wide(std::string(gbk ? gbk : "")); }

std::string Gbk(const std::wstring& wide) {
  return chat::WideToGbk(std::u16string(wide.begin(), wide.end()));
}

bool ReadAppPath(char* buffer, size_t size) {
  if (!buffer || size == 0) return false;
  std::memset(buffer, 0, size);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  winkit::UniqueKey owned(key);
  wchar_t value[1024] = {};
  DWORD type = 0;
  DWORD bytes = sizeof value - sizeof(wchar_t);
  if (RegQueryValueExW(key, kAppPathValue, nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  const std::string gbk = Gbk(value);
  const size_t n = CutGbkText(gbk.data(), gbk.size(), size - 1);
  std::memcpy(buffer, gbk.data(), n);
  buffer[n] = '\0';
  return true;
}

std::string ReadAppPath() {
  char buffer[1024];
  return ReadAppPath(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

void WriteErrorLog(const char* text) noexcept {
  try {
    const std::string dir = ReadAppPath();
    if (dir.empty()) return;
    chat::AppendErrorLog(dir + "\\" + chat::kErrorLogFileName, text ? text : "");
  } catch (...) {
  }
}

void ChatSkin::Replace(HBITMAP& slot, HBITMAP bitmap) {
  if (slot && slot != bitmap) DeleteObject(slot);
  slot = bitmap;
}

ChatSkin::~ChatSkin() {
  for (HBITMAP* b : {&dlgbmp, &dlgbtnbmp, &dlgbtnmousemovebmp, &dlgclosebtn, &dlgclosebtnfocus})
    Replace(*b, nullptr);
}

ChatSkin& GetSkinManager() {
  if (!g_skin) {
    g_skin = std::make_unique<ChatSkin>();
    chat::SkinSources sources;
    sources.appPath = ReadAppPath();
    sources.programPath = ModuleFileName(nullptr);
    sources.log = [](const std::string& line) { WriteErrorLog(line.c_str()); };
    g_skin->values.loadSkin(sources);
    const chat::CSkinManager& v = g_skin->values;
    g_skin->dlgbmp = LoadBitmapFile(v.dlgbmpfile);
    g_skin->dlgbtnbmp = LoadBitmapFile(v.dlgbtnbmpfile);
    g_skin->dlgbtnmousemovebmp = LoadBitmapFile(v.dlgbtnmousemovebmpfile);
    g_skin->dlgclosebtn = LoadBitmapFile(v.dlgclosebtnfile);
    g_skin->dlgclosebtnfocus = LoadBitmapFile(v.dlgclosebtnfocusfile);
  }
  return *g_skin;
}

void ReleaseSkinManager() { g_skin.reset(); }

std::string SettingsDirectory() {
  std::string dir =
      chat::SettingsDirectoryFromModulePath(ModuleFileName(winkit::Module::Instance()));
  if (!dir.empty()) dir += '\\';
  return dir;
}

void ApplyDialogSkinDefaults(ChatSkin& skin) {
  HINSTANCE instance = winkit::Module::Instance();
  auto bitmap = [instance](int id) {
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  };
  ChatSkin::Replace(skin.dlgbmp, bitmap(IDB_DIALOG_BACK));
  ChatSkin::Replace(skin.dlgclosebtn, bitmap(IDB_CLOSE_NORMAL));
  ChatSkin::Replace(skin.dlgclosebtnfocus, bitmap(IDB_CLOSE_HOVER));
  ChatSkin::Replace(skin.dlgbtnbmp, bitmap(IDB_BUTTON_NORMAL));
  ChatSkin::Replace(skin.dlgbtnmousemovebmp, bitmap(IDB_BUTTON_HOVER));
  chat::CSkinManager& v = skin.values;
  v.dlgbuttonwidth = 59;
  v.dlgbuttonheight = 21;
  v.dlgbtntextcolor = 0;
  v.dlgbtnfocustextcolor = 0xFF0000;
  v.dlgcaptionpoint = {40, 6};
  v.dlgcaptiontextcolor = 0;
  v.dlgsysexitbtn = {23, 4, 3, 28};
}

}  // namespace parley
