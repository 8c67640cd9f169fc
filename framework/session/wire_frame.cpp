#include "wire_frame.h"

#include <cstring>

#include "byte_order.h"

namespace {

constexpr uint32_t kCheckedFamilyBase[] = {3106, 3107, 3110, 3111};

void UpdateBigEndian32(CMD5Checksum& md5, uint32_t value) {
  uint8_t bytes[4];
  StoreBigEndian32(bytes, value);
  md5.Update(bytes, 4);
}

MessageTrailer FinishTrailer(CMD5Checksum& md5) {
  MessageTrailer trailer;
  md5.Finalise(trailer.digest);
  return trailer;
}

}  // namespace

FrameworkSession& GetFrameworkSession() {
  static FrameworkSession session;
  return session;
}

MessageHeader MessageHeader::For(uint16_t id, size_t bodySize) {
  MessageHeader header;
  header.id = id;
  header.length = static_cast<uint32_t>(bodySize + kMessageTrailerSize);
  return header;
}

MessageHeader MessageHeader::FromBytes(const uint8_t* bytes) {
  MessageHeader header;
  std::memcpy(&header, bytes, sizeof header);
  return header;
}

void MessageHeader::BuildHeader(FrameworkSession& session) {
  FlipByteOrder(id);
  FlipByteOrder(length);
  sequence = NetworkOrder32(session.NextSequence());
  uint8_t signedPart[14];
  std::memcpy(signedPart, &id, 2);
  std::memcpy(signedPart + 2, &length, 4);
  std::memcpy(signedPart + 6, &sequence, 4);
  std::memcpy(signedPart + 10, HeaderSalt, 4);
  Md5Digest(signedPart, sizeof signedPart, digest);
}

void MessageHeader::BuildBareMessage(MessageBuffer& out, FrameworkSession& session) {
  BuildHeader(session);
  out.AssembleHeaderWithSessionTrailer(*this, session.SessionKey);
}

void MessageHeader::HeaderToHost() {
  FlipByteOrder(id);
  FlipByteOrder(length);
  FlipByteOrder(sequence);
}

MessageTrailer MakeSessionTrailer(std::initializer_list<ByteRun> body, const uint8_t sequenceBytes[4],
                                  uint32_t sessionKey) {
  CMD5Checksum md5;
  for (const ByteRun& run : body) md5.Update(run.data, run.size);
  md5.Update(sequenceBytes, 4);
  UpdateBigEndian32(md5, K1);
  UpdateBigEndian32(md5, sessionKey);
  return FinishTrailer(md5);
}

MessageTrailer MakeFixedTrailer(std::initializer_list<ByteRun> body) {
  CMD5Checksum md5;
  for (const ByteRun& run : body) md5.Update(run.data, run.size);
  UpdateBigEndian32(md5, K2);
  UpdateBigEndian32(md5, K1);
  UpdateBigEndian32(md5, K3);
  return FinishTrailer(md5);
}

void MessageBuffer::Assemble(const MessageHeader* header, std::initializer_list<ByteRun> body,
                             const MessageTrailer* trailer) {
  size_t size = 1;  // the spare zero byte
  if (header) size += kMessageHeaderSize;
  for (const ByteRun& run : body) size += run.size;
  if (trailer) size += kMessageTrailerSize;
  m_block.assign(size, 0);
  uint8_t* p = m_block.data();
  if (header) {
    std::memcpy(p, header, kMessageHeaderSize);
    p += kMessageHeaderSize;
  }
  for (const ByteRun& run : body) {
    if (run.size > 0) std::memcpy(p, run.data, run.size);
    p += run.size;
  }
  if (trailer) std::memcpy(p, trailer, kMessageTrailerSize);
}

void MessageBuffer::CopyHeader(const MessageHeader& header) { Assemble(&header, {}, nullptr); }

void MessageBuffer::AssembleHeaderWithSessionTrailer(const MessageHeader& header,
                                                     uint32_t sessionKey) {
  const MessageTrailer trailer =
      MakeSessionTrailer({}, reinterpret_cast<const uint8_t*>(&header.sequence), sessionKey);
  Assemble(&header, {}, &trailer);
}

void MessageBuffer::AssembleWithSessionTrailer(const MessageHeader& header, const void* body,
                                               size_t bodySize, uint32_t sessionKey) {
  const MessageTrailer trailer = MakeSessionTrailer(
      {{body, bodySize}}, reinterpret_cast<const uint8_t*>(&header.sequence), sessionKey);
  Assemble(&header, {{body, bodySize}}, &trailer);
}

void MessageBuffer::AssembleWithFixedTrailer(const MessageHeader& header, const void* body,
                                             size_t bodySize) {
  const MessageTrailer trailer = MakeFixedTrailer({{body, bodySize}});
  Assemble(&header, {{body, bodySize}}, &trailer);
}

void MessageBuffer::AssembleTwoPartWithSessionTrailer(const MessageHeader& header,
                                                      const void* head, size_t headSize,
                                                      const void* text, size_t textSize,
                                                      uint32_t sessionKey) {
  const MessageTrailer trailer =
      MakeSessionTrailer({{head, headSize}, {text, textSize}},
                         reinterpret_cast<const uint8_t*>(&header.sequence), sessionKey);
  Assemble(&header, {{head, headSize}, {text, textSize}}, &trailer);
}

void MessageBuffer::AssembleTwoPartWithFixedTrailer(const MessageHeader& header, const void* head,
                                                    size_t headSize, const void* text,
                                                    size_t textSize) {
  const MessageTrailer trailer = MakeFixedTrailer({{head, headSize}, {text, textSize}});
  Assemble(&header, {{head, headSize}, {text, textSize}}, &trailer);
}

void MessageBuffer::CopyBody(const void* body, size_t bodySize) {
  Assemble(nullptr, {{body, bodySize}}, nullptr);
}

bool IsTrailerExempt(uint16_t id) {
  switch (id) {
    case 3002: case 3003: case 3004: case 3009: case 3010: case 3011: case 3016:
    case 3027: case 3033: case 3806: case 3817: case 3819: case 3821:
      return true;
    default:
      break;
  }
  for (uint32_t base : kCheckedFamilyBase) {
    if (id >= base && (id - base) % 50 == 0 && (id - base) / 50 <= 8) return true;
  }
  return false;
}

int VerifyTrailer(uint16_t id, uint32_t length, uint32_t sequence, const uint8_t* bytes,
                  uint32_t sessionKey) {
  if (IsTrailerExempt(id)) return 1;
  if (length < kMessageTrailerSize) return 0;
  const size_t bodySize = length - kMessageTrailerSize;
  uint8_t sequenceBytes[4];
  StoreBigEndian32(sequenceBytes, sequence);
  const MessageTrailer expected = MakeSessionTrailer({{bytes, bodySize}}, sequenceBytes, sessionKey);
  return std::memcmp(expected.digest, bytes + bodySize, sizeof expected.digest) == 0 ? 1 : 0;
}

SequenceCheck OnSequenceError(uint32_t sequence, uint32_t& LastInboundSequence,
                              int16_t& ReconnectCount) {
  if (sequence == 0) return SequenceCheck::Unchecked;
  if (sequence > LastInboundSequence) {
    LastInboundSequence = sequence;
    return SequenceCheck::Accepted;
  }
  ++ReconnectCount;
  if (ReconnectCount <= 3) return SequenceCheck::Reconnect;
  ReconnectCount = 0;
  return SequenceCheck::GiveUp;
}
