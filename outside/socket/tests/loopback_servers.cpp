#include "loopback_servers.h"

#include <ws2tcpip.h>

#include <cstring>

#include "socket_protocol.h"

namespace loopback {

bool SendAll(SOCKET s, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    int n = send(s, p, static_cast<int>(size), 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool RecvAll(SOCKET s, void* data, size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    int n = recv(s, p, static_cast<int>(size), 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WaitReadable(SOCKET s, const Stop& stop) {
  while (!stop) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv = {0, 50 * 1000};
    int n = select(0, &set, nullptr, nullptr, &tv);
    if (n < 0) return false;
    if (n > 0) return true;
  }
  return false;
}

void WaitForClose(SOCKET s, const Stop& stop) {
  char buf[4096];
  while (WaitReadable(s, stop) && recv(s, buf, sizeof buf, 0) > 0) {
  }
}

namespace {

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in sa = {};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  sa.sin_port = htons(port);
  return sa;
}

}  // namespace

Listener::Listener(Handler handler, int backlog) : handler_(std::move(handler)) {
  listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in sa = Loopback(0);
  bind(listen_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  listen(listen_, backlog);
  int len = sizeof sa;
  getsockname(listen_, reinterpret_cast<sockaddr*>(&sa), &len);
  port_ = ntohs(sa.sin_port);
  accept_thread_ = std::thread([this] { AcceptLoop(); });
}

Listener::~Listener() {
  stopping_ = true;
  closesocket(listen_);
  accept_thread_.join();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (SOCKET s : open_) shutdown(s, SD_BOTH);
  }
  for (std::thread& t : threads_) t.join();
  for (SOCKET s : open_) closesocket(s);
}

void Listener::AcceptLoop() {
  for (;;) {
    SOCKET s = accept(listen_, nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
    if (stopping_) {
      closesocket(s);
      return;
    }
    ++accepted_;
    std::lock_guard<std::mutex> lock(mutex_);
    open_.push_back(s);
    threads_.emplace_back([this, s] {
      handler_(s, stopping_);
      shutdown(s, SD_SEND);
    });
  }
}

uint16_t ClosedPort() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in sa = Loopback(0);
  bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  int len = sizeof sa;
  getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
  closesocket(s);
  return ntohs(sa.sin_port);
}

void Relay(SOCKET a, SOCKET b, const Stop& stop) {
  char buf[65536];
  while (!stop) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(a, &set);
    FD_SET(b, &set);
    timeval tv = {0, 50 * 1000};
    int ready = select(0, &set, nullptr, nullptr, &tv);
    if (ready < 0) return;
    if (ready == 0) continue;
    for (SOCKET from : {a, b}) {
      if (!FD_ISSET(from, &set)) continue;
      int n = recv(from, buf, sizeof buf, 0);
      if (n <= 0 || !SendAll(from == a ? b : a, buf, static_cast<size_t>(n))) return;
    }
  }
}

namespace {

// Connects to the target if it is on this machine; INVALID_SOCKET otherwise.
SOCKET DialLocal(const std::string& host, uint16_t port) {
  if (host != "127.0.0.1" && host != "localhost") return INVALID_SOCKET;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in sa = Loopback(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

bool RecvByte(SOCKET s, uint8_t* b) { return RecvAll(s, b, 1); }

bool RecvString(SOCKET s, size_t n, std::string* out) {
  out->assign(n, '\0');
  return n == 0 || RecvAll(s, out->data(), n);
}

bool RecvCString(SOCKET s, std::string* out) {
  out->clear();
  uint8_t b;
  while (RecvByte(s, &b)) {
    if (b == 0) return true;
    out->push_back(static_cast<char>(b));
  }
  return false;
}

void Finish(SOCKET client, SOCKET target, const Stop& stop) {
  if (target == INVALID_SOCKET) return;
  Relay(client, target, stop);
  closesocket(target);
}

void Socks4(SOCKET c, const Stop& stop) {
  uint8_t head[8];
  std::string user, host;
  if (!RecvAll(c, head, 8) || head[0] != 4 || head[1] != 1 || !RecvCString(c, &user)) return;
  uint16_t port = static_cast<uint16_t>(head[2] << 8 | head[3]);
  if (head[4] == 0 && head[5] == 0 && head[6] == 0 && head[7] != 0) {
    if (!RecvCString(c, &host)) return;
  } else {
    host = std::to_string(head[4]) + "." + std::to_string(head[5]) + "." +
           std::to_string(head[6]) + "." + std::to_string(head[7]);
  }
  SOCKET t = DialLocal(host, port);
  uint8_t reply[8] = {0, static_cast<uint8_t>(t == INVALID_SOCKET ? 0x5B : 0x5A)};
  SendAll(c, reply, 8);
  Finish(c, t, stop);
}

void Socks5(SOCKET c, const ProxyOptions& o, const Stop& stop) {
  bool need_auth = o.type == ProxyType::Socks5Auth;
  uint8_t head[2];
  if (!RecvAll(c, head, 2) || head[0] != 5) return;
  std::string methods;
  if (!RecvString(c, head[1], &methods)) return;
  uint8_t want = need_auth ? 2 : 0;
  if (methods.find(static_cast<char>(want)) == std::string::npos) {
    uint8_t no[2] = {5, 0xFF};
    SendAll(c, no, 2);
    return;
  }
  uint8_t pick[2] = {5, want};
  SendAll(c, pick, 2);
  if (need_auth) {
    uint8_t ver, len;
    std::string user, password;
    if (!RecvByte(c, &ver) || !RecvByte(c, &len) || !RecvString(c, len, &user) ||
        !RecvByte(c, &len) || !RecvString(c, len, &password))
      return;
    bool ok = user == o.user && password == o.password;
    uint8_t status[2] = {1, static_cast<uint8_t>(ok ? 0 : 1)};
    SendAll(c, status, 2);
    if (!ok) return;
  }
  uint8_t req[4];
  if (!RecvAll(c, req, 4) || req[0] != 5 || req[1] != 1) return;
  std::string host;
  if (req[3] == 1) {
    uint8_t ip[4];
    if (!RecvAll(c, ip, 4)) return;
    host = std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) +
           "." + std::to_string(ip[3]);
  } else if (req[3] == 3) {
    uint8_t len;
    if (!RecvByte(c, &len) || !RecvString(c, len, &host)) return;
  } else {
    return;
  }
  uint8_t port_bytes[2];
  if (!RecvAll(c, port_bytes, 2)) return;
  SOCKET t = DialLocal(host, static_cast<uint16_t>(port_bytes[0] << 8 | port_bytes[1]));
  // The bound address as a name, to exercise the variable-length reply.
  uint8_t reply[] = {5, static_cast<uint8_t>(t == INVALID_SOCKET ? 5 : 0), 0, 3, 2, 'l', 'o', 0, 0};
  SendAll(c, reply, sizeof reply);
  Finish(c, t, stop);
}

void Http(SOCKET c, const ProxyOptions& o, const Stop& stop) {
  std::string head;
  uint8_t b;
  while (head.size() < 8192 && (head.size() < 4 || head.compare(head.size() - 4, 4, "\r\n\r\n") != 0)) {
    if (!RecvByte(c, &b)) return;
    head.push_back(static_cast<char>(b));
  }
  if (head.compare(0, 8, "CONNECT ") != 0) return;
  size_t end = head.find(' ', 8);
  std::string target = head.substr(8, end - 8);
  size_t colon = target.rfind(':');
  if (colon == std::string::npos) return;
  if (o.type == ProxyType::HttpAuth) {
    std::string expect =
        "\r\nProxy-Authorization: Basic " + vyrsock::Base64(o.user + ":" + o.password) + "\r\n";
    if (head.find(expect) == std::string::npos) {
      const char no[] = "HTTP/1.1 407 Proxy Authentication Required\r\n"
                        "Proxy-Authenticate: Basic realm=\"test\"\r\nContent-Length: 0\r\n\r\n";
      SendAll(c, no, sizeof no - 1);
      return;
    }
  }
  SOCKET t = DialLocal(target.substr(0, colon),
                       static_cast<uint16_t>(std::stoi(target.substr(colon + 1))));
  const char* reply = t == INVALID_SOCKET ? "HTTP/1.1 502 Bad Gateway\r\n\r\n"
                                          : "HTTP/1.0 200 Connection established\r\n\r\n";
  SendAll(c, reply, strlen(reply));
  Finish(c, t, stop);
}

}  // namespace

Handler ProxyHandler(ProxyOptions o) {
  return [o](SOCKET c, const Stop& stop) {
    if (o.stall) return WaitForClose(c, stop);
    switch (o.type) {
      case ProxyType::Socks4: return Socks4(c, stop);
      case ProxyType::Socks5:
      case ProxyType::Socks5Auth: return Socks5(c, o, stop);
      case ProxyType::Http:
      case ProxyType::HttpAuth: return Http(c, o, stop);
    }
  };
}

}  // namespace loopback
