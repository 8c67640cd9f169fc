// The kit's idioms on their own, without a registered control: owned handles, message maps,
// the enumerator behind every IEnum*, and the arguments a connection point fires with.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "winkit/boundary.h"
#include "winkit/com_ptr.h"
#include "winkit/connection_point.h"
#include "winkit/control_host.h"
#include "winkit/dispatch_call.h"
#include "winkit/enumerator.h"
#include "winkit/handle.h"
#include "winkit/memory_stream.h"
#include "winkit/message_map.h"
#include "winkit/module.h"
#include "winkit/server_monitor.h"
#include "winkit/subclassed_window.h"
#include "winkit/window.h"

namespace {

using winkit::ComPtr;

// ---- owned handles ----------------------------------------------------------------------

// A handle kind whose closes are recorded: values are small integers, 0 is "none".
std::vector<int> g_closed;
struct RecordedTraits {
  using Type = int;
  static int Invalid() { return 0; }
  static void Close(int h) { g_closed.push_back(h); }
};
using Recorded = winkit::Unique<RecordedTraits>;

class UniqueHandles : public ::testing::Test {
 protected:
  void SetUp() override { g_closed.clear(); }
};

TEST_F(UniqueHandles, ClosedOnceAtScopeEndAndNeverWhenEmpty) {
  { Recorded none; }
  EXPECT_TRUE(g_closed.empty());
  {
    Recorded h(7);
    EXPECT_TRUE(h);
    EXPECT_EQ(h.Get(), 7);
  }
  EXPECT_EQ(g_closed, std::vector<int>{7});
}

TEST_F(UniqueHandles, MovedOwnershipClosesOnlyInTheNewOwner) {
  {
    Recorded a(1);
    Recorded b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Get(), 1);
    Recorded c(2);
    c = std::move(b);  // c's own handle goes now, b's travels
    EXPECT_EQ(g_closed, std::vector<int>{2});
    EXPECT_FALSE(b);
    Recorded& same = c;
    c = std::move(same);  // moving onto itself keeps the handle
    EXPECT_EQ(c.Get(), 1);
    EXPECT_EQ(g_closed, std::vector<int>{2});
  }
  EXPECT_EQ(g_closed, (std::vector<int>{2, 1}));
}

TEST_F(UniqueHandles, ReleaseResetAndPut) {
  {
    Recorded h(3);
    EXPECT_EQ(h.Release(), 3);  // handed on, not closed
    EXPECT_FALSE(h);
    h.Reset(4);
    h.Reset(5);  // 4 is closed when 5 comes
    EXPECT_EQ(g_closed, std::vector<int>{4});
    int* slot = h.Put();  // an out-parameter: what was held is closed first
    EXPECT_EQ(g_closed, (std::vector<int>{4, 5}));
    EXPECT_EQ(*slot, 0);
    *slot = 6;
    EXPECT_EQ(h.Get(), 6);
  }
  EXPECT_EQ(g_closed, (std::vector<int>{4, 5, 6}));
}

TEST(UniqueHandlesOfTheSystem, KernelAndGdiObjectsAreGoneAfterTheirOwner) {
  HANDLE event;
  HBITMAP bitmap;
  {
    winkit::UniqueHandle owned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(owned);
    event = owned.Get();
    winkit::UniqueBitmap bmp(CreateBitmap(4, 4, 1, 32, nullptr));
    ASSERT_TRUE(bmp);
    bitmap = bmp.Get();
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(event, &flags));
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  }
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(event, &flags));
  EXPECT_EQ(GetObjectType(bitmap), 0u);

  // A failed CreateFile gives INVALID_HANDLE_VALUE, which UniqueFile holds as nothing.
  winkit::UniqueFile missing(CreateFileW(L"Z:\\no\\such\\korvel\\file", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);
  EXPECT_FALSE(winkit::UniqueHandle());
}

TEST(UniqueHandlesOfTheSystem, SelectedObjectGivesTheFirstSelectionBack) {
  winkit::UniqueDc dc(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  winkit::UniqueBitmap a(CreateBitmap(2, 2, 1, 1, nullptr)), b(CreateBitmap(3, 3, 1, 1, nullptr));
  const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
  {
    winkit::SelectedObject selected(dc.Get(), a.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), a.Get());
    selected.Select(b.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), b.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
  // Nothing selected, nothing given back.
  { winkit::SelectedObject none(dc.Get(), nullptr); }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
}

// ---- message maps -----------------------------------------------------------------------

constexpr UINT kShared = WM_APP + 1;     // the derived map passes it on, the base handles it
constexpr UINT kDerived = WM_APP + 2;    // the derived map only
constexpr UINT kRangeLow = WM_APP + 10;  // WM_APP + 10 .. + 19: one range row
constexpr UINT kThrows = WM_APP + 30;    // the handler throws
constexpr UINT kNobody = WM_APP + 40;    // no row: DefWindowProc
constexpr WORD kOkId = 101;
constexpr WORD kFirstTool = 200;  // commands 200 .. 209: one range row

class BaseWindow : public winkit::Window {
 public:
  std::vector<std::string> log;

  BEGIN_MSG_MAP(BaseWindow)
    MESSAGE_HANDLER(kShared, OnShared)
    COMMAND_ID_HANDLER(kOkId, OnBaseOk)
  END_MSG_MAP()

  LRESULT OnShared(UINT, WPARAM, LPARAM, bool&) {
    log.push_back("base shared");
    return 11;
  }
  LRESULT OnBaseOk(WORD, WORD, HWND, bool&) {
    log.push_back("base ok");
    return 12;
  }
};

class DerivedWindow : public BaseWindow {
 public:
  BEGIN_MSG_MAP(DerivedWindow)
    MESSAGE_HANDLER(kShared, OnSharedFirst)
    MESSAGE_HANDLER(kDerived, OnDerived)
    MESSAGE_HANDLER(kDerived, OnDerivedNeverReached)
    MESSAGE_RANGE_HANDLER(kRangeLow, kRangeLow + 9, OnRange)
    MESSAGE_HANDLER(kThrows, OnThrows)
    COMMAND_ID_HANDLER(kOkId, OnOk)
    COMMAND_RANGE_HANDLER(kFirstTool, kFirstTool + 9, OnTool)
    CHAIN_MSG_MAP(BaseWindow)
  END_MSG_MAP()

  bool pass_ok = false;  // OnOk clears `handled`: the base's row gets the command

  LRESULT OnSharedFirst(UINT, WPARAM, LPARAM, bool& handled) {
    log.push_back("derived shared");
    handled = false;
    return 99;
  }
  LRESULT OnDerived(UINT, WPARAM wp, LPARAM lp, bool&) {
    log.push_back("derived " + std::to_string(wp) + "," + std::to_string(lp));
    return 21;
  }
  LRESULT OnDerivedNeverReached(UINT, WPARAM, LPARAM, bool&) {
    log.push_back("second row");
    return 0;
  }
  LRESULT OnRange(UINT msg, WPARAM, LPARAM, bool&) {
    log.push_back("range " + std::to_string(msg - kRangeLow));
    return 22;
  }
  LRESULT OnThrows(UINT, WPARAM, LPARAM, bool&) {
    log.push_back("throws");
    throw std::runtime_error("handler failed");
  }
  LRESULT OnOk(WORD code, WORD id, HWND control, bool& handled) {
    log.push_back("ok " + std::to_string(code) + " " + std::to_string(id) +
                  (control == reinterpret_cast<HWND>(0x77) ? " control" : ""));
    handled = !pass_ok;
    return 23;
  }
  LRESULT OnTool(WORD, WORD id, HWND, bool&) {
    log.push_back("tool " + std::to_string(id - kFirstTool));
    return 24;
  }
};

TEST(MessageMap, RowsTopToBottomWithChainingAndPassingOn) {
  DerivedWindow w;
  ASSERT_NE(w.Create(L"WinkitMapTest", L"", 0, 0, RECT{0, 0, 10, 10}, HWND_MESSAGE, nullptr),
            nullptr);
  struct Case {
    const char* what;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    LRESULT result;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"first matching row wins", kDerived, 4, 5, 21, {"derived 4,5"}},
      {"handled = false: later rows and the chained map", kShared, 0, 0, 11,
       {"derived shared", "base shared"}},
      {"range row, low end", kRangeLow, 0, 0, 22, {"range 0"}},
      {"range row, high end", kRangeLow + 9, 0, 0, 22, {"range 9"}},
      {"past the range: DefWindowProc", kRangeLow + 10, 0, 0, 0, {}},
      {"command id with its code and control", WM_COMMAND, MAKEWPARAM(kOkId, 3), 0x77, 23,
       {"ok 3 101 control"}},
      {"command range", WM_COMMAND, MAKEWPARAM(kFirstTool + 9, 0), 0, 24, {"tool 9"}},
      {"command outside every row", WM_COMMAND, MAKEWPARAM(kFirstTool + 10, 0), 0, 0, {}},
      {"no row at all", kNobody, 0, 0, 0, {}},
      {"a throwing handler ends in the default handling", kThrows, 0, 0, 0, {"throws"}},
  };
  for (const Case& c : cases) {
    w.log.clear();
    EXPECT_EQ(SendMessageW(w.hwnd(), c.msg, c.wp, c.lp), c.result) << c.what;
    EXPECT_EQ(w.log, c.log) << c.what;
  }

  // The derived handler passes the command on: the base's row answers it.
  w.pass_ok = true;
  w.log.clear();
  EXPECT_EQ(SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kOkId, 0), 0), 12);
  EXPECT_EQ(w.log, (std::vector<std::string>{"ok 0 101", "base ok"}));

  // The window still works after the throwing handler.
  w.log.clear();
  EXPECT_EQ(SendMessageW(w.hwnd(), kDerived, 1, 2), 21);
  w.Destroy();
  EXPECT_EQ(w.hwnd(), nullptr);
}

// ---- the enumerator ---------------------------------------------------------------------

// An object that counts its references and never goes away by them.
class Counted : public IUnknown {
 public:
  explicit Counted(int id) : id(id) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  const int id;
  ULONG refs = 1;
};

using UnknownEnum = winkit::Enumerator<IEnumUnknown, &IID_IEnumUnknown, IUnknown*>;

class EnumeratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (Counted& c : objects_) items_.push_back(&c);
    ASSERT_HRESULT_SUCCEEDED(UnknownEnum::Create(items_, e_.Put()));
  }
  // The ids Next hands out in batches of `batch`, releasing each.
  std::vector<int> Drain(IEnumUnknown* e, ULONG batch) {
    std::vector<int> ids;
    std::vector<IUnknown*> got(batch);
    for (;;) {
      ULONG fetched = 99;
      const HRESULT hr = e->Next(batch, got.data(), &fetched);
      for (ULONG i = 0; i < fetched; ++i) {
        ids.push_back(static_cast<Counted*>(got[i])->id);
        got[i]->Release();
      }
      if (hr != S_OK) {
        EXPECT_EQ(hr, S_FALSE);
        EXPECT_LT(fetched, batch);
        return ids;
      }
      EXPECT_EQ(fetched, batch);
    }
  }
  std::vector<ULONG> Refs() const {
    std::vector<ULONG> r;
    for (const Counted& c : objects_) r.push_back(c.refs);
    return r;
  }

  Counted objects_[4] = {Counted(10), Counted(11), Counted(12), Counted(13)};
  std::vector<IUnknown*> items_;
  ComPtr<IEnumUnknown> e_;
};

TEST_F(EnumeratorTest, NextHandsOutEveryItemOnceWithAReference) {
  // The snapshot holds one reference to each item.
  EXPECT_EQ(Refs(), (std::vector<ULONG>{2, 2, 2, 2}));
  IUnknown* got[3] = {};
  ULONG fetched = 0;
  ASSERT_EQ(e_->Next(3, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(Refs(), (std::vector<ULONG>{3, 3, 3, 2}));
  for (IUnknown* u : got) u->Release();
  ASSERT_EQ(e_->Next(3, got, &fetched), S_FALSE);  // one was left
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(got[0], items_[3]);
  got[0]->Release();
  ASSERT_EQ(e_->Next(1, got, nullptr), S_FALSE);  // a single item may go without a count
  ASSERT_EQ(e_->Next(0, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(e_->Next(1, nullptr, &fetched), E_POINTER);

  EXPECT_HRESULT_SUCCEEDED(e_->Reset());
  EXPECT_EQ(Drain(e_.Get(), 2), (std::vector<int>{10, 11, 12, 13}));
  e_.Reset();
  EXPECT_EQ(Refs(), (std::vector<ULONG>{1, 1, 1, 1}));
}

TEST_F(EnumeratorTest, SkipIsOkWhenAllRequestedWereSkipped) {
  struct Case {
    ULONG from;  // items taken before
    ULONG skip;
    HRESULT hr;
    int next;  // id Next gives after, -1: none
  };
  const Case cases[] = {
      {0, 0, S_OK, 10},  {0, 2, S_OK, 12},     {1, 3, S_OK, -1},       // exactly to the end
      {4, 0, S_OK, -1},  {2, 3, S_FALSE, -1},  {0, 0xFFFFFFFF, S_FALSE, -1},
  };
  for (const Case& c : cases) {
    e_->Reset();
    ASSERT_HRESULT_SUCCEEDED(e_->Skip(c.from));
    EXPECT_EQ(e_->Skip(c.skip), c.hr) << c.from << " + " << c.skip;
    IUnknown* got = nullptr;
    ULONG fetched = 0;
    e_->Next(1, &got, &fetched);
    if (c.next < 0) {
      EXPECT_EQ(fetched, 0u) << c.from << " + " << c.skip;
    } else {
      ASSERT_EQ(fetched, 1u);
      EXPECT_EQ(static_cast<Counted*>(got)->id, c.next) << c.from << " + " << c.skip;
      got->Release();
    }
  }
}

TEST_F(EnumeratorTest, CloneStartsWhereItsOriginalIsAndMovesOnAlone) {
  ASSERT_HRESULT_SUCCEEDED(e_->Skip(1));
  ComPtr<IEnumUnknown> clone;
  ASSERT_HRESULT_SUCCEEDED(e_->Clone(clone.Put()));
  EXPECT_EQ(Drain(clone.Get(), 1), (std::vector<int>{11, 12, 13}));
  EXPECT_EQ(Drain(e_.Get(), 3), (std::vector<int>{11, 12, 13}));  // not moved by the clone
  clone->Reset();
  EXPECT_EQ(Drain(clone.Get(), 4), (std::vector<int>{10, 11, 12, 13}));
  EXPECT_EQ(e_->Clone(nullptr), E_POINTER);
  // Clones share the snapshot: the items go with the last of them.
  e_.Reset();
  EXPECT_EQ(Refs(), (std::vector<ULONG>{2, 2, 2, 2}));
  clone.Reset();
  EXPECT_EQ(Refs(), (std::vector<ULONG>{1, 1, 1, 1}));
}

// A sink for a connection point: records what Invoke receives, read as the host reads it.
class RecordingSink : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    winkit::EventArgs args(*p);
    ids.push_back(id);
    types.clear();
    for (UINT i = 0; i < args.Count(); ++i) {
      types.push_back(args.Raw(i)->vt);
      if (args.Raw(i)->vt == (VT_VARIANT | VT_BYREF)) referenced.push_back(args.Raw(i)->pvarVal->vt);
    }
    if (args.Count() >= 1 && args.Raw(0)->vt == VT_BSTR) first_text = args.Text(0);
    if (args.Count() == 3) {
      ptr = args.Ptr(0);
      text = args.Text(1);
      text_is_null = args.Raw(1)->bstrVal == nullptr;
      big = args.Raw(2)->llVal;
    }
    if (on_invoke) on_invoke();
    return S_OK;
  }
  ULONG refs = 1;
  std::vector<DISPID> ids;
  std::vector<VARTYPE> types;
  std::vector<VARTYPE> referenced;  // what by-reference arguments point at
  std::wstring first_text;
  intptr_t ptr = 0;
  std::wstring text;
  bool text_is_null = false;
  int64_t big = 0;
  std::function<void()> on_invoke;
};

class Owner : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

// Any interface id serves as the event interface here.
const IID kEvents = {0x1F3C5A70, 0x2B4D, 0x4E6F, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};

TEST(ConnectionPointEnumerator, ListsTheSinksAsTheyWereWhenAsked) {
  Owner owner;
  RecordingSink first, second;
  {
    winkit::ConnectionPoint cp(&owner, nullptr, kEvents);
    DWORD c1 = 0, c2 = 0;
    ASSERT_HRESULT_SUCCEEDED(cp.Advise(&first, &c1));
    ASSERT_HRESULT_SUCCEEDED(cp.Advise(&second, &c2));
    ComPtr<IEnumConnections> e;
    ASSERT_HRESULT_SUCCEEDED(cp.EnumConnections(e.Put()));
    ASSERT_HRESULT_SUCCEEDED(cp.Unadvise(c1));  // after the snapshot: still listed
    CONNECTDATA cd[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(3, cd, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(cd[0].dwCookie, c1);
    EXPECT_EQ(cd[0].pUnk, static_cast<IUnknown*>(&first));
    EXPECT_EQ(cd[1].dwCookie, c2);
    for (ULONG i = 0; i < fetched; ++i) cd[i].pUnk->Release();
    // The snapshot keeps the unadvised sink until the enumerator goes.
    EXPECT_EQ(first.refs, 2u);
    e.Reset();
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(second.refs, 2u);  // still connected
  }
  EXPECT_EQ(second.refs, 1u);  // the point let go of it
}

// ---- event arguments --------------------------------------------------------------------

TEST(EventArguments, PointerSizedTextAndLongValuesReachTheSinkAsFired) {
  Owner owner;
  RecordingSink sink;
  winkit::ConnectionPoint cp(&owner, nullptr, kEvents);
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(cp.Advise(&sink, &cookie));
  // An address above 4 GB: its high half must survive.
  const void* high = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x123456789ABCull));
  struct Case {
    std::wstring_view text;
    int64_t big;
  };
  const Case cases[] = {
      {L"\u5f00\u5c40", -(int64_t{1} << 40)},         // a Chinese text, a negative 64-bit value
      {std::wstring_view(L"a\0b", 3), INT64_MAX},  // an embedded NUL keeps the length
      {L"", 0},                                    // empty, but still a BSTR
  };
  for (const Case& c : cases) {
    cp.Fire(9, {winkit::EventArg::Ptr(high), winkit::EventArg::Bstr(c.text),
                winkit::EventArg::I8(c.big)});
    EXPECT_EQ(sink.types, (std::vector<VARTYPE>{VT_I8, VT_BSTR, VT_I8}));
    EXPECT_EQ(sink.ptr, reinterpret_cast<intptr_t>(high));
    EXPECT_EQ(sink.text, std::wstring(c.text));
    EXPECT_FALSE(sink.text_is_null);
    EXPECT_EQ(sink.big, c.big);
  }
  EXPECT_EQ(sink.ids, (std::vector<DISPID>{9, 9, 9}));
  const wchar_t* no_text = nullptr;
  cp.Fire(9, {winkit::EventArg::Ptr(nullptr), winkit::EventArg::Bstr(no_text),
              winkit::EventArg::I8(0)});
  EXPECT_EQ(sink.types, (std::vector<VARTYPE>{VT_I8, VT_BSTR, VT_I8}));
  EXPECT_EQ(sink.ptr, 0);
  EXPECT_EQ(sink.text, L"");
  // The firing object stays alive while it fires, and no reference is left over after.
  ULONG during = 0;
  sink.on_invoke = [&] { during = owner.refs; };
  cp.Fire(1, {winkit::EventArg::I2(1)});
  EXPECT_EQ(during, 2u);
  EXPECT_EQ(owner.refs, 1u);
  EXPECT_EQ(sink.refs, 2u);  // the point's own reference
  cp.UnadviseAll();
  EXPECT_EQ(sink.refs, 1u);
}

TEST(DispatchCalls, ArgumentsInDeclarationOrderWithOptionalsLeftOut) {
  RecordingSink target;
  // A method with a text and four optional arguments left out, as a browser's Navigate is called.
  ASSERT_HRESULT_SUCCEEDED(winkit::CallMethod(
      &target, 104, {winkit::EventArg::Bstr(std::wstring(L"about:blank")),
                     winkit::EventArg::Missing(), winkit::EventArg::Missing()}));
  EXPECT_EQ(target.ids, std::vector<DISPID>{104});
  EXPECT_EQ(target.types,
            (std::vector<VARTYPE>{VT_BSTR, VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF}));
  EXPECT_EQ(target.referenced, (std::vector<VARTYPE>{VT_EMPTY, VT_EMPTY}));
  EXPECT_EQ(target.first_text, L"about:blank");
  EXPECT_EQ(winkit::CallMethod(nullptr, 1), E_POINTER);
  VARIANT value;
  VariantInit(&value);
  EXPECT_EQ(winkit::GetProperty(nullptr, 1, &value), E_POINTER);
}

TEST(MemoryStream, ACopyOfTheBytesThatOutlivesThem) {
  std::vector<char> bytes = {'G', 'I', 'F', '8', '9', 'a'};
  winkit::ComPtr<IStream> stream = winkit::StreamOnCopy(bytes.data(), bytes.size());
  ASSERT_TRUE(stream);
  bytes.assign(bytes.size(), 'x');  // the stream has its own copy
  char read[8] = {};
  ULONG got = 0;
  ASSERT_HRESULT_SUCCEEDED(stream->Read(read, sizeof read, &got));
  EXPECT_EQ(std::string(read, got), "GIF89a");
  winkit::UniqueGlobal block = winkit::CopyToGlobal("ab", 2);
  ASSERT_TRUE(block);
  EXPECT_EQ(GlobalSize(block.Get()), 2u);
}

TEST(Boundary, ExceptionsBecomeTheirHresults) {
  EXPECT_EQ(winkit::CallAtBoundary([] {}), S_OK);
  EXPECT_EQ(winkit::CallAtBoundary([] { return S_FALSE; }), S_FALSE);
  EXPECT_EQ(winkit::CallAtBoundary([] { winkit::ThrowIfFailed(E_ACCESSDENIED, "x"); }),
            E_ACCESSDENIED);
  EXPECT_EQ(winkit::CallAtBoundary([] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(winkit::CallAtBoundary([] { throw std::runtime_error("x"); }), E_UNEXPECTED);
  // A "failure" that carries a success code still fails.
  EXPECT_EQ(winkit::CallAtBoundary([] { throw winkit::ComError(S_FALSE, "x"); }), E_FAIL);
  EXPECT_NO_THROW(winkit::ThrowIfFailed(S_FALSE, "success codes pass"));
}

// ---- the program's folder ------------------------------------------------------------------

TEST(ModuleFolder, TheProgramFolderHoldsTheRunningProgramAndEndsWithoutABackslash) {
  const std::wstring exe = winkit::Module::Path();
  const std::string folder = winkit::Module::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  const std::wstring name = exe.substr(exe.rfind(L'\\') + 1);
  const std::string file = folder + "\\" + std::string(name.begin(), name.end());  // ASCII name
  const DWORD attributes = GetFileAttributesA(file.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << file;
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// ---- the shutdown monitor of a local server ----------------------------------------------

bool QuitPosted() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// ---- subclassed windows -----------------------------------------------------------------

// A window whose own procedure answers kAsk with 100 and records what reaches it.
constexpr UINT kAsk = WM_APP + 1;
std::vector<std::string> g_reached;

LRESULT CALLBACK OwnProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kAsk) {
    g_reached.push_back("own");
    return 100;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND OwnWindow() {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WinkitSubclassTest";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  return CreateWindowExW(0, L"WinkitSubclassTest", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                         nullptr, nullptr);
}

LONG_PTR ProcedureOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWLP_WNDPROC); }

// Adds `add` to what the window would answer kAsk; may send itself kAsk once more from inside
// its handler, throw, or delete itself.
class Adder : public winkit::SubclassedWindow {
 public:
  Adder(std::string name, LRESULT add) : name_(std::move(name)), add_(add) {}
  bool reenter = false, fail = false, delete_self = false;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != kAsk) return Default(msg, wp, lp);
    g_reached.push_back(name_);
    if (fail) throw std::runtime_error("handler failed");
    if (reenter) {
      reenter = false;
      g_reached.push_back("inner " + std::to_string(SendMessageW(hwnd(), kAsk, 0, 0)));
    }
    if (delete_self) {
      HWND window = hwnd();
      delete this;
      return CallWindowProcW(OwnProcedure, window, msg, wp, lp);
    }
    return Default(msg, wp, lp) + add_;
  }

 private:
  std::string name_;
  LRESULT add_;
};

// Someone else's plain replacement of a window's procedure, chaining with CallWindowProc.
WNDPROC g_foreignPrevious = nullptr;
LRESULT CALLBACK ForeignProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kAsk) g_reached.push_back("foreign");
  return CallWindowProcW(g_foreignPrevious, hwnd, msg, wp, lp);
}

LRESULT Ask(HWND hwnd) {
  g_reached.clear();
  return SendMessageW(hwnd, kAsk, 0, 0);
}
using Path = std::vector<std::string>;

TEST(SubclassedWindow, ObjectsChainNewestFirstAndTheWindowGetsItsProcedureBack) {
  HWND w = OwnWindow();
  const LONG_PTR own = ProcedureOf(w);
  Adder a("a", 1), b("b", 10);
  ASSERT_TRUE(a.Attach(w));
  EXPECT_EQ(Ask(w), 101);
  ASSERT_TRUE(b.Attach(w));
  EXPECT_EQ(Ask(w), 111);
  EXPECT_EQ(g_reached, (Path{"b", "a", "own"}));
  // Either may go first; the other keeps its place.
  a.Detach();
  EXPECT_EQ(Ask(w), 110);
  EXPECT_EQ(g_reached, (Path{"b", "own"}));
  EXPECT_NE(ProcedureOf(w), own);
  b.Detach();
  EXPECT_EQ(ProcedureOf(w), own);
  EXPECT_EQ(Ask(w), 100);
  // Attached again, and moved from one window to another.
  ASSERT_TRUE(a.Attach(w));
  HWND other = OwnWindow();
  ASSERT_TRUE(a.Attach(other));
  EXPECT_EQ(ProcedureOf(w), own);
  EXPECT_EQ(Ask(other), 101);
  EXPECT_FALSE(a.Attach(nullptr));
  EXPECT_EQ(a.hwnd(), nullptr);
  EXPECT_EQ(ProcedureOf(other), own);
  DestroyWindow(w);
  DestroyWindow(other);
}

TEST(SubclassedWindow, AProcedureReplacedAfterOursKeepsWorkingWhenOursGoes) {
  HWND w = OwnWindow();
  const LONG_PTR own = ProcedureOf(w);
  auto* a = new Adder("a", 1);
  ASSERT_TRUE(a->Attach(w));
  g_foreignPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProcedure)));
  EXPECT_EQ(Ask(w), 101);
  EXPECT_EQ(g_reached, (Path{"foreign", "a", "own"}));
  // Ours cannot leave the chain under theirs: it stays, passing messages on.
  delete a;
  EXPECT_EQ(ProcedureOf(w), reinterpret_cast<LONG_PTR>(ForeignProcedure));
  EXPECT_EQ(Ask(w), 100);
  EXPECT_EQ(g_reached, (Path{"foreign", "own"}));
  // An object attached again takes that place in the chain.
  Adder b("b", 10);
  ASSERT_TRUE(b.Attach(w));
  EXPECT_EQ(Ask(w), 110);
  EXPECT_EQ(g_reached, (Path{"foreign", "b", "own"}));
  // They undo theirs: ours is the window's procedure again, and leaves when b goes.
  SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
  b.Detach();
  EXPECT_EQ(ProcedureOf(w), own);
  DestroyWindow(w);
}

TEST(SubclassedWindow, TheWindowsEndDetachesAndHandlersMayReenterFailOrDeleteThemselves) {
  HWND w = OwnWindow();
  Adder a("a", 1);
  ASSERT_TRUE(a.Attach(w));
  a.reenter = true;
  EXPECT_EQ(Ask(w), 101);
  EXPECT_EQ(g_reached, (Path{"a", "a", "own", "inner 101", "own"}));
  // A handler that throws: the window's own procedure answers.
  a.fail = true;
  EXPECT_EQ(Ask(w), 100);
  EXPECT_EQ(g_reached, (Path{"a", "own"}));
  a.fail = false;
  // An object that deletes itself in its handler: the next message goes past it.
  auto* b = new Adder("b", 10);
  ASSERT_TRUE(b->Attach(w));
  b->delete_self = true;
  EXPECT_EQ(Ask(w), 100);
  EXPECT_EQ(Ask(w), 101);
  EXPECT_EQ(g_reached, (Path{"a", "own"}));
  // The window goes before the object: the object is detached and outlives it harmlessly.
  DestroyWindow(w);
  EXPECT_EQ(a.hwnd(), nullptr);
  // A new window (perhaps with the same handle) starts with no object of ours.
  HWND next = OwnWindow();
  EXPECT_EQ(Ask(next), 100);
  EXPECT_EQ(g_reached, (Path{"own"}));
  DestroyWindow(next);
}


TEST(ServerMonitor, EndsWithoutWaitingWhenTheProgramEndsBeforeAnyRelease) {
  // A registration switch or a stand-alone start ends the program with the monitor still
  // waiting for a last release that never comes: joining stops it, and it posts nothing.
  ASSERT_TRUE(winkit::ServerMonitor::Start(60000));
  EXPECT_TRUE(winkit::ServerMonitor::Join());
  EXPECT_FALSE(QuitPosted());
  // Stopped in the middle of its grace period, after a release.
  ASSERT_TRUE(winkit::ServerMonitor::Start(60000));
  winkit::Module::Lock();
  winkit::Module::Unlock();
  EXPECT_TRUE(winkit::ServerMonitor::Join());
  EXPECT_FALSE(QuitPosted());
}

TEST(ServerMonitor, TheLastReleasePostsQuitAfterTheGrace) {
  ASSERT_TRUE(winkit::ServerMonitor::Start(50));
  winkit::Module::Lock();
  winkit::Module::Unlock();
  bool quit = false;
  for (int i = 0; i < 200 && !quit; ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    quit = QuitPosted();
  }
  EXPECT_TRUE(quit);
  EXPECT_TRUE(winkit::ServerMonitor::Join());
}

}  // namespace
