#include "chat_test_support.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <random>

#include "chat_platform.h"

namespace parley::testing {

AppPathOverride::AppPathOverride(const wchar_t* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    wchar_t buf[1024] = {};
    DWORD bytes = sizeof buf - sizeof(wchar_t);
    had_value_ = RegQueryValueExW(key, kAppPathValue, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(buf), &bytes) == ERROR_SUCCESS;
    old_value_ = buf;
    RegCloseKey(key);
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey);
  if (value) {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                    nullptr);
    RegSetValueExW(key, kAppPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
}

AppPathOverride::~AppPathOverride() {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kAppPathKey);
  if (!had_value_) return;
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                  nullptr);
  RegSetValueExW(key, kAppPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_value_.c_str()),
                 static_cast<DWORD>((old_value_.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

bool AppPathKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::random_device rd;
  path_ = std::wstring(temp) + L"parley_" + std::to_wstring(rd()) + L"_\x804a\x5929";  // 聊天
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  std::wstring from = path_ + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
}

std::string ScratchFolder::Path() const { return Gbk(path_); }

std::string ScratchFolder::Read(const std::wstring& name) const {
  std::ifstream f(std::filesystem::path(path_ + L"\\" + name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const {
  std::ofstream(std::filesystem::path(path_ + L"\\" + name), std::ios::binary) << bytes;
}

bool ScratchFolder::Exists(const std::wstring& name) const {
  return GetFileAttributesW((path_ + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

DialogDriver* DialogDriver::current_ = nullptr;

void DialogDriver::ThenDialog(HWND owner, std::function<void(HWND)> step) {
  auto tries = std::make_shared<int>(0);
  steps_.push_back([this, owner, step, tries] { ThenDialogRetry(owner, step, tries); });
}

void DialogDriver::ThenDialogRetry(HWND owner, std::function<void(HWND)> step,
                                   std::shared_ptr<int> tries) {
  HWND dialog = FindThreadDialog(owner);
  if (!dialog && ++*tries < 100) {
    steps_.push_front([this, owner, step, tries] { ThenDialogRetry(owner, step, tries); });
    return;
  }
  if (!dialog) ADD_FAILURE() << "no dialog came";
  else step(dialog);
}

DialogDriver::DialogDriver() {
  current_ = this;
  timer_ = SetTimer(nullptr, 0, 30, Tick);
}

DialogDriver::~DialogDriver() {
  KillTimer(nullptr, timer_);
  current_ = nullptr;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
  DialogDriver* self = current_;
  if (!self || self->running_ || self->steps_.empty()) return;
  self->running_ = true;
  auto step = std::move(self->steps_.front());
  self->steps_.pop_front();
  step();
  self->running_ = false;
}

namespace {
struct FindData {
  HWND owner;
  HWND besides;
  HWND found;
};
}  // namespace

HWND FindThreadDialog(HWND owner, HWND besides) {
  FindData data{owner, besides, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* d = reinterpret_cast<FindData*>(lp);
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (hwnd == d->besides || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd) ||
            !IsWindowEnabled(hwnd))
          return TRUE;
        if (d->owner && GetWindow(hwnd, GW_OWNER) != d->owner) return TRUE;
        d->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&data));
  return data.found;
}

void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace parley::testing
