// Speed of IGChat::AddText with the 66-line trimming, the control hosted as the client hosts
// it (figures, no test): wine chat_lines_bench.exe [lines]
// Run from the folder of Parley.dll (build/windows/bin); it registers and unregisters it.
#include <windows.h>

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
  auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(dll, "DllRegisterServer"));
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
  double slowest = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < lines; ++i) {
    std::snprintf(text, sizeof text, "P%d\xcb\xb5\xa3\xbaline %d", i % 7, i);
    const auto t0 = std::chrono::steady_clock::now();
    chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(text));
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (ms > slowest) slowest = ms;
  }
  const double total =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d lines: %.1f ms in all, %.2f ms a line on average, %.2f ms the slowest\n", lines,
              total, total / lines, slowest);
  chat.Reset();
  host->Destroy();
  host.Reset();
  auto unreg = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(dll, "DllUnregisterServer"));
  if (unreg) unreg();
  OleUninitialize();
  std::_Exit(0);  // leave the frame to the system (no 2 s wait for the X server)
}
