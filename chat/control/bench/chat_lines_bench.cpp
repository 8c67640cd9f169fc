// Speed of IGChat::AddText with the 66-line trimming, the control hosted as the client hosts
// it (figures, no test): wine chat_lines_bench.exe [lines]
// Run from the folder of Parley.dll (build/windows/bin); it registers and unregisters it.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "parley.h"
#include "records/chat_text_format.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 1000;
  OleInitialize(nullptr);
  HMODULE dll = LoadLibraryW(L"Parley.dll");
  auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
  if (!reg || FAILED(reg())) {
    std::printf("cannot register Parley.dll\n");
    return 1;
  }
  HWND parent = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                460, 340, nullptr, nullptr, nullptr, nullptr);
  winkit::ComPtr<winkit::ControlHost> host;
  winkit::ControlHost::Create(parent, CLSID_GChat, IID_NULL, 32784, L"Parley.GChat",
                              RECT{0, 0, 440, 300}, nullptr, &host);
  winkit::ComPtr<IGChat> chat;
  host->QueryControl(IID_IGChat, chat.PutVoid());
  ChatTextFormat f;
  char text[64];
  auto ms_since = [](std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
  };
  // The pane is drawn, trimmed and scrolled when the thread next handles its messages.
  auto pump = [] {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  };
  pump();
  // A run of lines in one go (a burst from the server), then the messages that draw it.
  double slowest = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < lines; ++i) {
    std::snprintf(text, sizeof text, "P%d\xcb\xb5\xa3\xbaline %d", i % 7, i);
    const auto t0 = std::chrono::steady_clock::now();
    chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(text));
    slowest = std::max(slowest, ms_since(t0));
  }
  const double added = ms_since(start);
  pump();
  const double total = ms_since(start);
  std::printf("%d lines in one go: %.1f ms in all (%.1f ms adding, %.1f ms drawing), "
              "%.3f ms a line, %.2f ms the slowest call\n",
              lines, total, added, total - added, total / lines, slowest);
  // Lines one at a time, each drawn before the next comes (the pane full, trimmed each time).
  const int single = 200;
  double sum = 0, worst = 0, calls = 0, worst_call = 0;
  for (int i = 0; i < single; ++i) {
    std::snprintf(text, sizeof text, "P%d\xcb\xb5\xa3\xbaone %d", i % 7, i);
    const auto t0 = std::chrono::steady_clock::now();
    chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(text));
    const double call = ms_since(t0);
    pump();
    const double ms = ms_since(t0);
    calls += call;
    worst_call = std::max(worst_call, call);
    sum += ms;
    worst = std::max(worst, ms);
  }
  std::printf("%d lines one at a time: the call %.3f ms (slowest %.2f), with trimming, scrolling "
              "and drawing %.3f ms a line (slowest %.2f)\n",
              single, calls / single, worst_call, sum / single, worst);
  chat.Reset();
  host->Destroy();
  host.Reset();
  auto unreg = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
  if (unreg) unreg();
  OleUninitialize();
  std::_Exit(0);  // leave the frame to the system (no 2 s wait for the X server)
}
