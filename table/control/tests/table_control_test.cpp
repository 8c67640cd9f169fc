// The Table control as the game client meets it: registered, hosted as a child window with
// the table window's id 32770, driven through its dual interfaces' vtable through a scripted
// hand, with two real connection-point sinks hearing every event in order. The hosted table
// is kept as table_control.png for a person to look at.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dib_canvas.h"
#include "korvel_table.h"
#include "table_fixture.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/handle.h"
#include "winkit/testing/com_test_support.h"
#include "winkit/window.h"

using winkit::ComPtr;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"KorvelTable.dll"}));

const char* EventName(DISPID id) {
  static const char* const kNames[] = {"?",    "SendCard", "RequestSend", "TimeOut", "RequestDeal",
                                       "DClick", "AutoSend", "Guo",        "Ting",    "Chi",
                                       "Peng",   "Gang",     "Hu",         "SaveOneHand",
                                       "Pause",  "Dice",     "NextNo",     "AutoReview",
                                       "Exit",   "Setup",    "SelectAction"};
  return id >= 1 && id <= 20 ? kNames[id] : "?";
}

bool TaskAllocated(void* p) {
  ComPtr<IMalloc> malloc;
  if (FAILED(CoGetMalloc(1, malloc.Put()))) return false;
  return malloc->DidAlloc(p) == 1;
}

// A sink as the client connects it: a plain IDispatch writing what it hears.
class EventSink : public IDispatch {
 public:
  EventSink(char mark, std::string* order) : mark_(mark), order_(order) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__ITableEvents) {
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
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT*, EXCEPINFO*, UINT*) override {
    EXPECT_EQ(iid, IID_NULL);
    EXPECT_EQ(lcid, 0x400u);
    EXPECT_EQ(flags, DISPATCH_METHOD);
    std::string e = EventName(id);
    if (id == 2) {  // RequestSend(short num, pointer cards)
      EXPECT_EQ(params->cArgs, 2u);
      EXPECT_EQ(params->rgvarg[1].vt, VT_I2);
      EXPECT_EQ(params->rgvarg[0].vt, VT_I8);
      const int n = params->rgvarg[1].iVal;
      auto* tiles = reinterpret_cast<const mjtablecard*>(params->rgvarg[0].llVal);
      EXPECT_TRUE(TaskAllocated(const_cast<mjtablecard*>(tiles)));
      e += "(" + std::to_string(n);
      for (int i = 0; i < n && tiles; ++i)
        e += " " + std::to_string(tiles[i].m_nColor) + ":" + std::to_string(tiles[i].m_nValue);
      e += ")";
    } else if (id == 3) {
      EXPECT_EQ(params->cArgs, 1u);
      EXPECT_EQ(params->rgvarg[0].vt, VT_I2);
      e += "(" + std::to_string(params->rgvarg[0].iVal) + ")";
    } else {
      EXPECT_EQ(params->cArgs, 0u) << e;
    }
    if (!log_.empty()) log_ += ' ';
    log_ += e;
    *order_ += mark_;
    return fail_ ? E_FAIL : S_OK;
  }
  std::string Take() {
    std::string out;
    out.swap(log_);
    return out;
  }
  ULONG refs_ = 1;
  bool fail_ = false;

 private:
  char mark_;
  std::string* order_;
  std::string log_;
};

class HostWindow : public winkit::Window {};

class TableControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RECT r{0, 0, 1024, 768};
    AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
    host_.Create(L"KorvelTableControlHost", L"table window", WS_POPUP | WS_CLIPCHILDREN, 0,
                 {0, 0, r.right - r.left, r.bottom - r.top}, nullptr, nullptr);
    ShowWindow(host_.hwnd(), SW_SHOWNA);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(host_.hwnd(), CLSID_Table,
                                                         IID_NULL, 32770, L"KorvelTable.Table",
                                                         RECT{0, 0, 1024, 768}, nullptr, &site_));
    ASSERT_HRESULT_SUCCEEDED(site_->QueryControl(IID_ITable, table_.PutVoid()));
    ComPtr<IConnectionPointContainer> container;
    ASSERT_HRESULT_SUCCEEDED(table_->QueryInterface(IID_IConnectionPointContainer,
                                                    container.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(IID__ITableEvents, point_.Put()));
    ASSERT_HRESULT_SUCCEEDED(point_->Advise(&first_, &cookie1_));
    ASSERT_HRESULT_SUCCEEDED(point_->Advise(&second_, &cookie2_));
    control_ = site_->ControlWindow();
    ASSERT_NE(control_, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control_), 32770);
  }
  void TearDown() override {
    if (point_) {
      point_->Unadvise(cookie1_);
      point_->Unadvise(cookie2_);
    }
    table_ = nullptr;
    if (site_) site_->Destroy();
    host_.Abandon();
  }
  void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_TIMER) continue;  // the test ticks the timers itself
      DispatchMessageW(&m);
    }
  }
  // Both sinks heard the same events, each first at the sink connected first.
  std::string Events() {
    std::string a = first_.Take(), b = second_.Take();
    EXPECT_EQ(a, b);
    for (size_t i = 0; i + 1 < order_.size(); i += 2) EXPECT_EQ(order_.substr(i, 2), "ab");
    order_.clear();
    return a;
  }
  void Command(int id) { SendMessageW(control_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Tick(UINT_PTR id) { SendMessageW(control_, WM_TIMER, id, 0); }
  void Click(int x, int y, UINT msg = WM_LBUTTONDOWN) {
    SendMessageW(control_, msg, 0, MAKELPARAM(x, y));
  }
  void StartTable() {
    ASSERT_HRESULT_SUCCEEDED(table_->SetType(0, 1));
    ASSERT_HRESULT_SUCCEEDED(table_->InitTable_Avact(
        2, 1, 0, reinterpret_cast<LONG_PTR>(KORVEL_TABLE_SKIN)));
    ASSERT_HRESULT_SUCCEEDED(table_->InitPoke(0, 0, 0, 0, 0x8000));
    ASSERT_HRESULT_SUCCEEDED(table_->ResetSound(0));
    std::strcpy(me_.nickname, "\xd5\xc5\xc8\xfd");
    std::strcpy(me_.username, "zhangsan");
    std::strcpy(you_.nickname, "\xc0\xee\xcb\xc4");
    std::strcpy(you_.username, "lisi");
    table_->SetPersonLocation(0, 1, reinterpret_cast<LONG_PTR>(&me_));
    table_->SetPersonLocation(1, 2, reinterpret_cast<LONG_PTR>(&you_));
    Pump();
  }

  HostWindow host_;
  ComPtr<winkit::ControlHost> site_;
  ComPtr<ITable> table_;
  ComPtr<IConnectionPoint> point_;
  std::string order_;
  EventSink first_{'a', &order_}, second_{'b', &order_};
  DWORD cookie1_ = 0, cookie2_ = 0;
  HWND control_ = nullptr;
  TablePerson me_, you_;
};

TEST_F(TableControlTest, MethodsBeforeTheTableAndOnBadInputAnswerSOk) {
  short n = 7;
  EXPECT_EQ(table_->ResetSound(1), S_OK);
  EXPECT_EQ(table_->GetHuaNum(0, &n), S_OK);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(table_->SetMyFans(nullptr), S_OK);
  StartTable();
  mjtablecard tile{0, 1};
  EXPECT_EQ(table_->SetRecvCards(0, 0, nullptr, 0, 1, 0, 0), S_OK);
  EXPECT_EQ(table_->SetRecvCards(5, 1, &tile, 0, 1, 0, 0), S_OK);
  EXPECT_EQ(table_->AddCardToCurrent(9, 0, 1), S_OK);
  EXPECT_EQ(table_->SetBanker(-3, 0), S_OK);
  EXPECT_EQ(table_->SetScoreInfo(2, 9, 0), S_OK);
  EXPECT_EQ(table_->SetMyFans(nullptr), S_OK);
  EXPECT_EQ(table_->GetHuaNum(-1, &n), S_OK);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(table_->GetHuaNum(0, nullptr), S_OK);
  EXPECT_EQ(table_->FocusCards(110, 1), S_OK);
  EXPECT_EQ(table_->HuPai(30, 1), S_OK);
  EXPECT_EQ(table_->SetJiaoBitmap(3, 0), S_OK);
  EXPECT_EQ(table_->SetCryBitmap(9, 0), S_OK);
  EXPECT_EQ(table_->SetAvactItem(4, 0), S_OK);
  EXPECT_EQ(table_->PlayFlash(5, -1, 0, 0), S_OK);
  EXPECT_EQ(table_->SetBkBitmap(0), S_OK);
  // Bitmaps handed over stay the client's: a new table leaves them alive.
  const winkit::UniqueBitmap cry(CreateBitmap(4, 4, 1, 32, nullptr));
  HBITMAP cries[4] = {cry.Get(), cry.Get(), cry.Get(), cry.Get()};
  EXPECT_EQ(table_->SetCryBitmap(4, reinterpret_cast<LONG_PTR>(cries)), S_OK);
  EXPECT_EQ(table_->SetSmellBitmap(4, reinterpret_cast<LONG_PTR>(cries)), S_OK);
  // A second table replaces the first: one set of buttons, nothing of the first left.
  EXPECT_EQ(table_->InitTable(5, 1, 7), S_OK);
  int sends = 0;
  for (HWND w = GetWindow(control_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    sends += GetDlgCtrlID(w) == 306;
  EXPECT_EQ(sends, 1);
  BITMAP bm{};
  EXPECT_EQ(GetObjectW(cry.Get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  Pump();
  EXPECT_EQ(Events(), "");
}

TEST_F(TableControlTest, ScriptedHandThroughBothInterfaces) {
  StartTable();
  // The layout the control uses (the same model, measured as the tile art is).
  table::testing::TableFixture layout(true);

  // Dice: the own seat throws.
  table_->SetBanker(0, 0);
  table_->InitWall(64);
  table_->StartDice(0);
  Command(table::kButtonDice);
  EXPECT_EQ(Events(), "Dice");
  table_->SetDice(0, 3, 5);
  table_->SetFirstPosition_InWall(0, 3);

  // The deal.
  std::vector<mjtablecard> hand = {{0, 1}, {0, 2}, {0, 3}, {1, 5}, {1, 5}, {1, 5}, {2, 7},
                                   {2, 8}, {2, 9}, {3, 1}, {3, 1}, {4, 2}, {4, 3}};
  table_->AddCardsToMyHandWithSort(13, hand.data());
  table_->SetDealNum(1, 13);
  table_->DeleteCardsFromWall(26, 0);
  layout.Deal(std::vector<card>(reinterpret_cast<card*>(hand.data()),
                                reinterpret_cast<card*>(hand.data()) + 13));

  // The own turn: draw, select the north wind... the 4:3 (white), discard with the right button.
  table_->AddCardToCurrent(0, 0, 9);
  layout.t().AddCardToCurrent(0, 0, 9, true);
  table_->LightSend(1);
  table::CMjLocation& own = layout.seat(0);
  own.CalcCardLayout(layout.surface.client);
  const table::Rect handRect = own.AreaRect(table::CMjLocation::kHand);
  Click(handRect.left + 12 * 40 + 10, handRect.top + 40);  // the 13th tile
  Click(10, 10, WM_RBUTTONDOWN);
  EXPECT_EQ(Events(), "RequestSend(1 4:3)");
  mjtablecard thrown{4, 3};
  table_->SetRecvCards(0, 1, &thrown, 0, 1, 0, 0);
  layout.t().SetRecvCards(0, 1, reinterpret_cast<card*>(&thrown), 1);

  // The opponent draws and discards a 5 of dots: the own claim.
  table_->AddCardToCurrent(1, 0, 0);
  mjtablecard five{1, 5};
  table_->SetRecvCards(1, 1, &five, 0, 1, 0, 0);
  table_->LightPeng(1);
  table_->LightGang(1);
  table_->LightGuo(1);
  Command(table::kButtonPeng);
  EXPECT_EQ(Events(), "Peng");
  mjtablecard pung[3] = {{1, 5}, {1, 5}, {1, 5}};
  table_->ExposeCard(0, 1, 3, pung);
  layout.t().SetRecvCards(1, 1, reinterpret_cast<card*>(&five), 1);
  layout.t().ExposeCard(0, 1, 3, reinterpret_cast<card*>(pung));
  for (int i = 0; i < 12; ++i) Tick(135);  // the announcement runs out
  own.CalcCardLayout(layout.surface.client);
  const table::Rect afterPung = own.AreaRect(table::CMjLocation::kHand);
  Click(afterPung.left + 5, afterPung.top + 40);
  Command(table::kButtonSend);
  EXPECT_EQ(Events(), "RequestSend(1 0:1)");
  mjtablecard one{0, 1};
  table_->SetRecvCards(0, 1, &one, 0, 1, 0, 0);

  // The opponent's concealed kong, then its discard; the claim runs out: Guo.
  mjtablecard hidden[4] = {{3, 4}, {3, 4}, {3, 4}, {3, 4}};
  table_->ExposeCard(1, 3, 4, hidden);
  for (int i = 0; i < 12; ++i) Tick(141);
  mjtablecard nine{2, 1};
  table_->SetRecvCards(1, 1, &nine, 0, 1, 0, 0);
  for (int i = 0; i < 15; ++i) Tick(0);
  EXPECT_EQ(Events(), "Guo");

  // The own turn runs out: TimeOut(0); Ting with pass lit fires Ting then Guo.
  table_->SetTimerOut(1000, 2);
  table_->AddCardToCurrent(0, 2, 7);
  for (int i = 0; i < 5; ++i) Tick(0);  // auto mode since the claim ran out: 5 seconds
  EXPECT_EQ(Events(), "TimeOut(0)");
  table_->LightTing(1);
  table_->LightGuo(1);
  Command(table::kButtonTing);
  EXPECT_EQ(Events(), "Ting Guo");

  // A kong on the opponent's discard, then the win.
  mjtablecard wind{3, 1};
  table_->SetRecvCards(1, 1, &wind, 0, 1, 0, 0);
  table_->LightGang(1);
  Command(table::kButtonGang);
  EXPECT_EQ(Events(), "Gang");
  mjtablecard kong[4] = {{3, 1}, {3, 1}, {3, 1}, {3, 1}};
  // (the hand holds two: the kong shows the group, the display takes what it holds)
  table_->ExposeCard(0, 5, 4, kong);
  for (int i = 0; i < 12; ++i) Tick(140);
  table_->AddCardToCurrent(0, 2, 9);
  table_->LightHu(1);
  Command(table::kButtonHu);
  EXPECT_EQ(Events(), "Hu");
  table_->HuPai(0, -1);
  for (int i = 0; i < 12; ++i) Tick(145);
  Tick(109);
  Tick(110);
  ScoreRow rows[2] = {};
  std::strcpy(rows[0].name, "\xd5\xc5\xc8\xfd");
  rows[0].values[0] = 32;
  std::strcpy(rows[1].name, "\xc0\xee\xcb\xc4");
  rows[1].values[0] = -32;
  table_->SetScoreInfo(2, 0, reinterpret_cast<LONG_PTR>(&rows[0]));
  table_->SetScoreInfo(2, 1, reinterpret_cast<LONG_PTR>(&rows[1]));
  short fans[30] = {901, 1212, 1205};
  table_->SetMyFans(fans);
  table_->ShowScoreInfo(1);
  short flowers = -1;
  table_->GetHuaNum(0, &flowers);
  EXPECT_EQ(flowers, 0);

  // The picture of the hosted table.
  RedrawWindow(host_.hwnd(), nullptr, nullptr,
               RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  sprites::testing::Canvas canvas(1024, 768);
  {
    winkit::WindowDc dc(host_.hwnd());
    BitBlt(canvas.dc(), 0, 0, 1024, 768, dc.Get(), 0, 0, SRCCOPY);
  }
  ASSERT_TRUE(canvas.Save("table_control.bmp"));
  HWND list = GetDlgItem(control_, 201);
  ASSERT_NE(list, nullptr);
  {
    // The score list shows its last fan line whole: drawn into a window 40 pixels taller, no
    // fan text (white, under the two rows) lies below the height the table gives the list.
    RECT rc{};
    GetClientRect(list, &rc);
    const int height = rc.bottom;
    SetWindowPos(list, nullptr, 0, 0, rc.right, height + 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    sprites::testing::Canvas tall(rc.right, height + 40);
    {
      winkit::WindowDc listDc(list);
      BitBlt(tall.dc(), 0, 0, rc.right, height + 40, listDc.Get(), 0, 0, SRCCOPY);
    }
    int lowest = -1;
    for (int y = 104; y < height + 40; ++y)
      for (int x = 0; x < rc.right; ++x) {
        const uint32_t c = tall.At(x, y);
        if ((c >> 16 & 0xFF) > 200 && (c >> 8 & 0xFF) > 200 && (c & 0xFF) > 200) lowest = y;
      }
    EXPECT_GT(lowest, 104 + 3 * 11);  // the fourth line is drawn
    EXPECT_LT(lowest, height) << "the last fan line is cut";
    SetWindowPos(list, nullptr, 0, 0, rc.right, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The start button (and its time-out) asks for the next deal; exit and setup by area.
  table_->StartDeal();
  Tick(103);
  EXPECT_EQ(Events(), "RequestDeal");
  Click(980, 45);
  Click(920, 10);
  Command(table::kButtonAction);
  EXPECT_EQ(Events(), "Exit Setup SelectAction");
}

TEST_F(TableControlTest, ReplayButtonsAndWatchingMode) {
  ASSERT_HRESULT_SUCCEEDED(table_->InitTable(2, 0, 0));
  Click(980, 10);  // watching: clicks do nothing
  Command(table::kButtonNext);  // not a replay
  EXPECT_EQ(Events(), "");
  table_->SetReviewStyle(1);
  table_->ShowControlButtons(1);
  HWND next = GetDlgItem(control_, table::kButtonNext);
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(IsWindowVisible(next));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(control_, table::kButtonSave)));
  Command(table::kButtonNext);
  Command(table::kButtonPause);
  EXPECT_EQ(Events(), "NextNo Pause");
}

TEST_F(TableControlTest, RequestSendArrayIsFreedEvenWhenASinkFails) {
  StartTable();
  first_.fail_ = true;
  // The hand as the client's recovery gives it: shown and playable.
  mjtablecard hand[2] = {{0, 2}, {0, 1}};
  table_->AddCardsToMyHandWithSort_InDeal(2, hand);
  table_->LightSend(1);
  table::testing::TableFixture layout(true);
  layout.Deal({{0, 1}, {0, 2}});
  layout.seat(0).CalcCardLayout(layout.surface.client);
  const table::Rect r = layout.seat(0).AreaRect(table::CMjLocation::kHand);
  Click(r.left + 45, r.top + 40);
  Command(table::kButtonSend);
  EXPECT_EQ(Events(), "RequestSend(1 0:2)");
}

// The property frame of Setup, found and closed from a timer while it runs modal.
HWND g_propertyFrame = nullptr;

VOID CALLBACK ClosePropertyFrame(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        if (!IsWindowVisible(w) || lstrcmpW(name, L"#32770") != 0) return TRUE;
        g_propertyFrame = w;
        // The frame is a property sheet; without a page to answer, its cancel does nothing.
        DestroyWindow(w);
        return FALSE;
      },
      0);
}

TEST_F(TableControlTest, DeclaresTheStockColourPageAndSetupOpensItsFrame) {
  const CLSID kStockColorPage = {0x7EBDAAE1, 0x8120, 0x11CF,
                                 {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
  ComPtr<ISpecifyPropertyPages> specify;
  ASSERT_HRESULT_SUCCEEDED(table_->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()));
  CAUUID pages{};
  ASSERT_HRESULT_SUCCEEDED(specify->GetPages(&pages));
  ASSERT_EQ(pages.cElems, 1u);
  EXPECT_TRUE(IsEqualCLSID(pages.pElems[0], kStockColorPage));
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(specify->GetPages(nullptr), E_POINTER);

  StartTable();
  g_propertyFrame = nullptr;
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, ClosePropertyFrame);
  EXPECT_EQ(table_->Setup(), S_OK);  // returns once the frame is closed
  KillTimer(nullptr, timer);
  EXPECT_NE(g_propertyFrame, nullptr) << "no property frame was shown";
  EXPECT_FALSE(IsWindow(g_propertyFrame));
}

}  // namespace
