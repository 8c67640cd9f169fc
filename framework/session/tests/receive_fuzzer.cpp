// Fuzz target: the receive path as the socket control drives it. The input is the byte stream of
// a connection (its first four bytes are the session key); each step delivers exactly the bytes
// the receiver asked for (or what is left), copied into a buffer of that size, and every message
// that passes its checks goes to the framework handlers and the chat reader.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "frame_receiver.h"
#include "framework_handlers.h"
#include "recording_play_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t key;
  std::memcpy(&key, data, 4);
  data += 4;
  size -= 4;

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
  return 0;
}
