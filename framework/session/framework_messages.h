// The framework's messages with the game server (ids 3001-3821 and the four per-variant
// families 3106/3107/3110/3111 + 50k): one record per message, in the byte layout of its body.
// Numbers are filled and read in host order; Pack and ReadRecord turn them. Gaps are carried
// (senders leave them zero) and not read.
#pragma once
#include <cstddef>
#include <cstdint>

#include "wire_record.h"

// Message ids.
enum FrameworkMessageId : uint16_t {
  kJoinTable = 3001,
  kPersonState = 3002,
  kGameAbort = 3003,
  kConnectRefused = 3004,
  kLeaveBeforeStart = 3005,
  kInDeskChatOnStart = 3009,
  kSessionStart = 3010,
  kKeepAlive = 3011,
  kPersonOffline = 3016,
  kInDeskChat = 3021,
  kPlayerExit = 3026,
  kWatcherExit = 3027,
  kExitRequest = 3031,
  kExitAnswer = 3032,
  kFinishHandFirst = 3033,
  kMagicAction = 3040,
  kMagicActionRefused = 3041,
  kPlayTimeNotice = 3045,
  kTableRosterBase = 3106,
  kPersonEnterBase = 3107,
  kAvatarListBase = 3110,
  kAvatarItemBase = 3111,
  kRefereeList = 3806,
  kRefereeEnter = 3817,
  kInDeskChatSystem = 3819,
  kRefereeLeft = 3821,
};

// The families run over k = 0 to 8, 50 ids apart.
constexpr int kFamilyMembers = 9;
constexpr uint16_t kFamilyStep = 50;

// k when id is base + 50k for k in 0..8, else -1.
inline int FamilyMember(uint16_t id, uint16_t base) {
  if (id < base || (id - base) % kFamilyStep != 0) return -1;
  const int k = (id - base) / kFamilyStep;
  return k < kFamilyMembers ? k : -1;
}

// 3001, out, fixed trailer: the first message of every connection.
struct CVyrMessage_JoinTable : WireRecord<CVyrMessage_JoinTable> {
  uint32_t userId = 0;
  uint16_t tableCode = 0;
  uint16_t seatCode = 0;
  uint16_t watchNo = 0;
  uint16_t serviceType = 0;
  uint16_t gameType = 0;
  uint16_t subType = 0;
  void FlipFields() { FlipByteOrders(userId, tableCode, seatCode, watchNo, serviceType, gameType, subType); }
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kJoinTable, TrailerKind::Fixed, out, session);
  }
};

// 3002, in.
struct CVyrMessage_PersonState : WireRecord<CVyrMessage_PersonState> {
  uint32_t userId = 0;
  uint16_t failureKind = 0;  // 1 or 2: the connection of the game failed
  uint16_t state = 0;        // the user's new state, 1 to 6
  void FlipFields() { FlipByteOrders(userId, failureKind, state); }
};

// 3003, in.
struct CVyrMessage_GameAbort : WireRecord<CVyrMessage_GameAbort> {
  uint16_t carried0 = 0;
  uint16_t endCode = 0;  // non-zero: handed to OnNetworkEnd
  int16_t kind = 0;      // -1 a user quit; anything else a user did not connect
  uint8_t gap6[2] = {};
  uint32_t userId = 0;
  void FlipFields() { FlipByteOrders(carried0, endCode, kind, userId); }
};

// 3004, in.
struct CVyrMessage_ConnectRefused : WireRecord<CVyrMessage_ConnectRefused> {
  uint32_t carried0 = 0;
  uint16_t carried4 = 0;
  uint8_t gap6[2] = {};
  void FlipFields() { FlipByteOrders(carried0, carried4); }
};

// 3005, out, fixed trailer: a player leaving before the game started.
struct CVyrMessage_LeaveBeforeStart : WireRecord<CVyrMessage_LeaveBeforeStart> {
  uint32_t userId = 0;
  uint16_t seatCode = 0;
  uint8_t gap6[2] = {};
  void FlipFields() { FlipByteOrders(userId, seatCode); }
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kLeaveBeforeStart, TrailerKind::Fixed, out, session);
  }
};

// 3010, in: the session key and the seeds of both sequences.
struct CVyrMessage_SessionStart : WireRecord<CVyrMessage_SessionStart> {
  uint32_t carried0 = 0;
  uint16_t carried4 = 0;
  uint8_t gap6[2] = {};
  uint32_t sessionKey = 0;
  uint16_t carried12 = 0;
  uint8_t gap14[2] = {};
  uint32_t outboundSeed = 0;
  uint16_t carried20 = 0;
  uint8_t gap22[2] = {};
  uint32_t inboundBase = 0;
  void FlipFields() {
    FlipByteOrders(carried0, carried4, sessionKey, carried12, outboundSeed, carried20, inboundBase);
  }
};

// Sets SessionKey, OutboundSequence and LastInboundSequence together from a session start.
void StoreSessionKey(const CVyrMessage_SessionStart& start, FrameworkSession& session,
                     uint32_t& LastInboundSequence);

// 3011, both: empty body; 49-byte frame with a session trailer.
struct CVyrMessage_KeepAlive {
  static constexpr size_t GetSize() { return 0; }
  static void Pack(MessageBuffer& out, FrameworkSession& session) {
    MessageHeader header = MessageHeader::For(kKeepAlive, 0);
    header.BuildBareMessage(out, session);
  }
};

// 3016, in.
struct CVyrMessage_PersonOffline : WireRecord<CVyrMessage_PersonOffline> {
  uint32_t userId = 0;
  uint16_t carried4 = 0;
  uint16_t carried6 = 0;
  void FlipFields() { FlipByteOrders(userId, carried4, carried6); }
};

// 3026, both. In: user id, carried, exit reason. Out: own id, own seat code, 1 when the exit
// was agreed by the table.
struct CVyrMessage_PlayerExit : WireRecord<CVyrMessage_PlayerExit> {
  uint32_t userId = 0;
  uint16_t seatCode = 0;
  uint16_t reason = 0;
  void FlipFields() { FlipByteOrders(userId, seatCode, reason); }
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kPlayerExit, TrailerKind::Session, out, session);
  }
};

// 3027, both: a watcher leaves.
struct CVyrMessage_WatcherExit : WireRecord<CVyrMessage_WatcherExit> {
  uint32_t userId = 0;
  uint16_t seatCode = 0;
  uint16_t watchNo = 0;
  uint16_t zero = 0;
  uint8_t gap10[2] = {};
  void FlipFields() { FlipByteOrders(userId, seatCode, watchNo, zero); }
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kWatcherExit, TrailerKind::Session, out, session);
  }
};

// 3031, both. Out: own id, own seat code, flag 1. In: the asking user's id, two carried.
struct CVyrMessage_ExitRequest : WireRecord<CVyrMessage_ExitRequest> {
  uint32_t userId = 0;
  uint16_t seatCode = 0;
  uint16_t flag = 1;
  void FlipFields() { FlipByteOrders(userId, seatCode, flag); }
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kExitRequest, TrailerKind::Session, out, session);
  }
};

// 3032, both: the answer to an exit request. The asker comes first, then the answerer, each
// with a seat code; answer 0 agrees, 1 refuses (or no answer in time).
struct CVyrMessage_ExitAnswer : WireRecord<CVyrMessage_ExitAnswer> {
  uint32_t requesterId = 0;
  uint16_t requesterSeatCode = 0;
  uint8_t gap6[2] = {};
  uint32_t answererId = 0;
  uint16_t answererSeatCode = 0;
  uint16_t answer = 0;
  void FlipFields() {
    FlipByteOrders(requesterId, requesterSeatCode, answererId, answererSeatCode, answer);
  }
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kExitAnswer, TrailerKind::Session, out, session);
  }
};

// 3033, in: finish the hand before leaving.
struct CVyrMessage_FinishHandFirst : WireRecord<CVyrMessage_FinishHandFirst> {
  uint16_t carried0 = 0;
  uint8_t gap2[2] = {};
  uint32_t userId = 0;  // the user addressed
  uint16_t carried8 = 0;
  uint8_t gap10[2] = {};
  void FlipFields() { FlipByteOrders(carried0, userId, carried8); }
};

// 3040, both: a magic action. Offset 20 is the receiver's user id (below 1: everybody).
struct CVyrMessage_MagicAction : WireRecord<CVyrMessage_MagicAction> {
  static constexpr size_t kTextSize = 200;
  uint16_t senderSeat = 0;
  uint8_t gap2[2] = {};
  int32_t actionType = 0;
  int32_t itemId = 0;
  uint16_t toEveryone = 0;  // 1 when the action is aimed at the whole table
  uint8_t gap14[2] = {};
  uint32_t senderId = 0;
  int32_t receiverId = 0;
  uint16_t value = 0;
  uint16_t textLength = 0;
  char text[kTextSize] = {};
  void FlipFields() {
    FlipByteOrders(senderSeat, actionType, itemId, toEveryone, senderId, receiverId, value,
                   textLength);
  }
  // The words: at most 199 bytes, the rest of the array zero; textLength follows.
  void SetText(const char* words);
  // A received record: the words end at min(textLength, 199) with a NUL.
  void BoundText();
  void Pack(MessageBuffer& out, FrameworkSession& session) const {
    PackRecord(*this, kMagicAction, TrailerKind::Session, out, session);
  }
  // The body alone, in network order.
  void Pack(MessageBuffer& out) const;
};

// 3041, in: a magic action was refused.
struct CVyrMessage_MagicActionRefused : WireRecord<CVyrMessage_MagicActionRefused> {
  uint16_t carried0 = 0;
  uint8_t gap2[2] = {};
  uint32_t userId = 0;  // the user addressed
  uint32_t carried8 = 0;
  uint32_t carried12 = 0;
  uint16_t reason = 0;  // 1 to 4
  uint8_t gap18[2] = {};
  void FlipFields() { FlipByteOrders(carried0, userId, carried8, carried12, reason); }
};

// 3045, in: a player's accumulated play time.
struct CVyrMessage_PlayTimeNotice : WireRecord<CVyrMessage_PlayTimeNotice> {
  uint16_t seat = 0;
  uint16_t level = 0;  // 1 over 3 hours, 2 over 5 hours
  uint32_t carried4 = 0;
  void FlipFields() { FlipByteOrders(seat, level, carried4); }
};

// 3821, in: the referee left.
struct CVyrMessage_RefereeLeft : WireRecord<CVyrMessage_RefereeLeft> {
  uint32_t userId = 0;
  uint16_t carried4 = 0;
  uint16_t carried6 = 0;
  void FlipFields() { FlipByteOrders(userId, carried4, carried6); }
};

// One avatar item of 3110 + 50k (a list) and 3111 + 50k (one item). Only the user id and the
// picture's file name are read. A fresh record has every number -1 and every string empty.
struct AvatarItemRecord : WireRecord<AvatarItemRecord> {
  static constexpr size_t kFileNameSize = 72;
  uint32_t userId = 0xFFFFFFFF;
  uint32_t number4 = 0xFFFFFFFF;
  uint32_t number8 = 0xFFFFFFFF;
  uint32_t number12 = 0xFFFFFFFF;
  uint32_t number16 = 0xFFFFFFFF;
  uint32_t number20 = 0xFFFFFFFF;
  uint16_t number24 = 0xFFFF;
  char text26[72] = {};
  uint16_t number98 = 0xFFFF;
  char fileName[kFileNameSize] = {};
  uint16_t number172 = 0xFFFF;
  uint8_t gap174[2] = {};
  void FlipFields() {
    FlipByteOrders(userId, number4, number8, number12, number16, number20, number24, number98,
                   number172);
  }
};

using CVyrMessage_AvatarList = RecordList<AvatarItemRecord>;

// 3111 + 50k: one item; nothing is done with it.
struct CVyrMessage_AvatarItem : RecordList<AvatarItemRecord> {};

// Layout checks: one line per field offset the server and the client agree on.
static_assert(sizeof(CVyrMessage_JoinTable) == 16);
static_assert(offsetof(CVyrMessage_JoinTable, tableCode) == 4);
static_assert(offsetof(CVyrMessage_JoinTable, subType) == 14);
static_assert(sizeof(CVyrMessage_PersonState) == 8);
static_assert(offsetof(CVyrMessage_PersonState, failureKind) == 4);
static_assert(offsetof(CVyrMessage_PersonState, state) == 6);
static_assert(sizeof(CVyrMessage_GameAbort) == 12);
static_assert(offsetof(CVyrMessage_GameAbort, endCode) == 2);
static_assert(offsetof(CVyrMessage_GameAbort, kind) == 4);
static_assert(offsetof(CVyrMessage_GameAbort, userId) == 8);
static_assert(sizeof(CVyrMessage_ConnectRefused) == 8);
static_assert(sizeof(CVyrMessage_LeaveBeforeStart) == 8);
static_assert(offsetof(CVyrMessage_LeaveBeforeStart, seatCode) == 4);
static_assert(sizeof(CVyrMessage_SessionStart) == 28);
static_assert(offsetof(CVyrMessage_SessionStart, sessionKey) == 8);
static_assert(offsetof(CVyrMessage_SessionStart, carried12) == 12);
static_assert(offsetof(CVyrMessage_SessionStart, outboundSeed) == 16);
static_assert(offsetof(CVyrMessage_SessionStart, carried20) == 20);
static_assert(offsetof(CVyrMessage_SessionStart, inboundBase) == 24);
static_assert(sizeof(CVyrMessage_PersonOffline) == 8);
static_assert(sizeof(CVyrMessage_PlayerExit) == 8);
static_assert(offsetof(CVyrMessage_PlayerExit, reason) == 6);
static_assert(sizeof(CVyrMessage_WatcherExit) == 12);
static_assert(offsetof(CVyrMessage_WatcherExit, watchNo) == 6);
static_assert(offsetof(CVyrMessage_WatcherExit, zero) == 8);
static_assert(sizeof(CVyrMessage_ExitRequest) == 8);
static_assert(sizeof(CVyrMessage_ExitAnswer) == 16);
static_assert(offsetof(CVyrMessage_ExitAnswer, requesterSeatCode) == 4);
static_assert(offsetof(CVyrMessage_ExitAnswer, answererId) == 8);
static_assert(offsetof(CVyrMessage_ExitAnswer, answererSeatCode) == 12);
static_assert(offsetof(CVyrMessage_ExitAnswer, answer) == 14);
static_assert(sizeof(CVyrMessage_FinishHandFirst) == 12);
static_assert(offsetof(CVyrMessage_FinishHandFirst, userId) == 4);
static_assert(offsetof(CVyrMessage_FinishHandFirst, carried8) == 8);
static_assert(sizeof(CVyrMessage_MagicAction) == 228);
static_assert(offsetof(CVyrMessage_MagicAction, actionType) == 4);
static_assert(offsetof(CVyrMessage_MagicAction, itemId) == 8);
static_assert(offsetof(CVyrMessage_MagicAction, toEveryone) == 12);
static_assert(offsetof(CVyrMessage_MagicAction, senderId) == 16);
static_assert(offsetof(CVyrMessage_MagicAction, receiverId) == 20);
static_assert(offsetof(CVyrMessage_MagicAction, value) == 24);
static_assert(offsetof(CVyrMessage_MagicAction, textLength) == 26);
static_assert(offsetof(CVyrMessage_MagicAction, text) == 28);
static_assert(sizeof(CVyrMessage_MagicActionRefused) == 20);
static_assert(offsetof(CVyrMessage_MagicActionRefused, userId) == 4);
static_assert(offsetof(CVyrMessage_MagicActionRefused, carried8) == 8);
static_assert(offsetof(CVyrMessage_MagicActionRefused, carried12) == 12);
static_assert(offsetof(CVyrMessage_MagicActionRefused, reason) == 16);
static_assert(sizeof(CVyrMessage_PlayTimeNotice) == 8);
static_assert(offsetof(CVyrMessage_PlayTimeNotice, level) == 2);
static_assert(offsetof(CVyrMessage_PlayTimeNotice, carried4) == 4);
static_assert(sizeof(CVyrMessage_RefereeLeft) == 8);
static_assert(sizeof(AvatarItemRecord) == 176);
static_assert(offsetof(AvatarItemRecord, number20) == 20);
static_assert(offsetof(AvatarItemRecord, number24) == 24);
static_assert(offsetof(AvatarItemRecord, text26) == 26);
static_assert(offsetof(AvatarItemRecord, number98) == 98);
static_assert(offsetof(AvatarItemRecord, fileName) == 100);
static_assert(offsetof(AvatarItemRecord, number172) == 172);
