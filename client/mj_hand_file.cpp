#include "mj_hand_file.h"

#include <cstdint>
#include <new>
#include <vector>

#include "person_records.h"

namespace {

// The fewest bytes one entry of each list takes in the file.
constexpr size_t kStepSize = 2;
constexpr size_t kDrawSize = 10;
constexpr size_t kDiscardSize = 4;
constexpr size_t kMeldSize = 10;
constexpr size_t kKongSize = 16;
constexpr size_t kTingSize = 4;

// A person with empty strings: the shortest archive form of a person.
size_t MinPersonSize() {
  static const size_t size = [] {
    ArchiveWriter w;
    SerializePerson(TablePerson{}, w);
    return w.GetBytes().size();
  }();
  return size;
}

// Reads a list count and checks it against what is left of the file.
HandFileError ReadCount(ArchiveReader& ar, size_t entrySize, size_t& count) {
  int32_t n = 0;
  if (!ar.ReadInt32(n)) return HandFileError::Truncated;
  if (n < 0 || static_cast<size_t>(n) > ar.GetRemaining() / entrySize) {
    return HandFileError::CountTooLarge;
  }
  count = static_cast<size_t>(n);
  return HandFileError::None;
}

template <class Entry, class Put>
void StoreList(ArchiveWriter& ar, const std::vector<Entry>& list, Put put) {
  ar.WriteInt32(static_cast<int32_t>(list.size()));
  for (const Entry& e : list) put(e);
}

template <class Entry, class Get>
HandFileError LoadList(ArchiveReader& ar, size_t entrySize, std::vector<Entry>& list, Get get) {
  size_t count = 0;
  const HandFileError error = ReadCount(ar, entrySize, count);
  if (error != HandFileError::None) return error;
  list.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    Entry e{};
    if (!get(e)) return HandFileError::Truncated;
    list.push_back(e);
  }
  return HandFileError::None;
}

template <class Entry>
void AppendAll(std::vector<Entry>& to, const std::vector<Entry>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

void CMjHandRecord::Serialize(ArchiveWriter& ar) const {
  ar.WriteInt32(userId);
  ar.WriteString(comInfo);
  ar.WriteInt16(subType);
  ar.WriteInt16(seats);
  StoreList(ar, persons, [&](const TablePerson& p) { SerializePerson(p, ar); });
  ar.WriteInt16(banker);
  ar.WriteInt16(hand);
  ar.WriteInt16(wallSize);
  ar.WriteInt16(stage);
  deal.Serialize(ar);
  snapshot3.Serialize(ar);
  snapshot4.Serialize(ar);
  StoreList(ar, steps, [&](int16_t k) { ar.WriteInt16(k); });
  StoreList(ar, draws, [&](const CMjMessage_Draw& e) { e.Serialize(ar); });
  StoreList(ar, discards, [&](const CMjMessage_Discard& e) { e.Serialize(ar); });
  StoreList(ar, melds, [&](const CMjMessage_Meld& e) { e.Serialize(ar); });
  StoreList(ar, kongs, [&](const CMjMessage_KongDraw& e) { e.Serialize(ar); });
  StoreList(ar, tings, [&](const CMjMessage_Ting& e) { e.SerializeReversed(ar); });
  result.Serialize(ar);
  wallEmpty.Serialize(ar);
}

HandFileError CMjHandRecord::Load(ArchiveReader& ar) {
  // Everything goes into a fresh record first, so that a bad file changes nothing.
  CMjHandRecord in;
  HandFileError error = HandFileError::None;
  const auto failed = [&](HandFileError e) {
    error = e;
    return e != HandFileError::None;
  };
  ar.ReadInt32(in.userId);
  ar.ReadString(in.comInfo);
  ar.ReadInt16(in.subType);
  if (!ar.ReadInt16(in.seats)) return HandFileError::Truncated;
  if (in.seats != kMjSeats) return HandFileError::NotTwoSeats;
  if (failed(LoadList(ar, MinPersonSize(), in.persons,
                      [&](TablePerson& p) { return SerializePerson(p, ar); }))) {
    return error;
  }
  ar.ReadInt16(in.banker);
  ar.ReadInt16(in.hand);
  ar.ReadInt16(in.wallSize);
  ar.ReadInt16(in.stage);
  in.deal.Load(ar);
  in.snapshot3.Load(ar);
  if (!in.snapshot4.Load(ar)) return HandFileError::Truncated;
  if (failed(LoadList(ar, kStepSize, in.steps, [&](int16_t& k) { return ar.ReadInt16(k); })) ||
      failed(LoadList(ar, kDrawSize, in.draws, [&](CMjMessage_Draw& e) { return e.Load(ar); })) ||
      failed(LoadList(ar, kDiscardSize, in.discards,
                      [&](CMjMessage_Discard& e) { return e.Load(ar); })) ||
      failed(LoadList(ar, kMeldSize, in.melds, [&](CMjMessage_Meld& e) { return e.Load(ar); })) ||
      failed(LoadList(ar, kKongSize, in.kongs,
                      [&](CMjMessage_KongDraw& e) { return e.Load(ar); })) ||
      failed(LoadList(ar, kTingSize, in.tings,
                      [&](CMjMessage_Ting& e) { return e.LoadReversed(ar); }))) {
    return error;
  }
  in.result.Load(ar);
  if (!in.wallEmpty.Load(ar)) return HandFileError::Truncated;

  userId = in.userId;
  comInfo = std::move(in.comInfo);
  subType = in.subType;
  seats = in.seats;
  AppendAll(persons, in.persons);
  hand = in.hand;
  banker = in.banker;
  wallSize = in.wallSize;
  stage = in.stage;
  deal = in.deal;
  snapshot3 = in.snapshot3;
  snapshot4 = in.snapshot4;
  AppendAll(steps, in.steps);
  AppendAll(draws, in.draws);
  AppendAll(discards, in.discards);
  AppendAll(melds, in.melds);
  AppendAll(kongs, in.kongs);
  AppendAll(tings, in.tings);
  result = in.result;
  wallEmpty = in.wallEmpty;
  return HandFileError::None;
}

std::vector<uint8_t> StoreHandFile(const ListHead& head, const CMjHandRecord& record) {
  ArchiveWriter ar;
  head.Serialize(ar);
  record.Serialize(ar);
  return ar.GetBytes();
}

HandFileError LoadHandFile(const uint8_t* data, size_t size, ListHead& head,
                           CMjHandRecord& record) {
  try {
    ArchiveReader ar(data, size);
    ListHead loadedHead = head;
    if (!loadedHead.Load(ar)) return HandFileError::Truncated;
    const HandFileError error = record.Load(ar);
    if (error != HandFileError::None) return error;
    head = loadedHead;
    return HandFileError::None;
  } catch (const std::bad_alloc&) {
    // The counts are bounded by the file, so only a machine out of memory gets here.
    return HandFileError::CountTooLarge;
  }
}
