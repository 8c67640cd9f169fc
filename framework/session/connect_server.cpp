#include "connect_server.h"

namespace {

// The proxy kinds of the socket control.
constexpr int16_t kSocks4 = 1;
constexpr int16_t kSocks5 = 2;
constexpr int16_t kSocks5Password = 3;
constexpr int16_t kHttp = 4;

bool SetUpProxy(const ConnectionSettings& s, VyrSockCalls& sock) {
  switch (s.socktype) {
    case 0:
      return sock.ConnectProxy(kSocks4, s.proxyhost, s.proxyport);
    case 1:
      if (s.ispasswd)
        return sock.ConnectProxyAuth(kSocks5Password, s.proxyhost, s.proxyport, s.proxyuser,
                                     s.proxypassword);
      return sock.ConnectProxyAuth(kSocks5, s.proxyhost, s.proxyport, std::string(),
                                   std::string());
    default:
      if (s.ispasswd)
        return sock.ConnectProxyAuth(kHttp, s.proxyhost, s.proxyport, s.proxyuser,
                                     s.proxypassword);
      return sock.ConnectProxy(kHttp, s.proxyhost, s.proxyport);
  }
}

}  // namespace

int16_t ConnectServer(const ConnectionSettings& settings, VyrSockCalls& sock) {
  if (!sock.Close()) return 0;
  if (settings.isuseproxy && !SetUpProxy(settings, sock)) return 0;
  int16_t started = 0;
  if (!sock.Connect(settings.serverhost, settings.serverport, &started)) return 0;
  return started;
}
