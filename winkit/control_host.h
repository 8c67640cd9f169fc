// Hosts an ActiveX control as a child window: created by class id with a child id and a
// window name, in-place activated, its events delivered by dispatch id to the owner.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <cstdint>
#include <string>

#include "com_object.h"
#include "com_ptr.h"

namespace winkit {

// Reads the arguments of an event in declaration order (DISPPARAMS holds them reversed).
class EventArgs {
 public:
  explicit EventArgs(const DISPPARAMS& params) : params_(params) {}
  UINT Count() const { return params_.cArgs; }
  // The argument as a 32-bit integer (VT_I2, VT_I4, VT_UI*, VT_BOOL and their BYREF forms);
  // 0 when absent or of another type.
  int32_t Int(UINT index) const;
  int16_t Short(UINT index) const { return static_cast<int16_t>(Int(index)); }
  // A pointer-sized integer argument (VT_I8/VT_INT_PTR on 64-bit hosts, else as Int).
  intptr_t Ptr(UINT index) const;
  // A text argument (VT_BSTR or its BYREF form); empty when absent or of another type.
  std::wstring Text(UINT index) const;
  const VARIANT* Raw(UINT index) const;

 private:
  const DISPPARAMS& params_;
};

class ControlEventTarget {
 public:
  virtual ~ControlEventTarget() = default;
  // One event of the control with child id `child_id`. Exceptions must not leave it; the host
  // catches them anyway, so one failing handler does not unwind through COM.
  virtual void OnControlEvent(UINT child_id, DISPID id, const EventArgs& args) = 0;
};

class ControlHost : public IOleClientSite,
                    public IOleInPlaceSite,
                    public IDispatch,
                    public ComObject {
 public:
  // Creates the control `clsid` inside `parent` at `rect`, gives its window the child id and
  // the window name, and connects to its outgoing interface `source_iid` (IID_NULL: none).
  static HRESULT Create(HWND parent, REFCLSID clsid, REFIID source_iid, UINT child_id,
                        const wchar_t* window_name, const RECT& rect, ControlEventTarget* target,
                        ComPtr<ControlHost>* out);

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  HWND ControlWindow() const { return control_window_; }
  UINT ChildId() const { return child_id_; }
  HRESULT QueryControl(REFIID iid, void** out) const;
  // Disconnects, deactivates and releases the control. Safe to call twice.
  void Destroy();

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** out) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow / IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* hwnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
  // IDispatch: the event sink
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override;

  ~ControlHost() override;

 private:
  // A site of the program's own window: it does not keep a local server running.
  ControlHost() : ComObject(InternalObject{}) {}
  // Creates, embeds and activates the control; throws ComError when a step fails.
  void Embed(REFCLSID clsid, const wchar_t* window_name);

  HWND parent_ = nullptr;
  RECT rect_ = {};
  UINT child_id_ = 0;
  IID source_iid_ = IID_NULL;
  ControlEventTarget* target_ = nullptr;
  ComPtr<IUnknown> control_;
  ComPtr<IOleObject> ole_;
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  HWND control_window_ = nullptr;
};

}  // namespace winkit
