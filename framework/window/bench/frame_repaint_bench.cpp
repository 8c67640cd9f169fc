// Speed of a whole repaint of the table frame at 1024 x 768 with the sample style module:
// the frame drawn into its back buffer and copied to the window (figures, no test).
//   cd build/windows/bin && wine frame_repaint_bench.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "table_frame.h"

namespace {

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
  HWND host = CreateWindowW(L"KorvelBenchHost", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                            nullptr, nullptr, wc.hInstance, nullptr);
  BenchFrame frame;
  frame.CreateChildren(framework_window::kIdTableWindow, host);
  frame.LoadResources(style, 0);
  SetWindowPos(frame.hwnd(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
  frame.LayoutChildren(0, 0, 1024, 768);
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  auto time = [&](const char* what, auto&& body) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < rounds; ++i) body();
    GdiFlush();
    QueryPerformanceCounter(&b);
    const double ms = 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart / rounds;
    std::printf("%-44s %8.3f ms (%d rounds)\n", what, ms, rounds);
  };
  // What the window does on every erase: one copy of the back buffer.
  time("repaint 1024x768 (erase from the back buffer)", [&] {
    RedrawWindow(frame.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  });
  // What every layout does: the whole frame drawn into the back buffer.
  time("frame drawn into the back buffer", [&] { frame.RedrawFrame(); });
  frame.Abandon();
  return 0;
}
