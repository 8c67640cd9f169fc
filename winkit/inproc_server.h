// The four exports of an in-process server, over a table of the classes it serves.
#pragma once
#include <windows.h>

#include "registration.h"

namespace winkit {

struct ServedClass {
  ClassRegistration reg;
  IClassFactory* factory;
};

class InprocServer {
 public:
  InprocServer(const ServedClass* classes, size_t count) : classes_(classes), count_(count) {}
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const;
  HRESULT CanUnloadNow() const;
  // Registers every class and the module's type library.
  HRESULT Register() const;
  HRESULT Unregister() const;

 private:
  const ServedClass* classes_;
  size_t count_;
};

}  // namespace winkit

// Defines DllMain and the four exports of the module for `server` (an InprocServer).
#define WINKIT_INPROC_SERVER_EXPORTS(server)                                                \
  extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {      \
    if (reason == DLL_PROCESS_ATTACH) {                                                     \
      ::winkit::Module::SetInstance(instance);                                              \
      DisableThreadLibraryCalls(instance);                                                  \
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {                       \
      /* Unloaded by FreeLibrary; at process exit the system reclaims everything. */        \
      ::winkit::Module::ReleaseTypeLib();                                                   \
    }                                                                                       \
    return TRUE;                                                                            \
  }                                                                                         \
  STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {                       \
    return (server).GetClassObject(clsid, iid, out);                                        \
  }                                                                                         \
  STDAPI DllCanUnloadNow() { return (server).CanUnloadNow(); }                              \
  STDAPI DllRegisterServer() { return (server).Register(); }                                \
  STDAPI DllUnregisterServer() { return (server).Unregister(); }
