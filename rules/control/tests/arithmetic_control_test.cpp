// The Arithmetic control as the game client meets it: registered, created by ProgID, driven
// through its dual interface's vtable (tile arrays cannot go through IDispatch::Invoke here),
// with real connection-point sinks hearing its events, and task-allocated arrays handed out.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvel.h"
#include "tests/tile_notation.h"
#include "whole_hand_script.h"
#include "winkit/com_ptr.h"
#include "winkit/testing/com_test_support.h"

using winkit::ComPtr;

namespace {

[[maybe_unused]] auto* const g_env =
    ::testing::AddGlobalTestEnvironment(new winkit::testing::ComTestEnvironment);

HRESULT RegisterKorvel() {
  return winkit::testing::CallDllExport(L"Korvel.dll", "DllRegisterServer");
}

// An event sink as a client connects it: a plain IDispatch. It writes each event in the hand
// script's notation and checks how it was called. Every sink also marks itself in `order`.
class EventSink : public IDispatch {
 public:
  EventSink(char mark, std::string* order) : mark_(mark), order_(order) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__IArithmeticEvents) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT*, EXCEPINFO*, UINT*) override {
    EXPECT_EQ(iid, IID_NULL);
    EXPECT_EQ(lcid, 0x400u);
    EXPECT_EQ(flags, DISPATCH_METHOD);
    static const char* const kNames[] = {"",    "Send",    "Listen",         "Chi",
                                         "Peng", "Gang",   "Hu",             "Guo",
                                         "OnReceiveCards", "AutoGuo", "AutoSendOnTing",
                                         "AutoHu", "Sound"};
    std::string event = id >= 1 && id <= 12 ? kNames[id] : "?" + std::to_string(id);
    std::vector<int> args;
    for (UINT i = params->cArgs; i-- > 0;) {  // declaration order
      EXPECT_EQ(params->rgvarg[i].vt, VT_I2) << event;
      args.push_back(params->rgvarg[i].iVal);
    }
    if (id == 12) {
      EXPECT_EQ(args.size(), 2u);
      event += "(" + std::to_string(args.size() > 0 ? args[0] : -99) + "," +
               std::to_string(args.size() > 1 ? args[1] : -99) + ")";
    } else if (id >= 1 && id <= 7) {
      EXPECT_EQ(args.size(), 1u) << event;
      event += std::to_string(args.empty() ? -99 : args[0]);
    } else {
      EXPECT_TRUE(args.empty()) << event;
    }
    if (!log_.empty()) log_ += ' ';
    log_ += event;
    *order_ += mark_;
    return S_OK;
  }

  std::string Take() {
    std::string out;
    out.swap(log_);
    return out;
  }
  ULONG refs_ = 1;

 private:
  char mark_;
  std::string* order_;
  std::string log_;
};

// Whether the task allocator handed out this block.
bool TaskAllocated(void* p) {
  ComPtr<IMalloc> malloc;
  if (FAILED(CoGetMalloc(1, malloc.Put()))) return false;
  return malloc->DidAlloc(p) == 1;
}

// Reads n records from an address the control handed out and frees the block.
template <typename T>
std::vector<T> TakeArray(LONG_PTR address, int n) {
  std::vector<T> out;
  if (address == 0) return out;
  T* p = reinterpret_cast<T*>(address);
  EXPECT_TRUE(TaskAllocated(p));
  out.assign(p, p + n);
  CoTaskMemFree(p);
  return out;
}

class ArithmeticControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(RegisterKorvel());
    CLSID clsid = CLSID_NULL;
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"Korvel.Arithmetic", &clsid));
    ASSERT_EQ(clsid, CLSID_Arithmetic);
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IArithmetic, control_.PutVoid()));
    ComPtr<IConnectionPointContainer> container;
    ASSERT_HRESULT_SUCCEEDED(
        control_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(IID__IArithmeticEvents, point_.Put()));
    ASSERT_HRESULT_SUCCEEDED(point_->Advise(&first_, &first_cookie_));
    ASSERT_HRESULT_SUCCEEDED(point_->Advise(&second_, &second_cookie_));
  }
  void TearDown() override {
    if (point_) {
      point_->Unadvise(first_cookie_);
      point_->Unadvise(second_cookie_);
    }
  }

  // The events of the last call, as both sinks heard them, each event first at the sink that
  // connected first.
  std::string Events() {
    std::string a = first_.Take();
    EXPECT_EQ(second_.Take(), a);
    std::string expected_order;
    for (size_t i = 0; i < order_.size() / 2; ++i) expected_order += "12";
    EXPECT_EQ(order_, expected_order);
    order_.clear();
    return a;
  }

  ComPtr<IArithmetic> control_;
  ComPtr<IConnectionPoint> point_;
  std::string order_;
  EventSink first_{'1', &order_};
  EventSink second_{'2', &order_};
  DWORD first_cookie_ = 0;
  DWORD second_cookie_ = 0;
};

std::string CardsText(const std::vector<card>& tiles) { return TilesText(tiles); }

TEST_F(ArithmeticControlTest, PlaysAWholeHandWithTheScriptedEvents) {
  IArithmetic* c = control_.Get();
  ASSERT_HRESULT_SUCCEEDED(c->SetSubType(0));
  ASSERT_HRESULT_SUCCEEDED(c->SetLowFan(0));
  ASSERT_HRESULT_SUCCEEDED(c->SetHandNo(0));
  ASSERT_HRESULT_SUCCEEDED(c->StartOneHand(-1, 1));
  ASSERT_HRESULT_SUCCEEDED(c->SetBanker(1, -1));
  EXPECT_EQ(Events(), "");

  for (const HandStep& step : kWholeHand) {
    SCOPED_TRACE(testing::Message() << "step " << (&step - kWholeHand) << " " << step.tiles);
    std::vector<card> tiles = Tiles(step.tiles);
    const short n = static_cast<short>(tiles.size());
    switch (step.kind) {
      case HandStepKind::Deal:
      case HandStepKind::Draw:
        ASSERT_HRESULT_SUCCEEDED(c->AddCardsToMyHand(n, tiles.data()));
        break;
      case HandStepKind::Discard:
        ASSERT_HRESULT_SUCCEEDED(c->SetRecvCards(step.loc, -1, -1, 1, tiles.data()));
        break;
      case HandStepKind::Chow: {
        short offers = 0;
        ASSERT_HRESULT_SUCCEEDED(c->GetEatNum(&offers));
        EXPECT_GE(offers, 1);
        LONG_PTR address = 0;
        ASSERT_HRESULT_SUCCEEDED(c->GetEatCards(0, &address));
        EXPECT_EQ(CardsText(TakeArray<card>(address, 3)), TilesText(Tiles(step.offer)));
        ASSERT_HRESULT_SUCCEEDED(c->ExposeCard(0, 1, n, tiles.data()));
        break;
      }
      case HandStepKind::Pung: {
        short num = 0;
        LONG_PTR address = 0;
        ASSERT_HRESULT_SUCCEEDED(c->GetPengCards(&num, &address));
        EXPECT_EQ(num, 3);
        EXPECT_EQ(CardsText(TakeArray<card>(address, 3)), TilesText(Tiles(step.offer)));
        ASSERT_HRESULT_SUCCEEDED(c->ExposeCard(0, 1, n, tiles.data()));
        break;
      }
      case HandStepKind::Kong: {
        short offers = 0, num = 0, kind = 0;
        ASSERT_HRESULT_SUCCEEDED(c->GetGangNum(&offers));
        EXPECT_GE(offers, 1);
        LONG_PTR address = 0;
        ASSERT_HRESULT_SUCCEEDED(c->GetGangCards(0, &num, &address, &kind));
        EXPECT_EQ(num, 4);
        EXPECT_EQ(kind, step.kong_kind);
        EXPECT_EQ(CardsText(TakeArray<card>(address, 4)), TilesText(Tiles(step.offer)));
        ASSERT_HRESULT_SUCCEEDED(c->ExposeCard(0, step.loc, n, tiles.data()));
        break;
      }
      case HandStepKind::AfterKong: {
        const card after = tiles.empty() ? card{-1, -1} : tiles[0];
        ASSERT_HRESULT_SUCCEEDED(c->SetCardAfterGang(static_cast<short>(after.m_nColor),
                                                     static_cast<short>(after.m_nValue)));
        break;
      }
      case HandStepKind::Declare: {
        short listen = 0;
        ASSERT_HRESULT_SUCCEEDED(c->IsDeclareListen(&listen));
        EXPECT_EQ(listen, 1);
        ASSERT_HRESULT_SUCCEEDED(c->SetTingStatus(1));
        break;
      }
      case HandStepKind::IsHu: {
        short ishu = 0;
        ASSERT_HRESULT_SUCCEEDED(c->IsHuPai(&ishu));
        EXPECT_EQ(ishu, 1);
        break;
      }
    }
    EXPECT_EQ(Events(), step.events);
  }

  // The automatic discard on the winning draw wins instead and hands out nothing.
  short count = 9;
  LONG_PTR address = 1;
  ASSERT_HRESULT_SUCCEEDED(c->AutoSendCards(&count, &address));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(address, 0);
  EXPECT_EQ(Events(), "AutoHu");

  short deal_num = 0;
  ASSERT_HRESULT_SUCCEEDED(c->GetDealNum(&deal_num));
  EXPECT_EQ(deal_num, 5);
  const card win = Tile(kWholeHandWin);
  short color = 0, value = 0;
  ASSERT_HRESULT_SUCCEEDED(c->GetCurrentMo(&color, &value));
  EXPECT_EQ(card({color, value}), win);
  ASSERT_HRESULT_SUCCEEDED(c->SetHuInfo(1, -1, static_cast<short>(win.m_nColor),
                                        static_cast<short>(win.m_nValue)));
  short hutype = 0;
  ASSERT_HRESULT_SUCCEEDED(c->GetHuType(&hutype));
  EXPECT_EQ(hutype, 1);

  short banker = -9, score = 0, base = 0, fans = 0;
  ASSERT_HRESULT_SUCCEEDED(c->Calculate(&banker, &score, &base, &fans));
  EXPECT_EQ(banker, 0);  // a flag: the banker is the opponent
  EXPECT_EQ(base, 2);
  EXPECT_GT(fans, 0);
  EXPECT_EQ(score, 2 * base + 2 * fans);

  // The fans as a task-allocated int16 array; their points add up to the fan value, and each
  // has its GBK name and description.
  ASSERT_HRESULT_SUCCEEDED(c->GetFans(&count, &address));
  ASSERT_GT(count, 0);
  std::vector<short> types = TakeArray<short>(address, count);
  CKorvel reference;
  reference.StartNewHand();
  int points = 0;
  for (short type : types) {
    SCOPED_TRACE(type);
    char name[30];
    char desc[500];
    short one = 0;
    ASSERT_HRESULT_SUCCEEDED(c->GetFanNameByType(type, reinterpret_cast<LONG_PTR>(name),
                                                 reinterpret_cast<LONG_PTR>(desc), &one));
    const FanInfo* info = FindFan(reference.GetFanTable(), type);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(name, info->name);
    EXPECT_STREQ(desc, info->description);
    points += one;
  }
  EXPECT_EQ(points, fans);
  EXPECT_EQ(Events(), "");
}

TEST_F(ArithmeticControlTest, FanNameIsGbkText) {
  ASSERT_HRESULT_SUCCEEDED(control_->SetSubType(0));
  ASSERT_HRESULT_SUCCEEDED(control_->StartOneHand(-1, 0));
  char name[30];
  std::vector<char> desc(500, 'x');
  short score = 0;
  ASSERT_HRESULT_SUCCEEDED(control_->GetFanNameByType(102, reinterpret_cast<LONG_PTR>(name),
                                                      reinterpret_cast<LONG_PTR>(desc.data()),
                                                      &score));
  EXPECT_EQ(score, 22);
  wchar_t wide[64] = {};
  ASSERT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, name, -1, wide, 64), 0);
  EXPECT_STREQ(wide, L"\u5927\u4E09\u5143");  // 大三元
  ASSERT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, desc.data(), -1, wide, 64), 0);
  EXPECT_STREQ(wide, L"\u548C\u724C\u4E2D\uFF0C\u6709\u4E2D\u53D1\u767D3\u526F\u523B\u5B50");

  // A type without a row: score 0, the buffers untouched.
  name[0] = 'x';
  desc[0] = 'x';
  score = 5;
  ASSERT_HRESULT_SUCCEEDED(control_->GetFanNameByType(9999, reinterpret_cast<LONG_PTR>(name),
                                                      reinterpret_cast<LONG_PTR>(desc.data()),
                                                      &score));
  EXPECT_EQ(score, 0);
  EXPECT_EQ(name[0], 'x');
  EXPECT_EQ(desc[0], 'x');
}

TEST_F(ArithmeticControlTest, AutoSendCardsHandsOutTheDrawnTile) {
  ASSERT_HRESULT_SUCCEEDED(control_->SetSubType(0));
  ASSERT_HRESULT_SUCCEEDED(control_->StartOneHand(-1, 0));
  std::vector<card> deal = Tiles("123m 456p 789s 11d 23w");
  ASSERT_HRESULT_SUCCEEDED(control_->AddCardsToMyHand(static_cast<short>(deal.size()),
                                                      deal.data()));
  card draw = Tile("9m");
  ASSERT_HRESULT_SUCCEEDED(control_->AddCardsToMyHand(1, &draw));
  Events();
  short count = 0;
  LONG_PTR address = 0;
  ASSERT_HRESULT_SUCCEEDED(control_->AutoSendCards(&count, &address));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(CardsText(TakeArray<card>(address, 1)), "9m");
  EXPECT_EQ(Events(), "");

  // Empty hand: nothing.
  ASSERT_HRESULT_SUCCEEDED(control_->StartOneHand(-1, 0));
  address = 1;
  ASSERT_HRESULT_SUCCEEDED(control_->AutoSendCards(&count, &address));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(address, 0);
}

TEST_F(ArithmeticControlTest, BeforeSetSubTypeEveryMethodAnswersOkAndChangesNothing) {
  IArithmetic* c = control_.Get();
  std::vector<card> tiles = Tiles("5m 5m 5m 5m");
  short a = 77, b = 77;
  LONG_PTR address = 4242;
  char name[30] = "old";
  EXPECT_EQ(c->AddCardsToMyHand(4, tiles.data()), S_OK);
  EXPECT_EQ(c->SetRecvCards(1, -1, -1, 1, tiles.data()), S_OK);
  EXPECT_EQ(c->IsChuPai(1, tiles.data(), &a, &b), S_OK);
  EXPECT_EQ(c->AutoSendCards(&a, &address), S_OK);
  EXPECT_EQ(c->GetFans(&a, &address), S_OK);
  EXPECT_EQ(c->GetGangCards(0, &a, &address, &b), S_OK);
  EXPECT_EQ(c->GetFanNameByType(102, reinterpret_cast<LONG_PTR>(name), 0, &a), S_OK);
  EXPECT_EQ(c->IsHuPai(&a), S_OK);
  EXPECT_EQ(c->StartPlay(), S_OK);
  EXPECT_EQ(c->GetDealNum(&a), S_OK);
  EXPECT_EQ(c->Calculate(&a, &b, &a, &b), S_OK);
  EXPECT_EQ(c->ExposeCard(0, 3, 4, tiles.data()), S_OK);
  EXPECT_EQ(a, 77);
  EXPECT_EQ(b, 77);
  EXPECT_EQ(address, 4242);
  EXPECT_STREQ(name, "old");
  EXPECT_EQ(Events(), "");
}

TEST_F(ArithmeticControlTest, NullPointersAndBadIndicesAreIgnored) {
  IArithmetic* c = control_.Get();
  ASSERT_HRESULT_SUCCEEDED(c->SetSubType(0));
  ASSERT_HRESULT_SUCCEEDED(c->StartOneHand(-1, 0));
  EXPECT_EQ(c->AddCardsToMyHand(13, nullptr), S_OK);
  EXPECT_EQ(c->SetRecvCards(1, -1, -1, 1, nullptr), S_OK);
  EXPECT_EQ(c->DeleteCardsFromMyHand(3, 0), S_OK);
  EXPECT_EQ(c->AutoSendCards(nullptr, nullptr), S_OK);
  EXPECT_EQ(c->GetFans(nullptr, nullptr), S_OK);
  EXPECT_EQ(c->GetFanNameByType(102, 0, 0, nullptr), S_OK);
  EXPECT_EQ(c->Calculate(nullptr, nullptr, nullptr, nullptr), S_OK);
  short num = 9, type = 9;
  LONG_PTR address = 1;
  EXPECT_EQ(c->GetGangCards(-1, &num, &address, &type), S_OK);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(address, 0);
  EXPECT_EQ(type, -1);
  address = 1;
  EXPECT_EQ(c->GetEatCards(-5, &address), S_OK);
  EXPECT_EQ(address, 0);
  EXPECT_EQ(Events(), "");
}

}  // namespace
