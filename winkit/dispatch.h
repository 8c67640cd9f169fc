// IDispatch for a dual interface, answered from the module's own type library.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <new>

#include "module.h"

namespace winkit {

// Finds the vtable (TKIND_INTERFACE) half of a dual interface's type information.
inline HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ITypeInfo* info = nullptr;
  HRESULT hr = Module::GetTypeInfoOfGuid(iid, &info);
  if (FAILED(hr)) return hr;
  TYPEATTR* attr = nullptr;
  hr = info->GetTypeAttr(&attr);
  if (FAILED(hr)) { info->Release(); return hr; }
  TYPEKIND kind = attr->typekind;
  info->ReleaseTypeAttr(attr);
  if (kind == TKIND_DISPATCH) {
    HREFTYPE ref;
    ITypeInfo* vtbl = nullptr;
    if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
        SUCCEEDED(info->GetRefTypeInfo(ref, &vtbl))) {
      info->Release();
      info = vtbl;
    }
  }
  *out = info;
  return S_OK;
}

// Implements the four IDispatch methods of the dual interface Base (whose IID is *Iid) by
// DispInvoke over the type library's description. Derive the COM class from DispatchImpl.
template <class Base, const IID* Iid>
class DispatchImpl : public Base {
 public:
  ~DispatchImpl() { if (info_) info_->Release(); }

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
    *out = info_;
    return S_OK;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info_, names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excep, UINT* arg_err) override {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = Info();
    if (FAILED(hr)) return hr;
    try {
      return DispInvoke(static_cast<Base*>(this), info_, id, flags, params, result, excep,
                        arg_err);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }

 private:
  HRESULT Info() {
    if (info_) return S_OK;
    return GetInterfaceTypeInfo(*Iid, &info_);
  }
  ITypeInfo* info_ = nullptr;
};

}  // namespace winkit
