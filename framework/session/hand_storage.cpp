#include "hand_storage.h"

#include <utility>

#include "person_records.h"

namespace {

// The fewest bytes a person takes in the archive (every text empty).
size_t SmallestPerson() {
  static const size_t size = [] {
    ArchiveWriter w;
    SerializePerson(TablePerson{}, w);
    return w.GetBytes().size();
  }();
  return size;
}

constexpr size_t kSmallestStep = 3 * 2 + 4;  // three words and the card count
constexpr size_t kCardSize = 2 * 4;

// A count read from the archive that the rest of it can hold, `each` bytes apiece at least.
bool ReadCount(ArchiveReader& archive, size_t each, uint32_t& count) {
  int32_t n = 0;
  if (!archive.ReadInt32(n) || n < 0) return false;
  count = static_cast<uint32_t>(n);
  return each == 0 || count <= archive.GetRemaining() / each;
}

}  // namespace

void HandStep::Serialize(ArchiveWriter& archive) const {
  for (int16_t v : values) archive.WriteInt16(v);
  archive.WriteInt32(static_cast<int32_t>(cards.size()));
  for (const card& c : cards) {
    archive.WriteInt32(c.m_nColor);
    archive.WriteInt32(c.m_nValue);
  }
}

bool HandStep::Load(ArchiveReader& archive) {
  cards.clear();
  for (int16_t& v : values)
    if (!archive.ReadInt16(v)) return false;
  uint32_t n = 0;
  if (!ReadCount(archive, kCardSize, n)) return false;
  cards.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    card c{};
    if (!archive.ReadInt32(c.m_nColor) || !archive.ReadInt32(c.m_nValue)) return false;
    cards.push_back(c);
  }
  return true;
}

void CHandStorage::SerializeHead(ArchiveWriter& archive) const {
  archive.WriteInt32(userId);
  archive.WriteString(comment);
  archive.WriteInt16(subType);
  archive.WriteInt16(seatsPerTable);
  archive.WriteInt32(static_cast<int32_t>(persons.size()));
  for (const TablePerson& p : persons) SerializePerson(p, archive);
}

void CHandStorage::SerializeWithSteps(ArchiveWriter& archive) const {
  SerializeHead(archive);
  archive.WriteInt32(static_cast<int32_t>(steps.size()));
  for (const HandStep& s : steps) s.Serialize(archive);
}

bool CHandStorage::LoadHead(ArchiveReader& archive) {
  if (!archive.ReadInt32(userId) || !archive.ReadString(comment) ||
      !archive.ReadInt16(subType) || !archive.ReadInt16(seatsPerTable))
    return false;
  uint32_t n = 0;
  if (!ReadCount(archive, SmallestPerson(), n)) return false;
  for (uint32_t i = 0; i < n; ++i) {
    TablePerson p{};
    if (!SerializePerson(p, archive)) return false;
    persons.push_back(p);
  }
  return true;
}

bool CHandStorage::LoadWithSteps(ArchiveReader& archive) {
  if (!LoadHead(archive)) return false;
  uint32_t n = 0;
  if (!ReadCount(archive, kSmallestStep, n)) return false;
  for (uint32_t i = 0; i < n; ++i) {
    HandStep s;
    if (!s.Load(archive)) return false;
    steps.push_back(std::move(s));
  }
  return true;
}
