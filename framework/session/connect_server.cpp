#include "connect_server.h"

namespace {

// The proxy kinds of the socket control.
constexpr int16_t kSocks4 = 1;
constexpr int16_t kSocks5 = 2;
constexpr int16_t kSocks5Password = 3;
constexpr int16_t kHttp = 4;

void SetUpProxy(const ConnectionSettings& s, IVyrSockTransport& sock) {
  switch (s.socktype) {
    case 0:
      sock.ConnectProxy(kSocks4, s.proxyhost, s.proxyport);
      return;
    case 1:
      if (s.ispasswd) {
        sock.ConnectProxyAuth(kSocks5Password, s.proxyhost, s.proxyport, s.proxyuser,
                              s.proxypassword);
      } else {
        sock.ConnectProxyAuth(kSocks5, s.proxyhost, s.proxyport, std::string(), std::string());
      }
      return;
    default:
      if (s.ispasswd) {
        sock.ConnectProxyAuth(kHttp, s.proxyhost, s.proxyport, s.proxyuser, s.proxypassword);
      } else {
        sock.ConnectProxy(kHttp, s.proxyhost, s.proxyport);
      }
      return;
  }
}

}  // namespace

int16_t ConnectServer(const ConnectionSettings& settings, IVyrSockTransport& sock) {
  try {
    sock.Close();
    if (settings.isuseproxy) SetUpProxy(settings, sock);
    return sock.Connect(settings.serverhost, settings.serverport) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}
