// The base play table driven through whole sessions by a fake socket, timer host and notice sink:
// join, keep-alive, watchdogs, reconnects and giving up, sequence and trailer failures, the
// dispatch and its requests for the next header, exits and their notices, seat mapping.
#include "vyr_poke_play_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "archive.h"
#include "hand_storage.h"
#include "person_records.h"
#include "play_table_fakes.h"
#include "play_table_texts.h"
#include "session_texts.h"

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
  char line[512];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

std::string Msg(const std::string& text, bool close) {
  return "Message(" + text + (close ? ",close)" : ",stay)");
}
std::string MsgWait(const std::string& text, bool close) {
  return "MessageAndWait(" + text + (close ? ",close)" : ",stay)");
}

// One table with its fakes: the local player "me" (id 1) at desk 3 seat 0, "bob" (id 2) at seat 1.
struct Session {
  CallLog log;
  FakeSocket socket{log};
  FakeTimers timers{log};
  FakeNotices notices{log};
  FakeDisplay display{log};
  FakeRules rules{log};
  SessionSettings settings;
  FrameworkSession session;
  TestPlayTable table{socket, timers, notices, settings, session, log, display, rules};
  ScriptedServer server;
  // What the table asked the socket for and has not been delivered yet.
  std::vector<int32_t> pending;

  Session() {
    timers.fire = [this](uint32_t id) { table.OnGameTimer(id); };
    table.SetMyId(1);
    table.AddPerson(1, "me", "myname", 4, 3, 0);
    table.AddPerson(2, "bob", "bobby", 4, 3, 1);
    table.Create();
  }

  size_t Mark() const { return log.size(); }
  CallLog Since(size_t mark) const { return CallLog(log.begin() + static_cast<long>(mark), log.end()); }
  int Count(const std::string& line, size_t from = 0) const {
    return static_cast<int>(std::count(log.begin() + static_cast<long>(from), log.end(), line));
  }
  bool Has(const std::string& line, size_t from = 0) const { return Count(line, from) > 0; }

  // The requests of the receive path since mark (RecvNext lines).
  std::vector<int32_t> RequestsSince(size_t mark) const {
    std::vector<int32_t> requests;
    for (size_t i = mark; i < log.size(); ++i) {
      if (log[i].rfind("RecvNext(", 0) == 0) requests.push_back(std::stoi(log[i].substr(9)));
      if (log[i] == "Close") requests.clear();
    }
    return requests;
  }

  // Delivers a frame as the socket control would: exactly the bytes asked for, each delivery
  // in a buffer of its own size. Fails when the table did not ask for exactly one thing.
  void Deliver(const std::vector<uint8_t>& frame) {
    size_t at = 0;
    while (at < frame.size()) {
      ASSERT_EQ(pending.size(), 1u) << "the table must have exactly one request outstanding";
      const auto n = static_cast<size_t>(pending.front());
      ASSERT_LE(at + n, frame.size());
      const size_t mark = Mark();
      DeliverRaw(std::vector<uint8_t>(frame.begin() + static_cast<long>(at),
                                      frame.begin() + static_cast<long>(at + n)));
      pending = RequestsSince(mark);
      at += n;
    }
  }
  void DeliverRaw(const std::vector<uint8_t>& bytes) {
    auto copy = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    table.OnSocketData(copy.get(), bytes.size());
  }

  void Connected() {
    const size_t mark = Mark();
    table.OnSocketConnect(1);
    pending = RequestsSince(mark);
  }
  // Connect and session start: key 77, outbound seed 500, inbound base 100.
  void Join() {
    Connected();
    Deliver(server.SessionStart(77, 500, 100));
  }

  std::vector<uint8_t> LastSentBody() const {
    const auto& f = socket.sent.back();
    return {f.begin() + kMessageHeaderSize, f.end() - kMessageTrailerSize};
  }
};

template <class Record>
Record ReadSent(const std::vector<uint8_t>& body) {
  Record r;
  EXPECT_TRUE(ReadRecord(body.data(), body.size(), r));
  return r;
}

bool SessionTrailerValid(const std::vector<uint8_t>& frame, uint32_t key) {
  const size_t bodySize = frame.size() - kFrameOverhead;
  const MessageTrailer t =
      MakeSessionTrailer({{frame.data() + kMessageHeaderSize, bodySize}}, frame.data() + 8, key);
  return std::memcmp(&t, frame.data() + kMessageHeaderSize + bodySize, kMessageTrailerSize) == 0;
}

bool FixedTrailerValid(const std::vector<uint8_t>& frame) {
  const size_t bodySize = frame.size() - kFrameOverhead;
  const MessageTrailer t = MakeFixedTrailer({{frame.data() + kMessageHeaderSize, bodySize}});
  return std::memcmp(&t, frame.data() + kMessageHeaderSize + bodySize, kMessageTrailerSize) == 0;
}

TEST(PlayTableSession, ConstructionState) {
  Session s;
  EXPECT_EQ(s.table.ExpectHeader(), 1);
  EXPECT_EQ(s.table.ReconnectCount(), 0);
  EXPECT_EQ(s.table.LastInboundSequence(), 0u);
  EXPECT_EQ(s.table.IsGameOver(), 0);
  EXPECT_EQ(s.table.IsSoundOn(), 1);
  EXPECT_TRUE(s.table.CanRequestExit());
  EXPECT_EQ(s.session.SessionKey, 0u);
  EXPECT_EQ(s.session.OutboundSequence, 0u);
  EXPECT_TRUE(s.Has("WaitBox(" + std::string(kTextConnectingWait) + ",150000,screen)"));
}

// The base's own codec, for a game of playing cards: a message box for each code that is no card.
TEST(PlayTableSession, BaseCodecDecodesPlayingCardsAndNamesBadCodes) {
  Session s;
  s.table.baseCodec = true;
  const size_t before = s.notices.shown.size();
  const uint8_t codes[] = {4, 57, 99};
  card cards[3];
  s.table.DecodeForTest(3, codes, cards);
  EXPECT_EQ(cards[0], (card{0, 14}));
  EXPECT_EQ(cards[1], (card{5, 18}));
  ASSERT_EQ(s.notices.shown.size(), before + 1);
  EXPECT_EQ(s.notices.shown.back().text,
            "FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "99");
}

TEST(PlayTableSession, CreateInReviewModeOrWithoutControls) {
  struct Case {
    int review, table, rules, result;
    bool waitBox;
  } cases[] = {{1, 1, 1, 1, false}, {0, 0, 1, 0, true}, {0, 1, 0, 0, true}};
  for (const Case& c : cases) {
    Session s;
    s.log.clear();
    s.settings.reviewMode = c.review;
    s.table.createTable = c.table;
    s.table.createRules = c.rules;
    EXPECT_EQ(s.table.Create(), c.result);
    EXPECT_EQ(s.Has("WaitBox(" + std::string(kTextConnectingWait) + ",150000,screen)"), c.waitBox);
    EXPECT_EQ(s.Has("InitTable"), c.result == 1);
  }
}

// Connect, join, session start, the answer at once, then keep-alives every 30 s of send silence.
TEST(PlayTableSession, JoinAndKeepAlive) {
  Session s;
  s.settings.serviceType = 5;
  s.settings.gameType = 6;
  s.settings.subType = 7;
  size_t mark = s.Mark();
  s.Connected();
  EXPECT_EQ(s.Since(mark), (CallLog{"SetTimeOut(60000)", "Send(3001,65)", "RecvNext(32)",
                                    "SetTimer(204,57606648)"}));
  ASSERT_EQ(s.socket.sent.size(), 1u);
  EXPECT_TRUE(FixedTrailerValid(s.socket.sent[0]));
  const auto join = ReadSent<CVyrMessage_JoinTable>(s.LastSentBody());
  EXPECT_EQ(join.userId, 1u);
  EXPECT_EQ(join.tableCode, 3);
  EXPECT_EQ(join.seatCode, 0);
  EXPECT_EQ(join.serviceType, 5);
  EXPECT_EQ(join.subType, 7);

  mark = s.Mark();
  s.Deliver(s.server.SessionStart(77, 500, 100));
  EXPECT_EQ(s.Since(mark),
            (CallLog{"KillTimer(205)", "SetTimer(205,45000)", "RecvNext(45)",  // header
                     "KillTimer(205)", "SetTimer(205,45000)",                   // body
                     "Send(3011,49)", "KillTimer(205)", "SetTimer(205,45000)", "KillTimer(201)",
                     "SetTimer(201,30000)", "RecvNext(32)"}));
  EXPECT_EQ(s.session.SessionKey, 77u);
  EXPECT_EQ(s.table.LastInboundSequence(), 100u);
  const auto& keepAlive = s.socket.sent.back();
  EXPECT_EQ(LoadBigEndian32(keepAlive.data() + 8), 501u);
  EXPECT_TRUE(SessionTrailerValid(keepAlive, 77));

  // The server keeps talking (no silence), the client sends a keep-alive every 30 s.
  for (int i = 0; i < 4; ++i) {
    s.timers.Advance(20000);
    s.Deliver(s.server.Next(kKeepAlive, std::vector<uint8_t>{}));
  }
  EXPECT_EQ(s.Count("Send(3011,49)", mark), 1 + 2);  // at 0 s, 30 s and 60 s
  EXPECT_EQ(s.Count("Timer(205)", mark), 0);
  EXPECT_EQ(LoadBigEndian32(s.socket.sent.back().data() + 8), 503u);

  // Another send restarts the 30 s: the exit request at 80 s moves the next keep-alive to 110 s.
  mark = s.Mark();
  s.table.RequestExit();
  s.Deliver(s.server.Next(kKeepAlive, std::vector<uint8_t>{}));
  s.timers.Advance(29999);
  EXPECT_EQ(s.Count("Send(3011,49)", mark), 0);
  s.timers.Advance(1);
  EXPECT_EQ(s.Count("Send(3011,49)", mark), 1);
}

// The socket's connect outcome: 1 joins, 0 shows the failure for 2 s and sends nothing, any other
// value does nothing at all.
TEST(PlayTableSession, ConnectOutcomes) {
  struct Case {
    int16_t result;
    bool notice, joined;
  } cases[] = {{1, false, true}, {0, true, false}, {2, false, false}, {-1, false, false},
               {99, false, false}};
  for (const Case& c : cases) {
    Session s;
    const size_t mark = s.Mark();
    s.table.OnSocketConnect(c.result);
    const CallLog after = s.Since(mark);
    EXPECT_EQ(s.Has("CountDown(" + std::string(kTextServerConnectFailed) + ",2000)", mark), c.notice)
        << c.result;
    EXPECT_EQ(s.socket.sent.size(), c.joined ? 1u : 0u) << c.result;
    if (!c.notice && !c.joined) EXPECT_TRUE(after.empty()) << c.result;
  }
}

// A table whose list holds no local player (the lobby named nobody, or somebody who is not in
// it): it does not join as nobody, and nothing that reads the local player fails for want of one.
TEST(PlayTableSession, WithoutALocalPlayer) {
  for (uint32_t myId : {0u, 77u}) {
    Session s;
    s.table.SetMyId(myId);
    ASSERT_EQ(s.table.GetMe(), nullptr);
    size_t mark = s.Mark();
    s.table.OnSocketConnect(1);
    EXPECT_TRUE(s.socket.sent.empty()) << myId;
    EXPECT_EQ(s.Since(mark), CallLog{"Close"}) << myId;

    // The server's word about the others still reaches the table.
    const auto body = [&](uint16_t id, const auto& record) {
      const std::vector<uint8_t> f = s.server.Next(id, record);
      return std::vector<uint8_t>(f.begin() + kMessageHeaderSize, f.end() - kMessageTrailerSize);
    };
    CVyrMessage_PersonState state;
    state.userId = 2;
    state.state = 2;
    const auto back = body(kPersonState, state);
    EXPECT_EQ(s.table.OnServerMessage(kPersonState, back.data(), back.size()),
              MessageAnswer::Taken) << myId;
    CVyrMessage_PlayerExit exit;
    exit.userId = 2;
    exit.reason = 1;
    const auto gone = body(kPlayerExit, exit);
    mark = s.Mark();
    s.table.OnServerMessage(kPlayerExit, gone.data(), gone.size());
    EXPECT_FALSE(s.Has("ExitGame", mark)) << myId;  // another player's exit ends nothing here

    // The player's own requests name nobody; an answer for nobody is not sent.
    const size_t sent = s.socket.sent.size();
    s.table.SendExitAnswer(2, 0);
    EXPECT_EQ(s.socket.sent.size(), sent) << myId;
    s.table.OnExitRequested(2);
    s.table.OnWaitOtherTables(1);
    s.table.ShowSeatPerson(0);
    s.table.RequestExit();
    s.table.SendLeaveSeat();
    s.table.SendExit(0);
    EXPECT_EQ(s.socket.sent.size(), sent + 3) << myId;
  }
}

// 45 s without a delivery: reconnect; the fourth expiry without a connect in between gives up.
// A successful connect in between resets the count.
TEST(PlayTableSession, SilenceWatchdogReconnectsThenGivesUp) {
  for (const bool connectBetween : {false, true}) {
    SCOPED_TRACE(connectBetween);
    Session s;
    s.Join();
    for (int expiry = 1; expiry <= 3; ++expiry) {
      const size_t mark = s.Mark();
      s.timers.Advance(45000);
      const CallLog since = s.Since(mark);
      const auto fired = std::find(since.begin(), since.end(), "Timer(205)");
      EXPECT_EQ(CallLog(fired, since.end()), (CallLog{"Timer(205)", "KillTimer(201)", "KillTimer(215)",
                                        "StartConnection", "Close", "Connect(game.host,7010)",
                                        "SetTimer(205,45000)"}));
      EXPECT_EQ(s.table.ReconnectCount(), connectBetween ? 1 : expiry);
      EXPECT_EQ(s.table.IsReconnecting(), 1);
      if (connectBetween) s.Connected();
    }
    const size_t mark = s.Mark();
    s.timers.Advance(45000);
    EXPECT_EQ(s.Has(Msg(kTextCannotConnect, true), mark), !connectBetween);
    EXPECT_EQ(s.table.IsGameOver(), connectBetween ? 0 : 1);
    if (!connectBetween) {
      EXPECT_EQ(s.socket.connects, 3);
      // Nothing keeps the finished session alive or reconnects it.
      for (uint32_t id : {201u, 203u, 204u, 205u, 215u}) EXPECT_FALSE(s.timers.Running(id)) << id;
      const size_t after = s.Mark();
      s.timers.Advance(10 * 60000);
      EXPECT_TRUE(s.Since(after).empty());
    }
  }
}

// The join watchdog (204) and the reconnect watchdog (203) re-arm themselves with their periods;
// a roster stops both.
TEST(PlayTableSession, JoinAndReconnectWatchdogs) {
  Session s;
  s.Connected();
  size_t mark = s.Mark();
  s.timers.Advance(kJoinWatchdogPeriod);
  EXPECT_EQ(s.Since(mark), (CallLog{"Timer(204)", "StartConnection", "Close",
                                    "Connect(game.host,7010)", "SetTimer(204,57606648)"}));
  EXPECT_EQ(s.table.ReconnectCount(), 1);

  s.Join();
  CVyrMessage_PersonState state;
  state.userId = 1;
  state.state = 4;
  mark = s.Mark();
  s.Deliver(s.server.Next(kPersonState, state));
  EXPECT_TRUE(s.Has("SetTimer(203,45000)", mark));
  EXPECT_TRUE(s.timers.Running(203));
  s.Deliver(s.server.Next(3206, std::vector<uint8_t>{}));  // an empty roster of member k = 2
  EXPECT_FALSE(s.timers.Running(203));
  EXPECT_FALSE(s.timers.Running(204));

  s.Deliver(s.server.Next(kPersonState, state));
  mark = s.Mark();
  s.timers.Advance(45000);  // 203 and 205 run with the same period; 203 was armed later
  EXPECT_TRUE(s.Has("Timer(203)", mark));
  EXPECT_TRUE(s.Has("SetTimer(203,45000)", mark));
}

// A repeated sequence closes, shows the reconnect notice (which does not end the game), and
// connects again; the delivery asks for nothing more. The fourth without a connect ends the game.
TEST(PlayTableSession, SequenceErrorsReconnectThenGiveUp) {
  Session s;
  s.Join();
  s.Deliver(s.server.Next(kKeepAlive, std::vector<uint8_t>{}));  // sequence 101
  for (int error = 1; error <= 3; ++error) {
    const auto repeat = s.server.Frame(kKeepAlive, {}, 101);
    const size_t mark = s.Mark();
    s.DeliverRaw({repeat.begin(), repeat.begin() + kMessageHeaderSize});
    EXPECT_EQ(s.Since(mark),
              (CallLog{"KillTimer(205)", "SetTimer(205,45000)", "Close", "KillTimer(201)",
                       "KillTimer(215)", "KillTimer(203)", "KillTimer(204)", "KillTimer(205)",
                       MsgWait(kTextNetworkFaultReconnect, false), "StartConnection", "Close",
                       "Connect(game.host,7010)", "SetTimer(205,45000)"}));
    EXPECT_EQ(s.table.ReconnectCount(), error);
    EXPECT_EQ(s.table.ExpectHeader(), 1);
    EXPECT_EQ(s.table.IsGameOver(), 0);
  }
  const auto repeat = s.server.Frame(kKeepAlive, {}, 50);
  const size_t mark = s.Mark();
  s.DeliverRaw({repeat.begin(), repeat.begin() + kMessageHeaderSize});
  EXPECT_TRUE(s.Has(MsgWait(kTextCannotConnect, true), mark));
  EXPECT_TRUE(s.Has("ExitGame", mark));
  EXPECT_FALSE(s.Has("StartConnection", mark));
  EXPECT_TRUE(s.RequestsSince(mark).empty());
  EXPECT_EQ(s.table.ReconnectCount(), 0);
  EXPECT_EQ(s.table.IsGameOver(), 1);
  EXPECT_FALSE(s.timers.Running(205));
}

// While the modal reconnect notice waits, no watchdog fires and starts a second connect; the
// silence watchdog runs again after the connect, so a failed connect is retried.
TEST(PlayTableSession, NoSecondConnectDuringModalReconnectNotice) {
  Session s;
  s.Join();
  CVyrMessage_PersonState state;
  state.userId = 1;
  state.state = 6;
  s.Deliver(s.server.Next(kPersonState, state));  // 203 running too
  s.notices.whileWaiting = [&] { s.timers.Advance(5 * 60000); };
  const auto repeat = s.server.Frame(kKeepAlive, {}, s.server.sequence);
  const int connectsBefore = s.socket.connects;
  s.DeliverRaw({repeat.begin(), repeat.begin() + kMessageHeaderSize});
  EXPECT_EQ(s.socket.connects, connectsBefore + 1);
  EXPECT_TRUE(s.timers.Running(205));
  s.notices.whileWaiting = nullptr;
  const size_t mark = s.Mark();
  s.timers.Advance(45000);  // the connect failed silently: 205 retries
  EXPECT_TRUE(s.Has("Connect(game.host,7010)", mark));
}

// Trailer checks: a bad trailer on a checked id reconnects without counting; an exempt id is
// dispatched whatever its trailer holds.
TEST(PlayTableSession, BadTrailerOnCheckedAndExemptIds) {
  struct Case {
    uint16_t id;
    bool reconnect;
  } cases[] = {{kPlayerExit, true}, {kExitRequest, true}, {kPersonOffline, false},
               {kWatcherExit, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Session s;
    s.table.AddPerson(9, "w", "watcher", 5, 3, 1);
    s.Join();
    CVyrMessage_WatcherExit body;  // 12 bytes starting with the user id: long enough for all
    body.userId = 9;
    auto frame = s.server.Next(c.id, body);
    frame[frame.size() - 5] ^= 0x5a;
    const size_t mark = s.Mark();
    s.Deliver(frame);
    EXPECT_EQ(s.Has(MsgWait(kTextNetworkFaultReconnect, false), mark), c.reconnect);
    EXPECT_EQ(s.Has("StartConnection", mark), c.reconnect);
    EXPECT_EQ(s.table.ReconnectCount(), 0);
    EXPECT_EQ(s.table.ExpectHeader(), 1);
    if (c.reconnect) {
      EXPECT_TRUE(s.pending.empty());
    } else {
      EXPECT_EQ(s.pending, std::vector<int32_t>{32});
    }
  }
}

// A header announcing more than any message of the game is a framing failure: reconnect, and
// the announced length is never asked for. An exit answer asks for the next header once.
TEST(PlayTableSession, OversizedHeaderAndExitAnswer) {
  Session s;
  s.Join();
  s.Deliver(s.server.Next(kExitAnswer, CVyrMessage_ExitAnswer{}));
  EXPECT_EQ(s.pending, std::vector<int32_t>{32});
  auto header = s.server.Next(kKeepAlive, std::vector<uint8_t>{});
  header.resize(kMessageHeaderSize);
  StoreBigEndian32(header.data() + 4, 0x7fffffff);
  const size_t mark = s.Mark();
  s.Deliver(header);
  EXPECT_TRUE(s.Has(MsgWait(kTextNetworkFaultReconnect, false), mark));
  EXPECT_TRUE(s.Has("StartConnection", mark));
  EXPECT_TRUE(s.RequestsSince(mark).empty());
  EXPECT_EQ(s.table.ReconnectCount(), 0);
}

// A message nobody takes is followed by exactly one request for the next header, and the next
// message is received; one the game takes is not asked for twice.
TEST(PlayTableSession, UntakenMessagesStillReceiveTheNext) {
  for (const int gameTakes : {0, 1}) {
    Session s;
    s.table.gameTakes = gameTakes;
    s.Join();
    size_t mark = s.Mark();
    s.Deliver(s.server.Next(999, std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(s.Has("Game(999)", mark));
    EXPECT_EQ(s.pending, std::vector<int32_t>{32});
    EXPECT_EQ(s.Count("RecvNext(32)", mark), 1);
    // 3040 is offered on after its request; nobody asks again.
    CVyrMessage_MagicAction action;
    action.senderId = 2;
    mark = s.Mark();
    s.Deliver(s.server.Next(kMagicAction, action));
    EXPECT_TRUE(s.Has("ShowMagicAction(2)", mark));
    EXPECT_TRUE(s.Has("Game(3040)", mark));
    EXPECT_EQ(s.pending, std::vector<int32_t>{32});
    // The next message is received normally.
    CVyrMessage_PersonOffline offline;
    offline.userId = 2;
    mark = s.Mark();
    s.Deliver(s.server.Next(kPersonOffline, offline));
    EXPECT_TRUE(s.Has("PlaySound(IDW_OFFLINE)", mark));
  }
}

// 3003 with end code 2 sets the ignore-game-data flag; a later 3003 is then not taken by the
// framework, and the receiving goes on.
TEST(PlayTableSession, GameAbortWhileIgnoringGameData) {
  Session s;
  s.Join();
  CVyrMessage_GameAbort abort;
  abort.endCode = 2;
  size_t mark = s.Mark();
  s.Deliver(s.server.Next(kGameAbort, abort));
  EXPECT_EQ(s.table.IgnoresGameData(), 1);
  EXPECT_FALSE(s.Has("Game(3003)", mark));
  abort.endCode = 0;
  abort.kind = -1;
  mark = s.Mark();
  s.Deliver(s.server.Next(kGameAbort, abort));
  EXPECT_TRUE(s.Has("Game(3003)", mark));
  EXPECT_FALSE(s.Has(Msg(kTextSomeUserQuitAtStart, true), mark));
  EXPECT_TRUE(s.Has("SetTimer(205,45000)", mark));
  EXPECT_EQ(s.pending, std::vector<int32_t>{32});
}

TEST(PlayTableSession, ConnectRefusedAndBackOnLine) {
  Session s;
  s.Join();
  size_t mark = s.Mark();
  s.Deliver(s.server.Next(kConnectRefused, CVyrMessage_ConnectRefused{}));
  EXPECT_TRUE(s.Has(Msg(kTextCannotConnect, true), mark));
  EXPECT_EQ(s.table.IsGameOver(), 1);
  EXPECT_FALSE(s.timers.Running(205));
  // The local player reported back on line: the recovered game does not close without asking.
  CVyrMessage_PersonState state;
  state.userId = 1;
  state.state = 2;
  s.Deliver(s.server.Next(kPersonState, state));
  EXPECT_EQ(s.table.IsGameOver(), 0);
  EXPECT_EQ(s.table.IgnoresGameData(), 1);
}

// After a game-ending notice the server may still send a frame; its silence afterwards must not
// reconnect the finished game.
TEST(PlayTableSession, FinishedGameIsNotReconnectedAfterALaterFrame) {
  Session s;
  s.Join();
  s.Deliver(s.server.Next(kConnectRefused, CVyrMessage_ConnectRefused{}));
  ASSERT_EQ(s.table.IsGameOver(), 1);
  CVyrMessage_PersonState other;
  other.userId = 99;  // somebody else: the game stays over
  other.state = 2;
  s.Deliver(s.server.Next(kPersonState, other));
  ASSERT_EQ(s.table.IsGameOver(), 1);
  EXPECT_FALSE(s.timers.Running(205));
  const size_t mark = s.Mark();
  s.timers.Advance(10 * 60000);
  EXPECT_FALSE(s.Has("StartConnection", mark));
  EXPECT_EQ(s.socket.connects, 0);
}

// 3002 reporting the local player's connection failed (kinds 1 and 2) ends the game: a frame
// that still arrives re-arms no watchdog, and nothing reconnects the finished game or shows a
// second ending notice. Only 3002 reporting the player back on line reopens it.
TEST(PlayTableSession, NetworkFailureReportedBy3002EndsTheGame) {
  for (const uint16_t kind : {1, 2}) {
    Session s;
    s.Join();
    CVyrMessage_PersonState failed;
    failed.userId = 1;
    failed.failureKind = kind;
    const size_t mark = s.Mark();
    s.Deliver(s.server.Next(kPersonState, failed));
    EXPECT_TRUE(s.Has(Msg(kTextNetworkFaultGameOver, true), mark)) << kind;
    EXPECT_EQ(s.table.IsGameOver(), 1) << kind;
    s.Deliver(s.server.Next(999, std::vector<uint8_t>{1, 2}));
    EXPECT_FALSE(s.timers.Running(205)) << kind;
    s.timers.Advance(10 * 60000);
    EXPECT_EQ(s.socket.connects, 0) << kind;
    EXPECT_FALSE(s.Has("StartConnection", mark)) << kind;
    EXPECT_FALSE(s.Has(Msg(kTextCannotConnect, true), mark)) << kind;
    EXPECT_EQ(s.Count(Msg(kTextNetworkFaultGameOver, true), mark), 1) << kind;
  }
}

// A connection that breaks after the game-ending notice (a broken frame, a failing socket call)
// is closed and not reconnected: nothing brings back a finished game.
TEST(PlayTableSession, FinishedGameIsNotReconnectedAfterABrokenConnection) {
  const struct {
    const char* name;
    std::function<void(Session&)> breakIt;
  } cases[] = {
      {"bad trailer",
       [](Session& s) {
         auto frame = s.server.Next(999, std::vector<uint8_t>{1, 2});
         frame[frame.size() - 5] ^= 0x5a;
         s.Deliver(frame);
       }},
      {"old sequence number",
       [](Session& s) {
         auto frame = s.server.Frame(kPersonOffline, std::vector<uint8_t>(4), s.server.sequence);
         frame.resize(kMessageHeaderSize);  // the header fails: nothing more is asked for
         s.Deliver(frame);
       }},
      {"failing socket call",
       [](Session& s) {
         s.socket.failingCalls = 1;  // asking for the body fails
         auto frame = s.server.Next(999, std::vector<uint8_t>{1});
         frame.resize(kMessageHeaderSize);
         s.Deliver(frame);
       }},
  };
  for (const auto& c : cases) {
    Session s;
    s.Join();
    CVyrMessage_PersonState failed;
    failed.userId = 1;
    failed.failureKind = 1;
    s.Deliver(s.server.Next(kPersonState, failed));
    ASSERT_EQ(s.table.IsGameOver(), 1) << c.name;
    const size_t mark = s.Mark();
    c.breakIt(s);
    s.timers.Advance(10 * 60000);
    EXPECT_TRUE(s.Has("Close", mark)) << c.name;
    EXPECT_FALSE(s.Has("StartConnection", mark)) << c.name;
    EXPECT_FALSE(s.Has(MsgWait(kTextNetworkFaultReconnect, false), mark)) << c.name;
    EXPECT_EQ(s.socket.connects, 0) << c.name;
  }
}

// 3040 and 3041 are offered on after the framework asked for the next header: a game layer that
// takes them does not ask again, one request per received body.
TEST(PlayTableSession, MagicActionsTakenByTheGameAskForOneHeader) {
  Session s;
  s.table.takes = {kMagicAction, kMagicActionRefused};
  s.Join();
  CVyrMessage_MagicAction action;
  action.senderId = 2;
  size_t mark = s.Mark();
  s.Deliver(s.server.Next(kMagicAction, action));
  EXPECT_TRUE(s.Has("Game(3040)", mark));
  EXPECT_EQ(s.Count("RecvNext(32)", mark), 1);
  EXPECT_EQ(s.pending, std::vector<int32_t>{32});
  mark = s.Mark();
  s.Deliver(s.server.Next(kMagicActionRefused, CVyrMessage_MagicActionRefused{}));
  EXPECT_TRUE(s.Has("Game(3041)", mark));
  EXPECT_EQ(s.Count("RecvNext(32)", mark), 1);
  EXPECT_EQ(s.pending, std::vector<int32_t>{32});
  // A game id the game takes still asks once, and the socket's connect asks once as before.
  s.table.gameTakes = 1;
  mark = s.Mark();
  s.Deliver(s.server.Next(612, std::vector<uint8_t>{7}));
  EXPECT_EQ(s.Count("RecvNext(32)", mark), 1);
  mark = s.Mark();
  s.table.OnSocketConnect(1);
  EXPECT_EQ(s.Count("RecvNext(32)", mark), 1);
}

// Every exit reason of a seated player ends the game with its text; the socket is closed and no
// timer keeps the session alive.
TEST(PlayTableSession, PlayerExitReasons) {
  const std::string name = "bobby";
  const std::string nick = "bob";
  const struct {
    int16_t reason;
    std::string text;
  } cases[] = {
      {0, Format(kTextExitNormal, "bobby", "bob")},
      {1, Format(kTextExitForced, "bobby", "bob")},
      {2, Format(kTextExitDropped, "bobby", "bob")},
      {3, Format(kTextExitAgreed, "bobby", "bob")},
      {4, Format(kTextExitTooPoor, "bobby", "bob")},
      {5, Format(kTextExitLevelTooLow, "bobby", "bob")},
      {6, kTextExitByAdministrator},
      {7, kTextExitOtherReason},
      {8, kTextExitRoundPlayed},
      {9, kTextExitByReferee},
      {10, kTextExitOutOfMatchTime},
      {11, kTextExitOtherReason},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    Session s;
    s.Join();
    CVyrMessage_PlayerExit exit;
    exit.userId = 2;
    exit.reason = static_cast<uint16_t>(c.reason);
    const size_t mark = s.Mark();
    s.Deliver(s.server.Next(kPlayerExit, exit));
    EXPECT_TRUE(s.Has("Close", mark));
    EXPECT_TRUE(s.Has(Msg(c.text, true), mark));
    EXPECT_EQ(s.table.IsGameOver(), 1);
    for (uint32_t id : {201u, 203u, 204u, 205u, 215u}) EXPECT_FALSE(s.timers.Running(id)) << id;
    EXPECT_TRUE(s.pending.empty()) << ::testing::PrintToString(s.Since(mark));
  }
}

// 3026 for somebody who is not a seated player, or whom the table does not know.
TEST(PlayTableSession, ExitOfWatchersAndUnknownPersons) {
  const struct {
    uint32_t userId;
    int16_t myStatus;
    int16_t reason;
    std::string expected;
    int gameOver;
  } cases[] = {
      {9, 4, 0, "AddChatLine(32768," + Format(kTextPersonLeft, "w", "watcher") + ")", 0},
      {1, 5, 0, "ExitGame", 0},
      {0, 4, 9, Msg(kTextExitByReferee, true), 1},
      {0, 4, 7, Msg(kTextExitOtherReason, true), 1},
      {0, 4, 10, Msg(kTextExitOutOfMatchTime, true), 1},
      {55, 4, 9, Msg(Format(kTextUserForcedOut, 55), true), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    Session s;
    s.table.AddPerson(9, "w", "watcher", 5, 3, 1);
    s.table.GetMe()->status = c.myStatus;
    s.Join();
    CVyrMessage_PlayerExit exit;
    exit.userId = c.userId;
    exit.reason = static_cast<uint16_t>(c.reason);
    const size_t mark = s.Mark();
    s.Deliver(s.server.Next(kPlayerExit, exit));
    EXPECT_TRUE(s.Has(c.expected, mark));
    EXPECT_EQ(s.table.IsGameOver(), c.gameOver);
    EXPECT_EQ(s.Has("Close", mark), c.gameOver == 1);
  }
}

// Lets time pass while the server keeps sending, so that the silence watchdog stays quiet.
void KeepTalking(Session& s, uint64_t ms) {
  for (uint64_t passed = 0; passed < ms; passed += 10000) {
    s.Deliver(s.server.Next(kKeepAlive, std::vector<uint8_t>{}));
    s.timers.Advance(std::min<uint64_t>(10000, ms - passed));
  }
}

// A player asks at most twice, the second time only once timer 212 let it; a watcher leaves.
TEST(PlayTableSession, ExitRequestLimits) {
  Session s;
  s.Join();
  size_t mark = s.Mark();
  s.table.RequestExit();
  EXPECT_EQ(s.Since(mark), (CallLog{"KillTimer(201)", "SetTimer(201,30000)", "Send(3031,57)",
                                    "SetTimer(212,45000)"}));
  const auto request = ReadSent<CVyrMessage_ExitRequest>(s.LastSentBody());
  EXPECT_EQ(request.userId, 1u);
  EXPECT_EQ(request.seatCode, 0);
  EXPECT_EQ(request.flag, 1);
  EXPECT_TRUE(SessionTrailerValid(s.socket.sent.back(), 77));
  EXPECT_FALSE(s.table.CanRequestExit());

  // Refused: the server reports the refusal as a request box in mode 1; the hold runs out.
  s.table.OnExitRequest(2, 1);
  EXPECT_EQ(s.log.back(), "ExitBox(1,2000," + Format(kTextExitRefused, "bob", "bobby") + ",2)");
  KeepTalking(s, 45000);
  EXPECT_TRUE(s.Has("KillTimer(212)"));
  EXPECT_TRUE(s.table.CanRequestExit());

  s.table.RequestExit();
  EXPECT_EQ(s.table.ExitRequestsSent(), 2);
  KeepTalking(s, 45000);
  EXPECT_FALSE(s.table.CanRequestExit());
  mark = s.Mark();
  s.table.RequestExit();
  EXPECT_TRUE(s.Since(mark).empty());
  EXPECT_EQ(s.Count("Send(3031,57)"), 2);

  // Granted: the server reports the exit with reason 3.
  CVyrMessage_PlayerExit exit;
  exit.userId = 1;
  exit.reason = 3;
  s.Deliver(s.server.Next(kPlayerExit, exit));
  EXPECT_EQ(s.notices.shown.back().text, Format(kTextExitAgreed, "myname", "me"));
  EXPECT_TRUE(s.notices.shown.back().closeOnOk);
}

TEST(PlayTableSession, WatcherLeavesAtOnce) {
  Session s;
  s.settings.PlayerFlag = 0;
  s.table.GetMe()->watchno = 4;
  s.Join();
  const size_t mark = s.Mark();
  s.table.RequestExit();
  EXPECT_EQ(s.Since(mark), (CallLog{"KillTimer(201)", "SetTimer(201,30000)", "Send(3027,61)"}));
  const auto exit = ReadSent<CVyrMessage_WatcherExit>(s.LastSentBody());
  EXPECT_EQ(exit.userId, 1u);
  EXPECT_EQ(exit.watchNo, 4);
  EXPECT_EQ(s.table.ExitRequestsSent(), 0);
  s.table.SendLeaveSeat();  // a watcher sends nothing
  EXPECT_EQ(s.socket.sent.size(), 3u);
}

// Another player's request opens the consent box; the answer goes out as 3032. The local
// player's own request coming back opens nothing.
TEST(PlayTableSession, ExitRequestFromAnotherPlayerAndTheAnswer) {
  Session s;
  s.settings.doubleStyle = 1;  // desk 3 is odd: seat codes are seat + 2
  s.Join();
  CVyrMessage_ExitRequest request;
  request.userId = 1;
  size_t mark = s.Mark();
  s.Deliver(s.server.Next(kExitRequest, request));
  EXPECT_EQ(s.Count("CloseExitBox", mark), 0);
  request.userId = 2;
  s.Deliver(s.server.Next(kExitRequest, request));
  EXPECT_EQ(s.notices.shown.back().kind, NoticeKind::ExitBox);
  EXPECT_TRUE(s.Has("ExitBox(0,4000," + Format(kTextAskExitConsent, "bob", "bobby") + ",2)", mark));

  s.table.SendExitAnswer(2, 1);
  const auto answer = ReadSent<CVyrMessage_ExitAnswer>(s.LastSentBody());
  EXPECT_EQ(answer.requesterId, 2u);
  EXPECT_EQ(answer.requesterSeatCode, 3);
  EXPECT_EQ(answer.answererId, 1u);
  EXPECT_EQ(answer.answererSeatCode, 2);
  EXPECT_EQ(answer.answer, 1);
  EXPECT_TRUE(SessionTrailerValid(s.socket.sent.back(), 77));
}

// Leaving before the start and leaving a running game as a player.
TEST(PlayTableSession, LeaveBeforeStartAndPlayerExit) {
  Session s;
  s.Join();
  s.table.SendLeaveSeat();
  const auto& leave = s.socket.sent.back();
  EXPECT_EQ(LoadBigEndian16(leave.data()), kLeaveBeforeStart);
  EXPECT_EQ(leave.size(), 8 + kFrameOverhead);
  EXPECT_TRUE(FixedTrailerValid(leave));
  EXPECT_EQ(ReadSent<CVyrMessage_LeaveBeforeStart>(s.LastSentBody()).userId, 1u);

  for (const int16_t consent : {0, 7}) {
    s.table.SendExit(consent);
    const auto exit = ReadSent<CVyrMessage_PlayerExit>(s.LastSentBody());
    EXPECT_EQ(exit.userId, 1u);
    EXPECT_EQ(exit.reason, consent ? 1 : 0);
    EXPECT_TRUE(SessionTrailerValid(s.socket.sent.back(), 77));
  }
}

TEST(PlayTableSession, OfflineNoticeOnlyOutsideTheDeal) {
  Session s;
  s.Join();
  size_t mark = s.Mark();
  s.table.OnPlayerOffline(2);
  EXPECT_EQ(s.Since(mark),
            (CallLog{"PlaySound(IDW_OFFLINE)",
                     "AddChatLine(255," + Format(kTextPersonOffline, "bob", "bobby") + ")"}));
  s.table.StartDeal(0);
  mark = s.Mark();
  s.table.OnPlayerOffline(2);
  s.table.StartDeal(1);
  s.table.OnPlayerOffline(77);  // unknown: nothing
  EXPECT_TRUE(s.Since(mark).empty());
}

TEST(PlayTableSeats, MappingTwoSeats) {
  const struct {
    int16_t otherStatus;  // 0: nobody at seat 1
    int16_t seatOfLoc1;
    int16_t locOfSeat1;
  } cases[] = {{4, 1, 1}, {5, -1, 1}, {0, -1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.otherStatus);
    Session s;
    if (c.otherStatus == 0) s.table.RemovePerson(2);
    else s.table.FindPerson(2)->status = c.otherStatus;
    EXPECT_EQ(s.table.GetSeatNoFromLoc(0), 0);
    EXPECT_EQ(s.table.GetSeatNoFromLoc(1), c.seatOfLoc1);
    EXPECT_EQ(s.table.GetLocFromSeatNo(0), 0);
    EXPECT_EQ(s.table.GetLocFromSeatNo(1), c.locOfSeat1);
  }
}

TEST(PlayTableSeats, InvalidLocationsAndSeats) {
  Session s;
  for (const int16_t loc : {-1, 2, 100}) {
    s.log.clear();
    EXPECT_EQ(s.table.GetSeatNoFromLoc(loc), -1);
    EXPECT_EQ(s.log, CallLog{"SystemBox(" + Format(kTextInvalidLoc, loc) + ")"});
  }
  EXPECT_EQ(s.log.back(), "SystemBox(GetSeatNoFromLoc: \xce\xde\xd0\xa7loc:100)");
  // A seat outside the table has no location (it would look like a valid one).
  for (const int16_t seat : {-1, 2, 300}) EXPECT_EQ(s.table.GetLocFromSeatNo(seat), -1) << seat;
}

TEST(PlayTableSeats, MappingThreeSeats) {
  Session s;
  s.settings.seatsPerTable = 3;
  s.table.GetMe()->seatno = 1;
  s.table.FindPerson(2)->seatno = 0;
  EXPECT_EQ(s.table.GetSeatNoFromLoc(1), 0);  // seat 2 is empty: the walk 2, 0 finds 0 first
  EXPECT_EQ(s.table.GetSeatNoFromLoc(2), -1);
  s.table.AddPerson(3, "c", "carol", 4, 3, 2);
  EXPECT_EQ(s.table.GetSeatNoFromLoc(1), 2);
  EXPECT_EQ(s.table.GetSeatNoFromLoc(2), 0);
  EXPECT_EQ(s.table.GetLocFromSeatNo(2), 1);
  EXPECT_EQ(s.table.GetLocFromSeatNo(0), 2);
  EXPECT_EQ(s.table.GetLocFromSeatNo(1), 0);
}

TEST(PlayTableSeats, SeatAndTableCodes) {
  const struct {
    int doubleStyle;
    int16_t desk, seat, seatCode, tableCode;
  } cases[] = {
      {1, 3, 1, 3, 1}, {1, 2, 1, 1, 1}, {0, 3, 1, 1, 3},
      {1, -1, 1, -1, -1}, {0, 3, -1, -1, -1},
  };
  for (const auto& c : cases) {
    Session s;
    s.settings.doubleStyle = c.doubleStyle;
    EXPECT_EQ(s.table.GetSeatCode(c.desk, c.seat), c.seatCode);
    EXPECT_EQ(s.table.GetTableCode(c.desk, c.seat), c.tableCode);
    if (c.seatCode >= 0) EXPECT_EQ(s.table.GetSeatFromSeatCode(c.desk, c.seatCode), c.seat);
  }
  Session s;
  EXPECT_EQ(s.table.GetSeatFromSeatCode(-1, 0), -1);
  EXPECT_EQ(s.table.GetSeatFromSeatCode(0, -2), -1);
  EXPECT_EQ(s.table.GetSeatFromSeatCode(0, 3), 3);  // not paired: the code is the seat
}

TEST(PlayTableOperations, SeatPersonsCardsAndTimeOut) {
  Session s;
  size_t mark = s.Mark();
  s.table.ShowSeatPerson(0);
  s.table.ShowSeatPerson(1);
  EXPECT_EQ(s.Since(mark), (CallLog{"SetPersonLocation(0,1001,1)", "SetPersonLocation(1,1002,2)"}));

  const uint8_t codes[] = {0x12, 0x35};
  mark = s.Mark();
  s.table.SetLeftCards(1, 2, codes);
  s.table.SetLeftCards(1, 0, codes);
  s.table.SetLeftCards(5, 2, codes);  // a seat outside the table
  EXPECT_EQ(s.Since(mark), (CallLog{"SetLeftCards(1,2,1:2,3:5)"}));

  mark = s.Mark();
  s.table.AddCardsToMyHand_InDeal(2, codes);
  EXPECT_EQ(s.Since(mark), (CallLog{"Display.AddCardsToMyHandWithSort_InDeal(2,1:2,3:5)",
                                    "Rules.AddCardsToMyHand(2,1:2,3:5)"}));
  EXPECT_EQ(s.table.IsInProgress(), 1);

  mark = s.Mark();
  s.table.OnTimeOut(1);
  s.table.OnTimeOut(0);
  s.settings.PlayerFlag = 0;
  s.table.OnTimeOut(0);
  s.table.SetInProgress(0);
  s.table.AddCardsToMyHand_InDeal(1, codes);
  EXPECT_EQ(s.Since(mark), (CallLog{"AutoSend", "Display.AddCardsToMyHandWithSort_InDeal(1,1:2)"}));
  EXPECT_EQ(s.table.IsInProgress(), 0);

  EXPECT_EQ(s.table.StartDeal(0), 1);
  EXPECT_EQ(s.table.IsDealStarted(), 1);
  EXPECT_EQ(s.table.StartDeal(1), 0);
  EXPECT_EQ(s.table.IsDealStarted(), 0);
  mark = s.Mark();
  s.table.Setup();
  s.table.SetMyCardBitmap(42);
  EXPECT_EQ(s.Since(mark), (CallLog{"Setup", "SetMyCardBitmap(42,0)"}));
}

TEST(PlayTableOperations, NetworkEndAndWaitForOtherTables) {
  {
    Session s;
    s.Join();
    const size_t mark = s.Mark();
    s.table.OnNetworkEnd(0);
    EXPECT_TRUE(s.Has("CloseWaitBox", mark));
    EXPECT_TRUE(s.Has(Msg(kTextNetworkFaultGameOver, true), mark));
    EXPECT_FALSE(s.timers.Running(205));
    s.table.OnNetworkEnd(2);
    EXPECT_EQ(s.table.IgnoresGameData(), 1);
  }
  const struct {
    int16_t desk, kind;
    bool waits;
  } cases[] = {{2, 1, true}, {2, 0, false}, {3, 0, true}, {3, 1, false}};
  for (const auto& c : cases) {
    Session s;
    s.table.GetMe()->deskno = c.desk;
    const size_t mark = s.Mark();
    s.table.OnWaitOtherTables(c.kind);
    EXPECT_EQ(s.Has("WaitBox(" + std::string(kTextWaitOtherTables) + ",90000,table)", mark), c.waits)
        << c.desk << "/" << c.kind;
  }
}

TEST(PlayTableOperations, MagicActionOnlyDuringAHand) {
  Session s;
  s.Join();
  size_t mark = s.Mark();
  s.table.SendMagicAction(-1, 3, 11, 12, "hello");
  EXPECT_TRUE(s.Since(mark).empty());
  s.table.SetHandStarted(1);
  for (const int32_t receiver : {-1, 2}) {
    mark = s.Mark();
    s.table.SendMagicAction(receiver, 3, 11, 12, std::string(300, 'x').c_str());
    EXPECT_EQ(s.Since(mark), (CallLog{"HideMagicActionPicker", "KillTimer(201)",
                                      "SetTimer(201,30000)", "Send(3040,277)"}));
    auto action = ReadSent<CVyrMessage_MagicAction>(s.LastSentBody());
    EXPECT_EQ(action.toEveryone, receiver == -1 ? 1 : 0);
    EXPECT_EQ(action.receiverId, receiver);
    EXPECT_EQ(action.senderId, 1u);
    EXPECT_EQ(action.actionType, 11);
    EXPECT_EQ(action.itemId, 12);
    EXPECT_EQ(action.value, 3);
    EXPECT_EQ(action.textLength, 199);
    EXPECT_TRUE(SessionTrailerValid(s.socket.sent.back(), 77));
  }
}

// The base's defaults for a card game of playing cards, which the mahjong table replaces.
struct DefaultsSession : Session {
  FakeAuxView first{log, "first"};
  FakeAuxView second{log, "second"};
  DefaultsSession() {
    table.baseDefaults = true;
    table.SetAuxViews(&first, &second);
  }
};

TEST(PlayTableDefaults, InitTableAndEngineForEveryPlayerAndWatcher) {
  for (const int player : {1, 0}) {
    DefaultsSession s;
    s.settings.subType = 7;
    s.settings.PlayerFlag = player;
    s.table.SetTableLook({11, 12, 13, "http://ad.example/t"});
    const size_t mark = s.Mark();
    s.table.InitTableForTest();
    s.table.InitArithmeticForTest();
    EXPECT_EQ(s.Since(mark),
              (CallLog{"InitTable(2," + std::to_string(player) + ",2)", "SetCardBitmap(11,12)",
                       "SetBkBitmap(13)", "InitPoke(13,15,25,0,32768)", "SetSubType(7)",
                       "SetAdvUrl(http://ad.example/t)", "SetPokeSeparater(1)",
                       "SetPersonLocation(0,1001,1)", "SetPersonLocation(1,1002,2)",
                       "Rules.SetSubType(7)"}));
  }
}

TEST(PlayTableDefaults, HandStartForPlayerAndWatcherAndTheEndOfTheGame) {
  {
    DefaultsSession s;
    s.Join();
    s.table.RequestExit();
    ASSERT_EQ(s.table.ExitRequestsSent(), 1);
    const size_t mark = s.Mark();
    s.table.OnHandStart(5, 1);
    EXPECT_EQ(s.Since(mark), (CallLog{"CloseWaitBox", "SetTrump(2,0)", "ShowControlButtons(1)",
                                      "first.SetHandNo(5)", "Rules.SetHandNo(5)", "StartDeal"}));
    EXPECT_EQ(s.table.IsHandStarted(), 1);
    EXPECT_EQ(s.table.IsDealStarted(), 1);
    EXPECT_EQ(s.table.ExitRequestsSent(), 0);
    EXPECT_EQ(s.table.IsGameOver(), 0);
  }
  {
    DefaultsSession s;
    s.settings.PlayerFlag = 0;
    const size_t mark = s.Mark();
    s.table.OnHandStart(2, 3);
    EXPECT_EQ(s.Since(mark), (CallLog{"CloseWaitBox", "ResetTable", "SetTrump(2,0)",
                                      "ShowControlButtons(1)", "first.SetHandNo(2)",
                                      "Rules.SetHandNo(2)"}));
    EXPECT_EQ(s.table.IsDealStarted(), 0);
  }
  {
    // No more hands: the game is over, the connection closed and the frame closes on OK.
    DefaultsSession s;
    s.Join();
    const int connects = s.socket.connects;
    const size_t mark = s.Mark();
    s.table.OnHandStart(6, 0);
    const CallLog calls = s.Since(mark);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "Close");
    EXPECT_EQ(calls.back(), Msg(kTextNetworkFaultGameOver, true));
    // Nothing is left to reconnect the finished game.
    EXPECT_FALSE(s.timers.Running(201));
    EXPECT_FALSE(s.timers.Running(205));
    s.timers.Advance(600000);
    EXPECT_EQ(s.socket.connects, connects);
    EXPECT_EQ(s.table.IsGameOver(), 1);
    EXPECT_EQ(s.table.IsHandStarted(), 1);
  }
}

TEST(PlayTableDefaults, StartOneHandEmptiesTheReplayAndLeadsFromTheSeatsLocation) {
  DefaultsSession s;
  s.rules.handNo = 9;
  s.table.SetReplaySteps({HandStep{{1, 0, 0}, {{0, 5}}}});
  ASSERT_EQ(s.table.Replay().TrickCount(), 1);
  for (const auto& [seat, loc] : {std::pair<int16_t, int16_t>{1, 1}, {0, 0}, {7, -1}}) {
    const size_t mark = s.Mark();
    s.table.StartOneHand(seat);
    EXPECT_EQ(s.Since(mark),
              (CallLog{"CloseWaitBox", "Rules.StartOneHand(-1," + std::to_string(loc) + ")",
                       "Display.StartOneHand", "ShowControlButtons(1)", "HideStartSign",
                       "first.SetHandNo(9)"}));
  }
  EXPECT_TRUE(s.table.Replay().Steps().empty());
  EXPECT_EQ(s.table.Replay().TrickCount(), 0);
  EXPECT_EQ(s.table.Replay().CurrentStepIndex(), -1);
}

TEST(PlayTableDefaults, AutoSendCodecHotRegionAndImageFolder) {
  DefaultsSession s;
  size_t mark = s.Mark();
  s.table.AutoSendForTest();
  s.table.OnTimeOut(0);
  s.settings.PlayerFlag = 0;
  s.table.AutoSendForTest();
  EXPECT_EQ(s.Since(mark), (CallLog{"Rules.AutoSendCards", "Rules.AutoSendCards"}));

  // Encoding: a card without a code is left out with a box naming it; at most 54 are encoded.
  uint8_t codes[64] = {};
  int16_t count = -1;
  mark = s.Mark();
  EXPECT_EQ(s.table.EncodeForTest(count, codes, {{0, 14}, {7, 3}, {5, 18}, {1, 2}}), 3);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(std::vector<uint8_t>(codes, codes + 3), (std::vector<uint8_t>{4, 57, 9}));
  EXPECT_EQ(s.Since(mark),
            (CallLog{Msg("FromCardsToChars:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "15", false)}));
  EXPECT_EQ(s.table.EncodeForTest(count, codes, std::vector<card>(60, card{2, 9})), 54);
  EXPECT_EQ(count, 54);
  EXPECT_EQ(s.table.EncodeForTest(count, codes, {}), 0);
  EXPECT_EQ(count, 0);

  mark = s.Mark();
  s.table.AddHotRegion(HotRegionRecord{});
  EXPECT_EQ(s.Since(mark), (CallLog{Msg(kTextNotOverridden, false)}));

  const struct {
    const char* program;
    const char* folder;
  } folders[] = {{"C:\\Games\\Korvel\\KorvelGame.exe", "C:\\Games\\Korvel\\image"},
                 {"C:\\KorvelGame.exe", "C:\\image"},
                 {"/opt/korvel/game", "/opt/korvel\\image"},
                 {"KorvelGame.exe", "image"},
                 {"", "image"}};
  for (const auto& f : folders) {
    s.table.programPath = f.program;
    EXPECT_EQ(s.table.GetImageDir(), f.folder) << f.program;
  }
}

// Two tricks of a two-seat table: the steps shown one by one, trick by trick and back.
TEST(PlayTableDefaults, TrickReplayStepsAndTricks) {
  DefaultsSession s;
  EXPECT_EQ(s.table.Replay().CurrentStepIndex(), -1);
  size_t mark = s.Mark();
  s.table.ReplayNextStep();  // nothing loaded yet
  s.table.ReplayUndoStep();
  s.table.ReplayForward();
  s.table.ReplayNextTrick();
  EXPECT_TRUE(s.Since(mark).empty());

  s.table.SetReplaySteps({HandStep{{1, 0, 0}, {{0, 5}}},
                          HandStep{{1, 1, 0}, {{1, 6}}},
                          HandStep{{2, 1, 0}, {{2, 7}, {2, 8}}},
                          HandStep{{2, 9, 0}, {{3, 3}}},  // a seat not at the table
                          HandStep{{2, 0, 0}, {{3, 9}}}});
  EXPECT_EQ(s.table.Replay().TrickCount(), 2);
  EXPECT_EQ(s.table.Replay().CurrentTrickIndex(), 1);
  EXPECT_EQ(s.table.Replay().CurrentStepIndex(), 0);

  mark = s.Mark();
  for (int i = 0; i < 6; ++i) s.table.ReplayNextStep();
  EXPECT_EQ(s.Since(mark),
            (CallLog{"SetRecvCards(0,1,0:5;0,1,0,0)", "second.ShowStepCards(0,0:5)",
                     "SetRecvCards(1,1,1:6;0,1,0,0)", "second.ShowStepCards(1,1:6)",
                     "first.ShowTrick(2;3:9;2:7,2:8)", "SetRecvCards(1,2,2:7,2:8;0,1,0,0)",
                     "second.ShowStepCards(1,2:7,2:8)", "second.ShowStepCards(9,3:3)",
                     "SetRecvCards(0,1,3:9;0,1,0,0)", "second.ShowStepCards(0,3:9)"}));
  EXPECT_EQ(s.table.Replay().CurrentTrickIndex(), 2);
  EXPECT_EQ(s.table.Replay().CurrentStepIndex(), 5);

  // One step back shows that step again.
  s.table.ReplayUndoStep();
  mark = s.Mark();
  s.table.ReplayNextStep();
  EXPECT_EQ(s.Since(mark), (CallLog{"SetRecvCards(0,1,3:9;0,1,0,0)", "second.ShowStepCards(0,3:9)"}));

  // The trick index stays between the first and the last trick.
  mark = s.Mark();
  s.table.ReplayForward();
  s.table.ReplayBack();
  s.table.ReplayBack();
  EXPECT_EQ(s.Since(mark), (CallLog{"first.ShowTrick(2;3:9;2:7,2:8)", "first.ShowTrick(1;0:5;1:6)",
                                    "first.ShowTrick(1;0:5;1:6)"}));
  EXPECT_EQ(s.table.Replay().CurrentTrickIndex(), 1);

  mark = s.Mark();
  s.table.ReplayPrevTrick();  // already at the first trick
  s.table.ReplayNextTrick();
  s.table.ReplayNextTrick();  // already at the last
  EXPECT_EQ(s.Since(mark),
            (CallLog{"SetRecvCards(1,2,2:7,2:8;0,1,0,0)", "second.ShowStepCards(1,2:7,2:8)",
                     "second.ShowStepCards(9,3:3)", "SetRecvCards(0,1,3:9;0,1,0,0)",
                     "second.ShowStepCards(0,3:9)"}));
  mark = s.Mark();
  s.table.ReplayPrevTrick();
  EXPECT_EQ(s.Since(mark), (CallLog{"SetRecvCards(0,1,0:5;0,1,0,0)", "second.ShowStepCards(0,0:5)",
                                    "SetRecvCards(1,1,1:6;0,1,0,0)", "second.ShowStepCards(1,1:6)"}));

  std::vector<card> cards{{9, 9}};
  s.table.CollectSeatCards(1, cards);
  EXPECT_EQ(cards, (std::vector<card>{{1, 6}, {2, 7}, {2, 8}}));
  s.table.CollectSeatCards(4, cards);
  EXPECT_TRUE(cards.empty());
}

// The base's hand record: the hand's steps and who played it, saved through the save dialog
// and read back for review by a table of its own.
struct RecordSession : DefaultsSession {
  FakeRecordFiles files{log};
  RecordSession() { table.SetRecordFiles(&files); }
};

std::vector<HandStep> TwoTricks() {
  return {HandStep{{1, 0, 0}, {{0, 5}}}, HandStep{{1, 1, 0}, {{1, 6}}},
          HandStep{{2, 1, 0}, {{2, 7}, {2, 8}}}, HandStep{{2, 0, 7}, {{3, 9}}}};
}

TEST(PlayTableDefaults, HandRecordSavedAndLoadedForReview) {
  RecordSession saving;
  saving.settings.subType = 7;
  saving.table.comInfo = "match 12";
  saving.table.AddPerson(3, "watcher", "w", 3, 3, 0);   // watching, not playing
  saving.table.AddPerson(4, "other", "o", 4, 5, 0);     // playing at another table
  saving.table.SetReplaySteps(TwoTricks());
  saving.files.savePath = "C:\\records\\hand.rec";
  size_t mark = saving.Mark();
  saving.table.SaveHandRecord();
  EXPECT_EQ(saving.Since(mark), (CallLog{"AskSavePath", "WriteFile(C:\\records\\hand.rec)",
                                         std::string("Box(") + kTextRecordSaved + ")"}));

  // The file is the record with its steps.
  const std::vector<uint8_t>& bytes = saving.files.files["C:\\records\\hand.rec"];
  CHandStorage stored;
  ArchiveReader archive(bytes);
  ASSERT_TRUE(stored.LoadWithSteps(archive));
  EXPECT_EQ(archive.GetRemaining(), 0u);
  EXPECT_EQ(stored.userId, 1);
  EXPECT_EQ(stored.comment, "match 12");
  EXPECT_EQ(stored.subType, 7);
  EXPECT_EQ(stored.seatsPerTable, 2);
  ASSERT_EQ(stored.persons.size(), 2u);
  EXPECT_EQ(stored.persons[0].id, 1u);
  EXPECT_STREQ(stored.persons[1].nickname, "bob");
  ASSERT_EQ(stored.steps.size(), 4u);
  EXPECT_EQ(stored.steps[3].values, (std::array<int16_t, 3>{2, 0, 7}));
  EXPECT_EQ(stored.steps[2].cards, (std::vector<card>{{2, 7}, {2, 8}}));

  // Review: the steps become the replay's and the recording player's cards the hand.
  RecordSession review;
  review.files.files = saving.files.files;
  review.table.reviewFile = "C:\\records\\hand.rec";
  mark = review.Mark();
  review.table.LoadHandRecord();
  EXPECT_EQ(review.Since(mark), (CallLog{"ReadFile(C:\\records\\hand.rec)", "DeleteAllFromMyHand",
                                         "AddCardsToMyHandWithSort(2,0:5,3:9)"}));
  EXPECT_EQ(review.table.Replay().Steps().size(), 4u);
  EXPECT_EQ(review.table.Replay().TrickCount(), 2);
  EXPECT_EQ(review.table.Replay().CurrentStepIndex(), 0);
  mark = review.Mark();
  review.table.ReplayNextStep();
  EXPECT_EQ(review.Since(mark),
            (CallLog{"SetRecvCards(0,1,0:5;0,1,0,0)", "second.ShowStepCards(0,0:5)"}));
}

TEST(PlayTableDefaults, HandRecordFailuresSayWhatHappened) {
  const std::string saved = std::string("Box(") + kTextRecordSaved + ")";
  const std::string failed = std::string("Box(") + kTextRecordSaveFailed + ")";
  const std::string unreadable = std::string("Box(") + kTextRecordUnreadable + ")";
  {
    // Cancelled: nothing written, nothing said. A write or a dialog that fails says so.
    RecordSession s;
    size_t mark = s.Mark();
    s.table.SaveHandRecord();
    EXPECT_EQ(s.Since(mark), (CallLog{"AskSavePath"}));
    s.files.savePath = "a.rec";
    s.files.failWrite = true;
    mark = s.Mark();
    s.table.SaveHandRecord();
    EXPECT_EQ(s.Since(mark), (CallLog{"AskSavePath", "WriteFile(a.rec)", failed}));
    s.files.throwDialog = true;
    mark = s.Mark();
    s.table.SaveHandRecord();
    EXPECT_EQ(s.Since(mark), (CallLog{"AskSavePath", failed}));
    EXPECT_TRUE(s.files.files.empty());
  }
  {
    // An empty hand is still a whole record: no persons' cards, no steps.
    RecordSession s;
    s.files.savePath = "empty.rec";
    s.table.SaveHandRecord();
    ASSERT_TRUE(s.Has(saved));
    RecordSession r;
    r.files.files = s.files.files;
    r.table.reviewFile = "empty.rec";
    const size_t mark = r.Mark();
    r.table.LoadHandRecord();
    EXPECT_EQ(r.Since(mark), (CallLog{"ReadFile(empty.rec)", "DeleteAllFromMyHand",
                                      "AddCardsToMyHandWithSort(0)"}));
    EXPECT_EQ(r.table.Replay().TrickCount(), 0);
  }
  {
    // A review file that is missing, cut short or of nothing leaves the replay as it was.
    RecordSession s;
    s.table.SetReplaySteps(TwoTricks());
    s.files.savePath = "whole.rec";
    s.table.SaveHandRecord();
    const std::vector<uint8_t> whole = s.files.files["whole.rec"];
    s.files.files["cut.rec"] = std::vector<uint8_t>(whole.begin(), whole.end() - 3);
    s.files.files["none.rec"] = {};
    s.table.SetReplaySteps({HandStep{{1, 1, 0}, {{4, 4}}}});
    for (const char* file : {"missing.rec", "cut.rec", "none.rec"}) {
      s.table.reviewFile = file;
      const size_t mark = s.Mark();
      s.table.LoadHandRecord();
      EXPECT_EQ(s.Since(mark), (CallLog{"ReadFile(" + std::string(file) + ")", unreadable}))
          << file;
      EXPECT_EQ(s.table.Replay().Steps().size(), 1u) << file;
    }
  }
  {
    // Without the files nothing is saved or loaded.
    DefaultsSession s;
    const size_t mark = s.Mark();
    s.table.SaveHandRecord();
    s.table.LoadHandRecord();
    EXPECT_TRUE(s.Since(mark).empty());
  }
}

// The sound switch keeps the flag and switches the display's own sounds with it; a display that
// fails leaves the flag set.
TEST(PlayTableDefaults, SoundSwitchReachesTheDisplay) {
  Session s;
  const struct {
    int value;
    const char* call;
  } cases[] = {{0, "ResetSound(0)"}, {1, "ResetSound(1)"}, {5, "ResetSound(1)"}};
  for (const auto& c : cases) {
    const size_t mark = s.Mark();
    s.table.SetSound(c.value);
    EXPECT_EQ(s.Since(mark), (CallLog{c.call})) << c.value;
    EXPECT_EQ(s.table.IsSoundOn(), c.value);
  }
  s.display.failing = true;
  s.table.SetSound(0);
  EXPECT_EQ(s.table.IsSoundOn(), 0);
}

// A failing socket call counts as a lost connection; a failing display call ends only the
// message it served, and the receiving goes on.
TEST(PlayTableFailures, FailingCallsAreCaught) {
  {
    Session s;
    s.Join();
    s.socket.failingCalls = 1;
    const size_t mark = s.Mark();
    s.timers.Advance(30000);  // the keep-alive send fails
    EXPECT_TRUE(s.Has("Send failed", mark));
    EXPECT_TRUE(s.Has("StartConnection", mark));
    EXPECT_EQ(s.table.ReconnectCount(), 1);
    EXPECT_TRUE(s.timers.Running(205));
  }
  {
    Session s;
    s.Join();
    s.display.failing = true;
    const size_t mark = s.Mark();
    s.Deliver(s.server.Next(3106, std::vector<uint8_t>{}));  // the roster shows every seat
    EXPECT_EQ(s.pending, std::vector<int32_t>{32});
    EXPECT_FALSE(s.Has("StartConnection", mark));
  }
  {
    Session s;
    s.Join();
    s.timers.Advance(40000);
    s.socket.failingCalls = 1;  // the connect of a reconnect fails: 205 retries it
    s.timers.Advance(5000);
    EXPECT_EQ(s.socket.connects, 0);
    EXPECT_TRUE(s.timers.Running(205));
    s.timers.Advance(45000);
    EXPECT_EQ(s.socket.connects, 1);
    EXPECT_EQ(s.table.ReconnectCount(), 2);
  }
}

// What a display, rules or notice call throws from an entry point of the platform (the
// socket's connect event, a game timer, Create) is caught there: the entry ends, nothing
// unwinds into the caller, and the table goes on.
TEST(PlayTableFailures, ThrowingCallsFromConnectTimersAndCreateAreCaught) {
  struct Case {
    const char* name;
    std::function<void(Session&)> arm;
    std::function<void(Session&)> enter;
  } cases[] = {
      {"Create, display", [](Session& s) { s.display.failing = true; },
       [](Session& s) { EXPECT_EQ(s.table.Create(), 0); }},
      {"Create, rules", [](Session& s) { s.rules.failing = true; },
       [](Session& s) { EXPECT_EQ(s.table.Create(), 0); }},
      {"game timer, display", [](Session& s) { s.display.failing = true; },
       [](Session& s) {
         s.timers.SetTimer(TestPlayTable::kGameTimer, 1000);
         s.timers.Advance(1000);
       }},
      {"game timer, rules", [](Session& s) { s.rules.failing = true; },
       [](Session& s) {
         s.timers.SetTimer(TestPlayTable::kGameTimer, 1000);
         s.timers.Advance(1000);
       }},
      {"connect refused, notice", [](Session& s) { s.notices.failing = true; },
       [](Session& s) { s.table.OnSocketConnect(0); }},
      {"connected, timers", [](Session& s) { s.timers.failing = true; },
       [](Session& s) { s.table.OnSocketConnect(1); }},
  };
  for (const Case& c : cases) {
    Session s;
    s.table.controlsInUse = true;
    c.arm(s);
    EXPECT_NO_THROW(c.enter(s)) << c.name;
    s.display.failing = s.rules.failing = s.notices.failing = s.timers.failing = false;
    // The table is still whole: it joins, and its keep-alive runs.
    s.Join();
    EXPECT_EQ(s.session.SessionKey, 77u) << c.name;
    const size_t mark = s.Mark();
    s.timers.Advance(30000);
    EXPECT_TRUE(s.Has("Send(3011,49)", mark)) << c.name;
  }
}

// Rosters only add to the table's list: it stops at its bound, known persons are still updated,
// and a person entering a full table is not added.
TEST(PlayTablePersons, ListIsBoundedAgainstEndlessRosters) {
  Session s;
  s.Join();
  const size_t recordSize = PersonWireSize(PersonWireKindOf(0));
  uint32_t next = 1000;
  for (int roster = 0; roster < 4; ++roster) {
    std::vector<uint8_t> body(recordSize * 1000, 0);
    for (size_t i = 0; i < 1000; ++i) StoreBigEndian32(body.data() + i * recordSize, next++);
    ASSERT_EQ(WirePersonId(body.data()), next - 1000);
    s.table.OnServerMessage(kTableRosterBase, body.data(), body.size());
  }
  EXPECT_EQ(s.table.GetPersons().size(), CVyrPokePlayTableImp::kMaxTablePersons);
  EXPECT_NE(s.table.FindPerson(1), nullptr);
  EXPECT_NE(s.table.FindPerson(2), nullptr);
  EXPECT_EQ(s.table.FindPerson(next - 1), nullptr);
  // A roster naming a known person still updates it; one entering is not added.
  std::vector<uint8_t> known(recordSize, 0);
  StoreBigEndian32(known.data(), 2);
  known[4] = 'Z';
  s.table.OnServerMessage(kTableRosterBase, known.data(), known.size());
  std::vector<uint8_t> entering(recordSize, 0);
  StoreBigEndian32(entering.data(), 999999);
  const size_t mark = s.Mark();
  s.table.OnServerMessage(kPersonEnterBase, entering.data(), entering.size());
  EXPECT_EQ(s.table.FindPerson(999999), nullptr);
  EXPECT_EQ(s.table.GetPersons().size(), CVyrPokePlayTableImp::kMaxTablePersons);
  EXPECT_STREQ(s.table.FindPerson(2)->username, "Z");
  for (const std::string& line : s.Since(mark)) EXPECT_NE(line.rfind("AddChatLine", 0), 0u) << line;
}

}  // namespace
