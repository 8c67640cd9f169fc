// Speed of the socket control on loopback, hosted and called as the client does: round trips
// of 64-byte messages (Send, then RecvNext of the echo, the next Send from inside the event),
// a 10 MB stream taken as 1000-byte RecvNext requests, and the CPU an idle connection uses.
// Prints figures; asserts nothing about time. "quick" as the first argument runs a short pass.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "loopback_servers.h"
#include "vyr_sock.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"

namespace {

using Clock = std::chrono::steady_clock;

class Bench : public winkit::ControlEventTarget {
 public:
  std::function<void(DISPID, const winkit::EventArgs&)> on_event;
  void OnControlEvent(UINT, DISPID id, const winkit::EventArgs& args) override {
    if (on_event) on_event(id, args);
  }
};

IDispatch* g_sock = nullptr;

void Invoke(DISPID id, std::vector<VARIANT> args) {
  std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
  DISPPARAMS p = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  VARIANT r;
  VariantInit(&r);
  g_sock->Invoke(id, IID_NULL, 0x400, DISPATCH_METHOD, &p, &r, nullptr, nullptr);
  VariantClear(&r);
  for (VARIANT& v : args) VariantClear(&v);
}
VARIANT V(VARTYPE vt, LONGLONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  if (vt == VT_I2) v.iVal = static_cast<SHORT>(value);
  else if (vt == VT_I4) v.lVal = static_cast<LONG>(value);
  else v.llVal = value;
  return v;
}
VARIANT Text(const wchar_t* s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(s);
  return v;
}
void Connect(uint16_t port) { Invoke(3, {Text(L"127.0.0.1"), V(VT_I4, port)}); }
void Send(const void* p, size_t n) { Invoke(5, {V(VT_I8, reinterpret_cast<LONGLONG>(p)), V(VT_I2, static_cast<LONGLONG>(n)), V(VT_I2, 0)}); }
void RecvNext(LONG n) { Invoke(9, {V(VT_I4, n)}); }
void Close() { Invoke(2, {}); }

// Blocks in GetMessage (no polling) until `done`.
void RunUntil(const bool& done) {
  MSG m;
  while (!done && GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
}

double CpuSeconds() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  auto secs = [](FILETIME f) {
    return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e7;
  };
  return secs(k) + secs(u);
}

}  // namespace

int main(int argc, char** argv) {
  bool quick = argc > 1 && std::strcmp(argv[1], "quick") == 0;
  OleInitialize(nullptr);
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  HMODULE dll = LoadLibraryW(L"VyrSock.dll");
  auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
  if (!reg || FAILED(reg())) {
    std::fprintf(stderr, "VyrSock.dll did not register\n");
    return 1;
  }
  HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Bench sink;
  winkit::ComPtr<winkit::ControlHost> host;
  if (FAILED(winkit::ControlHost::Create(parent, CLSID_VyrSock, IID__IVyrSockEvents, 20481,
                                         L"VyrSock", RECT{}, &sink, &host)))
    return 1;
  winkit::ComPtr<IDispatch> disp;
  host->QueryControl(IID_IDispatch, disp.PutVoid());
  g_sock = disp.Get();

  // Round trips.
  loopback::Listener echo([](SOCKET s, const loopback::Stop& stop) {
    BOOL nodelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nodelay), sizeof nodelay);
    char buf[4096];
    (void)stop;  // the control closes before the listener goes: a plain blocking recv ends
    for (;;) {
      int n = recv(s, buf, sizeof buf, 0);
      if (n <= 0 || !loopback::SendAll(s, buf, static_cast<size_t>(n))) return;
    }
  });
  const int trips = quick ? 200 : 20000;
  std::vector<uint8_t> msg(64, 0x5A);
  int left = trips;
  bool done = false;
  Clock::time_point start;
  sink.on_event = [&](DISPID id, const winkit::EventArgs& args) {
    if (id == 1) {
      if (args.Short(0) != 1) { done = true; return; }
      start = Clock::now();
    } else if (--left == 0) {
      done = true;
      return;
    }
    Send(msg.data(), msg.size());
    RecvNext(64);
  };
  Connect(echo.port());
  RunUntil(done);
  double secs = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("round trips of 64 bytes: %d in %.3f s = %.0f per second\n", trips - left, secs,
              (trips - left) / secs);

  // The floor under Wine: the same round trips with a plain blocking socket, no control.
  {
    SOCKET c = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL nodelay = TRUE;
    setsockopt(c, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nodelay), sizeof nodelay);
    sockaddr_in sa = {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(echo.port());
    if (connect(c, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) {
      auto t0 = Clock::now();
      int n = 0;
      for (; n < trips; ++n) {
        if (!loopback::SendAll(c, msg.data(), msg.size()) ||
            !loopback::RecvAll(c, msg.data(), msg.size()))
          break;
      }
      double s2 = std::chrono::duration<double>(Clock::now() - t0).count();
      std::printf("same with a blocking socket, no control: %.0f per second\n", n / s2);
    }
    closesocket(c);
  }

  // Idle connection: what the process uses while nothing travels for a second.
  double cpu0 = CpuSeconds();
  DWORD until = GetTickCount() + (quick ? 200 : 1000);
  while (GetTickCount() < until) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, until - GetTickCount(), QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  std::printf("idle connection: %.1f ms CPU in %s (test servers included)\n",
              (CpuSeconds() - cpu0) * 1000, quick ? "0.2 s" : "1 s");
  Close();

  // Stream.
  const size_t total = quick ? 1000 * 1000 : 10 * 1000 * 1000;
  loopback::Listener stream([&](SOCKET s, const loopback::Stop& stop) {
    std::vector<char> block(64 * 1024, 'x');
    size_t sent = 0;
    while (sent < total && !stop) {
      size_t n = std::min(block.size(), total - sent);
      if (!loopback::SendAll(s, block.data(), n)) return;
      sent += n;
    }
    loopback::WaitForClose(s, stop);
  });
  size_t received = 0;
  done = false;
  sink.on_event = [&](DISPID id, const winkit::EventArgs& args) {
    if (id == 1) {
      if (args.Short(0) != 1) { done = true; return; }
      start = Clock::now();
    } else {
      received += static_cast<size_t>(args.Int(1));
      if (received >= total) { done = true; return; }
    }
    RecvNext(1000);
  };
  Connect(stream.port());
  RunUntil(done);
  secs = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("stream in 1000-byte requests: %zu bytes in %.3f s = %.1f MB/s\n", received, secs,
              received / secs / 1e6);
  Close();
  sink.on_event = nullptr;
  host->Destroy();
  DestroyWindow(parent);
  return received >= total && left == 0 ? 0 : 1;
}
