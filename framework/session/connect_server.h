// The connect procedure of the play table: closes the socket control, sets up the proxy the
// connection settings ask for, and starts the connection. The outcome arrives later as the
// control's connect event.
#pragma once
#include <cstdint>
#include <string>

// The socket control's calls the procedure makes. Each returns false when the call itself
// failed (no control, or the control refused the call); the procedure then stops.
class VyrSockCalls {
 public:
  virtual ~VyrSockCalls() = default;
  virtual bool Close() = 0;
  // `started`: the control's result (nonzero when the attempt began).
  virtual bool Connect(const std::string& host, int32_t port, int16_t* started) = 0;
  virtual bool ConnectProxy(int16_t kind, const std::string& host, int32_t port) = 0;
  virtual bool ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                                const std::string& user, const std::string& password) = 0;
};

// Filled through IStartGame's SetGameSockIp, SetProxyStyle and SetProxy. Texts are GBK bytes.
struct ConnectionSettings {
  std::string serverhost;
  int32_t serverport = 0;
  std::string proxyhost;
  int32_t proxyport = 0;
  int32_t isuseproxy = 0;
  int16_t socktype = 0;
  int32_t ispasswd = 0;
  std::string proxyuser;
  std::string proxypassword;
};

// Close; the proxy set-up when isuseproxy is nonzero (socktype 0: SOCKS4; 1: SOCKS5 with or
// without user and password; any other: HTTP with or without credentials); Connect. Returns
// Connect's result, or 0 when a call failed (the caller treats that as a failed connect).
int16_t ConnectServer(const ConnectionSettings& settings, VyrSockCalls& sock);
