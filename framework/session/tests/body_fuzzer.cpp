// Fuzz target: every inbound body reader. The first two input bytes choose what reads the rest:
// a framework id (handlers with a recording play table), the chat reader, or the archive form of
// a person. The body is copied into a buffer of exactly its size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "chat_messages.h"
#include "framework_handlers.h"
#include "person_records.h"
#include "recording_play_table.h"

namespace {

const uint16_t kInboundIds[] = {3002, 3003, 3004, 3010, 3011, 3016, 3026, 3027, 3031, 3032,
                                3033, 3040, 3041, 3045, 3806, 3817, 3821, 3106, 3156, 3206,
                                3256, 3306, 3356, 3406, 3456, 3506, 3107, 3157, 3207, 3257,
                                3307, 3357, 3407, 3457, 3507, 3110, 3160, 3111, 3009, 3021,
                                3819};
constexpr size_t kIdCount = sizeof kInboundIds / sizeof kInboundIds[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t selector = data[0];
  const uint8_t extra = data[1];
  data += 2;
  size -= 2;
  auto body = std::make_unique<uint8_t[]>(size ? size : 1);
  if (size) std::memcpy(body.get(), data, size);

  if (selector == 0xFF) {
    TablePerson person;
    ArchiveReader reader(body.get(), size);
    while (SerializePerson(person, reader)) {
    }
    return 0;
  }
  if (selector == 0xFE) {
    CVyrChatMessage_InDesk line;
    line.Unpack(body.get(), size);
    return 0;
  }
  RecordingPlayTable table;
  table.myId = 1;
  table.Add(1, "me", "me", 4, 0, 0);
  table.Add(2, "bob", "bob", 4, 0, 1);
  table.Add(3, "eve", "eve", 5, 0, 1);
  table.iconCount = extra % 4;
  table.seatsPerTable = static_cast<int16_t>(extra % 5);
  const uint16_t id = selector < kIdCount ? kInboundIds[selector] : static_cast<uint16_t>(3000 + selector);
  if (HandleFrameworkMessage(id, body.get(), size, table) == FrameworkHandling::NotFramework) {
    ChatTextFormat format;
    std::string text;
    ReadInDeskChatLine(body.get(), size, format, text);
  }
  return 0;
}
