// The socket control hosted as the client hosts it, called by dispatch id, against servers and
// proxies this test runs on 127.0.0.1: outcomes of connecting, exact-size receives over any
// segmentation, large sends, each proxy kind with and without credentials, peer close.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "loopback_servers.h"
#include "vyr_sock.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/testing/com_test_support.h"

using winkit::ComPtr;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"VyrSock.dll"}, /*winsock=*/true));

Bytes Pattern(size_t n, uint32_t seed) {
  Bytes out(n);
  uint32_t x = seed * 2654435761u + 1;
  for (uint8_t& b : out) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return out;
}

void Echo(SOCKET s, const loopback::Stop& stop) {
  char buf[65536];
  while (loopback::WaitReadable(s, stop)) {
    int n = recv(s, buf, sizeof buf, 0);
    if (n <= 0 || !loopback::SendAll(s, buf, static_cast<size_t>(n))) return;
  }
}

struct Event {
  DISPID id;
  int32_t value;  // event 1: the result; event 2: the length
  Bytes data;
  bool during_call;
};

class SockTest : public ::testing::Test, public winkit::ControlEventTarget {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(parent_, CLSID_VyrSock,
                                                         IID__IVyrSockEvents, 20481, L"VyrSock",
                                                         RECT{}, this, &host_));
    ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IDispatch, disp_.PutVoid()));
  }
  void TearDown() override {
    if (disp_) Call(2, {});
    disp_.Reset();
    if (host_) host_->Destroy();
    host_.Reset();
    DestroyWindow(parent_);
  }

  void OnControlEvent(UINT child, DISPID id, const winkit::EventArgs& args) override {
    EXPECT_EQ(child, 20481u);
    Event e{id, 0, {}, in_call_};
    if (id == 1) {
      EXPECT_EQ(args.Raw(0)->vt, VT_I2);
      e.value = args.Short(0);
    } else if (id == 2) {
      e.value = args.Int(1);
      auto* p = reinterpret_cast<const uint8_t*>(args.Ptr(0));
      e.data.assign(p, p + e.value);
    }
    events_.push_back(e);
    if (id == 2 && on_receive_) on_receive_(events_.back());
  }

  // Calls dispatch id `id` with the arguments in declaration order.
  VARIANT Call(DISPID id, std::vector<VARIANT> args) {
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VARIANT result;
    VariantInit(&result);
    in_call_ = true;
    HRESULT hr = disp_->Invoke(id, IID_NULL, 0x400, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr);
    in_call_ = false;
    EXPECT_HRESULT_SUCCEEDED(hr) << "dispid " << id;
    for (VARIANT& v : args) VariantClear(&v);
    return result;
  }
  static VARIANT I2(short v) { VARIANT x; VariantInit(&x); x.vt = VT_I2; x.iVal = v; return x; }
  static VARIANT I4(LONG v) { VARIANT x; VariantInit(&x); x.vt = VT_I4; x.lVal = v; return x; }
  static VARIANT Str(const wchar_t* s) {
    VARIANT x; VariantInit(&x); x.vt = VT_BSTR; x.bstrVal = SysAllocString(s); return x;
  }
  static VARIANT Ptr(const void* p) {
    VARIANT x; VariantInit(&x); x.vt = VT_I8; x.llVal = reinterpret_cast<LONGLONG>(p); return x;
  }

  bool Connect(const wchar_t* host, int port) {
    VARIANT r = Call(3, {Str(host), I4(port)});
    return r.vt == VT_BOOL && r.boolVal == VARIANT_TRUE;
  }
  void ConnectProxy(short kind, int port) { Call(7, {I2(kind), Str(L"127.0.0.1"), I4(port)}); }
  void ConnectProxyAuth(short kind, int port, const wchar_t* user, const wchar_t* password) {
    Call(8, {I2(kind), Str(L"127.0.0.1"), I4(port), Str(user), Str(password)});
  }
  short Send(const Bytes& b) {
    VARIANT r = Call(5, {Ptr(b.data()), I2(static_cast<short>(b.size())), I2(0)});
    return r.vt == VT_I2 ? r.iVal : -1;
  }
  void RecvNext(LONG n) { Call(9, {I4(n)}); }
  void SetTimeOut(LONG ms) { Call(10, {I4(ms)}); }
  void Close() { Call(2, {}); }

  // Runs the message loop until `done` holds; false after `limit` (a guard against hangs).
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
    return true;
  }
  void Pump(std::chrono::milliseconds t) { PumpUntil([] { return false; }, t); }

  size_t Count(DISPID id) const {
    size_t n = 0;
    for (const Event& e : events_) n += e.id == id;
    return n;
  }
  // The result of the one event 1 that follows, or -1 when none came.
  int WaitConnect() {
    size_t before = Count(1);
    if (!PumpUntil([&] { return Count(1) > before; })) return -1;
    for (auto it = events_.rbegin(); it != events_.rend(); ++it)
      if (it->id == 1) return it->value;
    return -1;
  }
  // Sends `b` and receives its echo with one RecvNext.
  Bytes RoundTrip(const Bytes& b) {
    size_t before = Count(2);
    EXPECT_EQ(Send(b), 1);
    RecvNext(static_cast<LONG>(b.size()));
    if (!PumpUntil([&] { return Count(2) > before; })) return {};
    return events_.back().data;
  }

  HWND parent_ = nullptr;
  ComPtr<winkit::ControlHost> host_;
  ComPtr<IDispatch> disp_;
  std::vector<Event> events_;
  std::function<void(const Event&)> on_receive_;
  bool in_call_ = false;
};

TEST_F(SockTest, HostedHiddenUnderItsNameAndChildId) {
  HWND w = GetDlgItem(parent_, 20481);
  ASSERT_NE(w, nullptr);
  wchar_t name[32] = {};
  GetWindowTextW(w, name, 32);
  EXPECT_STREQ(name, L"VyrSock");
  EXPECT_FALSE(IsWindowVisible(w));
  ComPtr<IUnknown> iface;
  EXPECT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IVyrSock, iface.PutVoid()));
}

TEST_F(SockTest, FailedConnectsReportZeroOnceAndNeverInsideTheCall) {
  struct Case { const wchar_t* host; int port; bool started; } cases[] = {
      {L"127.0.0.1", loopback::ClosedPort(), true},   // refused
      {L"no-such-host.invalid", 7000, true},           // unresolvable
      {L"127.0.0.1", 0, false},                        // no port
      {L"", 7000, false},                              // no host
  };
  for (const Case& c : cases) {
    events_.clear();
    EXPECT_EQ(Connect(c.host, c.port), c.started) << c.host;
    EXPECT_TRUE(events_.empty()) << "an event during Connect";
    EXPECT_EQ(WaitConnect(), 0);
    Pump(100ms);
    EXPECT_EQ(Count(1), 1u);
    for (const Event& e : events_) EXPECT_FALSE(e.during_call);
  }
  Close();  // harmless with nothing open
  Close();
}

TEST_F(SockTest, StalledConnectReportsZeroAfterTheTimeOut) {
  loopback::Listener stall(loopback::ProxyHandler({loopback::ProxyType::Socks5, "", "", true}));
  SetTimeOut(300);
  ConnectProxy(2, stall.port());
  ASSERT_TRUE(Connect(L"127.0.0.1", 7000));
  EXPECT_EQ(WaitConnect(), 0);
  EXPECT_EQ(stall.accepted(), 1);
}

TEST_F(SockTest, RecvNextDeliversExactSizesOverSplitAndCoalescedSegments) {
  // Requests of 32, 100, 5000, 32, 70000 bytes, each made from inside the previous event as the
  // client does. The header comes one byte per write; the rest in one large write.
  const std::vector<LONG> sizes = {32, 100, 5000, 32, 70000};
  Bytes stream = Pattern(32 + 100 + 5000 + 32 + 70000, 1);
  loopback::Listener peer([&](SOCKET s, const loopback::Stop& stop) {
    BOOL nodelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nodelay), sizeof nodelay);
    for (size_t i = 0; i < 32; ++i) {
      loopback::SendAll(s, &stream[i], 1);
      std::this_thread::sleep_for(2ms);
    }
    loopback::SendAll(s, stream.data() + 32, stream.size() - 32);
    loopback::WaitForClose(s, stop);
  });
  size_t next = 0;
  on_receive_ = [&](const Event&) {
    if (++next < sizes.size()) RecvNext(sizes[next]);
  };
  ASSERT_TRUE(Connect(L"127.0.0.1", peer.port()));
  ASSERT_EQ(WaitConnect(), 1);
  RecvNext(sizes[0]);
  ASSERT_TRUE(PumpUntil([&] { return Count(2) == sizes.size(); }));
  Bytes joined;
  size_t k = 0;
  for (const Event& e : events_) {
    if (e.id != 2) continue;
    EXPECT_FALSE(e.during_call);
    EXPECT_EQ(e.value, sizes[k]);
    EXPECT_EQ(e.data.size(), static_cast<size_t>(sizes[k]));
    joined.insert(joined.end(), e.data.begin(), e.data.end());
    ++k;
  }
  EXPECT_EQ(joined, stream);
}

TEST_F(SockTest, DataArrivingWithNoRequestIsKeptForTheNext) {
  Bytes stream = Pattern(10, 2);
  loopback::Listener peer([&](SOCKET s, const loopback::Stop& stop) {
    loopback::SendAll(s, stream.data(), stream.size());
    loopback::WaitForClose(s, stop);
  });
  ASSERT_TRUE(Connect(L"127.0.0.1", peer.port()));
  ASSERT_EQ(WaitConnect(), 1);
  Pump(200ms);  // the bytes are in before anyone asks
  EXPECT_EQ(Count(2), 0u);
  RecvNext(4);
  EXPECT_EQ(Count(2), 0u) << "delivered inside RecvNext";
  ASSERT_TRUE(PumpUntil([&] { return Count(2) == 1; }));
  RecvNext(6);
  ASSERT_TRUE(PumpUntil([&] { return Count(2) == 2; }));
  Bytes joined = events_[1].data;
  joined.insert(joined.end(), events_[2].data.begin(), events_[2].data.end());
  EXPECT_EQ(joined, stream);
}

TEST_F(SockTest, LargeSendsArriveWholeAndInOrderWhenTheKernelTakesPart) {
  // 300 frames of 32000 bytes while the peer does not read: the kernel takes part, the control
  // queues the rest, and everything arrives in order once the peer reads.
  constexpr size_t kFrames = 300, kFrame = 32000;
  Bytes all = Pattern(kFrames * kFrame, 3);
  std::atomic<bool> go{false};
  Bytes got;
  std::atomic<bool> done{false};
  std::atomic<size_t> received{0};
  loopback::Listener peer([&](SOCKET s, const loopback::Stop& stop) {
    while (!go && !stop) std::this_thread::sleep_for(5ms);
    got.resize(all.size());
    while (received < got.size() && loopback::WaitReadable(s, stop)) {
      int n = recv(s, reinterpret_cast<char*>(got.data()) + received,
                   static_cast<int>(got.size() - received), 0);
      if (n <= 0) break;
      received += static_cast<size_t>(n);
    }
    done = received == got.size();
  });
  ASSERT_TRUE(Connect(L"127.0.0.1", peer.port()));
  ASSERT_EQ(WaitConnect(), 1);
  for (size_t i = 0; i < kFrames; ++i) {
    Bytes frame(all.begin() + i * kFrame, all.begin() + (i + 1) * kFrame);
    ASSERT_EQ(Send(frame), 1);  // the frame may be released right after the call
  }
  go = true;
  ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 30s)) << received << " of " << all.size();
  EXPECT_TRUE(got == all);
}

struct ProxyCase {
  const char* name;
  loopback::ProxyOptions proxy;
  short kind;
  bool with_auth;  // ConnectProxyAuth instead of ConnectProxy
  const wchar_t* user;
  const wchar_t* password;
  const wchar_t* target;
  bool target_open;
  int expect;
};

TEST_F(SockTest, EachProxyKindReachesThePeerOrReportsZero) {
  using loopback::ProxyType;
  loopback::Listener echo(Echo);
  const ProxyCase cases[] = {
      {"socks4", {ProxyType::Socks4, "", ""}, 1, false, L"", L"", L"127.0.0.1", true, 1},
      {"socks4a name", {ProxyType::Socks4, "", ""}, 1, false, L"", L"", L"localhost", true, 1},
      {"socks4 target closed", {ProxyType::Socks4, "", ""}, 1, false, L"", L"", L"127.0.0.1", false, 0},
      {"socks5", {ProxyType::Socks5, "", ""}, 2, true, L"", L"", L"localhost", true, 1},
      {"socks5 target closed", {ProxyType::Socks5, "", ""}, 2, true, L"", L"", L"127.0.0.1", false, 0},
      {"socks5 user", {ProxyType::Socks5Auth, "player", "pa55"}, 3, true, L"player", L"pa55",
       L"127.0.0.1", true, 1},
      {"socks5 wrong password", {ProxyType::Socks5Auth, "player", "pa55"}, 3, true, L"player",
       L"nope", L"127.0.0.1", true, 0},
      {"socks5 without credentials", {ProxyType::Socks5Auth, "player", "pa55"}, 2, true, L"", L"",
       L"127.0.0.1", true, 0},
      {"http", {ProxyType::Http, "", ""}, 4, false, L"", L"", L"127.0.0.1", true, 1},
      {"http basic", {ProxyType::HttpAuth, "player", "pa55"}, 4, true, L"player", L"pa55",
       L"localhost", true, 1},
      {"http wrong password", {ProxyType::HttpAuth, "player", "pa55"}, 4, true, L"player",
       L"nope", L"127.0.0.1", true, 0},
      {"http without credentials", {ProxyType::HttpAuth, "player", "pa55"}, 4, false, L"", L"",
       L"127.0.0.1", true, 0},
  };
  const uint16_t closed = loopback::ClosedPort();
  for (const ProxyCase& c : cases) {
    SCOPED_TRACE(c.name);
    loopback::Listener proxy(loopback::ProxyHandler(c.proxy));
    Close();
    if (c.with_auth) {
      ConnectProxyAuth(c.kind, proxy.port(), c.user, c.password);
    } else {
      ConnectProxy(c.kind, proxy.port());
    }
    ASSERT_TRUE(Connect(c.target, c.target_open ? echo.port() : closed));
    ASSERT_EQ(WaitConnect(), c.expect);
    EXPECT_EQ(proxy.accepted(), 1);
    if (c.expect == 1) {
      Bytes msg = Pattern(64, 4);
      EXPECT_EQ(RoundTrip(msg), msg);
    }
  }
  // The proxy served one Connect only: the next goes straight to the peer.
  Close();
  ASSERT_TRUE(Connect(L"127.0.0.1", echo.port()));
  ASSERT_EQ(WaitConnect(), 1);
  Bytes msg = Pattern(49, 5);
  EXPECT_EQ(RoundTrip(msg), msg);
}

// The distribution's own proxies (dante and tinyproxy), started on loopback by the test fixture
// (real_proxies.sh); KORVEL_REAL_PROXIES names the file with their ports and the account.
std::map<std::string, std::string> ReadProxiesEnv(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

TEST_F(SockTest, RealProxiesReachThePeerOrReportZero) {
  const char* env = std::getenv("KORVEL_REAL_PROXIES");
  if (!env) GTEST_SKIP() << "KORVEL_REAL_PROXIES is not set (ctest starts the proxies)";
  std::map<std::string, std::string> p = ReadProxiesEnv(env);
  ASSERT_EQ(p.count("socks") + p.count("socks_auth") + p.count("http") + p.count("http_auth"), 4u)
      << "no proxies file at " << env;
  const std::wstring user = Wide(p["user"]), pass = Wide(p["pass"]);
  loopback::Listener echo(Echo);
  struct Case {
    const char* name;
    short kind;
    int port;
    bool with_auth;
    std::wstring user, password;
    int expect;
  } cases[] = {
      {"dante socks4", 1, std::stoi(p["socks"]), false, L"", L"", 1},
      {"dante socks5", 2, std::stoi(p["socks"]), false, L"", L"", 1},
      {"dante socks5 user", 3, std::stoi(p["socks_auth"]), true, user, pass, 1},
      {"dante socks5 wrong password", 3, std::stoi(p["socks_auth"]), true, user, L"wrong", 0},
      {"tinyproxy http", 4, std::stoi(p["http"]), false, L"", L"", 1},
      {"tinyproxy http basic", 4, std::stoi(p["http_auth"]), true, user, pass, 1},
      {"tinyproxy http wrong password", 4, std::stoi(p["http_auth"]), true, user, L"wrong", 0},
      {"tinyproxy http without credentials", 4, std::stoi(p["http_auth"]), false, L"", L"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Close();
    if (c.with_auth) {
      ConnectProxyAuth(c.kind, c.port, c.user.c_str(), c.password.c_str());
    } else {
      ConnectProxy(c.kind, c.port);
    }
    ASSERT_TRUE(Connect(L"127.0.0.1", echo.port()));
    ASSERT_EQ(WaitConnect(), c.expect);
    if (c.expect == 1) {
      Bytes msg = Pattern(64, 8);
      EXPECT_EQ(RoundTrip(msg), msg);
    }
  }
}

TEST_F(SockTest, PeerCloseIsSilentAndTheNextConnectWorks) {
  loopback::Listener quitter([](SOCKET s, const loopback::Stop&) { loopback::SendAll(s, "abc", 3); });
  loopback::Listener echo(Echo);
  ASSERT_TRUE(Connect(L"127.0.0.1", quitter.port()));
  ASSERT_EQ(WaitConnect(), 1);
  RecvNext(10);  // more than will ever come
  Pump(300ms);
  EXPECT_EQ(Count(2), 0u);
  EXPECT_EQ(Count(1), 1u);
  EXPECT_EQ(Send(Pattern(49, 6)), 0);  // nothing to send on
  RecvNext(3);  // what came before the close is still there
  ASSERT_TRUE(PumpUntil([&] { return Count(2) == 1; }));
  EXPECT_EQ(events_.back().data, (Bytes{'a', 'b', 'c'}));

  Close();
  ASSERT_TRUE(Connect(L"127.0.0.1", echo.port()));
  ASSERT_EQ(WaitConnect(), 1);
  Bytes msg = Pattern(64, 7);
  EXPECT_EQ(RoundTrip(msg), msg);
  // A request pending at Close gets no event, not even once the data would have arrived.
  EXPECT_EQ(Send(msg), 1);
  RecvNext(64);
  Close();
  Pump(200ms);
  EXPECT_EQ(Count(2), 2u);
}

}  // namespace
