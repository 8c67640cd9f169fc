#include "inproc_server.h"

#include <olectl.h>

#include "boundary.h"
#include "module.h"

namespace winkit {

HRESULT InprocServer::GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (size_t i = 0; i < count_; ++i)
    if (*classes_[i].reg.clsid == clsid) return classes_[i].factory->QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT InprocServer::CanUnloadNow() const {
  return Module::LockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT InprocServer::Register() const {
  return CallAtBoundary([&] {
    const std::wstring path = Module::Path();
    if (FAILED(RegisterModuleTypeLib(path))) return SELFREG_E_TYPELIB;
    for (size_t i = 0; i < count_; ++i)
      if (FAILED(RegisterComClass(classes_[i].reg, path))) return SELFREG_E_CLASS;
    return S_OK;
  });
}

HRESULT InprocServer::Unregister() const {
  return CallAtBoundary([&] {
    HRESULT result = S_OK;
    for (size_t i = 0; i < count_; ++i)
      if (FAILED(UnregisterComClass(classes_[i].reg))) result = SELFREG_E_CLASS;
    if (FAILED(UnregisterModuleTypeLib(Module::Path())) && SUCCEEDED(result))
      result = SELFREG_E_TYPELIB;
    return result;
  });
}

}  // namespace winkit
