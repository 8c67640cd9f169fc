// The signing mode of the session receive fuzzer: the input describes messages, and the fuzzer
// frames and signs each one as the game server would, so that the fuzzing gets past the trailer
// and sequence checks into the handlers. The test scripts' servers (ScriptedServer) write what
// they framed in this form as seeds when KORVEL_RECEIVE_SEEDS names a folder.
//
//   byte 0        mode: odd for this mode (even: the raw byte stream)
//   bytes 1..4    the session key the server starts with
//   then per message:
//     selector    below kFuzzIdCount: kFuzzIds[selector]; else the next two bytes are the id
//     flags       kFlag* below
//     length      two bytes, big-endian (cut to what is left of the input)
//     body        `length` bytes
#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "framework_messages.h"

// Every id the table's dispatch knows: the framework's, the families' members, the chat's, and
// two of a game's.
inline const std::vector<uint16_t>& FuzzIds() {
  // Kept to the end of the process: the fuzzer's report at exit reads it.
  static const std::vector<uint16_t>& ids = *[] {
    auto* v = new std::vector<uint16_t>{
        kJoinTable,        kPersonState,       kGameAbort,      kConnectRefused,
        kLeaveBeforeStart, kInDeskChatOnStart, kSessionStart,   kKeepAlive,
        kPersonOffline,    kInDeskChat,        kPlayerExit,     kWatcherExit,
        kExitRequest,      kExitAnswer,        kFinishHandFirst, kMagicAction,
        kMagicActionRefused, kPlayTimeNotice,  kRefereeList,    kRefereeEnter,
        kInDeskChatSystem, kRefereeLeft,       612,             641,
    };
    for (const uint16_t base : {kTableRosterBase, kPersonEnterBase, kAvatarListBase, kAvatarItemBase}) {
      for (int k = 0; k < kFamilyMembers; ++k) v->push_back(static_cast<uint16_t>(base + k * kFamilyStep));
    }
    return v;
  }();
  return ids;
}

enum FuzzFrameFlags : uint8_t {
  kFlagBadTrailer = 1,     // one byte of the trailer's digest flipped
  kFlagSkipSequence = 2,   // the sequence number jumps one ahead
  kFlagRepeatSequence = 4, // the previous sequence number again
  kFlagWait15s = 8,        // 15 s pass before the frame arrives
  kFlagWait45s = 16,       // 45 s pass before the frame arrives
};

// Appends one message in the mode's form.
inline void AppendFuzzMessage(std::vector<uint8_t>& out, uint16_t id, uint8_t flags,
                              const uint8_t* body, size_t length) {
  const auto& ids = FuzzIds();
  size_t selector = 0;
  while (selector < ids.size() && ids[selector] != id) ++selector;
  if (selector < ids.size()) {
    out.push_back(static_cast<uint8_t>(selector));
  } else {
    out.push_back(0xFF);
    out.push_back(static_cast<uint8_t>(id >> 8));
    out.push_back(static_cast<uint8_t>(id));
  }
  if (length > 0xFFFF) length = 0xFFFF;
  out.push_back(flags);
  out.push_back(static_cast<uint8_t>(length >> 8));
  out.push_back(static_cast<uint8_t>(length));
  out.insert(out.end(), body, body + length);
}
