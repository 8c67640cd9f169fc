// Fuzz target: the receive path as the socket control drives it. Each step delivers exactly the
// bytes the table asked for (or what is left), copied into a buffer of that size. The first byte
// picks the mode, the next four are the session key.
// Raw mode (even first byte): the rest is the byte stream of a connection. First the frame
// receiver alone: every message that passes its checks goes to the framework handlers and the
// chat reader. Then the same stream through the whole play table with its fakes, with time
// passing now and then.
// Signing mode (odd first byte, receive_fuzz_format.h): the rest describes messages, which the
// fuzzer frames and signs as the server would, with the sequence and trailer faults and the
// waits the flags ask for, so that the handlers behind the checks are reached.
// Checked as it runs, in the play table: after every delivery the table has asked for exactly
// one thing unless it closed the connection (no stall, no double request); and nothing connects
// after a game-ending notice unless 3002 has reported the local player back on line.
// With KORVEL_FUZZ_ID_REPORT set, the ids that reached the framework dispatch are listed at exit.
// Seeds: the test scripts' frames (KORVEL_RECEIVE_SEEDS, see play_table_fakes.h); the ids are in
// receive_fuzzer.dict for the raw mode.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frame_receiver.h"
#include "framework_handlers.h"
#include "play_table_fakes.h"
#include "receive_fuzz_format.h"
#include "recording_play_table.h"

namespace {

constexpr uint32_t kMyId = 1;

// Kept to the end of the process: the report at exit reads it.
std::map<uint16_t, uint64_t>& DispatchedIds() {
  static auto* ids = new std::map<uint16_t, uint64_t>;
  return *ids;
}

void ReportIds() {
  const auto& seen = DispatchedIds();
  size_t known = 0;
  std::string missing;
  for (const uint16_t id : FuzzIds()) {
    if (seen.count(id)) {
      ++known;
    } else {
      missing += " " + std::to_string(id);
    }
  }
  std::fprintf(stderr, "receive fuzzer: %zu of %zu dictionary ids reached the dispatch; %zu ids in all\n",
               known, FuzzIds().size(), seen.size());
  for (const auto& [id, count] : seen) std::fprintf(stderr, "  %u: %llu\n", id, static_cast<unsigned long long>(count));
  std::fprintf(stderr, "  never:%s\n", missing.empty() ? " (none)" : missing.c_str());
}

// The play table of the fuzzer: notes each id its framework dispatch is offered, and 3002
// reporting the local player back on line.
class FuzzPlayTable : public TestPlayTable {
 public:
  FuzzPlayTable(FakeSocket& socket, FakeTimers& timers, FakeNotices& notices,
                SessionSettings& settings, FrameworkSession& session, CallLog& log,
                FakeDisplay& display, FakeRules& rules)
      : TestPlayTable(socket, timers, notices, settings, session, log, display, rules),
        m_log(log) {}
  MessageAnswer OnServerMessage(uint16_t id, const uint8_t* body, size_t bodyLength) override {
    ++DispatchedIds()[id];
    CVyrMessage_PersonState state;
    if (id == kPersonState && ReadRecord(body, bodyLength, state) && state.userId == kMyId &&
        state.failureKind != 1 && state.failureKind != 2 && state.state == 2) {
      m_log.push_back("BackOnLine");
    }
    return TestPlayTable::OnServerMessage(id, body, bodyLength);
  }

 private:
  CallLog& m_log;
};

// The invariant over the log, line by line in the order things happened.
class EndedGameWatch {
 public:
  explicit EndedGameWatch(CallLog& log) : m_log(log) {}
  void Check() {
    for (; m_scanned < m_log.size(); ++m_scanned) {
      const std::string& line = m_log[m_scanned];
      if (line.rfind("Message", 0) == 0 && line.size() > 7 &&
          line.compare(line.size() - 7, 7, ",close)") == 0) {
        m_ended = true;
      } else if (line == "BackOnLine") {
        m_ended = false;
      } else if (m_ended && line.rfind("Connect(", 0) == 0) {
        std::fprintf(stderr, "connect after a game-ending notice; what led to it:\n");
        for (size_t i = m_scanned > 40 ? m_scanned - 40 : 0; i <= m_scanned; ++i)
          std::fprintf(stderr, "  %s\n", m_log[i].c_str());
        __builtin_trap();
      }
    }
    if (m_log.size() > 10000) {
      m_log.clear();
      m_scanned = 0;
    }
  }

 private:
  CallLog& m_log;
  size_t m_scanned = 0;
  bool m_ended = false;
};

void DriveReceiver(const uint8_t* data, size_t size, uint32_t key) {
  RecordingPlayTable table;
  table.myId = 1;
  table.Add(1, "me", "me", 4, 0, 0);
  table.iconCount = 7;
  FrameReceiver receiver;
  size_t request = kMessageHeaderSize;
  while (size > 0) {
    const size_t n = request < size ? request : size;
    auto delivery = std::make_unique<uint8_t[]>(n);
    std::memcpy(delivery.get(), data, n);
    data += n;
    size -= n;
    const ReceiveStep step = receiver.OnDelivery(delivery.get(), n, key);
    switch (step.kind) {
      case ReceiveStep::RequestBytes:
        request = step.request;
        break;
      case ReceiveStep::Dispatch: {
        if (HandleFrameworkMessage(step.id, step.body, step.bodyLength, table) ==
            FrameworkHandling::NotFramework) {
          ChatTextFormat format;
          std::string text;
          ReadInDeskChatLine(step.body, step.bodyLength, format, text);
        }
        request = step.request;
        break;
      }
      default:
        receiver.OnConnected();
        request = kMessageHeaderSize;
        break;
    }
    if (table.calls.size() > 10000) table.calls.clear();
  }
}

// `waits`: (offset in the stream, milliseconds) to let pass before the delivery that starts
// there; without any, 15 s pass every eighth delivery.
void DrivePlayTable(const uint8_t* data, size_t size, uint32_t key,
                    const std::vector<std::pair<size_t, uint32_t>>& waits = {}) {
  size_t offset = 0;
  CallLog log;
  FakeSocket socket(log);
  FakeTimers timers(log);
  FakeNotices notices(log);
  FakeDisplay display(log);
  FakeRules rules(log);
  SessionSettings settings;
  FrameworkSession session;
  FuzzPlayTable table(socket, timers, notices, settings, session, log, display, rules);
  EndedGameWatch watch(log);
  timers.fire = [&](uint32_t id) { table.OnGameTimer(id); };
  table.SetMyId(kMyId);
  table.AddPerson(kMyId, "me", "me", 4, 0, 0);
  table.AddPerson(2, "you", "you", 4, 0, 1);
  table.Create();
  table.OnSocketConnect(1);
  table.StoreSessionKey(key, 0, 0);
  int deliveries = 0;
  int connectsAnswered = 0;
  size_t nextWait = 0;
  while (size > 0) {
    // The waits of the frame that starts here (signing mode).
    while (nextWait < waits.size() && waits[nextWait].first <= offset) {
      timers.Advance(waits[nextWait++].second);
      watch.Check();
    }
    if (socket.requests.empty()) {
      // Closed: the connect the table started succeeds; a table that started none (a finished
      // game) hears nothing more.
      if (socket.connects == connectsAnswered) break;
      connectsAnswered = socket.connects;
      table.OnSocketConnect(1);
      if (socket.requests.size() != 1) __builtin_trap();
    }
    const auto wanted = static_cast<size_t>(socket.requests.front());
    socket.requests.clear();
    const size_t n = wanted < size ? wanted : size;
    auto delivery = std::make_unique<uint8_t[]>(n);
    std::memcpy(delivery.get(), data, n);
    data += n;
    size -= n;
    offset += n;
    const int closes = socket.closes;
    table.OnSocketData(delivery.get(), n);
    if (socket.requests.size() > 1) __builtin_trap();
    if (socket.requests.empty() && socket.closes == closes && n == wanted) __builtin_trap();
    if (waits.empty() && ++deliveries % 8 == 0) timers.Advance(15000);
    watch.Check();
    if (socket.sent.size() > 1000) socket.sent.clear();
  }
}

// The signing mode: frames the described messages into one stream as the server would.
void DriveSigned(const uint8_t* data, size_t size, uint32_t key) {
  std::vector<uint8_t> stream;
  std::vector<std::pair<size_t, uint32_t>> waits;
  const auto& ids = FuzzIds();
  uint32_t serverKey = key;
  uint32_t sequence = 0;
  while (size >= 4) {
    uint16_t id;
    if (data[0] < ids.size()) {
      id = ids[data[0]];
      ++data;
      --size;
    } else {
      id = static_cast<uint16_t>(data[1] << 8 | data[2]);
      data += 3;
      size -= 3;
    }
    if (size < 3) break;
    const uint8_t flags = data[0];
    size_t length = static_cast<size_t>(data[1] << 8 | data[2]);
    data += 3;
    size -= 3;
    if (length > size) length = size;
    const std::vector<uint8_t> body(data, data + length);
    data += length;
    size -= length;

    uint32_t wait = 0;
    if (flags & kFlagWait15s) wait += 15000;
    if (flags & kFlagWait45s) wait += 45000;
    if (wait) waits.push_back({stream.size(), wait});
    uint32_t seq = sequence + 1;
    if (flags & kFlagSkipSequence) seq = sequence + 2;
    if (flags & kFlagRepeatSequence) seq = sequence;
    std::vector<uint8_t> frame(kMessageHeaderSize, 0);
    StoreBigEndian16(frame.data(), id);
    StoreBigEndian32(frame.data() + 4, static_cast<uint32_t>(body.size() + kMessageTrailerSize));
    StoreBigEndian32(frame.data() + 8, seq);
    frame.insert(frame.end(), body.begin(), body.end());
    const MessageTrailer trailer =
        MakeSessionTrailer({{body.data(), body.size()}}, frame.data() + 8, serverKey);
    const auto* t = reinterpret_cast<const uint8_t*>(&trailer);
    frame.insert(frame.end(), t, t + kMessageTrailerSize);
    if (flags & kFlagBadTrailer) frame[frame.size() - kMessageTrailerSize] ^= 0x5A;  // the digest
    stream.insert(stream.end(), frame.begin(), frame.end());
    sequence = seq;
    CVyrMessage_SessionStart start;
    if (id == kSessionStart && ReadRecord(body.data(), body.size(), start)) {
      serverKey = start.sessionKey;
      sequence = start.inboundBase;
    }
  }
  DrivePlayTable(stream.data(), stream.size(), key, waits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool report = [] {
    if (std::getenv("KORVEL_FUZZ_ID_REPORT")) std::atexit(ReportIds);
    return true;
  }();
  (void)report;
  if (size < 5) return 0;
  uint32_t key;
  std::memcpy(&key, data + 1, 4);
  if (data[0] & 1) {
    DriveSigned(data + 5, size - 5, key);
  } else {
    DriveReceiver(data + 5, size - 5, key);
    DrivePlayTable(data + 5, size - 5, key);
  }
  return 0;
}
