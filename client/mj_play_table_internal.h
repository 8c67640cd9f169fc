// What the files of the mahjong play table share (mj_play_table.cpp, mj_play_inbound.cpp,
// mj_play_recovery.cpp, mj_play_actions.cpp, mj_play_review.cpp): the tile strings of the wire
// records, the guard of the entry points and the send of a record. Not for use outside the
// play table.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "mj_play_table.h"
#include "tile_codec.h"

namespace mj_play {

constexpr int16_t kStatusPlaying = 4;
// Tiles a concealed hand can hold (the widest hand string of the snapshots); larger counts from
// the wire are cut to it.
constexpr int16_t kMaxHandTiles = 20;

inline const uint8_t* Bytes(const char* codes) { return reinterpret_cast<const uint8_t*>(codes); }

template <size_t N>
int16_t Length(const char (&codes)[N]) { return TileStringLength(codes); }

inline int16_t ClampCount(int32_t count) {
  return static_cast<int16_t>(std::clamp<int32_t>(count, 0, kMaxHandTiles));
}

}  // namespace mj_play

template <class Body>
void CMjPlayTableImp::Guard(Body body) {
  try {
    body();
  } catch (...) {
    // A failing control call ends the action; the table goes on.
  }
}

template <class Record>
void CMjPlayTableImp::SendRecord(uint16_t id, const Record& record) {
  // A replayed hand runs the live handlers; nothing of it goes to a server.
  if (Settings().reviewMode) return;
  MessageBuffer frame;
  PackRecord(record, id, TrailerKind::Session, frame, Session());
  SendFrame(frame);
  StartKeepAlive();
}
