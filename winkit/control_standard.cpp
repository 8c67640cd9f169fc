// The standard interfaces of a full control (control.h): windowless-object and active-object
// calls, the view object, storage persistence, quick activation, the data object's advise
// holder, property pages and the property notifications.
#include <windows.h>
#include <olectl.h>

#include <cstddef>

#include "control.h"

namespace winkit {

namespace {

constexpr wchar_t kContentsStream[] = L"Contents";

}  // namespace

void* ControlBase::CastToStandard(REFIID iid) {
  if (iid == IID_IOleInPlaceObjectWindowless)
    return static_cast<IOleInPlaceObjectWindowless*>(this);
  if (iid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
  if (iid == IID_IViewObject || iid == IID_IViewObject2 || iid == IID_IViewObjectEx)
    return static_cast<IViewObjectEx*>(this);
  if (iid == IID_IPersistStorage) return static_cast<IPersistStorage*>(this);
  if (iid == IID_IQuickActivate) return static_cast<IQuickActivate*>(this);
  if (iid == IID_IDataObject) return static_cast<IDataObject*>(this);
  if (iid == IID_ISpecifyPropertyPages) return static_cast<ISpecifyPropertyPages*>(this);
  return nullptr;
}

// ---- IOleInPlaceObjectWindowless ----

HRESULT ControlBase::OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (!result) return E_POINTER;
  *result = 0;
  const HWND hwnd = window_.hwnd();
  if (!hwnd) return S_FALSE;
  return ProcessWindowMessage(hwnd, msg, wp, lp, *result) ? S_OK : S_FALSE;
}

HRESULT ControlBase::GetDropTarget(IDropTarget** target) {
  if (!target) return E_POINTER;
  *target = nullptr;
  return E_NOTIMPL;
}

// ---- IPersistStorage ----

HRESULT ControlBase::InitNew(IStorage* storage) {
  if (!storage) return E_POINTER;
  return InitNew();
}

HRESULT ControlBase::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                   0, stream.Put());
  if (FAILED(hr)) return hr;
  return Load(stream.Get());
}

HRESULT ControlBase::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->CreateStream(
      kContentsStream, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, stream.Put());
  if (FAILED(hr)) return hr;
  return Save(stream.Get(), TRUE);
}

// ---- IViewObject, IViewObject2, IViewObjectEx ----

HRESULT ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                          LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                          ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  const RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  return OnDraw(dc, rect);
}

HRESULT ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                 LOGPALETTE** palette) {
  if (palette) *palette = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlBase::Freeze(DWORD, LONG, void*, DWORD* cookie) {
  if (cookie) *cookie = 0;
  return E_NOTIMPL;
}

HRESULT ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_sink_ = ComPtr<IAdviseSink>(sink);
  view_aspects_ = sink ? aspects : 0;
  view_flags_ = sink ? flags : 0;
  return S_OK;
}

HRESULT ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = view_aspects_;
  if (flags) *flags = view_flags_;
  if (sink) {
    *sink = view_sink_.Get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

HRESULT ControlBase::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  return S_OK;
}

HRESULT ControlBase::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG,
                                   DWORD* result) {
  if (!result) return E_POINTER;
  *result = HITRESULT_OUTSIDE;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds) return E_POINTER;
  if (PtInRect(bounds, point)) *result = HITRESULT_HIT;
  return S_OK;
}

HRESULT ControlBase::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG,
                                  DWORD* result) {
  if (!result) return E_POINTER;
  *result = HITRESULT_OUTSIDE;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !rect) return E_POINTER;
  RECT common;
  if (IntersectRect(&common, bounds, rect)) *result = HITRESULT_HIT;
  return S_OK;
}

// ---- IQuickActivate ----

HRESULT ControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  // The fields read here come first in every version of the two records.
  if (container->cbSize < offsetof(QACONTAINER, dwAmbientFlags) ||
      control->cbSize < sizeof(QACONTROL))
    return E_INVALIDARG;
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  if (container->pClientSite) SetClientSite(container->pClientSite);
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  if (container->pUnkEventSink)
    events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pPropertyNotifySink)
    property_events_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
  GetViewStatus(&control->dwViewStatus);
  control->dwPointerActivationPolicy = 0;
  return S_OK;
}

HRESULT ControlBase::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }

HRESULT ControlBase::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

// ---- IDataObject ----

HRESULT ControlBase::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlBase::EnumFormatEtc(DWORD, IEnumFORMATETC** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlBase::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                             DWORD* connection) {
  if (connection) *connection = 0;
  if (!sink || !connection) return E_POINTER;
  if (!data_advise_) {
    HRESULT hr = CreateDataAdviseHolder(data_advise_.Put());
    if (FAILED(hr)) return hr;
  }
  return data_advise_->Advise(static_cast<IDataObject*>(this), format, flags, sink, connection);
}

HRESULT ControlBase::DUnadvise(DWORD connection) {
  if (!data_advise_) return OLE_E_NOCONNECTION;
  return data_advise_->Unadvise(connection);
}

HRESULT ControlBase::EnumDAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!data_advise_) return S_OK;  // no connections to list
  return data_advise_->EnumAdvise(out);
}

// ---- ISpecifyPropertyPages ----

HRESULT ControlBase::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  return S_OK;
}

// ---- notifications a control sends ----

namespace {

// Calls `fn` with every sink of the property notification point (connected sinks only answer
// IPropertyNotifySink or, failing that, IDispatch; the latter are skipped). Stops at the first
// call that returns S_FALSE and returns it.
template <class F>
HRESULT ForEachPropertySink(IConnectionPoint& point, F fn) {
  ComPtr<IEnumConnections> connections;
  if (FAILED(point.EnumConnections(connections.Put())) || !connections) return S_OK;
  CONNECTDATA data;
  ULONG got = 0;
  HRESULT answer = S_OK;
  while (connections->Next(1, &data, &got) == S_OK && got == 1) {
    ComPtr<IUnknown> unknown(data.pUnk, false);
    ComPtr<IPropertyNotifySink> sink;
    if (answer == S_OK && SUCCEEDED(unknown.As(&sink, IID_IPropertyNotifySink)) && sink &&
        fn(sink.Get()) == S_FALSE)
      answer = S_FALSE;
  }
  return answer;
}

}  // namespace

HRESULT ControlBase::RequestEdit(DISPID id) {
  return ForEachPropertySink(property_events_,
                             [id](IPropertyNotifySink* s) { return s->OnRequestEdit(id); });
}

void ControlBase::PropertyChanged(DISPID id) {
  ForEachPropertySink(property_events_, [id](IPropertyNotifySink* s) {
    s->OnChanged(id);
    return S_OK;
  });
}

void ControlBase::ViewChanged() {
  if (window_.hwnd()) {
    InvalidateRect(window_.hwnd(), nullptr, TRUE);
    return;
  }
  if (view_sink_ && (view_aspects_ & DVASPECT_CONTENT))
    view_sink_->OnViewChange(DVASPECT_CONTENT, -1);
}

void ControlBase::DataChanged() {
  if (data_advise_) data_advise_->SendOnDataChange(static_cast<IDataObject*>(this), 0, 0);
}

}  // namespace winkit
