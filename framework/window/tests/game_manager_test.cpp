// The game manager with the real socket control: hosting, the connect procedure through a proxy
// by dispatch id, a missing control, and the sound setting from the registry.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "connect_server.h"
#include "game_manager.h"
#include "loopback_servers.h"
#include "vyr_sock_transport.h"
#include "winkit/testing/com_test_support.h"

using namespace std::chrono_literals;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"VyrSock.dll"}, /*winsock=*/true));

class TestManager : public CVyrPokeGameManager {
 public:
  explicit TestManager(std::vector<std::string>* log) : log_(log) {}
  void LoadSkin() override {
    log_->push_back(Socket() ? "LoadSkin with socket" : "LoadSkin");
  }
  void InitSkins() override {}
  void RefreshChatSkin() override {}
  int CreateExtraPane1() override { return 1; }
  int CreateExtraPane2() override { return 1; }
  int CreateChatPane(HWND, HWND) override { return 1; }
  int CreatePlayTablePane(HWND, HWND) override { return 1; }
  void MoveExtraPane1(int, int, int, int) override {}
  void MoveExtraPane2(int, int, int, int) override {}
  void MovePlayTablePane(int, int, int, int) override {}
  void MoveChatPane(int, int, int, int) override {}

 private:
  std::vector<std::string>* log_;
};

struct Sink : winkit::ControlEventTarget {
  std::vector<std::pair<DISPID, std::vector<uint8_t>>> events;  // event 1: one byte, the result
  void OnControlEvent(UINT, DISPID id, const winkit::EventArgs& args) override {
    if (id == 1) {
      events.push_back({id, {static_cast<uint8_t>(args.Short(0))}});
    } else {
      auto* p = reinterpret_cast<const uint8_t*>(args.Ptr(0));
      events.push_back({id, std::vector<uint8_t>(p, p + args.Int(1))});
    }
  }
};

bool PumpUntil(const std::function<bool()>& done) {
  auto end = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  return true;
}

class GameManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }
  HWND parent_ = nullptr;
  std::vector<std::string> log_;
  Sink sink_;
};

TEST_F(GameManagerTest, CreateSocketLoadsTheSkinFirstAndHostsTheControlHidden) {
  TestManager m(&log_);
  EXPECT_EQ(m.SoundSetting(), 1);
  m.CreateSocket(parent_, 4, &sink_);
  m.CreateSocket(parent_, 2, &sink_);  // again: the previous control is released
  EXPECT_EQ(log_, (std::vector<std::string>{"LoadSkin", "LoadSkin with socket"}));
  ASSERT_NE(m.Socket(), nullptr);
  EXPECT_EQ(m.Settings().seatsPerTable, 2);
  HWND w = GetDlgItem(parent_, 20481);
  ASSERT_NE(w, nullptr);
  wchar_t name[16] = {};
  GetWindowTextW(w, name, 16);
  EXPECT_STREQ(name, L"VyrSock");
  // A hidden child of the table window: not merely invisible because its parent is hidden.
  const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_VISIBLE);
  EXPECT_EQ(GetParent(w), parent_);
  EXPECT_EQ(GetWindow(GetWindow(parent_, GW_CHILD), GW_HWNDNEXT), nullptr) << "two controls";
  m.SetSubType(1, 2, 3);
  m.SetIsPlayer(1);
  EXPECT_EQ(m.Settings().gameType, 2);
  EXPECT_EQ(m.Settings().PlayerFlag, 1);
}

TEST_F(GameManagerTest, ConnectServerThroughAProxyThenTalksByDispatchId) {
  loopback::Listener echo([](SOCKET s, const loopback::Stop& stop) {
    char buf[4096];
    while (loopback::WaitReadable(s, stop)) {
      int n = recv(s, buf, sizeof buf, 0);
      if (n <= 0 || !loopback::SendAll(s, buf, static_cast<size_t>(n))) return;
    }
  });
  loopback::Listener proxy(
      loopback::ProxyHandler({loopback::ProxyType::Socks5Auth, "player", "pa55"}));
  TestManager m(&log_);
  m.CreateSocket(parent_, 2, &sink_);
  IVyrSockTransport& sock = m.Transport();
  ConnectionSettings s;
  s.serverhost = "127.0.0.1";
  s.serverport = echo.port();
  s.proxyhost = "127.0.0.1";
  s.proxyport = proxy.port();
  s.isuseproxy = 1;
  s.socktype = 1;
  s.ispasswd = 1;
  s.proxyuser = "player";
  s.proxypassword = "pa55";
  EXPECT_EQ(ConnectServer(s, sock), 1);
  ASSERT_TRUE(PumpUntil([&] { return !sink_.events.empty(); }));
  EXPECT_EQ(sink_.events[0], (std::pair<DISPID, std::vector<uint8_t>>{1, {1}}));
  EXPECT_EQ(proxy.accepted(), 1);

  EXPECT_NO_THROW(sock.SetTimeOut(60000));
  std::vector<uint8_t> frame(49);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(sock.Send(frame.data(), static_cast<int16_t>(frame.size())), 1);
  EXPECT_TRUE(sock.RecvNext(49));
  ASSERT_TRUE(PumpUntil([&] { return sink_.events.size() == 2; }));
  EXPECT_EQ(sink_.events[1].first, 2);
  EXPECT_EQ(sink_.events[1].second, frame);

  s.proxypassword = "wrong";  // a refusing proxy reports 0
  EXPECT_EQ(ConnectServer(s, sock), 1);
  ASSERT_TRUE(PumpUntil([&] { return sink_.events.size() == 3; }));
  EXPECT_EQ(sink_.events[2], (std::pair<DISPID, std::vector<uint8_t>>{1, {0}}));
}

TEST_F(GameManagerTest, MissingControlLeavesNoInterfaceAndCallsFail) {
  ASSERT_HRESULT_SUCCEEDED(winkit::testing::CallDllExport(L"VyrSock.dll", "DllUnregisterServer"));
  {
    TestManager m(&log_);
    m.CreateSocket(parent_, 2, &sink_);
    EXPECT_EQ(m.Socket(), nullptr);
    EXPECT_EQ(log_.size(), 1u);
    m.CloseSocket();  // harmless
    IVyrSockTransport& sock = m.Transport();
    ConnectionSettings s;
    s.serverhost = "127.0.0.1";
    s.serverport = 7000;
    EXPECT_EQ(ConnectServer(s, sock), 0);
    EXPECT_THROW(sock.RecvNext(32), winkit::ComError);
  }
  ASSERT_HRESULT_SUCCEEDED(winkit::testing::CallDllExport(L"VyrSock.dll", "DllRegisterServer"));
}

TEST(ReadInSoundSetting, FromTheRegistryOrOne) {
  const char* kKey = "Software\\Hollin\\insound";
  struct Case {
    const char* value;  // null: no key
    int returned;
    int setting;
  } cases[] = {
      {"3", 3, 3},
      {"0", 0, 0},
      {"12abc", 12, 12},
      {"", 0, 0},
      {"0000000000000000042", 42, 42},  // 19 characters and the terminator: 20 bytes
      {"00000000000000000042", ERROR_MORE_DATA, 1},
      {nullptr, ERROR_FILE_NOT_FOUND, 1},
  };
  std::vector<std::string> log;
  for (const Case& c : cases) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    if (c.value) {
      HKEY key;
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr),
                ERROR_SUCCESS);
      RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(c.value),
                     static_cast<DWORD>(strlen(c.value) + 1));
      RegCloseKey(key);
    }
    TestManager m(&log);
    EXPECT_EQ(m.ReadInSoundSetting(), c.returned) << (c.value ? c.value : "no key");
    EXPECT_EQ(m.SoundSetting(), c.setting) << (c.value ? c.value : "no key");
  }
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

}  // namespace
