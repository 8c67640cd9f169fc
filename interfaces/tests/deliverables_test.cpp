// The four control libraries as COM servers: each registers and unregisters its classes and its
// type library as its registry scripts lay them out, its classes are created by ProgID and by
// class id, each control answers its dual interfaces from its own type library, and a host
// window creates the four controls as child windows by class id, as the game client does.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "korvel.h"
#include "korvel_table.h"
#include "parley.h"
#include "vitrine.h"
#include "winkit/testing/com_test_support.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/registration.h"

using winkit::ComPtr;
using winkit::GuidString;

namespace {

[[maybe_unused]] auto* const g_env =
    ::testing::AddGlobalTestEnvironment(new winkit::testing::ComTestEnvironment);

// ---- the cases ----

struct ClassCase {
  const CLSID* clsid;
  const wchar_t* progid;        // versioned
  const wchar_t* indep_progid;  // version-independent, CurVer = progid
  const wchar_t* description;
  int toolbox_bitmap;           // 0: not a control
};

struct LibraryCase {
  const char* name;
  const wchar_t* dll;
  const GUID* libid;
  WORD major;
  WORD minor;
  std::vector<ClassCase> classes;
};

const LibraryCase kLibraries[] = {
    {"Korvel", L"Korvel.dll", &LIBID_KORVELLib, 1, 2,
     {{&CLSID_Arithmetic, L"Korvel.Arithmetic.1", L"Korvel.Arithmetic", L"Arithmetic Class",
       101}}},
    {"KorvelTable", L"KorvelTable.dll", &LIBID_KORVELTABLELib, 1, 3,
     {{&CLSID_Table, L"KorvelTable.Table.1", L"KorvelTable.Table", L"Table Class", 102}}},
    {"Vitrine", L"Vitrine.dll", &LIBID_VITRINELib, 1, 0,
     {{&CLSID_MjBoard, L"Vitrine.MjBoard.1", L"Vitrine.MjBoard", L"MjBoard Class", 102}}},
    {"Parley", L"Parley.dll", &LIBID_PARLEYLib, 1, 0,
     {{&CLSID_GChat, L"Parley.GChat.1", L"Parley.GChat", L"GChat Class", 102},
      {&CLSID_ParleyPage, L"Parley.ParleyPage.1", L"Parley.ParleyPage", L"ParleyPage Class",
       0}}},
};

void PrintTo(const LibraryCase& lib, std::ostream* os) { *os << lib.name; }

// One call through the vtable of a control's dual interfaces.
using VtableCall = HRESULT (*)(IUnknown* control);

template <class I>
ComPtr<I> Query(IUnknown* unknown, REFIID iid) {
  ComPtr<I> p;
  unknown->QueryInterface(iid, p.PutVoid());
  return p;
}

struct ControlCase {
  const char* name;
  const wchar_t* progid;  // the window name the client gives the control
  const CLSID* clsid;
  const IID* dual;        // the default interface
  const IID* base_dual;   // the interface it derives from, or null
  std::vector<const IID*> sources;  // the default source first
  UINT child_id;
  bool back_color_kept;   // the stock BackColor reads back what was put
  bool error_info;        // ISupportErrorInfo for the default interface
  VtableCall call;
};

const ControlCase kControls[] = {
    {"Arithmetic", L"Korvel.Arithmetic", &CLSID_Arithmetic, &IID_IArithmetic,
     &IID_ICommArithmetic, {&IID__IArithmeticEvents}, 32769, true, false,
     [](IUnknown* c) -> HRESULT {
       auto comm = Query<ICommArithmetic>(c, IID_ICommArithmetic);
       auto own = Query<IArithmetic>(c, IID_IArithmetic);
       if (!comm || !own) return E_NOINTERFACE;
       HRESULT hr = comm->SetSubType(0);
       return FAILED(hr) ? hr : own->SetLowFan(8);
     }},
    {"Table", L"KorvelTable.Table", &CLSID_Table, &IID_ITable, &IID_ICommTable,
     {&IID__ITableEvents}, 32770, false, false,
     [](IUnknown* c) -> HRESULT {
       auto comm = Query<ICommTable>(c, IID_ICommTable);
       auto own = Query<ITable>(c, IID_ITable);
       if (!comm || !own) return E_NOINTERFACE;
       HRESULT hr = comm->SetSubType(0);
       return FAILED(hr) ? hr : own->SetType(405, 0);
     }},
    {"GChat", L"Parley.GChat", &CLSID_GChat, &IID_IGChat, nullptr,
     {&IID__IGChatEvents, &IID__IParleyPageEvents}, 32784, true, false,
     [](IUnknown* c) -> HRESULT {
       auto chat = Query<IGChat>(c, IID_IGChat);
       return chat ? chat->SetChatStyle(3) : E_NOINTERFACE;
     }},
    {"MjBoard", L"Vitrine.MjBoard", &CLSID_MjBoard, &IID_IMjBoard, nullptr,
     {&IID__IMjBoardEvents}, 32785, true, true,
     [](IUnknown* c) -> HRESULT {
       auto board = Query<IMjBoard>(c, IID_IMjBoard);
       return board ? board->ClearAll() : E_NOINTERFACE;
     }},
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

// ---- helpers ----

// A library loaded for the length of a scope.
class Library {
 public:
  explicit Library(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  ~Library() { if (module_) FreeLibrary(module_); }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE get() const { return module_; }

  HRESULT Call(const char* export_name) const {
    if (!module_) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto fn = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(module_, export_name)));
    return fn ? fn() : E_NOTIMPL;
  }
  std::wstring Path() const {
    wchar_t buf[MAX_PATH];
    DWORD n = module_ ? GetModuleFileNameW(module_, buf, MAX_PATH) : 0;
    return std::wstring(buf, n);
  }

 private:
  HMODULE module_;
};

HRESULT Register(const wchar_t* dll) { return Library(dll).Call("DllRegisterServer"); }

using winkit::testing::ClassesRootKeyExists;
using winkit::testing::ClassesRootValue;

std::wstring TypeLibKey(const LibraryCase& lib) {
  wchar_t ver[16];
  wsprintfW(ver, L"%x.%x", lib.major, lib.minor);
  return L"TypeLib\\" + GuidString(*lib.libid) + L"\\" + ver;
}

void ExpectClassRegistered(const ClassCase& c, const std::wstring& module) {
  SCOPED_TRACE(testing::Message() << "class " << c.progid);
  const std::wstring clsid = GuidString(*c.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  EXPECT_EQ(ClassesRootValue(c.progid), c.description);
  EXPECT_EQ(ClassesRootValue(std::wstring(c.progid) + L"\\CLSID"), clsid);
  EXPECT_EQ(ClassesRootValue(c.indep_progid), c.description);
  EXPECT_EQ(ClassesRootValue(std::wstring(c.indep_progid) + L"\\CLSID"), clsid);
  EXPECT_EQ(ClassesRootValue(std::wstring(c.indep_progid) + L"\\CurVer"), c.progid);

  EXPECT_EQ(ClassesRootValue(key), c.description);
  EXPECT_EQ(ClassesRootValue(key + L"\\ProgID"), c.progid);
  EXPECT_EQ(ClassesRootValue(key + L"\\VersionIndependentProgID"), c.indep_progid);
  EXPECT_TRUE(ClassesRootKeyExists(key + L"\\Programmable"));
  EXPECT_EQ(ClassesRootValue(key + L"\\InprocServer32"), module);
  EXPECT_EQ(ClassesRootValue(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ClassesRootValue(key + L"\\Version"), L"1.0");
  if (c.toolbox_bitmap) {
    EXPECT_TRUE(ClassesRootKeyExists(key + L"\\Control"));
    EXPECT_TRUE(ClassesRootKeyExists(key + L"\\Insertable"));
    EXPECT_EQ(ClassesRootValue(key + L"\\ToolboxBitmap32"),
              module + L", " + std::to_wstring(c.toolbox_bitmap));
    EXPECT_EQ(ClassesRootValue(key + L"\\MiscStatus"), L"0");
    EXPECT_EQ(ClassesRootValue(key + L"\\MiscStatus\\1"), L"131473");
  } else {
    EXPECT_FALSE(ClassesRootKeyExists(key + L"\\Control"));
    EXPECT_FALSE(ClassesRootKeyExists(key + L"\\Insertable"));
  }
}

std::string LibraryName(const testing::TestParamInfo<LibraryCase>& info) {
  return info.param.name;
}

std::string ControlName(const testing::TestParamInfo<ControlCase>& info) {
  return info.param.name;
}

// ---- each library as a COM server ----

class LibraryTest : public testing::TestWithParam<LibraryCase> {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(Register(GetParam().dll)); }
};

TEST_P(LibraryTest, RegistersItsClassesAndTypeLibrary) {
  const LibraryCase& lib = GetParam();
  Library dll(lib.dll);
  ASSERT_NE(dll.get(), nullptr);
  const std::wstring module = dll.Path();
  for (const ClassCase& c : lib.classes) {
    ExpectClassRegistered(c, module);
    EXPECT_EQ(ClassesRootValue(L"CLSID\\" + GuidString(*c.clsid) + L"\\TypeLib"),
              GuidString(*lib.libid));
    if (c.toolbox_bitmap) {
      HBITMAP bitmap = static_cast<HBITMAP>(
          LoadImageW(dll.get(), MAKEINTRESOURCEW(c.toolbox_bitmap), IMAGE_BITMAP, 0, 0, 0));
      ASSERT_NE(bitmap, nullptr) << "toolbox bitmap " << c.toolbox_bitmap;
      BITMAP info = {};
      GetObjectW(bitmap, sizeof info, &info);
      EXPECT_EQ(info.bmWidth, 16);
      EXPECT_EQ(info.bmHeight, 16);
      DeleteObject(bitmap);
    }
  }

  // Found at its own version; also entered under LCID 0 for the marshaller.
  ComPtr<ITypeLib> typelib;
  ASSERT_HRESULT_SUCCEEDED(LoadRegTypeLib(*lib.libid, lib.major, lib.minor, 0, typelib.Put()));
  TLIBATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(typelib->GetLibAttr(&attr));
  EXPECT_EQ(attr->guid, *lib.libid);
  EXPECT_EQ(attr->wMajorVerNum, lib.major);
  EXPECT_EQ(attr->wMinorVerNum, lib.minor);
  EXPECT_EQ(attr->lcid, 0x409u);
  typelib->ReleaseTLibAttr(attr);
  EXPECT_EQ(ClassesRootValue(TypeLibKey(lib) + L"\\409\\win64"), module);
  EXPECT_EQ(ClassesRootValue(TypeLibKey(lib) + L"\\0\\win64"), module);
}

TEST_P(LibraryTest, CreatesEachClassByProgIdAndClassId) {
  for (const ClassCase& c : GetParam().classes) {
    for (const wchar_t* progid : {c.progid, c.indep_progid}) {
      SCOPED_TRACE(testing::Message() << "ProgID " << progid);
      CLSID clsid = CLSID_NULL;
      ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(progid, &clsid));
      EXPECT_EQ(clsid, *c.clsid);
      ComPtr<IUnknown> object;
      EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IUnknown, object.PutVoid()));
    }
    ComPtr<IUnknown> object;
    EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IUnknown, object.PutVoid()));
  }
}

TEST_P(LibraryTest, UnregistersEverythingAndRegistersAgain) {
  const LibraryCase& lib = GetParam();
  Library dll(lib.dll);
  ASSERT_HRESULT_SUCCEEDED(dll.Call("DllUnregisterServer"));
  for (const ClassCase& c : lib.classes) {
    EXPECT_FALSE(ClassesRootKeyExists(L"CLSID\\" + GuidString(*c.clsid)));
    EXPECT_FALSE(ClassesRootKeyExists(c.progid));
    EXPECT_FALSE(ClassesRootKeyExists(c.indep_progid));
  }
  EXPECT_FALSE(ClassesRootKeyExists(L"TypeLib\\" + GuidString(*lib.libid)));
  ComPtr<ITypeLib> typelib;
  EXPECT_HRESULT_FAILED(LoadRegTypeLib(*lib.libid, lib.major, lib.minor, 0, typelib.Put()));

  // Left registered for whatever runs next.
  ASSERT_HRESULT_SUCCEEDED(dll.Call("DllRegisterServer"));
  for (const ClassCase& c : lib.classes) ExpectClassRegistered(c, dll.Path());
  EXPECT_HRESULT_SUCCEEDED(LoadRegTypeLib(*lib.libid, lib.major, lib.minor, 0, typelib.Put()));
}

INSTANTIATE_TEST_SUITE_P(Deliverables, LibraryTest, testing::ValuesIn(kLibraries), LibraryName);

// ---- each control's interfaces ----

class ControlTest : public testing::TestWithParam<ControlCase> {
 protected:
  void SetUp() override {
    for (const LibraryCase& lib : kLibraries) ASSERT_HRESULT_SUCCEEDED(Register(lib.dll));
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(*GetParam().clsid, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IUnknown, control_.PutVoid()));
  }
  ComPtr<IUnknown> control_;
};

TEST_P(ControlTest, AnswersItsInterfacesFromItsTypeLibrary) {
  const ControlCase& c = GetParam();
  for (const IID* iid : {&IID_IDispatch, c.dual, c.base_dual}) {
    if (!iid) continue;
    ComPtr<IUnknown> p;
    EXPECT_HRESULT_SUCCEEDED(control_->QueryInterface(*iid, p.PutVoid())) << GuidString(*iid);
  }

  // IDispatch describes the default interface.
  auto disp = Query<IDispatch>(control_.Get(), IID_IDispatch);
  ASSERT_TRUE(disp);
  ComPtr<ITypeInfo> info;
  ASSERT_HRESULT_SUCCEEDED(disp->GetTypeInfo(0, 0x400, info.Put()));
  TYPEATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
  EXPECT_EQ(attr->guid, *c.dual);
  info->ReleaseTypeAttr(attr);

  // The class information names the coclass and its default source.
  auto class_info = Query<IProvideClassInfo2>(control_.Get(), IID_IProvideClassInfo2);
  ASSERT_TRUE(class_info);
  GUID source = GUID_NULL;
  ASSERT_HRESULT_SUCCEEDED(class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
  EXPECT_EQ(source, *c.sources.front());
  ComPtr<ITypeInfo> coclass;
  ASSERT_HRESULT_SUCCEEDED(class_info->GetClassInfo(coclass.Put()));
  ASSERT_HRESULT_SUCCEEDED(coclass->GetTypeAttr(&attr));
  EXPECT_EQ(attr->guid, *c.clsid);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  coclass->ReleaseTypeAttr(attr);

  // A connection point for each outgoing interface.
  auto container = Query<IConnectionPointContainer>(control_.Get(), IID_IConnectionPointContainer);
  ASSERT_TRUE(container);
  for (const IID* iid : c.sources) {
    ComPtr<IConnectionPoint> point;
    ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(*iid, point.Put())) << GuidString(*iid);
    IID got = IID_NULL;
    point->GetConnectionInterface(&got);
    EXPECT_EQ(got, *iid);
  }

  auto error_info = Query<ISupportErrorInfo>(control_.Get(), IID_ISupportErrorInfo);
  EXPECT_EQ(static_cast<bool>(error_info), c.error_info);
  if (error_info) {
    EXPECT_EQ(error_info->InterfaceSupportsErrorInfo(*c.dual), S_OK);
    EXPECT_EQ(error_info->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  }
}

// The stock BackColor through IDispatch lands in the right vtable slot: after the base
// interface's methods for Arithmetic and Table, first for the others.
TEST_P(ControlTest, StockBackColorThroughDispatch) {
  const ControlCase& c = GetParam();
  auto disp = Query<IDispatch>(control_.Get(), IID_IDispatch);
  ASSERT_TRUE(disp);

  VARIANT get_result;
  VariantInit(&get_result);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_HRESULT_SUCCEEDED(disp->Invoke(DISPID_BACKCOLOR, IID_NULL, 0x400, DISPATCH_PROPERTYGET,
                                        &none, &get_result, nullptr, nullptr));
  const LONG before = get_result.lVal;

  VARIANTARG value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = 0x123456;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS put = {&value, &named, 1, 1};
  ASSERT_HRESULT_SUCCEEDED(disp->Invoke(DISPID_BACKCOLOR, IID_NULL, 0x400, DISPATCH_PROPERTYPUT,
                                        &put, nullptr, nullptr, nullptr));
  VariantInit(&get_result);
  ASSERT_HRESULT_SUCCEEDED(disp->Invoke(DISPID_BACKCOLOR, IID_NULL, 0x400, DISPATCH_PROPERTYGET,
                                        &none, &get_result, nullptr, nullptr));
  EXPECT_EQ(get_result.vt, VT_UI4);
  EXPECT_EQ(get_result.lVal, c.back_color_kept ? 0x123456 : before);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, ControlTest, testing::ValuesIn(kControls), ControlName);

// ---- the four controls hosted as the client hosts them ----

TEST(DeliverablesHost, CreatesTheFourControlsAsChildWindowsByClassId) {
  for (const LibraryCase& lib : kLibraries) ASSERT_HRESULT_SUCCEEDED(Register(lib.dll));
  HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);

  std::vector<ComPtr<winkit::ControlHost>> hosts;
  std::vector<HWND> windows;
  int x = 0;
  for (const ControlCase& c : kControls) {
    SCOPED_TRACE(c.name);
    ComPtr<winkit::ControlHost> host;
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(
        parent, *c.clsid, *c.sources.front(), c.child_id, c.progid, RECT{x, 0, x + 150, 120},
        nullptr, &host));
    x += 160;
    HWND child = host->ControlWindow();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    wchar_t text[64] = {};
    GetWindowTextW(child, text, 64);
    EXPECT_STREQ(text, c.progid);
    hosts.push_back(host);
    windows.push_back(child);
  }

  for (size_t i = 0; i < hosts.size(); ++i) {
    const ControlCase& c = kControls[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetDlgItem(parent, c.child_id), windows[i]);
    ComPtr<IUnknown> control;
    ASSERT_HRESULT_SUCCEEDED(hosts[i]->QueryControl(IID_IUnknown, control.PutVoid()));
    for (const IID* iid : {c.dual, c.base_dual}) {
      if (!iid) continue;
      ComPtr<IUnknown> p;
      EXPECT_HRESULT_SUCCEEDED(control->QueryInterface(*iid, p.PutVoid()));
    }
    EXPECT_EQ(c.call(control.Get()), S_OK);
  }

  for (size_t i = 0; i < hosts.size(); ++i) {
    hosts[i]->Destroy();
    EXPECT_FALSE(IsWindow(windows[i])) << kControls[i].name;
  }
  hosts.clear();
  DestroyWindow(parent);

  // Nothing of the controls is left alive in their libraries.
  for (const LibraryCase& lib : kLibraries)
    EXPECT_EQ(Library(lib.dll).Call("DllCanUnloadNow"), S_OK) << lib.name;
}

}  // namespace
