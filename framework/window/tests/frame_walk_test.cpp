// A received frame walks the product path: a loopback game server sends a framed, signed
// message; the socket control hosted by the game manager raises its receive event; the event
// router hands it to the play table, whose receive path checks it and dispatches it to the game.
// Also the notice windows: OK on a close-on-OK notice closes the main window.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "connect_server.h"
#include "game_manager.h"
#include "loopback_servers.h"
#include "person_records.h"
#include "play_table_fakes.h"
#include "table_notices.h"
#include "table_timers.h"
#include "vyr_sock_transport.h"
#include "winkit/testing/com_test_support.h"

using namespace std::chrono_literals;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"VyrSock.dll"}, /*winsock=*/true));

bool Pump(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  return true;
}

void PumpFor(std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + time;
  Pump([&] { return std::chrono::steady_clock::now() > end; });
}

class Manager : public CVyrPokeGameManager {
 public:
  void LoadSkin() override {}
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
};

struct NoDisplay : ICommTableCalls {
  void SetPersonLocation(int16_t, intptr_t, const TablePerson*) override {}
  void SetLeftCards(int16_t, int16_t, const card*) override {}
  void StartDeal() override {}
  void AddCardsToMyHandWithSort_InDeal(int16_t, const card*) override {}
  void Setup() override {}
  void SetMyCardBitmap(intptr_t, intptr_t) override {}
};
struct NoRules : ICommArithmeticCalls {
  void AddCardsToMyHand(int16_t, const card*) override {}
};

// A game on the base play table: it connects with the connect procedure and records the
// messages it is offered.
class WalkTable : public CVyrPokePlayTableImp {
 public:
  WalkTable(IVyrSockTransport& socket, ITableTimers& timers, ITableNotices& notices,
            SessionSettings& settings, FrameworkSession& session, ConnectionSettings connection)
      : CVyrPokePlayTableImp(socket, timers, notices, settings, session),
        connection_(std::move(connection)) {}

  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> offered;

  void Connect() { StartConnection(); }

  int16_t GetMySeatNo() override { return GetMe() ? GetMe()->seatno : -1; }
  intptr_t GetPersonIcon(const TablePerson*) override { return 0; }
  void StartConnection() override { ConnectServer(connection_, Socket()); }
  int CreateTableControl() override { return SetTableDisplay(&display_), 1; }
  int CreateArithmeticControl() override { return SetRulesEngine(&rules_), 1; }
  void InitTable() override {}
  void InitArithmetic() override {}
  void FromCharsToCards(int16_t, const uint8_t*, card*) override {}
  void AutoSend() override {}
  MessageAnswer OnGameMessage(uint16_t id, const uint8_t* body, size_t length) override {
    offered.push_back({id, std::vector<uint8_t>(body, body + length)});
    return MessageAnswer::Taken;
  }
  void ExitGame() override {}
  void PlaySound(const char*) override {}
  void AddChatLine(const ChatTextFormat&, const char*) override {}
  void PersonListAddPerson(TablePerson*) override {}
  void PersonListRemovePerson(TablePerson*) override {}
  int GetPersonIconCount() override { return 0; }
  void AddHotRegion(const HotRegionRecord&) override {}
  void ShowMagicAction(const CVyrMessage_MagicAction&) override {}
  bool FindAvatarItem(uint32_t) override { return true; }
  std::string LoadDefaultAvatar(const TablePerson&) override { return {}; }
  std::string GetAvatarFolder() override { return {}; }
  bool FileExists(const std::string&) override { return false; }
  void AddAvatarItem(uint32_t, const std::string&) override {}
  void PushAvatarsToTable() override {}

 private:
  ConnectionSettings connection_;
  NoDisplay display_;
  NoRules rules_;
};

// What the server read from the client: the id of each frame.
struct ServerLog {
  std::mutex mutex;
  std::vector<uint16_t> ids;
  uint32_t joinUser = 0;
  void Add(uint16_t id, uint32_t user) {
    std::lock_guard<std::mutex> lock(mutex);
    ids.push_back(id);
    if (id == kJoinTable) joinUser = user;
  }
  bool Has(uint16_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    return std::find(ids.begin(), ids.end(), id) != ids.end();
  }
};

bool ReadFrame(SOCKET s, const loopback::Stop& stop, uint16_t& id, std::vector<uint8_t>& body) {
  uint8_t header[kMessageHeaderSize];
  if (!loopback::WaitReadable(s, stop) || !loopback::RecvAll(s, header, sizeof header)) return false;
  id = LoadBigEndian16(header);
  const uint32_t rest = LoadBigEndian32(header + 4);
  if (rest > 65536) return false;
  body.resize(rest);
  return rest == 0 || loopback::RecvAll(s, body.data(), rest);
}

TEST(FrameWalk, SignedFrameFromTheControlReachesTheGameDispatch) {
  constexpr uint32_t kKey = 0x5A17C0DE;
  const std::vector<uint8_t> gameBody = {0x01, 0x02, 0x03, 0x04, 0xFE};
  ServerLog seen;
  loopback::Listener server([&](SOCKET s, const loopback::Stop& stop) {
    uint16_t id = 0;
    std::vector<uint8_t> body;
    if (!ReadFrame(s, stop, id, body)) return;  // the join
    seen.Add(id, body.size() >= 4 ? LoadBigEndian32(body.data()) : 0);
    ScriptedServer script;
    std::vector<uint8_t> out = script.SessionStart(kKey, 700, 9000);
    const std::vector<uint8_t> game = script.Next(612, gameBody);
    out.insert(out.end(), game.begin(), game.end());
    if (!loopback::SendAll(s, out.data(), out.size())) return;
    while (ReadFrame(s, stop, id, body)) seen.Add(id, 0);  // the keep-alive and anything else
  });

  HWND parent = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  {
    Manager manager;
    manager.SetIsPlayer(1);
    TableWindowTimers timers;
    ASSERT_TRUE(timers.Create());
    TableNoticeWindows notices(parent, nullptr);
    FrameworkSession session;
    ConnectionSettings connection;
    connection.serverhost = "127.0.0.1";
    connection.serverport = server.port();
    WalkTable table(manager.Transport(), timers, notices, manager.Settings(), session, connection);
    timers.SetTarget([&table](uint32_t id) { table.OnGameTimer(id); });
    VyrSockEventRouter router(table);
    manager.CreateSocket(parent, 2, &router);
    ASSERT_NE(manager.Socket(), nullptr);

    auto me = std::make_unique<TablePerson>();
    me->id = 4242;
    me->status = kStatusPlaying;
    me->deskno = 0;
    me->seatno = 0;
    table.AppendPerson(std::move(me));
    table.SetMyId(4242);
    ASSERT_EQ(table.Create(), 1);
    EXPECT_EQ(notices.OpenNotices().size(), 1u) << "the wait box";

    table.Connect();
    ASSERT_TRUE(Pump([&] { return !table.offered.empty(); }));
    EXPECT_EQ(table.offered[0], (std::pair<uint16_t, std::vector<uint8_t>>{612, gameBody}));
    EXPECT_EQ(session.SessionKey, kKey);
    EXPECT_EQ(table.LastInboundSequence(), 9001u);
    EXPECT_EQ(table.ExpectHeader(), 1) << "the next header was asked for";
    EXPECT_EQ(table.IsReconnecting(), 0);
    ASSERT_TRUE(Pump([&] { return seen.Has(kKeepAlive); })) << "the keep-alive after 3010";
    EXPECT_EQ(seen.ids.front(), kJoinTable);
    EXPECT_EQ(seen.joinUser, 4242u);
    EXPECT_EQ(table.offered.size(), 1u);
    manager.CloseSocket();
  }
  DestroyWindow(parent);
}

// The table's timers are window timers by id: each expiry reaches the target with its id until
// the id is killed, and setting a running id again restarts it with the new period.
TEST(TableWindowTimers, DeliverEachIdUntilKilled) {
  TableWindowTimers timers;
  ASSERT_TRUE(timers.Create());
  std::vector<uint32_t> fired;
  timers.SetTarget([&](uint32_t id) {
    fired.push_back(id);
    if (id == 212) timers.KillTimer(212);  // a one-shot, as the exit-request hold is
  });
  timers.SetTimer(201, 20);
  timers.SetTimer(212, 30);
  timers.SetTimer(205, 60000);
  timers.SetTimer(205, 40);  // restarted with the shorter period
  ASSERT_TRUE(Pump([&] { return std::count(fired.begin(), fired.end(), 201u) >= 3 &&
                                std::count(fired.begin(), fired.end(), 205u) >= 1; }));
  EXPECT_EQ(std::count(fired.begin(), fired.end(), 212u), 1);
  timers.KillTimer(201);
  timers.KillTimer(205);
  fired.clear();
  PumpFor(150ms);
  EXPECT_TRUE(fired.empty());
}

}  // namespace
