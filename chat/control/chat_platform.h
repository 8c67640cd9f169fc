// The chat library's ties to the system: the installation directory from the registry, the
// error log, the process's one skin (with its dialog bitmaps), the settings directory, and GBK
// texts for the wide window functions.
#pragma once
#include <windows.h>

#include <ctime>
#include <string>

#include "skin_manager.h"

namespace parley {

// The registry key and value that name the installation directory.
inline constexpr wchar_t kAppPathKey[] = L"SoftWare\\Marrowby";
inline constexpr wchar_t kAppPathValue[] = L"AppPath";

// Fills buffer (size bytes, cleared first) with the installation directory as GBK text, always
// terminated. The key is opened for reading only and never created. False when the key or the
// value is missing or not a string.
bool ReadAppPath(char* buffer, size_t size);
std::string ReadAppPath();

// Appends an entry to "chatLogFile.log" in the installation directory; nothing without one.
// Never fails towards the caller.
void WriteErrorLog(const char* text) noexcept;

// The skin with its dialog bitmaps, created and loaded on first use.
struct ChatSkin {
  chat::CSkinManager values;
  HBITMAP dlgbmp = nullptr;
  HBITMAP dlgbtnbmp = nullptr;
  HBITMAP dlgbtnmousemovebmp = nullptr;
  HBITMAP dlgclosebtn = nullptr;
  HBITMAP dlgclosebtnfocus = nullptr;
  // Puts a bitmap in place of another, deleting the one it replaces.
  static void Replace(HBITMAP& slot, HBITMAP bitmap);
  ~ChatSkin();
};
ChatSkin& GetSkinManager();
void ReleaseSkinManager();

// The folder above the library's folder, with a trailing backslash when not empty.
std::string SettingsDirectory();

// The dialogs' look when the skin gave none: the library's bitmaps and fixed sizes and colours.
void ApplyDialogSkinDefaults(ChatSkin& skin);

// Makes a RichEdit pane read-only or writable; nothing is sent when it already is (a change
// costs RichEdit a redraw).
void SetReadOnly(HWND pane, bool on);
// The number of character positions in a RichEdit pane (a line break is one; the window
// text's length counts it as two).
int PaneTextLength(HWND pane);

std::wstring Wide(const std::string& gbk);
std::wstring Wide(const char* gbk);
std::string Gbk(const std::wstring& wide);

// Opens a web link (checked by chat::IsOpenableLink first) with the shell's "open" verb on a
// worker thread of its own, which gets its own copy of the text. A program that exports
// "ParleyOpenLinkSeam" (void (*)(const wchar_t*)) gets the link instead: the tests' seam.
// Returns false when the link is not one the chat opens.
bool OpenChatLink(const std::wstring& link);

// Where a handler of the control may be made to fail, by the text it logs on failure: a program
// that exports "ParleyFaultSeam" (bool (*)(const char*)) is asked, and the handler throws when
// it answers true (the tests' seam for the failure paths). Nothing happens in any other program.
void FaultPoint(const char* handler);

// The message box of the chat's dialogs; tests put their own in its place.
using MessageBoxFunction = int (*)(HWND owner, const std::wstring& text, UINT type);
extern MessageBoxFunction g_showMessage;
int ShowChatMessage(HWND owner, const char* gbk_text, UINT type = MB_OK);

// The local time of day on a line's input (its hour, minute and second), for the time stamp.
template <class LineInput>
void StampLocalTime(LineInput& in) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  in.hour = local.tm_hour;
  in.minute = local.tm_min;
  in.second = local.tm_sec;
}

}  // namespace parley
