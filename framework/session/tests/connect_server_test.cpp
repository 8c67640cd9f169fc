// The connect procedure's calls on the socket control for each proxy choice, through a fake
// that records them.
#include "connect_server.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class RecordingSock : public IVyrSockTransport {
 public:
  std::vector<std::string> calls;
  std::string fail_on;  // the call that fails (throws), by name
  bool connect_result = true;

  void Close() override { Record("Close"); }
  bool Connect(const std::string& host, int32_t port) override {
    Record("Connect(" + host + "," + std::to_string(port) + ")");
    return connect_result;
  }
  void ConnectProxy(int16_t kind, const std::string& host, int32_t port) override {
    Record("ConnectProxy(" + std::to_string(kind) + "," + host + "," + std::to_string(port) + ")");
  }
  void ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                        const std::string& user, const std::string& password) override {
    Record("ConnectProxyAuth(" + std::to_string(kind) + "," + host + "," +
           std::to_string(port) + "," + user + "," + password + ")");
  }
  int16_t Send(const uint8_t*, int16_t length) override {
    Record("Send");
    return length;
  }
  bool RecvNext(int32_t) override {
    Record("RecvNext");
    return true;
  }
  void SetTimeOut(int32_t) override { Record("SetTimeOut"); }

 private:
  void Record(const std::string& call) {
    calls.push_back(call);
    if (!fail_on.empty() && call.rfind(fail_on, 0) == 0) throw std::runtime_error(call);
  }
};

ConnectionSettings Settings(int32_t useproxy, int16_t socktype, int32_t passwd) {
  ConnectionSettings s;
  s.serverhost = "game.host";
  s.serverport = 7000;
  s.proxyhost = "proxy.host";
  s.proxyport = 1080;
  s.isuseproxy = useproxy;
  s.socktype = socktype;
  s.ispasswd = passwd;
  s.proxyuser = "usr";
  s.proxypassword = "pwd";
  return s;
}

TEST(ConnectServer, CallsForEachProxyChoice) {
  const std::string connect = "Connect(game.host,7000)";
  struct Case {
    int32_t useproxy;
    int16_t socktype;
    int32_t passwd;
    std::vector<std::string> calls;
  } cases[] = {
      {0, 0, 0, {"Close", connect}},
      {0, 1, 1, {"Close", connect}},
      {0, 2, 1, {"Close", connect}},
      {1, 0, 0, {"Close", "ConnectProxy(1,proxy.host,1080)", connect}},
      {1, 0, 1, {"Close", "ConnectProxy(1,proxy.host,1080)", connect}},
      {1, 1, 0, {"Close", "ConnectProxyAuth(2,proxy.host,1080,,)", connect}},
      {1, 1, 1, {"Close", "ConnectProxyAuth(3,proxy.host,1080,usr,pwd)", connect}},
      {1, 2, 0, {"Close", "ConnectProxy(4,proxy.host,1080)", connect}},
      {1, 2, 1, {"Close", "ConnectProxyAuth(4,proxy.host,1080,usr,pwd)", connect}},
      {1, -3, 0, {"Close", "ConnectProxy(4,proxy.host,1080)", connect}},
      {7, 9, 2, {"Close", "ConnectProxyAuth(4,proxy.host,1080,usr,pwd)", connect}},
  };
  for (const Case& c : cases) {
    RecordingSock sock;
    EXPECT_EQ(ConnectServer(Settings(c.useproxy, c.socktype, c.passwd), sock), 1);
    EXPECT_EQ(sock.calls, c.calls) << c.useproxy << "/" << c.socktype << "/" << c.passwd;
  }
}

TEST(ConnectServer, ReturnsConnectsResultAndStopsAtAFailedCall) {
  RecordingSock refused;
  refused.connect_result = false;
  EXPECT_EQ(ConnectServer(Settings(0, 0, 0), refused), 0);

  for (const char* failing : {"Close", "ConnectProxyAuth", "Connect("}) {
    RecordingSock sock;
    sock.fail_on = failing;
    EXPECT_EQ(ConnectServer(Settings(1, 1, 1), sock), 0) << failing;
    EXPECT_EQ(sock.calls.back().rfind(failing, 0), 0u) << "a call after the failing one";
  }
}

}  // namespace
