#include "mj_messages.h"

#include <cstring>

namespace {

// The 16-bit items of the archive forms: numbers as the handler saw them (host order).
void Put(ArchiveWriter& ar, uint16_t v) { ar.WriteUInt16(v); }
void Put(ArchiveWriter& ar, int16_t v) { ar.WriteInt16(v); }
bool Get(ArchiveReader& ar, uint16_t& v) { return ar.ReadUInt16(v); }
bool Get(ArchiveReader& ar, int16_t& v) { return ar.ReadInt16(v); }

template <class... T>
void PutAll(ArchiveWriter& ar, const T&... v) {
  (Put(ar, v), ...);
}
template <class... T>
bool GetAll(ArchiveReader& ar, T&... v) {
  (Get(ar, v), ...);
  return ar.IsOk();
}

// Snapshot strings kept per seat: the 30 discard bytes, then the chow/pung, exposed-kong and
// concealed-kong arrays interleaved byte by byte.
template <class Snapshot>
void PutSeatStrings(ArchiveWriter& ar, const Snapshot& s, int seat) {
  ar.WriteBytes(s.discards[seat], sizeof s.discards[seat]);
  for (size_t i = 0; i < sizeof s.melds[seat]; ++i) {
    ar.WriteByte(static_cast<uint8_t>(s.melds[seat][i]));
    ar.WriteByte(static_cast<uint8_t>(s.kongs[seat][i]));
    ar.WriteByte(static_cast<uint8_t>(s.hiddenKongs[seat][i]));
  }
}
template <class Snapshot>
void GetSeatStrings(ArchiveReader& ar, Snapshot& s, int seat) {
  ar.ReadBytes(s.discards[seat], sizeof s.discards[seat]);
  for (size_t i = 0; i < sizeof s.melds[seat]; ++i) {
    ar.ReadBytes(&s.melds[seat][i], 1);
    ar.ReadBytes(&s.kongs[seat][i], 1);
    ar.ReadBytes(&s.hiddenKongs[seat][i], 1);
  }
}

}  // namespace

size_t MjBodySize(uint16_t id) {
  for (const MjMessageInfo& m : kMjCatalogue) {
    if (m.id == id) return m.size;
  }
  return 0;
}

void CMjMessage_Deal::Serialize(ArchiveWriter& ar) const {
  PutAll(ar, carried0, wallSeat, wallPosition, frontCount, backCount, dealCount[0], dealCount[1]);
  ar.WriteBytes(myTiles, 20);
}
bool CMjMessage_Deal::Load(ArchiveReader& ar) {
  GetAll(ar, carried0, wallSeat, wallPosition, frontCount, backCount, dealCount[0], dealCount[1]);
  ar.ReadBytes(myTiles, 20);
  return ar.IsOk();
}

void CMjMessage_Discard::Serialize(ArchiveWriter& ar) const {
  Put(ar, seat);
  ar.WriteBytes(tile, 2);
}
bool CMjMessage_Discard::Load(ArchiveReader& ar) {
  Get(ar, seat);
  return ar.ReadBytes(tile, 2);
}

void CMjMessage_Draw::Serialize(ArchiveWriter& ar) const {
  Put(ar, seat);
  ar.WriteBytes(tile, 2);
  PutAll(ar, frontCount, backCount, tilesLeft);
}
bool CMjMessage_Draw::Load(ArchiveReader& ar) {
  Get(ar, seat);
  ar.ReadBytes(tile, 2);
  return GetAll(ar, frontCount, backCount, tilesLeft);
}

void CMjMessage_Meld::Serialize(ArchiveWriter& ar) const {
  PutAll(ar, seat, kind);
  ar.WriteBytes(tiles, 6);
}
bool CMjMessage_Meld::Load(ArchiveReader& ar) {
  GetAll(ar, seat, kind);
  return ar.ReadBytes(tiles, 6);
}

void CMjMessage_KongDraw::Serialize(ArchiveWriter& ar) const {
  PutAll(ar, seat, frontCount, backCount, tilesLeft);
  ar.WriteBytes(kong, 6);
  ar.WriteBytes(tile, 2);
}
bool CMjMessage_KongDraw::Load(ArchiveReader& ar) {
  GetAll(ar, seat, frontCount, backCount, tilesLeft);
  ar.ReadBytes(kong, 6);
  return ar.ReadBytes(tile, 2);
}

void CMjMessage_HuResult::Serialize(ArchiveWriter& ar) const {
  PutAll(ar, winnerSeat, huType, discarderSeat);
  ar.WriteBytes(huTile, 2);
  ar.WriteBytes(hands, sizeof hands);
  ar.WriteBytes(hiddenKongs, sizeof hiddenKongs);
}
bool CMjMessage_HuResult::Load(ArchiveReader& ar) {
  GetAll(ar, winnerSeat, huType, discarderSeat);
  ar.ReadBytes(huTile, 2);
  ar.ReadBytes(hands, sizeof hands);
  return ar.ReadBytes(hiddenKongs, sizeof hiddenKongs);
}

void CMjMessage_TwoWords::Serialize(ArchiveWriter& ar) const { PutAll(ar, seat, word); }
bool CMjMessage_TwoWords::Load(ArchiveReader& ar) { return GetAll(ar, seat, word); }
void CMjMessage_TwoWords::SerializeReversed(ArchiveWriter& ar) const { PutAll(ar, word, seat); }
bool CMjMessage_TwoWords::LoadReversed(ArchiveReader& ar) { return GetAll(ar, word, seat); }

void MjSnapshotHead::Serialize(ArchiveWriter& ar) const {
  PutAll(ar, handNo, wallSize, bankerSeat, wallSeat, wallPosition, frontCount, backCount);
}
bool MjSnapshotHead::Load(ArchiveReader& ar) {
  return GetAll(ar, handNo, wallSize, bankerSeat, wallSeat, wallPosition, frontCount, backCount);
}

void CMjMessage_Resume3::Serialize(ArchiveWriter& ar) const {
  head.Serialize(ar);
  ar.WriteBytes(myHand, sizeof myHand);
  for (int s = 0; s < kMjSeats; ++s) PutSeatStrings(ar, *this, s);
  Put(ar, turnSeat);
  for (int s = 0; s < kMjSeats; ++s) PutAll(ar, ting[s], handCount[s]);
  Put(ar, turnState);
}
bool CMjMessage_Resume3::Load(ArchiveReader& ar) {
  head.Load(ar);
  ar.ReadBytes(myHand, sizeof myHand);
  for (int s = 0; s < kMjSeats; ++s) GetSeatStrings(ar, *this, s);
  Get(ar, turnSeat);
  for (int s = 0; s < kMjSeats; ++s) GetAll(ar, ting[s], handCount[s]);
  return GetAll(ar, turnState);
}

void CMjMessage_Resume4::Serialize(ArchiveWriter& ar) const {
  head.Serialize(ar);
  ar.WriteBytes(myHand, sizeof myHand);
  for (int s = 0; s < kMjSeats; ++s) PutSeatStrings(ar, *this, s);
  Put(ar, lastSeat);
  ar.WriteBytes(lastTile, 2);
  for (int s = 0; s < kMjSeats; ++s) PutAll(ar, ting[s], handCount[s]);
}
bool CMjMessage_Resume4::Load(ArchiveReader& ar) {
  head.Load(ar);
  ar.ReadBytes(myHand, sizeof myHand);
  for (int s = 0; s < kMjSeats; ++s) GetSeatStrings(ar, *this, s);
  Get(ar, lastSeat);
  ar.ReadBytes(lastTile, 2);
  for (int s = 0; s < kMjSeats; ++s) GetAll(ar, ting[s], handCount[s]);
  return ar.IsOk();
}

CMjMessage_HuResult CMjMessage_Resume5::ToHuResult() const {
  CMjMessage_HuResult result;
  result.winnerSeat = winnerSeat;
  result.huType = huType;
  result.discarderSeat = discarderSeat;
  std::memcpy(result.huTile, huTile, sizeof huTile);
  std::memcpy(result.hands, hands, sizeof hands);
  std::memcpy(result.hiddenKongs, hiddenKongs, sizeof hiddenKongs);
  return result;
}
