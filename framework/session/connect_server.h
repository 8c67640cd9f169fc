// The connect procedure of the play table: closes the socket control, sets up the proxy the
// connection settings ask for, and starts the connection. The outcome arrives later as the
// control's connect event.
#pragma once
#include <cstdint>
#include <string>

#include "socket_transport.h"

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
// Connect's result (1 when the attempt began), or 0 when a call failed: the procedure stops at
// the failing call and the caller treats it as a failed connect.
int16_t ConnectServer(const ConnectionSettings& settings, IVyrSockTransport& sock);
