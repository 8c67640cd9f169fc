// Speed of a whole repaint of the table frame at 1024 x 768 with the sample style module:
// the frame drawn into its back buffer and copied to the window (figures, no test), beside
// the floor of a repaint: a bare window of the same size erased with its class brush.
// Both windows are on screen before the timing starts (their messages pumped), and a pixel
// read back after the repaints shows that they reached it.
//   cd build/windows/bin && wine frame_repaint_bench.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "table_frame.h"

namespace {

// Until the queue stays empty for a while: the window is shown and painted once.
void Pump() {
  const DWORD until = GetTickCount() + 300;
  MSG m;
  while (GetTickCount() < until) {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(10);
  }
}

// The window's pixel at (x, y) as it is on screen, 0xRRGGBB.
unsigned ScreenPixel(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void ShowPixel(const char* what, HWND hwnd, int x, int y) {
  const unsigned p = ScreenPixel(hwnd, x, y);
  std::printf("  %s pixel at (%d, %d) after the repaints: %06X%s\n", what, x, y, p,
              p == 0 ? " (black: the repaint did not reach the screen)" : "");
}

class BenchFrame : public framework_window::CVyrTableWnd2_Adv3 {
 public:
  void CreateGame() override {}
  void SetPaneLayout(int, int lc) override {
    m_nListHeight = static_cast<int16_t>(lc / 2);
    m_nChatHeight = static_cast<int16_t>(lc - lc / 2);
  }
  void MovePanes() override {}
  void InvalidatePanes() override {}
  void RefreshLayout() override {}
  void OnShop() override {}
  void OnSetup() override {}
  void OnHelp() override {}
  void OnExit() override {}
  framework_window::CMFCShowElement* GetCaptionElements() override { return nullptr; }
  HMODULE ReloadSkin() override { return nullptr; }
  void DrawTable(HMODULE) override {}
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
  HMODULE style = LoadLibraryA("pellamres01.dll");
  if (!style) {
    std::puts("pellamres01.dll not found: run from build/windows/bin");
    return 1;
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KorvelBenchHost";
  RegisterClassW(&wc);
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  // The fastest of batches of ten calls: on a busy machine the slower batches measure the
  // other processes.
  auto time = [&](const char* what, auto&& body) {
    double ms = 1e300;
    for (int done = 0; done < rounds; done += 10) {
      LARGE_INTEGER a, b;
      QueryPerformanceCounter(&a);
      for (int i = 0; i < 10; ++i) body();
      GdiFlush();
      QueryPerformanceCounter(&b);
      const double batch = 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart / 10;
      if (batch < ms) ms = batch;
    }
    std::printf("%-48s %8.3f ms (best of %d rounds)\n", what, ms, rounds);
    return ms;
  };
  auto repaint = [](HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  };

  // The floor: a bare window of the same size, erased with its class brush.
  WNDCLASSW bareClass = wc;
  bareClass.lpszClassName = L"KorvelBenchBare";
  bareClass.hbrBackground = CreateSolidBrush(RGB(0x20, 0x60, 0x30));
  RegisterClassW(&bareClass);
  HWND bare = CreateWindowW(L"KorvelBenchBare", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                            nullptr, nullptr, wc.hInstance, nullptr);
  Pump();
  const double floor = time("bare window 1024x768 erased (floor)", [&] { repaint(bare); });
  ShowPixel("bare window", bare, 512, 384);
  DestroyWindow(bare);

  HWND host = CreateWindowW(L"KorvelBenchHost", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                            nullptr, nullptr, wc.hInstance, nullptr);
  BenchFrame frame;
  frame.CreateChildren(framework_window::kIdTableWindow, host);
  frame.LoadResources(style, 0);
  SetWindowPos(frame.hwnd(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
  frame.LayoutChildren(0, 0, 1024, 768);
  Pump();
  // What the window does on every erase: one copy of the back buffer.
  const double erase =
      time("repaint 1024x768 (erase from the back buffer)", [&] { repaint(frame.hwnd()); });
  std::printf("%-48s %8.1fx\n", "  repaint against the floor", erase / floor);
  ShowPixel("frame", frame.hwnd(), 512, 384);
  // What every layout does: the whole frame drawn into the back buffer.
  time("frame drawn into the back buffer", [&] { frame.RedrawFrame(); });
  frame.Abandon();
  DestroyWindow(host);
  return 0;
}
