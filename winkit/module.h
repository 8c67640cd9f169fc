// The module of a COM server: its instance handle, its lock count and its type library.
// One per binary (in-process DLL or local-server EXE).
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace winkit {

class Module {
 public:
  // The module's own handle (DllMain's instance, or the EXE's).
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE Instance();
  // Full path of the module file.
  static std::wstring Path();
  // The folder of the running program's file (the EXE's, also when a DLL asks), up to and
  // without its last backslash; empty when the path cannot be read or has no backslash. In the
  // ANSI code page, like the other narrow paths the program builds on it.
  static std::string ProgramFolder();

  // Objects and class-factory locks keep the server alive. In a local server the last Unlock
  // wakes the shutdown monitor (server_monitor.h).
  static LONG Lock();
  static LONG Unlock();
  static LONG LockCount();
  using UnlockHook = void (*)();
  static void SetLastUnlockHook(UnlockHook hook);

  // The type library embedded in the module as resource TYPELIB 1 (loaded once, kept).
  // Returns null when the module carries none.
  static ITypeLib* TypeLib();
  static HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info);
  static void ReleaseTypeLib();
};

// Counts one lock for the lifetime of a COM object of this module.
class ModuleLockGuard {
 public:
  ModuleLockGuard() { Module::Lock(); }
  ~ModuleLockGuard() { Module::Unlock(); }
  ModuleLockGuard(const ModuleLockGuard&) = delete;
  ModuleLockGuard& operator=(const ModuleLockGuard&) = delete;
};

}  // namespace winkit
