// Speed of the hosted Table control under Wine: a click on a hand tile and the discard to the
// event at a sink, and a short scripted hand through the control (no timer waits: the test
// ticks the timers itself).   wine table_control_bench.exe [rounds]
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "korvel_table.h"
#include "records/score_row.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/window.h"

using winkit::ComPtr;

namespace {

class Sink : public IDispatch {
 public:
  int heard = 0;
  std::chrono::steady_clock::time_point at;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__ITableEvents) {
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    ++heard;
    at = std::chrono::steady_clock::now();
    return S_OK;
  }
};

class Host : public winkit::Window {};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  OleInitialize(nullptr);
  using DllRegister = HRESULT(__stdcall*)();
  HMODULE dll = LoadLibraryW(L"KorvelTable.dll");
  if (!dll) return 1;
  reinterpret_cast<DllRegister>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")))();
  {
    Host host;
    host.Create(L"KorvelTableBenchHost", L"bench", WS_POPUP | WS_CLIPCHILDREN, 0,
                {0, 0, 1024, 768}, nullptr, nullptr);
    ShowWindow(host.hwnd(), SW_SHOWNA);
    ComPtr<winkit::ControlHost> site;
    if (FAILED(winkit::ControlHost::Create(host.hwnd(), CLSID_Table, IID_NULL, 32770,
                                           L"KorvelTable.Table", RECT{0, 0, 1024, 768}, nullptr,
                                           &site)))
      return 2;
    ComPtr<ITable> table;
    site->QueryControl(IID_ITable, table.PutVoid());
    ComPtr<IConnectionPointContainer> container;
    table->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
    ComPtr<IConnectionPoint> point;
    container->FindConnectionPoint(IID__ITableEvents, point.Put());
    Sink sink;
    DWORD cookie = 0;
    point->Advise(&sink, &cookie);
    HWND control = site->ControlWindow();

    auto scripted_hand = [&] {
      table->InitTable(2, 1, 0);
      table->InitPoke(0, 0, 0, 0, 0x8000);
      table->ResetSound(0);
      table->SetBanker(0, 0);
      table->InitWall(64);
      table->SetDice(0, 3, 4);
      mjtablecard hand[13] = {{0, 1}, {0, 2}, {0, 3}, {1, 5}, {1, 5}, {1, 5}, {2, 7},
                              {2, 8}, {2, 9}, {3, 1}, {3, 1}, {4, 2}, {4, 3}};
      table->AddCardsToMyHandWithSort(13, hand);
      table->SetDealNum(1, 13);
      for (int turn = 0; turn < 8; ++turn) {
        table->AddCardToCurrent(0, 0, 9);
        table->LightSend(1);
        mjtablecard drawn{0, 9};
        table->SetRecvCards(0, 1, &drawn, 0, 1, 0, 0);
        table->AddCardToCurrent(1, 0, 0);
        mjtablecard other{3, 2};
        table->SetRecvCards(1, 1, &other, 0, 1, 0, 0);
      }
      mjtablecard pung[3] = {{1, 5}, {1, 5}, {1, 5}};
      table->ExposeCard(0, 1, 3, pung);
      for (int i = 0; i < 11; ++i) SendMessageW(control, WM_TIMER, 135, 0);
      table->HuPai(0, 1);
      ScoreRow rows[2] = {};
      table->SetScoreInfo(2, 0, reinterpret_cast<LONG_PTR>(&rows[0]));
      table->SetScoreInfo(2, 1, reinterpret_cast<LONG_PTR>(&rows[1]));
      short fans[30] = {901, 1212};
      table->SetMyFans(fans);
      table->ShowScoreInfo(1);
      table->ShowScoreInfo(0);
    };
    scripted_hand();
    const auto h0 = std::chrono::steady_clock::now();
    const int hands = 5;
    for (int i = 0; i < hands; ++i) scripted_hand();
    const auto h1 = std::chrono::steady_clock::now();

    // Click a hand tile, discard with the right button: the event at the sink.
    double worst = 0, total = 0;
    // A fresh table with a hand of 13: the hand spans x 233..753, y 666..746.
    table->InitTable(2, 1, 0);
    table->InitPoke(0, 0, 0, 0, 0x8000);
    mjtablecard hand[13] = {{0, 1}, {0, 2}, {0, 3}, {1, 5}, {1, 5}, {1, 5}, {2, 7},
                            {2, 8}, {2, 9}, {3, 1}, {3, 1}, {4, 2}, {4, 3}};
    for (int i = 0; i < rounds; ++i) {
      table->DeleteAllFromSend(0);
      table->AddCardsToMyHandWithSort(13, hand);
      table->LightSend(1);
      const int before = sink.heard;
      const auto c0 = std::chrono::steady_clock::now();
      SendMessageW(control, WM_LBUTTONDOWN, 0, MAKELPARAM(253, 700));
      SendMessageW(control, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
      const double ms = Ms(sink.at - c0);
      if (sink.heard == before) {
        std::printf("no event heard in round %d\n", i);
        break;
      }
      total += ms;
      if (ms > worst) worst = ms;
    }
    std::printf("scripted hand through the control: %.1f ms\n", Ms(h1 - h0) / hands);
    std::printf("click on a hand tile to the event at the sink: %.3f ms (worst %.3f ms)\n",
                total / rounds, worst);
    point->Unadvise(cookie);
    table = nullptr;
    site->Destroy();
    host.Abandon();
  }
  reinterpret_cast<DllRegister>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")))();
  OleUninitialize();
  return 0;
}
