// The kit end to end: a control DLL registers and unregisters itself, is created by ProgID,
// answers IDispatch from its type library, is hosted as a child window with a child id, and
// its events reach the host and further sinks in connection order with their argument types.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_control.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/registration.h"
#include "winkit/testing/com_test_support.h"

using winkit::ComPtr;

namespace {

using winkit::testing::ClassesRootKeyExists;
using winkit::testing::ClassesRootValue;

[[maybe_unused]] auto* const g_env =
    ::testing::AddGlobalTestEnvironment(new winkit::testing::ComTestEnvironment);

HRESULT CallExport(const char* name) {
  return winkit::testing::CallDllExport(L"WinkitTestControl.dll", name);
}

struct Recorded {
  std::string who;
  UINT child;
  DISPID id;
  std::vector<VARTYPE> types;
  std::vector<int32_t> values;
  // Event 8 (Wide): the address, the text and the 64-bit value as the host reads them.
  intptr_t address = 0;
  std::wstring text;
  int64_t big = 0;
};

class Recorder : public winkit::ControlEventTarget {
 public:
  explicit Recorder(std::vector<Recorded>* log) : log_(log) {}
  void OnControlEvent(UINT child, DISPID id, const winkit::EventArgs& args) override {
    Recorded r{"host", child, id, {}, {}, 0, {}, 0};
    for (UINT i = 0; i < args.Count(); ++i) {
      r.types.push_back(args.Raw(i)->vt);
      r.values.push_back(args.Int(i));
    }
    if (id == 8 && args.Count() == 3) {
      r.address = args.Ptr(0);
      r.text = args.Text(1);
      r.big = args.Raw(2)->llVal;
    }
    log_->push_back(r);
  }

 private:
  std::vector<Recorded>* log_;
};

// A second, plain IDispatch sink connected after the host.
class PlainSink : public IDispatch {
 public:
  explicit PlainSink(std::vector<Recorded>* log) : log_(log) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) { *out = this; return S_OK; }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* p, VARIANT*,
                      EXCEPINFO*, UINT*) override {
    EXPECT_EQ(iid, IID_NULL);
    EXPECT_EQ(lcid, 0x400u);
    EXPECT_EQ(flags, DISPATCH_METHOD);
    Recorded r{"plain", 0, id, {}, {}, 0, {}, 0};
    winkit::EventArgs args(*p);
    for (UINT i = 0; i < args.Count(); ++i) {
      r.types.push_back(args.Raw(i)->vt);
      r.values.push_back(args.Int(i));
    }
    log_->push_back(r);
    return S_OK;
  }
  ULONG refs_ = 1;

 private:
  std::vector<Recorded>* log_;
};

const std::wstring kClsidKey = L"CLSID\\" + winkit::GuidString(CLSID_TestControl);

TEST(Winkit, RegistersClassAndTypeLibrary) {
  ASSERT_HRESULT_SUCCEEDED(CallExport("DllRegisterServer"));
  EXPECT_EQ(ClassesRootValue(L"WinkitTest.TestControl\\CurVer"), L"WinkitTest.TestControl.1");
  EXPECT_EQ(ClassesRootValue(L"WinkitTest.TestControl.1\\CLSID"), winkit::GuidString(CLSID_TestControl));
  EXPECT_EQ(ClassesRootValue(kClsidKey), L"TestControl Class");
  EXPECT_EQ(ClassesRootValue(kClsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ClassesRootValue(kClsidKey + L"\\MiscStatus\\1"), L"131473");
  EXPECT_EQ(ClassesRootValue(kClsidKey + L"\\TypeLib"), winkit::GuidString(LIBID_WINKITTESTLib));
  EXPECT_EQ(ClassesRootValue(kClsidKey + L"\\Version"), L"1.0");
  EXPECT_TRUE(ClassesRootKeyExists(kClsidKey + L"\\Control"));
  EXPECT_TRUE(ClassesRootKeyExists(kClsidKey + L"\\Programmable"));
  EXPECT_TRUE(ClassesRootKeyExists(L"TypeLib\\" + winkit::GuidString(LIBID_WINKITTESTLib) + L"\\1.0\\0\\win64"));

  ComPtr<ITypeLib> lib;
  ASSERT_HRESULT_SUCCEEDED(LoadRegTypeLib(LIBID_WINKITTESTLib, 1, 0, 0, lib.Put()));
  TLIBATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(lib->GetLibAttr(&attr));
  EXPECT_EQ(attr->guid, LIBID_WINKITTESTLib);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  lib->ReleaseTLibAttr(attr);
}

TEST(Winkit, CreatedByProgIdAnswersIDispatchFromTypeLibrary) {
  CLSID clsid;
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"WinkitTest.TestControl", &clsid));
  EXPECT_EQ(clsid, CLSID_TestControl);
  ComPtr<IDispatch> disp;
  ASSERT_HRESULT_SUCCEEDED(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, disp.PutVoid()));
  wchar_t name[] = L"Add";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  ASSERT_HRESULT_SUCCEEDED(disp->GetIDsOfNames(IID_NULL, names, 1, 0x400, &id));
  EXPECT_EQ(id, 2);
  VARIANTARG args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  args[1].vt = VT_I4; args[1].lVal = 40;  // a
  args[0].vt = VT_I4; args[0].lVal = 2;   // b
  DISPPARAMS params = {args, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_HRESULT_SUCCEEDED(
      disp->Invoke(id, IID_NULL, 0x400, DISPATCH_METHOD, &params, &result, nullptr, nullptr));
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 42);
}

TEST(Winkit, HostedControlIsChildWindowAndEventsArriveInConnectionOrder) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  std::vector<Recorded> log;
  Recorder recorder(&log);
  ComPtr<winkit::ControlHost> host;
  ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(
      parent, CLSID_TestControl, IID__ITestControlEvents, 32769, L"WinkitTest.TestControl",
      RECT{10, 10, 110, 60}, &recorder, &host));
  HWND child = host->ControlWindow();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetDlgItem(parent, 32769), child);
  EXPECT_EQ(GetParent(child), parent);
  wchar_t text[64] = {};
  GetWindowTextW(child, text, 64);
  EXPECT_STREQ(text, L"WinkitTest.TestControl");

  ComPtr<IConnectionPointContainer> cpc;
  ASSERT_HRESULT_SUCCEEDED(host->QueryControl(IID_IConnectionPointContainer, cpc.PutVoid()));
  ComPtr<IConnectionPoint> cp;
  ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(IID__ITestControlEvents, cp.Put()));
  PlainSink plain(&log);
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(cp->Advise(&plain, &cookie));

  ComPtr<ITestControl> ctl;
  ASSERT_HRESULT_SUCCEEDED(host->QueryControl(IID_ITestControl, ctl.PutVoid()));
  ASSERT_HRESULT_SUCCEEDED(ctl->FireSample(-3, 70000));

  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].who, "host");
  EXPECT_EQ(log[0].child, 32769u);
  EXPECT_EQ(log[1].who, "plain");
  for (const Recorded& r : log) {
    EXPECT_EQ(r.id, 7);
    EXPECT_EQ(r.types, (std::vector<VARTYPE>{VT_I2, VT_I4}));
    EXPECT_EQ(r.values, (std::vector<int32_t>{-3, 70000}));
  }

  // The control's window answers from the control's message map; what a row passes on gets
  // the default handling.
  EXPECT_EQ(SendMessageW(child, WM_APP + 5, 41, 0), 42);
  EXPECT_EQ(SendMessageW(child, WM_APP + 6, 0, 0), 0);

  // A disconnected sink hears nothing more.
  ASSERT_HRESULT_SUCCEEDED(cp->Unadvise(cookie));
  log.clear();
  ctl->FireSample(1, 2);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].who, "host");

  cp.Reset();
  cpc.Reset();
  ctl.Reset();
  host->Destroy();
  EXPECT_FALSE(IsWindow(child));
  DestroyWindow(parent);
}

TEST(Winkit, PointerTextAndLongEventArgumentsReachTheHost) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  std::vector<Recorded> log;
  Recorder recorder(&log);
  ComPtr<winkit::ControlHost> host;
  ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(
      parent, CLSID_TestControl, IID__ITestControlEvents, 32770, nullptr, RECT{0, 0, 50, 50},
      &recorder, &host));
  ComPtr<ITestControl> ctl;
  ASSERT_HRESULT_SUCCEEDED(host->QueryControl(IID_ITestControl, ctl.PutVoid()));

  // An address past 4 GB, a text with a Chinese word and an embedded NUL, a 64-bit value.
  const LONG_PTR address = static_cast<LONG_PTR>(0x7FF612345678);
  const std::wstring text(L"\u724c\u684c\0end", 6);
  BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  ASSERT_HRESULT_SUCCEEDED(ctl->FireWide(address, b, -5000000000LL));
  SysFreeString(b);
  ASSERT_HRESULT_SUCCEEDED(ctl->FireWide(0, nullptr, 1));  // a null text arrives empty

  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].child, 32770u);
  EXPECT_EQ(log[0].id, 8);
  EXPECT_EQ(log[0].types, (std::vector<VARTYPE>{VT_I8, VT_BSTR, VT_I8}));
  EXPECT_EQ(log[0].address, address);
  EXPECT_EQ(log[0].text, text);
  EXPECT_EQ(log[0].big, -5000000000LL);
  EXPECT_EQ(log[1].address, 0);
  EXPECT_EQ(log[1].text, L"");
  EXPECT_EQ(log[1].big, 1);

  ctl.Reset();
  host->Destroy();
  DestroyWindow(parent);
}

TEST(Winkit, UnregistersCleanly) {
  ASSERT_HRESULT_SUCCEEDED(CallExport("DllUnregisterServer"));
  EXPECT_FALSE(ClassesRootKeyExists(kClsidKey));
  EXPECT_FALSE(ClassesRootKeyExists(L"WinkitTest.TestControl"));
  EXPECT_FALSE(ClassesRootKeyExists(L"WinkitTest.TestControl.1"));
  EXPECT_FALSE(ClassesRootKeyExists(L"TypeLib\\" + winkit::GuidString(LIBID_WINKITTESTLib)));
  ComPtr<ITypeLib> lib;
  EXPECT_HRESULT_FAILED(LoadRegTypeLib(LIBID_WINKITTESTLib, 1, 0, 0, lib.Put()));
}

}  // namespace
