// The socket control as the session sees it: one transport for the connect procedure and the
// play table. The Windows build puts the control's dispatch calls behind it
// (framework/window/vyr_sock_transport.h); tests use fakes.
//
// A failing call throws (a failed COM call does). The play table counts that as a lost
// connection; ConnectServer as a failed connect.
#pragma once
#include <cstdint>
#include <string>

// The control's calls: Close, Connect, Send, ConnectProxy, ConnectProxyAuth, RecvNext and
// SetTimeOut. The outcome of Connect arrives later as the control's connect event
// (CVyrPokePlayTableImp::OnSocketConnect); the bytes asked for with RecvNext arrive together
// as one receive event (OnSocketData).
class IVyrSockTransport {
 public:
  virtual ~IVyrSockTransport() = default;
  virtual void Close() = 0;
  // True when the attempt began.
  virtual bool Connect(const std::string& host, int32_t port) = 0;
  // `length` bytes from `frame` (the whole frame, body + 49); the control's result.
  virtual int16_t Send(const uint8_t* frame, int16_t length) = 0;
  // Proxy kinds: 1 SOCKS4, 2 SOCKS5, 3 SOCKS5 with user and password, 4 HTTP.
  virtual void ConnectProxy(int16_t kind, const std::string& host, int32_t port) = 0;
  virtual void ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                                const std::string& user, const std::string& password) = 0;
  virtual bool RecvNext(int32_t count) = 0;
  virtual void SetTimeOut(int32_t milliseconds) = 0;
};
