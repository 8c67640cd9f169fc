// Speed of IGChat::AddText with the 66-line trimming, the control hosted as the client hosts
// it, against a bare RichEdit 2.0 pane of the same size given the same lines with a colour
// each, drawing off while it is written (figures, no test): wine chat_lines_bench.exe [lines]
// Run from the folder of Parley.dll (build/windows/bin); it registers and unregisters it.
//
// Each figure is the best of a few rounds, the control and the bare pane taking turns, so that
// a busy machine slows both alike. "In one go" is a burst of lines written before the thread
// handles its messages, then drawn; "one call" is a line written and drawn before the next.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "parley.h"
#include "records/chat_text_format.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Every message of the thread handled, the panes drawn.
void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

// A speaker's line as the host gives it (GBK): "P3说：line 12".
void LineText(char (&text)[64], const char* word, int i) {
  std::snprintf(text, sizeof text, "P%d\xcb\xb5\xa3\xba%s %d", i % 7, word, i);
}

constexpr COLORREF kColours[7] = {0x000000, 0x800000, 0x008000, 0x000080,
                                  0x808000, 0x800080, 0x008080};

// The floor: a RichEdit 2.0 pane with nothing between it and the caller, in the font of the
// control's panes. A line goes in at the end, as the control's lines do ("\r" first), and
// takes its colour.
class BarePane {
 public:
  BarePane(RECT frame, RECT pane) {
    window_ = CreateWindowExW(0, L"STATIC", L"bare pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              frame.left, frame.top, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
    pane_ = CreateWindowExW(0, L"RichEdit20W", L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | ES_MULTILINE |
                                ES_WANTRETURN | ES_AUTOVSCROLL | ES_READONLY,
                            pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                            window_, nullptr, nullptr, nullptr);
    SendMessageW(pane_, EM_AUTOURLDETECT, FALSE, 0);
    SendMessageW(pane_, EM_EXLIMITTEXT, 0, 16 * 1024 * 1024);
  }
  // The lines in the font of the control's: its pane's default format.
  void TakeFormat(HWND from) {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(from, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(pane_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(pane_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
  }
  ~BarePane() { DestroyWindow(window_); }
  bool ok() const { return pane_ != nullptr; }

  void Clear() { SetWindowTextW(pane_, L""); }
  void Begin() { SendMessageW(pane_, WM_SETREDRAW, FALSE, 0); }
  void Add(const char* gbk, int i) {
    wchar_t wide[80] = L"\r";
    MultiByteToWideChar(936, 0, gbk, -1, wide + 1, 79);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = kColours[i % 7];
    CHARRANGE end{-1, -1};
    const LONG start = static_cast<LONG>(SendMessageW(pane_, EM_EXSETSEL, 0,
                                                      reinterpret_cast<LPARAM>(&end)));
    SendMessageW(pane_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide));
    SendMessageW(pane_, EM_SETSEL, start, -1);
    SendMessageW(pane_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessageW(pane_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  }
  void End() {
    SendMessageW(pane_, WM_SETREDRAW, TRUE, 0);
    SendMessageW(pane_, WM_VSCROLL, SB_BOTTOM, 0);
    InvalidateRect(pane_, nullptr, TRUE);
  }

 private:
  HWND window_ = nullptr;
  HWND pane_ = nullptr;
};

struct Figures {
  double burst = 1e30;   // ms a line, lines in one go, drawn at the end
  double single = 1e30;  // ms a line, each line written and drawn alone
};

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  const int single = 200;
  const int rounds = 5;
  OleInitialize(nullptr);
  HMODULE dll = LoadLibraryW(L"Parley.dll");
  auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
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
  if (!chat) {
    std::printf("cannot host the chat control\n");
    return 1;
  }
  Pump();
  // The bare pane where the control's public pane is, in a frame of the same size beside it.
  HWND output = GetDlgItem(host->ControlWindow(), 2001);  // the public pane
  RECT pane{0, 0, 440, 200};
  if (output) {
    GetWindowRect(output, &pane);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&pane), 2);
  }
  BarePane bare(RECT{480, 0, 940, 340}, pane);
  if (!bare.ok()) {
    std::printf("no RichEdit 2.0 here\n");
    return 1;
  }
  if (output) bare.TakeFormat(output);
  Pump();

  ChatTextFormat f;
  char text[64];
  Figures control, floor;
  double slowest_call = 0;
  for (int round = 0; round < rounds; ++round) {
    // Lines in one go (a burst from the server), then the messages that draw them.
    chat->Clear();
    Pump();
    auto t = Clock::now();
    for (int i = 0; i < lines; ++i) {
      LineText(text, "line", i);
      const auto t0 = Clock::now();
      chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(text));
      slowest_call = std::max(slowest_call, MsSince(t0));
    }
    Pump();
    control.burst = std::min(control.burst, MsSince(t) / lines);

    bare.Clear();
    Pump();
    t = Clock::now();
    bare.Begin();
    for (int i = 0; i < lines; ++i) {
      LineText(text, "line", i);
      bare.Add(text, i);
    }
    bare.End();
    Pump();
    floor.burst = std::min(floor.burst, MsSince(t) / lines);

    // Lines one at a time, each drawn before the next comes (the control's pane full and
    // trimmed each time).
    t = Clock::now();
    for (int i = 0; i < single; ++i) {
      LineText(text, "one", i);
      chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(text));
      Pump();
    }
    control.single = std::min(control.single, MsSince(t) / single);

    // The bare pane starts from as many lines as the control keeps.
    bare.Clear();
    bare.Begin();
    for (int i = 0; i < 66; ++i) {
      LineText(text, "line", i);
      bare.Add(text, i);
    }
    bare.End();
    Pump();
    t = Clock::now();
    for (int i = 0; i < single; ++i) {
      LineText(text, "one", i);
      bare.Begin();
      bare.Add(text, i);
      bare.End();
      Pump();
    }
    floor.single = std::min(floor.single, MsSince(t) / single);
  }
  std::printf("best of %d rounds, ms a line, written and drawn:\n", rounds);
  std::printf("  %d lines in one go:  control %.3f  bare pane %.3f  ratio %.2fx"
              "  (slowest single call %.2f ms)\n",
              lines, control.burst, floor.burst, control.burst / floor.burst, slowest_call);
  std::printf("  one AddText call:    control %.3f  bare pane %.3f  ratio %.2fx\n",
              control.single, floor.single, control.single / floor.single);
  chat.Reset();
  host->Destroy();
  host.Reset();
  auto unreg = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
  if (unreg) unreg();
  OleUninitialize();
  std::_Exit(0);  // leave the frames to the system (no 2 s wait for the X server)
}
