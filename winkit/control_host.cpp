#include "control_host.h"

#include <new>

#include "boundary.h"

namespace winkit {

const VARIANT* EventArgs::Raw(UINT index) const {
  if (index >= params_.cArgs || !params_.rgvarg) return nullptr;
  return &params_.rgvarg[params_.cArgs - 1 - index];
}

int32_t EventArgs::Int(UINT index) const {
  const VARIANT* v = Raw(index);
  if (!v) return 0;
  const bool byref = (v->vt & VT_BYREF) != 0;
  switch (v->vt & ~VT_BYREF) {
    case VT_I2: return byref ? (v->piVal ? *v->piVal : 0) : v->iVal;
    case VT_UI2: return byref ? (v->puiVal ? *v->puiVal : 0) : v->uiVal;
    case VT_I4: return byref ? (v->plVal ? *v->plVal : 0) : v->lVal;
    case VT_UI4: return static_cast<int32_t>(byref ? (v->pulVal ? *v->pulVal : 0) : v->ulVal);
    case VT_INT: return byref ? (v->pintVal ? *v->pintVal : 0) : v->intVal;
    case VT_UINT: return static_cast<int32_t>(byref ? (v->puintVal ? *v->puintVal : 0) : v->uintVal);
    case VT_I1: return byref ? (v->pcVal ? *v->pcVal : 0) : v->cVal;
    case VT_UI1: return byref ? (v->pbVal ? *v->pbVal : 0) : v->bVal;
    case VT_BOOL: return (byref ? (v->pboolVal ? *v->pboolVal : 0) : v->boolVal) ? 1 : 0;
    case VT_I8: return static_cast<int32_t>(byref ? (v->pllVal ? *v->pllVal : 0) : v->llVal);
    default: return 0;
  }
}

intptr_t EventArgs::Ptr(UINT index) const {
  const VARIANT* v = Raw(index);
  if (!v) return 0;
  if ((v->vt & ~VT_BYREF) == VT_I8)
    return static_cast<intptr_t>((v->vt & VT_BYREF) ? (v->pllVal ? *v->pllVal : 0) : v->llVal);
  if ((v->vt & ~VT_BYREF) == VT_UI8)
    return static_cast<intptr_t>((v->vt & VT_BYREF) ? (v->pullVal ? *v->pullVal : 0) : v->ullVal);
  return Int(index);
}

std::wstring EventArgs::Text(UINT index) const {
  const VARIANT* v = Raw(index);
  if (!v) return {};
  BSTR b = nullptr;
  if (v->vt == VT_BSTR) b = v->bstrVal;
  else if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal) b = *v->pbstrVal;
  return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}

HRESULT ControlHost::Create(HWND parent, REFCLSID clsid, REFIID source_iid, UINT child_id,
                            const wchar_t* window_name, const RECT& rect,
                            ControlEventTarget* target, ComPtr<ControlHost>* out) {
  if (!out) return E_POINTER;
  *out = ComPtr<ControlHost>();
  ControlHost* raw = new (std::nothrow) ControlHost();
  if (!raw) return E_OUTOFMEMORY;
  ComPtr<ControlHost> host(raw);
  host->parent_ = parent;
  host->rect_ = rect;
  host->child_id_ = child_id;
  host->source_iid_ = source_iid;
  host->target_ = target;
  const HRESULT hr = CallAtBoundary([&] { host->Embed(clsid, window_name); });
  if (FAILED(hr)) {
    host->Destroy();
    return hr;
  }
  *out = host;
  return S_OK;
}

void ControlHost::Embed(REFCLSID clsid, const wchar_t* window_name) {
  ThrowIfFailed(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                 control_.PutVoid()),
                "create the control");
  ThrowIfFailed(control_.As(&ole_, IID_IOleObject), "the control is no OLE object");
  ole_->SetClientSite(static_cast<IOleClientSite*>(this));
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(control_.As(&persist, IID_IPersistStreamInit))) persist->InitNew();

  // Events are optional: a control without the connection point still works.
  if (source_iid_ != IID_NULL) {
    ComPtr<IConnectionPointContainer> cpc;
    if (SUCCEEDED(control_.As(&cpc, IID_IConnectionPointContainer)) &&
        SUCCEEDED(cpc->FindConnectionPoint(source_iid_, point_.Put()))) {
      if (FAILED(point_->Advise(static_cast<IDispatch*>(this), &cookie_))) point_.Reset();
    }
  }

  ThrowIfFailed(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                             static_cast<IOleClientSite*>(this), 0, parent_, &rect_),
                "activate the control in place");
  ComPtr<IOleInPlaceObject> inplace;
  if (SUCCEEDED(control_.As(&inplace, IID_IOleInPlaceObject)))
    inplace->GetWindow(&control_window_);
  if (!control_window_) ThrowIfFailed(E_FAIL, "the control has no window");
  SetWindowLongPtrW(control_window_, GWLP_ID, static_cast<LONG_PTR>(child_id_));
  if (window_name) SetWindowTextW(control_window_, window_name);
}

ControlHost::~ControlHost() { Destroy(); }

void* ControlHost::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    return static_cast<IOleClientSite*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    return static_cast<IOleInPlaceSite*>(this);
  if (iid == IID_IDispatch || (source_iid_ != IID_NULL && iid == source_iid_))
    return static_cast<IDispatch*>(this);
  return nullptr;
}

HRESULT ControlHost::QueryControl(REFIID iid, void** out) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!control_) return E_POINTER;
  return control_->QueryInterface(iid, out);
}

void ControlHost::Destroy() {
  if (point_) {
    ComPtr<IConnectionPoint> point = std::move(point_);
    point->Unadvise(cookie_);
    cookie_ = 0;
  }
  if (ole_) {
    ComPtr<IOleObject> ole = std::move(ole_);
    ComPtr<IOleInPlaceObject> inplace;
    if (SUCCEEDED(ole.As(&inplace, IID_IOleInPlaceObject))) inplace->InPlaceDeactivate();
    ole->Close(OLECLOSE_NOSAVE);
    ole->SetClientSite(nullptr);
  }
  control_.Reset();
  control_window_ = nullptr;
  target_ = nullptr;
}

HRESULT ControlHost::GetContainer(IOleContainer** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT ControlHost::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = parent_;
  return S_OK;
}

HRESULT ControlHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                      LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) *frame = nullptr;
  if (doc) *doc = nullptr;
  if (pos) *pos = rect_;
  if (clip) *clip = rect_;
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = parent_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT ControlHost::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ControlHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO*, UINT*) {
  if (result) VariantInit(result);
  if (!target_) return S_OK;
  static const DISPPARAMS kNoArgs = {nullptr, nullptr, 0, 0};
  // A failing handler ends here; the control that fired the event goes on as if the event
  // had been handled.
  (void)CallAtBoundary(
      [&] { target_->OnControlEvent(child_id_, id, EventArgs(params ? *params : kNoArgs)); });
  return S_OK;
}

}  // namespace winkit
