// A windowed ActiveX control: the OLE embedding and in-place activation interfaces, the
// control's own child window, class information and one outgoing event interface.
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
                    public IOleInPlaceObject,
                    public IOleControl,
                    public IPersistStreamInit,
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
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override { return S_OK; }

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
  // control class): true when a row handled the message.
  virtual bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    (void)hwnd, (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }
  // Messages of the control's window that no row handled; the default is DefWindowProc.
  virtual LRESULT OnWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // After the window was created (in-place activation) and before it goes.
  virtual void OnWindowCreated() {}
  virtual void OnWindowDestroying() {}

 private:
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
};

}  // namespace winkit
