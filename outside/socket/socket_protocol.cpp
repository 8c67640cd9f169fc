#include "socket_protocol.h"

#include <algorithm>
#include <cstring>

namespace vyrsock {

namespace {

constexpr size_t kMaxHttpReply = 16 * 1024;  // a proxy's reply head larger than this is refused

void PutPort(std::vector<uint8_t>* out, uint16_t port) {
  out->push_back(static_cast<uint8_t>(port >> 8));
  out->push_back(static_cast<uint8_t>(port & 0xFF));
}

void PutText(std::vector<uint8_t>* out, std::string_view text) {
  out->insert(out->end(), text.begin(), text.end());
}

std::string HostPort(const std::string& host, uint16_t port) {
  return host + ":" + std::to_string(port);
}

}  // namespace

ProxyKind ProxyKindFromCode(int32_t code) {
  switch (code) {
    case 1: return ProxyKind::Socks4;
    case 2: return ProxyKind::Socks5;
    case 3: return ProxyKind::Socks5Auth;
    case 4: return ProxyKind::HttpConnect;
    default: return ProxyKind::None;
  }
}

bool ParseIPv4(std::string_view text, uint8_t out[4]) {
  size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != '.') return false;
      ++pos;
    }
    size_t digits = 0;
    uint32_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 3) {
      value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || value > 255) return false;
    out[part] = static_cast<uint8_t>(value);
  }
  return pos == text.size();
}

std::string Base64(std::string_view bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    uint32_t v = uint8_t(bytes[i]) << 16;
    if (rest == 2) v |= uint8_t(bytes[i + 1]) << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// ---------------------------------------------------------------------------------------------

ProxyHandshake::ProxyHandshake(const ProxySettings& proxy, std::string target_host,
                               uint16_t target_port)
    : proxy_(proxy), target_host_(std::move(target_host)), target_port_(target_port) {
  // Names travel in one length byte (SOCKS5) or end at a NUL (SOCKS4a, HTTP lines must not
  // break): refuse what cannot be put on the wire instead of sending a damaged request.
  auto bad_text = [](const std::string& s) {
    return s.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos;
  };
  if (target_host_.empty() || target_host_.size() > 255 || bad_text(target_host_) ||
      bad_text(proxy_.user) || bad_text(proxy_.password)) {
    Fail();
    return;
  }
  switch (proxy_.kind) {
    case ProxyKind::Socks4: {
      // SOCKS4 with an address; SOCKS4a (address 0.0.0.1 and the name) for a host name.
      uint8_t ip[4];
      bool literal = ParseIPv4(target_host_, ip);
      out_ = {4, 1};
      PutPort(&out_, target_port_);
      if (literal) {
        out_.insert(out_.end(), ip, ip + 4);
      } else {
        out_.insert(out_.end(), {0, 0, 0, 1});
      }
      PutText(&out_, proxy_.user);
      out_.push_back(0);
      if (!literal) {
        PutText(&out_, target_host_);
        out_.push_back(0);
      }
      phase_ = Phase::Socks4Reply;
      break;
    }
    case ProxyKind::Socks5:
      out_ = {5, 1, 0};
      phase_ = Phase::Socks5Method;
      break;
    case ProxyKind::Socks5Auth:
      if (proxy_.user.size() > 255 || proxy_.password.size() > 255) {
        Fail();
        return;
      }
      out_ = {5, 2, 0, 2};
      phase_ = Phase::Socks5Method;
      break;
    case ProxyKind::HttpConnect: {
      std::string target = HostPort(target_host_, target_port_);
      std::string request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
      if (!proxy_.user.empty())
        request += "Proxy-Authorization: Basic " + Base64(proxy_.user + ":" + proxy_.password) +
                   "\r\n";
      request += "\r\n";
      PutText(&out_, request);
      phase_ = Phase::HttpReply;
      break;
    }
    case ProxyKind::None:
      state_ = State::Done;
      break;
  }
}

std::vector<uint8_t> ProxyHandshake::TakeOutput() {
  std::vector<uint8_t> out;
  out.swap(out_);
  return out;
}

void ProxyHandshake::QueueSocks5Connect() {
  out_ = {5, 1, 0};
  uint8_t ip[4];
  if (ParseIPv4(target_host_, ip)) {
    out_.push_back(1);
    out_.insert(out_.end(), ip, ip + 4);
  } else {
    out_.push_back(3);
    out_.push_back(static_cast<uint8_t>(target_host_.size()));
    PutText(&out_, target_host_);
  }
  PutPort(&out_, target_port_);
  phase_ = Phase::Socks5ConnectReply;
}

size_t ProxyHandshake::Feed(const uint8_t* data, size_t size) {
  size_t used = 0;
  // Take bytes one reply at a time so nothing after the final reply is swallowed.
  while (used < size && state_ == State::Running) {
    in_.push_back(data[used++]);
    while (state_ == State::Running && Step()) {
    }
  }
  return used;
}

bool ProxyHandshake::Step() {
  switch (phase_) {
    case Phase::Socks4Reply:
      if (in_.size() < 8) return false;
      if (in_[0] != 0 || in_[1] != 0x5A) {
        Fail();
      } else {
        state_ = State::Done;
        phase_ = Phase::Finished;
      }
      in_.clear();
      return true;
    case Phase::Socks5Method:
      if (in_.size() < 2) return false;
      if (in_[0] != 5) {
        Fail();
      } else if (in_[1] == 0) {
        QueueSocks5Connect();
      } else if (in_[1] == 2 && proxy_.kind == ProxyKind::Socks5Auth) {
        out_ = {1, static_cast<uint8_t>(proxy_.user.size())};
        PutText(&out_, proxy_.user);
        out_.push_back(static_cast<uint8_t>(proxy_.password.size()));
        PutText(&out_, proxy_.password);
        phase_ = Phase::Socks5AuthReply;
      } else {
        Fail();  // 0xFF: no acceptable method, or a method we did not offer
      }
      in_.clear();
      return true;
    case Phase::Socks5AuthReply:
      if (in_.size() < 2) return false;
      if (in_[1] != 0) {
        Fail();
      } else {
        QueueSocks5Connect();
      }
      in_.clear();
      return true;
    case Phase::Socks5ConnectReply: {
      if (in_.size() < 5) return false;
      if (in_[0] != 5 || in_[1] != 0) {
        Fail();
        in_.clear();
        return true;
      }
      size_t address = 0;
      switch (in_[3]) {
        case 1: address = 4; break;
        case 3: address = 1 + size_t(in_[4]); break;
        case 4: address = 16; break;
        default:
          Fail();
          in_.clear();
          return true;
      }
      if (in_.size() < 4 + address + 2) return false;
      state_ = State::Done;
      phase_ = Phase::Finished;
      in_.clear();
      return true;
    }
    case Phase::HttpReply: {
      size_t n = in_.size();
      if (n > kMaxHttpReply) {
        Fail();
        in_.clear();
        return true;
      }
      if (n < 4 || std::memcmp(&in_[n - 4], "\r\n\r\n", 4) != 0) return false;
      // "HTTP/1.x 2xx ..." accepts; any other status refuses.
      std::string_view head(reinterpret_cast<const char*>(in_.data()), n);
      bool ok = head.size() >= 12 && head.substr(0, 7) == "HTTP/1." && head[8] == ' ' &&
                head[9] == '2' && head[10] >= '0' && head[10] <= '9' && head[11] >= '0' &&
                head[11] <= '9';
      if (ok) {
        state_ = State::Done;
        phase_ = Phase::Finished;
      } else {
        Fail();
      }
      in_.clear();
      return true;
    }
    case Phase::Finished:
      return false;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------

void ReceiveBuffer::Append(const uint8_t* data, size_t size) {
  if (size == 0) return;
  // Drop what was handed out before growing, once it is the larger part.
  if (start_ > 0 && start_ >= data_.size() / 2) {
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
  data_.insert(data_.end(), data, data + size);
}

void ReceiveBuffer::Take(std::vector<uint8_t>* out) {
  if (!Ready()) return;
  const uint8_t* first = data_.data() + start_;
  out->assign(first, first + pending_);
  start_ += pending_;
  pending_ = 0;
  if (start_ == data_.size()) {
    data_.clear();
    start_ = 0;
  }
}

void ReceiveBuffer::Clear() {
  data_.clear();
  start_ = 0;
  pending_ = 0;
}

void SendQueue::Push(const uint8_t* data, size_t size) {
  if (size == 0) return;
  if (start_ > 0 && start_ >= data_.size() / 2) {
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
  data_.insert(data_.end(), data, data + size);
}

void SendQueue::Consume(size_t n) {
  start_ += std::min(n, Size());
  if (start_ == data_.size()) Clear();
}

void SendQueue::Clear() {
  data_.clear();
  start_ = 0;
}

}  // namespace vyrsock
