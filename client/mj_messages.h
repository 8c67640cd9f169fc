// The mahjong messages with the game server (ids 601-655): one record per message, in the byte
// layout of its body. Numbers are filled and read in host order; ReadRecord and Pack turn them
// (FlipFields names every number a body carries; tile strings and gaps travel as they stand).
// Several records also have the archive form in which the hand record keeps them (Serialize
// stores, Load reads the same items back in the same order).
#pragma once
#include <cstddef>
#include <cstdint>

#include "archive.h"
#include "wire_record.h"

enum MjMessageId : uint16_t {
  kMjBankerAndWall = 601,
  kMjControl = 602,
  kMjStartDice = 606,
  kMjDice = 607,
  kMjDeal = 611,
  kMjDiscard = 616,
  kMjAction = 617,
  kMjDraw = 621,
  kMjMeld = 622,
  kMjMeldDraw = 623,
  kMjHuRequest = 626,
  kMjHuResult = 627,
  kMjWallEmpty = 628,
  kMjTing = 631,
  kMjGang = 636,
  kMjGangDraw = 637,
  kMjGang2 = 638,
  kMjGangDraw2 = 639,
  kMjHuAck = 641,
  kMjScoreInfo = 642,
  kMjResume1 = 651,
  kMjResume2 = 652,
  kMjResume3 = 653,
  kMjResume4 = 654,
  kMjResume5 = 655,
};

// Per-seat arrays of the bodies: the table has two seats.
constexpr int kMjSeats = 2;
// Entries of a fan list (641, 642, ITable::SetMyFans).
constexpr int kFanListSize = 30;

// The action word of 617 (MjAction).
enum : uint16_t {
  kMjActionPass = 0,
  kMjActionChi = 1,
  kMjActionPeng = 2,
  kMjActionGangOnDiscard = 3,
  kMjActionHuOnDiscard = 4,
};

template <class T, size_t N>
inline void FlipEach(T (&values)[N]) {
  for (T& v : values) FlipByteOrder(v);
}

// The length of a tile string held in an array of n bytes: the bytes before the first NUL, or n.
template <size_t N>
inline int16_t TileStringLength(const char (&codes)[N]) {
  int16_t n = 0;
  while (n < static_cast<int16_t>(N) && codes[n] != '\0') ++n;
  return n;
}

// 601, in: a new hand (or the end of the match).
struct CMjMessage_BankerAndWall : WireRecord<CMjMessage_BankerAndWall> {
  uint16_t carried0 = 0;
  uint16_t handNo = 0;
  uint16_t wallSize = 0;
  uint16_t bankerSeat = 0;
  uint16_t more = 0;  // 0: the match is over
  void FlipFields() { FlipByteOrders(carried0, handNo, wallSize, bankerSeat, more); }
};

// 602, both. Out: own seat, code 13 (ready for the deal). In: code 99 refuses the client's
// version; any other code starts the game for the seat.
struct CMjMessage_Control : WireRecord<CMjMessage_Control> {
  static constexpr uint16_t kReadyForDeal = 13;
  static constexpr uint16_t kVersionRefused = 99;
  uint16_t seat = 0;
  uint16_t code = 0;
  void FlipFields() { FlipByteOrders(seat, code); }
  void Pack(MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, kMjControl, TrailerKind::Session, out, s);
  }
};

// 606, in: the seat that is to throw the dice.
struct CMjMessage_StartDice : WireRecord<CMjMessage_StartDice> {
  uint16_t seat = 0;
  uint16_t carried2 = 0;
  void FlipFields() { FlipByteOrders(seat, carried2); }
};

// 607, both: a throw of the two dice and who throws next (-1: the throwing is over).
struct CMjMessage_Dice : WireRecord<CMjMessage_Dice> {
  uint16_t seat = 0;
  uint16_t die1 = 0;
  uint16_t die2 = 0;
  int16_t nextSeat = -1;
  void FlipFields() { FlipByteOrders(seat, die1, die2, nextSeat); }
  void Pack(MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, kMjDice, TrailerKind::Session, out, s);
  }
};

// 611, in: the deal.
struct CMjMessage_Deal : WireRecord<CMjMessage_Deal> {
  uint16_t carried0 = 0;
  uint16_t wallSeat = 0;      // the seat at whose side the wall is opened
  uint16_t wallPosition = 0;  // from 1
  int16_t frontCount = 0;     // tiles taken from the front of the wall
  int16_t backCount = 0;      // tiles taken from the back
  uint16_t dealCount[kMjSeats] = {};
  char myTiles[22] = {};      // own dealt tiles, tile string
  void FlipFields() {
    FlipByteOrders(carried0, wallSeat, wallPosition, frontCount, backCount);
    FlipEach(dealCount);
  }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

// 616, both: a discard (one code and a NUL).
struct CMjMessage_Discard : WireRecord<CMjMessage_Discard> {
  uint16_t seat = 0;
  char tile[2] = {};
  void FlipFields() { FlipByteOrders(seat); }
  void Pack(MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, kMjDiscard, TrailerKind::Session, out, s);
  }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

// 617, out: pass, chow, pung, kong on a discard or win on a discard, with its tiles.
struct CMjMessage_Action : WireRecord<CMjMessage_Action> {
  uint16_t seat = 0;
  uint16_t action = 0;  // kMjAction...
  char tiles[6] = {};
  void FlipFields() { FlipByteOrders(seat, action); }
  void Pack(MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, kMjAction, TrailerKind::Session, out, s);
  }
};

// 621, in: a draw.
struct CMjMessage_Draw : WireRecord<CMjMessage_Draw> {
  uint16_t seat = 0;
  char tile[2] = {};
  int16_t frontCount = 0;
  int16_t backCount = 0;
  uint16_t tilesLeft = 0;  // 0: the wall is empty after this draw
  void FlipFields() { FlipByteOrders(seat, frontCount, backCount, tilesLeft); }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

// 622, in: a chow (kind 1) or pung (kind 2) laid open.
struct CMjMessage_Meld : WireRecord<CMjMessage_Meld> {
  uint16_t seat = 0;
  uint16_t kind = 0;
  char tiles[6] = {};
  void FlipFields() { FlipByteOrders(seat, kind); }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

// 623, 637, 639, in: a kong and the replacement draw after it. 623 is a kong added to a pung,
// 637 a concealed kong, 639 a kong on a discard (the mapping lives in one place, KongOfMessage).
struct CMjMessage_KongDraw : WireRecord<CMjMessage_KongDraw> {
  uint16_t seat = 0;
  char kong[6] = {};
  char tile[2] = {};
  int16_t frontCount = 0;
  int16_t backCount = 0;
  uint16_t tilesLeft = 0;
  void FlipFields() { FlipByteOrders(seat, frontCount, backCount, tilesLeft); }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};
using CMjMessage_MeldDraw = CMjMessage_KongDraw;
using CMjMessage_GangDraw = CMjMessage_KongDraw;
using CMjMessage_GangDraw2 = CMjMessage_KongDraw;

// How the play table shows the kong of 623, 637 and 639, and the step kind under which the hand
// record keeps it.
struct KongOfMessage {
  uint16_t id;
  int16_t meldKind;  // 3 added kong, 5 kong on a discard, -1 concealed kong (its own operation)
  int16_t stepKind;
};
inline constexpr KongOfMessage kKongMessages[] = {
    {kMjMeldDraw, 3, 3},
    {kMjGangDraw2, 5, 4},
    {kMjGangDraw, -1, 5},
};

// 626, out: a win on the own draw.
struct CMjMessage_HuRequest : WireRecord<CMjMessage_HuRequest> {
  uint16_t seat = 0;
  char tile[2] = {};
  void FlipFields() { FlipByteOrders(seat); }
  void Pack(MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, kMjHuRequest, TrailerKind::Session, out, s);
  }
};

// 627, in: the win, with every seat's hand and concealed kongs.
struct CMjMessage_HuResult : WireRecord<CMjMessage_HuResult> {
  uint16_t winnerSeat = 0;
  uint16_t huType = 0;  // 1 self-drawn, 2 on a discard
  uint16_t discarderSeat = 0;
  char huTile[2] = {};
  char hands[kMjSeats][20] = {};
  char hiddenKongs[kMjSeats][16] = {};
  void FlipFields() { FlipByteOrders(winnerSeat, huType, discarderSeat); }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

// 628 (wall empty: reporting seat, the seat that is not the banker) and 631 (ready hand: seat,
// 1): two words.
struct CMjMessage_TwoWords : WireRecord<CMjMessage_TwoWords> {
  uint16_t seat = 0;
  uint16_t word = 0;
  void FlipFields() { FlipByteOrders(seat, word); }
  void Pack(uint16_t id, MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, id, TrailerKind::Session, out, s);
  }
  // The record form of the hand record: seat then word; the reversed form word then seat.
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
  void SerializeReversed(ArchiveWriter& ar) const;
  bool LoadReversed(ArchiveReader& ar);
};
using CMjMessage_WallEmpty = CMjMessage_TwoWords;
using CMjMessage_Ting = CMjMessage_TwoWords;

// 636 (concealed kong) and 638 (added kong), out.
struct CMjMessage_Gang : WireRecord<CMjMessage_Gang> {
  uint16_t seat = 0;
  char tiles[6] = {};
  void FlipFields() { FlipByteOrders(seat); }
  void Pack(uint16_t id, MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, id, TrailerKind::Session, out, s);
  }
};

// 641, out: the winner's score report.
struct CMjMessage_HuAck : WireRecord<CMjMessage_HuAck> {
  uint16_t seat = 0;
  uint16_t bankerSeat = 0;
  int32_t score[kMjSeats] = {};
  int16_t fans[kFanListSize] = {};
  void FlipFields() {
    FlipByteOrders(seat, bankerSeat);
    FlipEach(score);
    FlipEach(fans);
  }
  void Pack(MessageBuffer& out, FrameworkSession& s) const {
    PackRecord(*this, kMjHuAck, TrailerKind::Session, out, s);
  }
};

// 642, in: the scores of the hand and the running totals.
struct CMjMessage_ScoreInfo : WireRecord<CMjMessage_ScoreInfo> {
  int32_t handScore[kMjSeats] = {};
  int32_t gameScore[kMjSeats] = {};
  int32_t wins[kMjSeats] = {};
  int32_t losses[kMjSeats] = {};
  int32_t draws[kMjSeats] = {};
  int16_t fans[kFanListSize] = {};
  void FlipFields() {
    FlipEach(handScore);
    FlipEach(gameScore);
    FlipEach(wins);
    FlipEach(losses);
    FlipEach(draws);
    FlipEach(fans);
  }
};

// 651, in: the hand is about to start.
struct CMjMessage_Resume1 : WireRecord<CMjMessage_Resume1> {
  uint16_t handNo = 0;
  uint16_t wallSize = 0;
  uint16_t bankerSeat = 0;
  int16_t readyState[kMjSeats] = {};  // -1 not ready, 1 ready (start sign)
  void FlipFields() {
    FlipByteOrders(handNo, wallSize, bankerSeat);
    FlipEach(readyState);
  }
};

// 652, in: the dice are being thrown.
struct CMjMessage_Resume2 : WireRecord<CMjMessage_Resume2> {
  uint16_t handNo = 0;
  uint16_t wallSize = 0;
  uint16_t bankerSeat = 0;
  uint16_t diceThrown = 0;
  uint16_t die1 = 0;
  uint16_t die2 = 0;
  int16_t nextSeat = -1;
  void FlipFields() { FlipByteOrders(handNo, wallSize, bankerSeat, diceThrown, die1, die2, nextSeat); }
};

// The head shared by the snapshots 653, 654 and 655.
struct MjSnapshotHead {
  uint16_t handNo = 0;
  uint16_t wallSize = 0;
  uint16_t bankerSeat = 0;
  uint16_t wallSeat = 0;
  uint16_t wallPosition = 0;
  int16_t frontCount = 0;
  int16_t backCount = 0;
  void Flip() { FlipByteOrders(handNo, wallSize, bankerSeat, wallSeat, wallPosition, frontCount, backCount); }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};
static_assert(sizeof(MjSnapshotHead) == 14);

// 653 (a player holds the turn) and 654 (a discard may be claimed), in.
struct CMjMessage_Resume3 : WireRecord<CMjMessage_Resume3> {
  MjSnapshotHead head;
  char myHand[20] = {};
  char discards[kMjSeats][30] = {};
  char melds[kMjSeats][16] = {};        // chows and pungs, groups of three
  char kongs[kMjSeats][16] = {};        // exposed kongs, groups of four
  char hiddenKongs[kMjSeats][16] = {};  // concealed kongs, groups of four
  uint16_t turnSeat = 0;
  uint16_t ting[kMjSeats] = {};
  uint16_t handCount[kMjSeats] = {};
  uint16_t turnState = 0;
  uint8_t gap202[2] = {};
  void FlipFields() {
    head.Flip();
    FlipByteOrders(turnSeat, turnState);
    FlipEach(ting);
    FlipEach(handCount);
  }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

struct CMjMessage_Resume4 : WireRecord<CMjMessage_Resume4> {
  MjSnapshotHead head;
  char myHand[20] = {};
  char discards[kMjSeats][30] = {};
  char melds[kMjSeats][16] = {};
  char kongs[kMjSeats][16] = {};
  char hiddenKongs[kMjSeats][16] = {};
  uint16_t lastSeat = 0;  // the seat that made the last discard
  char lastTile[2] = {};
  uint16_t ting[kMjSeats] = {};
  uint16_t handCount[kMjSeats] = {};
  uint8_t gap202[2] = {};
  void FlipFields() {
    head.Flip();
    FlipByteOrders(lastSeat);
    FlipEach(ting);
    FlipEach(handCount);
  }
  void Serialize(ArchiveWriter& ar) const;
  bool Load(ArchiveReader& ar);
};

// 655, in: a hand that has been won.
struct CMjMessage_Resume5 : WireRecord<CMjMessage_Resume5> {
  MjSnapshotHead head;
  char hands[kMjSeats][20] = {};
  char discards[kMjSeats][30] = {};
  char melds[kMjSeats][16] = {};
  char kongs[kMjSeats][16] = {};
  char hiddenKongs[kMjSeats][16] = {};  // handed on as the kong strings of the win
  uint16_t winnerSeat = 0;
  uint16_t huType = 0;
  uint16_t discarderSeat = 0;
  char huTile[2] = {};
  uint16_t handCount[kMjSeats] = {};
  uint16_t ting[kMjSeats] = {};
  uint8_t gap226[2] = {};
  void FlipFields() {
    head.Flip();
    FlipByteOrders(winnerSeat, huType, discarderSeat);
    FlipEach(handCount);
    FlipEach(ting);
  }
  // The win this snapshot describes, as message 627 carries it.
  CMjMessage_HuResult ToHuResult() const;
};

// The catalogue: every inbound or outbound id with its body size.
struct MjMessageInfo {
  uint16_t id;
  uint16_t size;
};
inline constexpr MjMessageInfo kMjCatalogue[] = {
    {kMjBankerAndWall, 10}, {kMjControl, 4},     {kMjStartDice, 4},   {kMjDice, 8},
    {kMjDeal, 36},          {kMjDiscard, 4},     {kMjAction, 10},     {kMjDraw, 10},
    {kMjMeld, 10},          {kMjMeldDraw, 16},   {kMjHuRequest, 4},   {kMjHuResult, 80},
    {kMjWallEmpty, 4},      {kMjTing, 4},        {kMjGang, 8},        {kMjGangDraw, 16},
    {kMjGang2, 8},          {kMjGangDraw2, 16},  {kMjHuAck, 72},      {kMjScoreInfo, 100},
    {kMjResume1, 10},       {kMjResume2, 14},    {kMjResume3, 204},   {kMjResume4, 204},
    {kMjResume5, 228},
};
// The body size of a mahjong id; 0 for an id that is not in the catalogue.
size_t MjBodySize(uint16_t id);

static_assert(sizeof(CMjMessage_BankerAndWall) == 10);
static_assert(sizeof(CMjMessage_Control) == 4);
static_assert(sizeof(CMjMessage_StartDice) == 4);
static_assert(sizeof(CMjMessage_Dice) == 8);
static_assert(sizeof(CMjMessage_Deal) == 36);
static_assert(offsetof(CMjMessage_Deal, dealCount) == 10);
static_assert(offsetof(CMjMessage_Deal, myTiles) == 14);
static_assert(sizeof(CMjMessage_Discard) == 4);
static_assert(sizeof(CMjMessage_Action) == 10);
static_assert(offsetof(CMjMessage_Action, tiles) == 4);
static_assert(sizeof(CMjMessage_Draw) == 10);
static_assert(offsetof(CMjMessage_Draw, frontCount) == 4);
static_assert(offsetof(CMjMessage_Draw, tilesLeft) == 8);
static_assert(sizeof(CMjMessage_Meld) == 10);
static_assert(sizeof(CMjMessage_KongDraw) == 16);
static_assert(offsetof(CMjMessage_KongDraw, tile) == 8);
static_assert(offsetof(CMjMessage_KongDraw, frontCount) == 10);
static_assert(offsetof(CMjMessage_KongDraw, tilesLeft) == 14);
static_assert(sizeof(CMjMessage_HuRequest) == 4);
static_assert(sizeof(CMjMessage_HuResult) == 80);
static_assert(offsetof(CMjMessage_HuResult, huTile) == 6);
static_assert(offsetof(CMjMessage_HuResult, hands) == 8);
static_assert(offsetof(CMjMessage_HuResult, hiddenKongs) == 48);
static_assert(sizeof(CMjMessage_TwoWords) == 4);
static_assert(sizeof(CMjMessage_Gang) == 8);
static_assert(sizeof(CMjMessage_HuAck) == 72);
static_assert(offsetof(CMjMessage_HuAck, score) == 4);
static_assert(offsetof(CMjMessage_HuAck, fans) == 12);
static_assert(sizeof(CMjMessage_ScoreInfo) == 100);
static_assert(offsetof(CMjMessage_ScoreInfo, gameScore) == 8);
static_assert(offsetof(CMjMessage_ScoreInfo, draws) == 32);
static_assert(offsetof(CMjMessage_ScoreInfo, fans) == 40);
static_assert(sizeof(CMjMessage_Resume1) == 10);
static_assert(sizeof(CMjMessage_Resume2) == 14);
static_assert(sizeof(CMjMessage_Resume3) == 204);
static_assert(offsetof(CMjMessage_Resume3, myHand) == 14);
static_assert(offsetof(CMjMessage_Resume3, discards) == 34);
static_assert(offsetof(CMjMessage_Resume3, melds) == 94);
static_assert(offsetof(CMjMessage_Resume3, kongs) == 126);
static_assert(offsetof(CMjMessage_Resume3, hiddenKongs) == 158);
static_assert(offsetof(CMjMessage_Resume3, turnSeat) == 190);
static_assert(offsetof(CMjMessage_Resume3, ting) == 192);
static_assert(offsetof(CMjMessage_Resume3, handCount) == 196);
static_assert(offsetof(CMjMessage_Resume3, turnState) == 200);
static_assert(sizeof(CMjMessage_Resume4) == 204);
static_assert(offsetof(CMjMessage_Resume4, lastSeat) == 190);
static_assert(offsetof(CMjMessage_Resume4, lastTile) == 192);
static_assert(offsetof(CMjMessage_Resume4, ting) == 194);
static_assert(offsetof(CMjMessage_Resume4, handCount) == 198);
static_assert(sizeof(CMjMessage_Resume5) == 228);
static_assert(offsetof(CMjMessage_Resume5, hands) == 14);
static_assert(offsetof(CMjMessage_Resume5, discards) == 54);
static_assert(offsetof(CMjMessage_Resume5, melds) == 114);
static_assert(offsetof(CMjMessage_Resume5, kongs) == 146);
static_assert(offsetof(CMjMessage_Resume5, hiddenKongs) == 178);
static_assert(offsetof(CMjMessage_Resume5, winnerSeat) == 210);
static_assert(offsetof(CMjMessage_Resume5, huTile) == 216);
static_assert(offsetof(CMjMessage_Resume5, handCount) == 218);
static_assert(offsetof(CMjMessage_Resume5, ting) == 222);
