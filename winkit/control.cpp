#include "control.h"

#include <olectl.h>

#include <utility>

#include "module.h"

namespace winkit {

namespace {
// OLEMISC bits every control of this project reports (the registration's MiscStatus).
constexpr DWORD kMiscStatus = 131473;
}  // namespace

ControlBase::ControlBase(const CLSID& clsid, const IID& source_iid, const wchar_t* window_class)
    : clsid_(clsid),
      source_iid_(source_iid),
      window_class_(window_class),
      window_(this),
      events_(static_cast<IOleObject*>(this), static_cast<IConnectionPointContainer*>(this),
              source_iid),
      property_events_(static_cast<IOleObject*>(this),
                       static_cast<IConnectionPointContainer*>(this), IID_IPropertyNotifySink) {}

ControlBase::~ControlBase() {
  window_.Destroy();
}

void* ControlBase::CastTo(REFIID iid) {
  if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
    return static_cast<IOleInPlaceObject*>(this);
  if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
  if (iid == IID_IPersistStreamInit) return static_cast<IPersistStreamInit*>(this);
  if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
    return static_cast<IProvideClassInfo2*>(this);
  if (iid == IID_IConnectionPointContainer)
    return static_cast<IConnectionPointContainer*>(this);
  if (standard_) return CastToStandard(iid);
  return nullptr;
}

HRESULT ControlBase::SetClientSite(IOleClientSite* site) {
  site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

HRESULT ControlBase::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.Get();
  if (site_) site_->AddRef();
  return S_OK;
}

HRESULT ControlBase::Close(DWORD) {
  InPlaceDeactivate();
  events_.UnadviseAll();
  property_events_.UnadviseAll();
  return S_OK;
}

HRESULT ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                            LPCRECT pos) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return InPlaceActivate(site ? site : site_.Get(), parent, pos);
    case OLEIVERB_HIDE:
      if (window_.hwnd()) ShowWindow(window_.hwnd(), SW_HIDE);
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT ControlBase::InPlaceActivate(IOleClientSite* site, HWND parent, LPCRECT pos) {
  if (window_.hwnd()) {
    ShowWindow(window_.hwnd(), SW_SHOW);
    return S_OK;
  }
  RECT rect = pos ? *pos : RECT{0, 0, 100, 100};
  if (site && !inplace_site_) {
    ComPtr<IOleInPlaceSite> ips;
    if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, ips.PutVoid()))) {
      if (ips->CanInPlaceActivate() != S_OK) return E_FAIL;
      inplace_site_ = std::move(ips);
      inplace_site_->OnInPlaceActivate();
      HWND site_window = nullptr;
      if (SUCCEEDED(inplace_site_->GetWindow(&site_window)) && site_window) parent = site_window;
      ComPtr<IOleInPlaceFrame> frame;
      ComPtr<IOleInPlaceUIWindow> doc;
      RECT site_pos, clip;
      OLEINPLACEFRAMEINFO info = {};
      info.cb = sizeof info;
      if (SUCCEEDED(inplace_site_->GetWindowContext(frame.Put(), doc.Put(), &site_pos, &clip,
                                                    &info)) &&
          !pos)
        rect = site_pos;
    }
  }
  if (!parent) return E_INVALIDARG;
  if (!window_.Create(window_class_, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                      WS_CLIPSIBLINGS, 0, rect, parent, nullptr))
    return HRESULT_FROM_WIN32(GetLastError());
  OnWindowCreated();
  return S_OK;
}

HRESULT ControlBase::EnumVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  return OleRegEnumVerbs(clsid_, out);
}

HRESULT ControlBase::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

HRESULT ControlBase::GetUserType(DWORD form, LPOLESTR* name) {
  return OleRegGetUserType(clsid_, form, name);
}

HRESULT ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT ControlBase::Advise(IAdviseSink*, DWORD* cookie) {
  if (cookie) *cookie = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ControlBase::EnumAdvise(IEnumSTATDATA** out) {
  if (out) *out = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ControlBase::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT ControlBase::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = window_.hwnd();
  return *hwnd ? S_OK : E_FAIL;
}

HRESULT ControlBase::InPlaceDeactivate() {
  if (window_.hwnd()) {
    OnWindowDestroying();
    window_.Destroy();
  }
  if (inplace_site_) {
    ComPtr<IOleInPlaceSite> ips = std::move(inplace_site_);
    ips->OnInPlaceDeactivate();
  }
  return S_OK;
}

HRESULT ControlBase::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  if (window_.hwnd())
    MoveWindow(window_.hwnd(), pos->left, pos->top, pos->right - pos->left,
               pos->bottom - pos->top, TRUE);
  return S_OK;
}

HRESULT ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT ControlBase::GetClassInfo(ITypeInfo** out) {
  return Module::GetTypeInfoOfGuid(clsid_, out);
}

HRESULT ControlBase::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = source_iid_;
  return S_OK;
}

HRESULT ControlBase::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (standard_) return EnumConnectionPointsOf({&events_, &property_events_}, out);
  return EnumConnectionPointsOf({&events_}, out);
}

HRESULT ControlBase::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (standard_) return FindConnectionPointIn({&events_, &property_events_}, iid, out);
  return FindConnectionPointIn({&events_}, iid, out);
}

LRESULT ControlBase::OnWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT ControlBase::ControlWindow_::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (owner_->ProcessWindowMessage(hwnd(), msg, wp, lp, result)) return result;
  return owner_->OnWindowMessage(hwnd(), msg, wp, lp);
}

}  // namespace winkit
