// A windowed ActiveX control: the OLE embedding and in-place activation interfaces, the
// control's own child window, class information and one outgoing event interface.
//
// A control that calls OfferStandardInterfaces() in its constructor also answers the rest of
// a full control's interfaces: IOleInPlaceObjectWindowless, IOleInPlaceActiveObject,
// IViewObjectEx (IViewObject2, IViewObject), IPersistStorage, IQuickActivate, IDataObject and
// ISpecifyPropertyPages, with a connection point for IPropertyNotifySink. It draws for
// IViewObject::Draw in OnDraw, and can route its window's messages through a message map
// (message_map.h) instead of overriding OnWindowMessage.
//
// A concrete control derives from its dual interface (through DispatchImpl) and from
// ControlBase, puts WINKIT_IUNKNOWN in its body, answers in CastTo, and handles its window's
// messages in a message map (message_map.h) like any window:
//
//   void* CastTo(REFIID iid) override {
//     if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IThing)
//       return static_cast<IThing*>(this);
//     return ControlBase::CastTo(iid);
//   }
//   BEGIN_MSG_MAP(CThing)
//     MESSAGE_HANDLER(WM_PAINT, OnPaint)
//   END_MSG_MAP()
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include "com_object.h"
#include "com_ptr.h"
#include "connection_point.h"
#include "window.h"

namespace winkit {

class ControlBase : public ComObject,
                    public IOleObject,
                    public IOleInPlaceObjectWindowless,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IPersistStreamInit,
                    public IPersistStorage,
                    public IViewObjectEx,
                    public IQuickActivate,
                    public IDataObject,
                    public ISpecifyPropertyPages,
                    public IProvideClassInfo2,
                    public IConnectionPointContainer {
 public:
  ControlBase(const CLSID& clsid, const IID& source_iid, const wchar_t* window_class);
  ~ControlBase() override;

  // Answers the OLE interfaces this base implements.
  void* CastTo(REFIID iid) override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD save_option) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                      LPCRECT pos) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink*, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow / IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

  // IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
  STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
  STDMETHODIMP Save(LPSTREAM, BOOL clear_dirty) override {
    if (clear_dirty) dirty_ = false;
    return S_OK;
  }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override { return S_OK; }

  // The standard interfaces below are answered only after OfferStandardInterfaces().

  // IOleInPlaceObjectWindowless: the control always has a window; a message passed in goes
  // through the message map of that window (S_FALSE when there is none or no row took it).
  STDMETHODIMP OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  STDMETHODIMP GetDropTarget(IDropTarget** target) override;

  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IPersistStorage: the same contents as the stream, in the storage's stream "Contents".
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL same_as_load) override;
  STDMETHODIMP SaveCompleted(IStorage*) override { return S_OK; }
  STDMETHODIMP HandsOffStorage() override { return S_OK; }

  // IViewObject / IViewObject2 / IViewObjectEx (content aspect only)
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device,
                    HDC target_info, HDC dc, LPCRECTL bounds, LPCRECTL meta_bounds,
                    BOOL(STDMETHODCALLTYPE* keep_going)(ULONG_PTR), ULONG_PTR arg) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                           LOGPALETTE** palette) override;
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD* cookie) override;
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE*, LPSIZEL size) override;
  STDMETHODIMP GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
  STDMETHODIMP GetViewStatus(DWORD* status) override;
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG close_hint,
                             DWORD* result) override;
  STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG close_hint,
                            DWORD* result) override;
  STDMETHODIMP GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*,
                                LPSIZEL) override {
    return E_NOTIMPL;
  }

  // IQuickActivate: the client site, the view's advise sink, the event sink and the property
  // notification sink in one call.
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;

  // IDataObject: no formats to render; data-change notification through an advise holder.
  STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  STDMETHODIMP QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                       DWORD* connection) override;
  STDMETHODIMP DUnadvise(DWORD connection) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override;

  // ISpecifyPropertyPages: none unless a control says otherwise.
  STDMETHODIMP GetPages(CAUUID* pages) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  HWND ControlWindow() const { return window_.hwnd(); }

 protected:
  ConnectionPoint& Events() { return events_; }
  // The message map of the control's window (message_map.h: BEGIN_MSG_MAP(CThing) ... in the
  // control class): true when a row handled the message. Asked before OnWindowMessage.
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  // Messages of the control's window that no row handled; the default is DefWindowProc.
  virtual LRESULT OnWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  // Makes the control answer the standard interfaces listed at the top of this file.
  void OfferStandardInterfaces() { standard_ = true; }
  // Draws the control into `bounds` of dc (IViewObject::Draw); the default draws nothing.
  virtual HRESULT OnDraw(HDC dc, const RECT& bounds) {
    (void)dc, (void)bounds;
    return S_OK;
  }
  // A property is about to change: asks every IPropertyNotifySink. S_FALSE when one refuses.
  HRESULT RequestEdit(DISPID id);
  // A property changed: tells every IPropertyNotifySink.
  void PropertyChanged(DISPID id);
  // The view changed: the window is invalidated (erased too), or without one the view's
  // advise sink is told.
  void ViewChanged();
  // The data changed: the data advise sinks are told.
  void DataChanged();
  void SetDirty(bool dirty) { dirty_ = dirty; }
  // After the window was created (in-place activation) and before it goes.
  virtual void OnWindowCreated() {}
  virtual void OnWindowDestroying() {}

 private:
  void* CastToStandard(REFIID iid);

  class ControlWindow_ : public Window {
   public:
    explicit ControlWindow_(ControlBase* owner) : owner_(owner) {}
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

   private:
    ControlBase* owner_;
  };
  HRESULT InPlaceActivate(IOleClientSite* site, HWND parent, LPCRECT pos);

  CLSID clsid_;
  IID source_iid_;
  const wchar_t* window_class_;
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceSite> inplace_site_;
  SIZEL extent_ = {5080, 5080};  // 2 inches in HIMETRIC until the host says otherwise
  ControlWindow_ window_;
  ConnectionPoint events_;
  // Standard interfaces (OfferStandardInterfaces).
  bool standard_ = false;
  bool dirty_ = false;
  ConnectionPoint property_events_;
  ComPtr<IAdviseSink> view_sink_;
  DWORD view_aspects_ = 0;
  DWORD view_flags_ = 0;
  ComPtr<IDataAdviseHolder> data_advise_;
};

}  // namespace winkit
