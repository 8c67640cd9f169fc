// The transport logic of the socket control that needs no operating system: the proxy
// handshakes (SOCKS4/4a, SOCKS5 with and without user name and password, HTTP CONNECT with
// optional Basic authentication), the receive buffer that hands out exactly the requested
// number of bytes, and the queue of bytes the kernel has not taken yet.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vyrsock {

// The proxy kinds of ConnectProxy / ConnectProxyAuth.
enum class ProxyKind : int16_t {
  None = 0,
  Socks4 = 1,
  Socks5 = 2,      // no authentication
  Socks5Auth = 3,  // user name and password
  HttpConnect = 4, // Basic authentication when a user name is given
};

// A known kind (1 to 4) as ProxyKind, anything else as None.
ProxyKind ProxyKindFromCode(int32_t code);

struct ProxySettings {
  ProxyKind kind = ProxyKind::None;
  std::string host;
  uint16_t port = 0;
  std::string user;
  std::string password;
};

// "a.b.c.d" with four decimal parts of 0..255; false for anything else (names, IPv6).
bool ParseIPv4(std::string_view text, uint8_t out[4]);

std::string Base64(std::string_view bytes);

// Builds the requests and reads the replies of one proxy handshake. The proxy's TCP
// connection is the caller's; this object only sees the bytes.
class ProxyHandshake {
 public:
  enum class State { Running, Done, Failed };

  ProxyHandshake(const ProxySettings& proxy, std::string target_host, uint16_t target_port);

  // The bytes to write to the proxy now; empty when nothing is due. Each byte is handed out once.
  std::vector<uint8_t> TakeOutput();
  // Reads bytes from the proxy. Returns how many of them belonged to the handshake; bytes after
  // a completed handshake are the first bytes of the tunnelled stream and are not consumed.
  size_t Feed(const uint8_t* data, size_t size);
  State state() const { return state_; }

 private:
  enum class Phase {
    Socks4Reply,
    Socks5Method,
    Socks5AuthReply,
    Socks5ConnectReply,
    HttpReply,
    Finished,
  };
  void Fail() { state_ = State::Failed; phase_ = Phase::Finished; }
  // Parses in_; returns false while more bytes are needed.
  bool Step();
  void QueueSocks5Connect();

  ProxySettings proxy_;
  std::string target_host_;
  uint16_t target_port_;
  State state_ = State::Running;
  Phase phase_ = Phase::Finished;
  std::vector<uint8_t> out_;
  std::vector<uint8_t> in_;
};

// Received bytes in arrival order and at most one pending request for the next n of them.
class ReceiveBuffer {
 public:
  void Append(const uint8_t* data, size_t size);
  // Asks for the next n bytes (n > 0), replacing a pending request.
  void Request(size_t n) { pending_ = n; }
  bool HasRequest() const { return pending_ != 0; }
  size_t Requested() const { return pending_; }
  // A request is pending and enough bytes are buffered.
  bool Ready() const { return pending_ != 0 && Buffered() >= pending_; }
  // Moves the requested bytes into `out` (replacing its contents) and ends the request.
  // Only when Ready().
  void Take(std::vector<uint8_t>* out);
  size_t Buffered() const { return data_.size() - start_; }
  void Clear();

 private:
  std::vector<uint8_t> data_;
  size_t start_ = 0;
  size_t pending_ = 0;
};

// Bytes accepted for sending that the kernel has not taken yet, in order.
class SendQueue {
 public:
  void Push(const uint8_t* data, size_t size);
  bool Empty() const { return start_ == data_.size(); }
  const uint8_t* Front() const { return data_.data() + start_; }
  size_t Size() const { return data_.size() - start_; }
  void Consume(size_t n);
  void Clear();

 private:
  std::vector<uint8_t> data_;
  size_t start_ = 0;
};

}  // namespace vyrsock
