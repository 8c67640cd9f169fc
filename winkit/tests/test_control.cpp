// The test control: a windowed control with methods that fire its events.
#include <windows.h>

#include <string_view>

#include "test_control.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/inproc_server.h"
#include "winkit/message_map.h"

namespace {

class CTestControl : public winkit::DispatchImpl<ITestControl, &IID_ITestControl>,
                     public winkit::ControlBase {
 public:
  CTestControl()
      : ControlBase(CLSID_TestControl, IID__ITestControlEvents, L"WinkitTestControl") {}
  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITestControl)
      return static_cast<ITestControl*>(this);
    return ControlBase::CastTo(iid);
  }
  STDMETHODIMP FireSample(short a, LONG b) override {
    Events().Fire(7, {winkit::EventArg::I2(a), winkit::EventArg::I4(b)});
    return S_OK;
  }
  STDMETHODIMP FireWide(LONG_PTR address, BSTR text, LONGLONG big) override {
    Events().Fire(8, {winkit::EventArg::Ptr(reinterpret_cast<const void*>(address)),
                      winkit::EventArg::Bstr(text ? std::wstring_view(text, SysStringLen(text))
                                                  : std::wstring_view()),
                      winkit::EventArg::I8(big)});
    return S_OK;
  }
  // The window's messages: WM_APP + 5 answers wParam + 1; WM_APP + 6 is looked at and passed on
  // to the default handling.
  BEGIN_MSG_MAP(CTestControl)
    MESSAGE_HANDLER(WM_APP + 5, OnPing)
    MESSAGE_HANDLER(WM_APP + 6, OnLookedAt)
  END_MSG_MAP()
  LRESULT OnPing(UINT, WPARAM wp, LPARAM, bool&) { return static_cast<LRESULT>(wp) + 1; }
  LRESULT OnLookedAt(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 1234;
  }

  STDMETHODIMP Add(LONG a, LONG b, LONG* sum) override {
    if (!sum) return E_POINTER;
    *sum = a + b;
    return S_OK;
  }
};

winkit::ClassFactory<CTestControl> g_factory;
const winkit::ServedClass g_classes[] = {
    {{&CLSID_TestControl, L"WinkitTest.TestControl.1", L"WinkitTest.TestControl",
      L"TestControl Class", &LIBID_WINKITTESTLib, L"1.0", true, 101, L"131473", false, nullptr},
     &g_factory},
};
const winkit::InprocServer g_server(g_classes, 1);

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
