#include <winsock2.h>  // before windows.h, which the header brings

#include "com_test_support.h"

#include <ole2.h>

namespace winkit::testing {

HRESULT CallDllExport(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryW(dll);
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto fn = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  const HRESULT hr = fn ? fn() : E_NOTIMPL;
  FreeLibrary(module);
  return hr;
}

std::wstring ClassesRootValue(const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return buf;
}

bool ClassesRootKeyExists(const std::wstring& key) {
  HKEY k;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
    return false;
  RegCloseKey(k);
  return true;
}

void ComTestEnvironment::SetUp() {
  ASSERT_HRESULT_SUCCEEDED(OleInitialize(nullptr));
  if (winsock_) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  for (const std::wstring& dll : dlls_)
    ASSERT_HRESULT_SUCCEEDED(CallDllExport(dll.c_str(), "DllRegisterServer"));
}

void ComTestEnvironment::TearDown() {
  for (const std::wstring& dll : dlls_) CallDllExport(dll.c_str(), "DllUnregisterServer");
  if (winsock_) WSACleanup();
  OleUninitialize();
}

}  // namespace winkit::testing
