// IDispatch for a dual interface, answered from the module's own type library.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "boundary.h"
#include "com_ptr.h"
#include "module.h"

namespace winkit {

// Finds the vtable (TKIND_INTERFACE) half of a dual interface's type information.
inline HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<ITypeInfo> info;
  HRESULT hr = Module::GetTypeInfoOfGuid(iid, info.Put());
  if (FAILED(hr)) return hr;
  TYPEATTR* attr = nullptr;
  hr = info->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  const TYPEKIND kind = attr->typekind;
  info->ReleaseTypeAttr(attr);
  if (kind == TKIND_DISPATCH) {
    HREFTYPE ref;
    ComPtr<ITypeInfo> vtbl;
    if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
        SUCCEEDED(info->GetRefTypeInfo(ref, vtbl.Put())))
      info = std::move(vtbl);
  }
  *out = info.Detach();
  return S_OK;
}

// Implements the four IDispatch methods of the dual interface Base (whose IID is *Iid) by
// DispInvoke over the type library's description. Derive the COM class from DispatchImpl.
// The methods of Base are boundaries themselves (wrap what may throw in CallAtBoundary);
// Invoke also stops anything that still comes out of them.
template <class Base, const IID* Iid>
class DispatchImpl : public Base {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    info_->AddRef();
    *out = info_.Get();
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info_.Get(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excep, UINT* arg_err) override {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    return CallAtBoundary([&] {
      return DispInvoke(static_cast<Base*>(this), info_.Get(), id, flags, params, result, excep,
                        arg_err);
    });
  }

 private:
  HRESULT Info() {
    if (info_) return S_OK;
    return GetInterfaceTypeInfo(*Iid, info_.Put());
  }
  ComPtr<ITypeInfo> info_;
};

}  // namespace winkit
