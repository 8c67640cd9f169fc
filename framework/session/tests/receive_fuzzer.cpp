// Fuzz target: the receive path as the socket control drives it. The input is the byte stream of
// a connection (its first four bytes are the session key); each step delivers exactly the bytes
// the receiver asked for (or what is left), copied into a buffer of that size.
// First the frame receiver alone: every message that passes its checks goes to the framework
// handlers and the chat reader. Then the same stream through the whole play table with its fakes,
// with time passing now and then: after every delivery the table has asked for exactly one thing
// unless it closed the connection (no stall, no double request).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "frame_receiver.h"
#include "framework_handlers.h"
#include "play_table_fakes.h"
#include "recording_play_table.h"

namespace {

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

void DrivePlayTable(const uint8_t* data, size_t size, uint32_t key) {
  CallLog log;
  FakeSocket socket(log);
  FakeTimers timers(log);
  FakeNotices notices(log);
  FakeDisplay display(log);
  FakeRules rules(log);
  SessionSettings settings;
  FrameworkSession session;
  TestPlayTable table(socket, timers, notices, settings, session, log, display, rules);
  timers.fire = [&](uint32_t id) { table.OnGameTimer(id); };
  table.SetMyId(1);
  table.AddPerson(1, "me", "me", 4, 0, 0);
  table.AddPerson(2, "you", "you", 4, 0, 1);
  table.Create();
  table.OnSocketConnect(1);
  table.StoreSessionKey(key, 0, 0);
  int deliveries = 0;
  while (size > 0) {
    if (socket.requests.empty()) {
      // Closed: the reconnect succeeds.
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
    const int closes = socket.closes;
    table.OnSocketData(delivery.get(), n);
    if (socket.requests.size() > 1) __builtin_trap();
    if (socket.requests.empty() && socket.closes == closes && n == wanted) __builtin_trap();
    if (++deliveries % 8 == 0) timers.Advance(15000);
    if (log.size() > 10000) log.clear();
    if (socket.sent.size() > 1000) socket.sent.clear();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t key;
  std::memcpy(&key, data, 4);
  DriveReceiver(data + 4, size - 4, key);
  DrivePlayTable(data + 4, size - 4, key);
  return 0;
}
