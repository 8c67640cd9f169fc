// Helpers shared by the Windows test programs: OLE (and WinSock) set-up for a whole test
// program with the DLLs it registers, calls of a DLL's exports, and reads of HKEY_CLASSES_ROOT.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace winkit::testing {

// Loads `dll`, calls its export `name` (an HRESULT function without arguments) and unloads it.
HRESULT CallDllExport(const wchar_t* dll, const char* name);

// The text of a value under HKEY_CLASSES_ROOT ("<missing>" when absent); null name: the
// default value.
std::wstring ClassesRootValue(const std::wstring& key, const wchar_t* name = nullptr);
bool ClassesRootKeyExists(const std::wstring& key);

// OleInitialize for the test program, optionally WinSock 2.2, and the DLLs registered for the
// program's lifetime (unregistered at its end).
class ComTestEnvironment : public ::testing::Environment {
 public:
  explicit ComTestEnvironment(std::vector<std::wstring> registered_dlls = {},
                              bool winsock = false)
      : dlls_(std::move(registered_dlls)), winsock_(winsock) {}
  void SetUp() override;
  void TearDown() override;

 private:
  std::vector<std::wstring> dlls_;
  bool winsock_;
};

}  // namespace winkit::testing
