// How long the board takes to paint a three-option offer, and to take a new offer (ClearAll,
// three InsertRow, Update on the shown board), with its own tile art, beside the floor of a
// paint: one BitBlt of the board's size into the same DC. Prints microseconds per call (the
// fastest of batches of ten) and the paints' ratios to the floor; run it under Wine from the
// folder Vitrine.dll is built in:
//   wine mj_board_bench.exe [rounds]
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>

#include "vitrine.h"

namespace {

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(f.QuadPart);
}

template <class I>
I* Query(IUnknown* u, REFIID iid) {
  void* p = nullptr;
  return SUCCEEDED(u->QueryInterface(iid, &p)) ? static_cast<I*>(p) : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (FAILED(OleInitialize(nullptr))) return 1;
  // Straight from the library: no registration needed.
  HMODULE dll = LoadLibraryW(L"Vitrine.dll");
  auto get = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  if (!get || FAILED(get(CLSID_MjBoard, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    std::fprintf(stderr, "Vitrine.dll not found or without MjBoard\n");
    return 1;
  }
  IUnknown* board = nullptr;
  factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&board));
  factory->Release();

  HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  const RECT rect = {0, 0, 190, 220};
  IOleObject* ole = Query<IOleObject>(board, IID_IOleObject);
  IMjBoard* mj = Query<IMjBoard>(board, IID_IMjBoard);
  IViewObject* view = Query<IViewObject>(board, IID_IViewObject);
  if (!ole || !mj || !view || FAILED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0,
                                                  parent, &rect)))
    return 1;
  mj->SetBkColor(0xD6D6D6);

  mjcard chowA[3] = {{0, 3}, {0, 4}, {0, 5}}, chowB[3] = {{0, 4}, {0, 5}, {0, 6}},
         kong[4] = {{2, 6}, {2, 6}, {2, 6}, {2, 6}};
  auto offer = [&] {
    mj->ClearAll();
    mj->InsertRow(0, 3, chowA);
    mj->InsertRow(1, 3, chowB);
    mj->InsertRow(2, 4, kong);
    mj->Update();
  };
  offer();

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 190, 220);
  HGDIOBJ old = SelectObject(dc, target);
  const RECTL bounds = {0, 0, 190, 220};

  // Each figure is the fastest of batches of ten calls: on a busy machine the slower batches
  // measure the other processes.
  auto best = [&](auto&& body) {
    double fastest = 1e300;
    for (int done = 0; done < rounds; done += 10) {
      const double t0 = Now();
      for (int i = 0; i < 10; ++i) body();
      GdiFlush();
      const double batch = (Now() - t0) / 10;
      if (batch < fastest) fastest = batch;
    }
    return fastest;
  };
  auto draw = [&] {
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  };

  HDC source = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, 190, 220);
  HGDIOBJ oldSource = SelectObject(source, picture);
  const double floor = best([&] { BitBlt(dc, 0, 0, 190, 220, source, 0, 0, SRCCOPY); });
  SelectObject(source, oldSource);
  DeleteObject(picture);
  DeleteDC(source);

  const double paint = best(draw);
  mj->ClearAll();
  const double empty = best(draw);
  const double fresh = best(offer);

  std::printf("one 190x220 BitBlt (floor):            %8.1f us\n", floor);
  std::printf("board paint, three options:           %8.1f us (%.1fx the floor)\n", paint,
              paint / floor);
  std::printf("board paint, no options:              %8.1f us (%.1fx the floor)\n", empty,
              empty / floor);
  std::printf("new offer (ClearAll, 3 rows, Update): %8.1f us\n", fresh);

  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  view->Release();
  mj->Release();
  ole->Close(OLECLOSE_NOSAVE);
  ole->Release();
  board->Release();
  DestroyWindow(parent);
  OleUninitialize();
  return 0;
}
