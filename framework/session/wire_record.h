// Common operations of the fixed-layout wire records. Each record is a plain struct whose bytes
// are the body bytes on the wire; it names the numbers it carries in FlipFields, which turns
// them between host and network order (texts, tile codes and gaps are carried as they stand).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "byte_order.h"
#include "wire_frame.h"

template <class Record>
struct WireRecord {
  void ToHost() { static_cast<Record*>(this)->FlipFields(); }
  void ToNetwork() { static_cast<Record*>(this)->FlipFields(); }
  static constexpr size_t GetSize() { return sizeof(Record); }
};

// Copies a record out of a received body and turns it to host order. A body shorter than the
// record is not read: the result is false and out is left as it was.
template <class Record>
bool ReadRecord(const uint8_t* body, size_t bodyLength, Record& out) {
  static_assert(std::is_trivially_copyable_v<Record>);
  if (body == nullptr || bodyLength < sizeof(Record)) return false;
  std::memcpy(&out, body, sizeof(Record));
  out.ToHost();
  return true;
}

// The wire bytes of a record filled in host order.
template <class Record>
std::array<uint8_t, sizeof(Record)> ToWireBytes(Record record) {
  record.ToNetwork();
  std::array<uint8_t, sizeof(Record)> bytes;
  std::memcpy(bytes.data(), &record, sizeof(Record));
  return bytes;
}

enum class TrailerKind { Session, Fixed };

// The frame of a record: header (id, body size, next sequence, digest), the body in network
// order, and the trailer of the given kind.
template <class Record>
void PackRecord(const Record& record, uint16_t id, TrailerKind trailer, MessageBuffer& out,
                FrameworkSession& session) {
  MessageHeader header = MessageHeader::For(id, sizeof(Record));
  header.BuildHeader(session);
  Record wire = record;
  wire.ToNetwork();
  if (trailer == TrailerKind::Fixed) {
    out.AssembleWithFixedTrailer(header, &wire, sizeof wire);
  } else {
    out.AssembleWithSessionTrailer(header, &wire, sizeof wire, session.SessionKey);
  }
}

// A body made of records of one kind back to back (rosters, avatar and referee lists). The
// count is the body length divided by the record size; a rest is ignored.
template <class Record>
class RecordList {
 public:
  void Init(const uint8_t* body, size_t bodyLength) {
    m_body = body;
    m_count = body ? bodyLength / sizeof(Record) : 0;
  }
  size_t GetCount() const { return m_count; }
  // The record at index, in host order (a default record past the end).
  Record Get(size_t index) const {
    Record record{};
    if (index < m_count) ReadRecord(m_body + index * sizeof(Record), sizeof(Record), record);
    return record;
  }

 private:
  const uint8_t* m_body = nullptr;
  size_t m_count = 0;
};
