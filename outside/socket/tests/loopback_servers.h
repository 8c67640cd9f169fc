// Servers for the socket control's tests, on 127.0.0.1 only: a listener that runs a handler per
// connection in its own thread, and small SOCKS4, SOCKS5 and HTTP CONNECT proxies.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace loopback {

// Blocking helpers; false when the peer closed or an error occurred.
bool SendAll(SOCKET s, const void* data, size_t size);
bool RecvAll(SOCKET s, void* data, size_t size);

// The handlers' view of their listener going away: blocking waits for a peer that may stay
// idle must use WaitReadable, which gives up when `stop` is set (a blocked recv would not).
using Stop = std::atomic<bool>;
bool WaitReadable(SOCKET s, const Stop& stop);
// Waits until the peer closes (or the listener stops).
void WaitForClose(SOCKET s, const Stop& stop);
using Handler = std::function<void(SOCKET, const Stop&)>;

class Listener {
 public:
  // Listens on 127.0.0.1 at a free port; `handler` gets each accepted connection (and closes
  // nothing: the listener closes the socket after the handler returns).
  explicit Listener(Handler handler, int backlog = SOMAXCONN);
  ~Listener();
  uint16_t port() const { return port_; }
  int accepted() const { return accepted_.load(); }

 private:
  void AcceptLoop();

  Handler handler_;
  SOCKET listen_ = INVALID_SOCKET;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::mutex mutex_;
  std::vector<SOCKET> open_;
  std::vector<std::thread> threads_;
  std::thread accept_thread_;
};

// A port on 127.0.0.1 where nothing listens.
uint16_t ClosedPort();

enum class ProxyType { Socks4, Socks5, Socks5Auth, Http, HttpAuth };

// A proxy that accepts only targets on 127.0.0.1 / localhost and relays both ways. With
// `stall`, it accepts and then never answers.
struct ProxyOptions {
  ProxyType type;
  std::string user;
  std::string password;
  bool stall = false;
};
Handler ProxyHandler(ProxyOptions options);

// Relays bytes between two sockets until either side closes.
void Relay(SOCKET a, SOCKET b, const Stop& stop);

}  // namespace loopback
