// The socket control: non-blocking WinSock TCP driven by window messages, so every event is
// raised from this control's own message window on the thread that created it, and never
// inside a call the client is making (outcomes known during a call are posted to the window).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "socket_protocol.h"
#include "vyr_sock.h"
#include "winkit/com_ptr.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/inproc_server.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

namespace {

// The notification window's own messages, one range from kSocketMsg to kFailMsg.
constexpr UINT kSocketMsg = WM_APP + 1;    // WSAAsyncSelect notifications
constexpr UINT kResolvedMsg = WM_APP + 2;  // WSAAsyncGetHostByName completion
constexpr UINT kDeliverMsg = WM_APP + 3;   // a receive request may be satisfied
constexpr UINT kFailMsg = WM_APP + 4;      // a connect attempt failed during a call
constexpr UINT_PTR kTimeoutTimer = 1;
// While bytes wait for the kernel, a slow timer retries besides FD_WRITE: Wine does not always
// signal FD_WRITE again after a partial send.
constexpr UINT_PTR kFlushTimer = 2;
constexpr UINT kFlushRetryMs = 10;
constexpr size_t kSendPiece = 64 * 1024;
constexpr size_t kSmallestPiece = 1024;
constexpr DISPID kOnConnect = DISPID_VYRSOCK_ONCONNECT;  // the event ids from the IDL
constexpr DISPID kOnReceive = DISPID_VYRSOCK_ONRECEIVE;
constexpr DWORD kDefaultTimeoutMs = 60000;
// Reading pauses while this much is buffered beyond what the pending request needs.
constexpr size_t kReadAhead = 4 * 1024 * 1024;

std::string Narrow(BSTR s) {
  if (!s) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, s, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, s, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

class CVyrSock : public winkit::DispatchImpl<IVyrSock, &IID_IVyrSock>,
                 public winkit::ControlBase {
 public:
  CVyrSock() : ControlBase(CLSID_VyrSock, IID__IVyrSockEvents, L"VyrSockControl"), notify_(this) {
    WSADATA data;
    wsa_ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    notify_.Create(L"VyrSockNotify", L"", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
  }
  ~CVyrSock() override {
    Reset();
    notify_.Destroy();
    if (wsa_ok_) WSACleanup();
  }

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IVyrSock)
      return static_cast<IVyrSock*>(this);
    return ControlBase::CastTo(iid);
  }

  // IVyrSock
  STDMETHODIMP Close() override {
    Reset();
    return S_OK;
  }

  STDMETHODIMP Connect(BSTR host, LONG port, VARIANT_BOOL* result) override {
    Reset();
    proxy_handshake_ = false;
    vyrsock::ProxySettings proxy = std::move(proxy_);
    proxy_ = {};
    target_host_ = Narrow(host);
    target_port_ = static_cast<uint16_t>(port);
    bool ok = wsa_ok_ && notify_.hwnd() && !target_host_.empty() && port > 0 && port <= 65535;
    if (ok && proxy.kind != vyrsock::ProxyKind::None) {
      ok = !proxy.host.empty() && proxy.port != 0;
      handshake_.emplace(proxy, target_host_, target_port_);
      proxy_handshake_ = true;
      ok = ok && handshake_->state() != vyrsock::ProxyHandshake::State::Failed;
    }
    if (result) *result = ok ? VARIANT_TRUE : VARIANT_FALSE;
    if (!ok) {
      PostFailure();
      return S_OK;
    }
    state_ = State::Resolving;
    SetTimer(notify_.hwnd(), kTimeoutTimer, timeout_ms_, nullptr);
    const std::string& dial = proxy_handshake_ ? proxy.host : target_host_;
    dial_port_ = proxy_handshake_ ? proxy.port : target_port_;
    uint8_t ip[4];
    if (vyrsock::ParseIPv4(dial, ip)) {
      in_addr addr;
      memcpy(&addr, ip, 4);
      StartTcp(addr);
    } else {
      resolve_ = WSAAsyncGetHostByName(notify_.hwnd(), kResolvedMsg, dial.c_str(), host_buf_,
                                       sizeof host_buf_);
      if (!resolve_) PostFailure();
    }
    return S_OK;
  }

  STDMETHODIMP Send(LONG_PTR address, short length, short, short* result) override {
    size_t n = static_cast<uint16_t>(length);
    bool ok = state_ == State::Connected && address != 0 && n > 0;
    if (ok) {
      out_.Push(reinterpret_cast<const uint8_t*>(address), n);
      Flush();
    }
    if (result) *result = ok ? 1 : 0;
    return S_OK;
  }

  STDMETHODIMP ConnectProxy(short kind, BSTR host, LONG port) override {
    return ConnectProxyAuth(kind, host, port, nullptr, nullptr);
  }

  STDMETHODIMP ConnectProxyAuth(short kind, BSTR host, LONG port, BSTR user,
                                BSTR password) override {
    proxy_.kind = vyrsock::ProxyKindFromCode(kind);
    proxy_.host = Narrow(host);
    proxy_.port = port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
    proxy_.user = Narrow(user);
    proxy_.password = Narrow(password);
    return S_OK;
  }

  STDMETHODIMP RecvNext(LONG n, VARIANT_BOOL* result) override {
    if (n <= 0) {
      if (result) *result = VARIANT_FALSE;
      return S_OK;
    }
    in_.Request(static_cast<size_t>(n));
    // Inside Deliver (the client asking from its receive event) the loop there takes it up
    // after the event returns; otherwise one posted message does.
    if (!delivering_ && !deliver_posted_) {
      deliver_posted_ = true;
      PostMessageW(notify_.hwnd(), kDeliverMsg, 0, 0);
    }
    if (result) *result = VARIANT_TRUE;
    return S_OK;
  }

  STDMETHODIMP SetTimeOut(LONG milliseconds) override {
    if (milliseconds > 0) timeout_ms_ = static_cast<DWORD>(milliseconds);
    return S_OK;
  }

 private:
  enum class State { Idle, Resolving, Connecting, Handshaking, Connected, PeerClosed };

  class NotifyWindow : public winkit::Window {
   public:
    explicit NotifyWindow(CVyrSock* owner) : owner_(owner) {}

    BEGIN_MSG_MAP(NotifyWindow)
      MESSAGE_RANGE_HANDLER(kSocketMsg, kFailMsg, OnNotify)
      MESSAGE_HANDLER(WM_TIMER, OnTimer)
    END_MSG_MAP()

    LRESULT OnNotify(UINT msg, WPARAM wp, LPARAM lp, bool&) {
      // The client may release the control from inside an event.
      winkit::ComPtr<IVyrSock> keep(static_cast<IVyrSock*>(owner_));
      owner_->OnNotify(msg, wp, lp);
      return 0;
    }
    LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
      if (wp != kTimeoutTimer && wp != kFlushTimer) {
        handled = false;
        return 0;
      }
      return OnNotify(msg, wp, lp, handled);
    }

   private:
    CVyrSock* owner_;
  };

  void OnNotify(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case kSocketMsg:
        if (static_cast<SOCKET>(wp) == sock_) OnSocket(WSAGETSELECTEVENT(lp), WSAGETSELECTERROR(lp));
        break;
      case kResolvedMsg:
        if (resolve_ && reinterpret_cast<HANDLE>(wp) == resolve_) {
          resolve_ = nullptr;
          auto* he = reinterpret_cast<hostent*>(host_buf_);
          if (WSAGETASYNCERROR(lp) != 0 || he->h_addrtype != AF_INET || !he->h_addr_list[0]) {
            Fail();
          } else {
            in_addr addr;
            memcpy(&addr, he->h_addr_list[0], sizeof addr);
            StartTcp(addr);
          }
        }
        break;
      case kDeliverMsg:
        deliver_posted_ = false;
        if (read_paused_) ReadAvailable();
        Deliver();
        break;
      case kFailMsg:
        if (static_cast<uint32_t>(wp) == attempt_) Fail();
        break;
      case WM_TIMER:
        if (wp == kFlushTimer) {
          Flush();
          break;
        }
        if (state_ == State::Resolving || state_ == State::Connecting ||
            state_ == State::Handshaking)
          Fail();
        break;
    }
  }

  // Begins the TCP connection to addr:dial_port_. On an immediate failure the state is Idle.
  void StartTcp(in_addr addr) {
    sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (sock_ == INVALID_SOCKET) return Drop();
    BOOL nodelay = TRUE;
    setsockopt(sock_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nodelay),
               sizeof nodelay);
    if (WSAAsyncSelect(sock_, notify_.hwnd(), kSocketMsg,
                       FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) != 0)
      return PostFailure();
    sockaddr_in sa = {};
    sa.sin_family = AF_INET;
    sa.sin_addr = addr;
    sa.sin_port = htons(dial_port_);
    state_ = State::Connecting;
    if (connect(sock_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK)
      PostFailure();
  }

  void OnSocket(int event, int error) {
    switch (event) {
      case FD_CONNECT:
        if (state_ != State::Connecting) return;
        if (error != 0) return Fail();
        if (proxy_handshake_) {
          state_ = State::Handshaking;
          QueueHandshakeOutput();
        } else {
          Succeed();
        }
        break;
      case FD_WRITE:
        Flush();
        break;
      case FD_READ:
        ReadAvailable();
        Deliver();
        break;
      case FD_CLOSE:
        // The socket goes now: take everything the kernel still holds, past the read-ahead
        // limit (at most the kernel's own buffer), so no received byte is lost.
        ReadAvailable(/*at_close=*/true);
        if (state_ == State::Connecting || state_ == State::Handshaking) return Fail();
        // The peer is gone: no event; what was received stays for pending requests.
        CloseSocket();
        if (state_ == State::Connected) state_ = State::PeerClosed;
        Deliver();
        break;
    }
  }

  void QueueHandshakeOutput() {
    std::vector<uint8_t> bytes = handshake_->TakeOutput();
    out_.Push(bytes.data(), bytes.size());
    Flush();
  }

  void Succeed() {
    KillTimer(notify_.hwnd(), kTimeoutTimer);
    state_ = State::Connected;
    handshake_.reset();
    Events().Fire(kOnConnect, {winkit::EventArg::I2(1)});
    Deliver();
  }

  // Ends the attempt and reports it (from a message only).
  void Fail() {
    Reset();
    Events().Fire(kOnConnect, {winkit::EventArg::I2(0)});
  }

  // Ends the attempt now and reports it from the message loop.
  void PostFailure() {
    uint32_t attempt = attempt_;
    Reset();
    attempt_ = attempt;
    PostMessageW(notify_.hwnd(), kFailMsg, attempt, 0);
  }

  void Drop() { PostFailure(); }

  // Reads what the kernel holds (up to the read-ahead limit) into the handshake or the buffer.
  // A short read means the kernel is drained: FD_READ comes again with the next bytes, so no
  // extra recv is spent to see WSAEWOULDBLOCK.
  void ReadAvailable(bool at_close = false) {
    read_paused_ = false;
    if (sock_ == INVALID_SOCKET) return;
    if (state_ != State::Handshaking && state_ != State::Connected) return;
    uint8_t chunk[64 * 1024];
    for (;;) {
      if (!at_close && state_ == State::Connected && in_.Buffered() >= kReadAhead &&
          in_.Buffered() >= in_.Requested()) {
        read_paused_ = true;  // resumes when a request takes bytes
        return;
      }
      int got = recv(sock_, reinterpret_cast<char*>(chunk), sizeof chunk, 0);
      if (got <= 0) {
        if (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK) LoseConnection();
        return;
      }
      bool drained = static_cast<size_t>(got) < sizeof chunk;
      size_t used = 0;
      if (state_ == State::Handshaking) {
        used = handshake_->Feed(chunk, static_cast<size_t>(got));
        switch (handshake_->state()) {
          case vyrsock::ProxyHandshake::State::Failed:
            return Fail();
          case vyrsock::ProxyHandshake::State::Running:
            QueueHandshakeOutput();
            break;
          case vyrsock::ProxyHandshake::State::Done:
            in_.Append(chunk + used, static_cast<size_t>(got) - used);
            Succeed();
            if (state_ != State::Connected || drained) return;  // closed from the event
            continue;
        }
      }
      in_.Append(chunk + used, static_cast<size_t>(got) - used);
      if (drained) return;
    }
  }

  // Writes queued bytes until the kernel refuses more; FD_WRITE resumes.
  // Wine refuses a non-blocking send whole when the kernel cannot take all of it, so a refused
  // piece is retried smaller before waiting.
  void Flush() {
    size_t piece = kSendPiece;
    while (sock_ != INVALID_SOCKET && !out_.Empty()) {
      int n = static_cast<int>(std::min(out_.Size(), piece));
      int sent = send(sock_, reinterpret_cast<const char*>(out_.Front()), n, 0);
      if (sent < 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
          LoseConnection();
          break;
        }
        if (piece > kSmallestPiece) {
          piece /= 2;
          continue;
        }
        SetTimer(notify_.hwnd(), kFlushTimer, kFlushRetryMs, nullptr);
        return;
      }
      out_.Consume(static_cast<size_t>(sent));
    }
    KillTimer(notify_.hwnd(), kFlushTimer);
  }

  // A broken connection: during set-up it is a failed connect (reported from the message loop),
  // afterwards silence, which the client's watchdogs notice.
  void LoseConnection() {
    if (state_ == State::Connecting || state_ == State::Handshaking) return PostFailure();
    CloseSocket();
    out_.Clear();
    if (state_ == State::Connected) state_ = State::PeerClosed;
  }

  // Hands out every satisfied request as one event 2 each.
  void Deliver() {
    if (delivering_) return;
    delivering_ = true;
    while (in_.Ready() && state_ != State::Idle) {
      in_.Take(&delivery_);
      // The client reads these during the event, even if it closes the control meanwhile.
      std::vector<uint8_t> bytes;
      bytes.swap(delivery_);
      FireReceive(bytes);
      if (delivery_.empty()) delivery_.swap(bytes);  // keep the capacity
      if (read_paused_) ReadAvailable();
    }
    delivering_ = false;
  }

  // Event 2: the address of the bytes (pointer-sized) and their count.
  void FireReceive(const std::vector<uint8_t>& bytes) {
    Events().Fire(kOnReceive, {winkit::EventArg::Ptr(bytes.data()),
                               winkit::EventArg::I4(static_cast<int32_t>(bytes.size()))});
  }

  void CloseSocket() {
    if (sock_ == INVALID_SOCKET) return;
    closesocket(sock_);
    sock_ = INVALID_SOCKET;
    // Notifications of the closed socket still queued must not reach a later one.
    MSG m;
    while (PeekMessageW(&m, notify_.hwnd(), kSocketMsg, kSocketMsg, PM_REMOVE)) {
    }
  }

  // Back to no connection: nothing pending, nothing reported.
  void Reset() {
    ++attempt_;
    if (resolve_) {
      WSACancelAsyncRequest(resolve_);
      resolve_ = nullptr;
    }
    if (notify_.hwnd()) {
      KillTimer(notify_.hwnd(), kTimeoutTimer);
      KillTimer(notify_.hwnd(), kFlushTimer);
    }
    CloseSocket();
    in_.Clear();
    out_.Clear();
    handshake_.reset();
    read_paused_ = false;
    state_ = State::Idle;
  }

  bool wsa_ok_ = false;
  NotifyWindow notify_;
  State state_ = State::Idle;
  SOCKET sock_ = INVALID_SOCKET;
  HANDLE resolve_ = nullptr;
  char host_buf_[MAXGETHOSTSTRUCT] = {};
  uint32_t attempt_ = 0;
  DWORD timeout_ms_ = kDefaultTimeoutMs;
  vyrsock::ProxySettings proxy_;
  bool proxy_handshake_ = false;
  std::optional<vyrsock::ProxyHandshake> handshake_;
  std::string target_host_;
  uint16_t target_port_ = 0;
  uint16_t dial_port_ = 0;
  vyrsock::ReceiveBuffer in_;
  vyrsock::SendQueue out_;
  std::vector<uint8_t> delivery_;
  bool delivering_ = false;      // inside Deliver's loop
  bool deliver_posted_ = false;  // a kDeliverMsg is on its way
  bool read_paused_ = false;     // reading stopped at the read-ahead limit
};

winkit::ClassFactory<CVyrSock> g_factory;
const winkit::ServedClass g_classes[] = {
    {{&CLSID_VyrSock, L"VyrSock.VyrSockCtrl.1", L"VyrSock.VyrSockCtrl", L"VyrSock Control",
      &LIBID_VYRSOCKLib, L"1.0", true, 101, L"131473", false, nullptr},
     &g_factory},
};
const winkit::InprocServer g_server(g_classes, 1);

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
