// The wire frame of every message between the client and the game server:
//   32-byte header | body | 17-byte trailer
// The header carries the message id, the length of what follows it (body + 17), a sequence
// number and an MD5 digest of those fields; the trailer carries an MD5 digest of the body,
// salted either with the session key (session trailer) or with fixed salts (fixed trailer).
// All integers on the wire are big-endian.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "md5_checksum.h"

constexpr size_t kMessageHeaderSize = 32;
constexpr size_t kMessageTrailerSize = 17;
// A frame is sent with its header and trailer: body length + 49 bytes.
constexpr size_t kFrameOverhead = kMessageHeaderSize + kMessageTrailerSize;

// Inbound header lengths above this are framing failures. The server's longest messages are
// the rosters (3106 + 50k), one 228- to 264-byte record per person at the table, watchers
// included; 1 MiB holds some four thousand of them, far beyond any table.
constexpr uint32_t kMaxInboundLength = 1024 * 1024;

// Salts of the digests.
inline constexpr uint8_t HeaderSalt[4] = {'7', '3', '4', '0'};
constexpr uint32_t K1 = 4718;
constexpr uint32_t K2 = 3062;
constexpr uint32_t K3 = 5291;

// The framework-wide send state: the key the server hands out in its session start (3010) and
// the counter of outbound sequence numbers. Both are 0 when the play table is built and are
// re-seeded by every session start.
struct FrameworkSession {
  uint32_t SessionKey = 0;
  uint32_t OutboundSequence = 0;

  // Advances the counter and returns the new value: after a seed s the first frame carries s + 1.
  uint32_t NextSequence() { return ++OutboundSequence; }
  void Reset() { SessionKey = 0; OutboundSequence = 0; }
};

// The one instance the client uses.
FrameworkSession& GetFrameworkSession();

class MessageBuffer;

// The 32-byte header, in the byte layout of the wire. A sender fills id and length in host
// order (For), and BuildHeader turns it into its wire form in place; a receiver copies the 32
// delivered bytes in (FromBytes) and turns id, length and sequence to host order (HeaderToHost).
struct MessageHeader {
  uint16_t id = 0;
  uint8_t reserved2[2] = {};
  uint32_t length = 0;      // bytes after the header: body + 17; 0 means nothing follows
  uint32_t sequence = 0;
  uint8_t digest[16] = {};  // MD5 of id | length | sequence | HeaderSalt, in wire order
  uint8_t reserved28[4] = {};

  // A header in host order for a body of bodySize bytes.
  static MessageHeader For(uint16_t id, size_t bodySize);
  // The header as it lies in the first 32 delivered bytes (wire order).
  static MessageHeader FromBytes(const uint8_t* bytes);

  // id and length to network order, the next outbound sequence in network order, the digest.
  void BuildHeader(FrameworkSession& session);
  // BuildHeader, then the frame of a message with an empty body and a session trailer (49 bytes).
  void BuildBareMessage(MessageBuffer& out, FrameworkSession& session);
  // id, length and sequence of a received header to host order; digest and reserved bytes stay.
  void HeaderToHost();
};

static_assert(sizeof(MessageHeader) == kMessageHeaderSize);
static_assert(offsetof(MessageHeader, length) == 4);
static_assert(offsetof(MessageHeader, sequence) == 8);
static_assert(offsetof(MessageHeader, digest) == 12);
static_assert(offsetof(MessageHeader, reserved28) == 28);

// The 17-byte trailer: a 16-byte digest and one zero byte.
struct MessageTrailer {
  uint8_t digest[16] = {};
  uint8_t terminator = 0;
};

static_assert(sizeof(MessageTrailer) == kMessageTrailerSize);

// One run of body bytes; a body may be given in parts (a chat head and its text).
struct ByteRun {
  const void* data;
  size_t size;
};

// MD5 over body | the 4 sequence bytes as they stand in the header | K1 | SessionKey.
MessageTrailer MakeSessionTrailer(std::initializer_list<ByteRun> body, const uint8_t sequenceBytes[4],
                                  uint32_t sessionKey);
// MD5 over body | K2 | K1 | K3.
MessageTrailer MakeFixedTrailer(std::initializer_list<ByteRun> body);

// One heap block holding a complete frame: header, body, trailer and one spare zero byte. The
// frame that is sent is GetData() .. GetData() + GetFrameLength().
class MessageBuffer {
 public:
  const uint8_t* GetData() const { return m_block.data(); }
  size_t GetFrameLength() const { return m_block.empty() ? 0 : m_block.size() - 1; }
  size_t GetBlockSize() const { return m_block.size(); }

  // The assemblers take a header already built (wire order).
  void CopyHeader(const MessageHeader& header);
  void AssembleHeaderWithSessionTrailer(const MessageHeader& header, uint32_t sessionKey);
  void AssembleWithSessionTrailer(const MessageHeader& header, const void* body, size_t bodySize,
                                  uint32_t sessionKey);
  void AssembleWithFixedTrailer(const MessageHeader& header, const void* body, size_t bodySize);
  void AssembleTwoPartWithSessionTrailer(const MessageHeader& header, const void* head,
                                         size_t headSize, const void* text, size_t textSize,
                                         uint32_t sessionKey);
  void AssembleTwoPartWithFixedTrailer(const MessageHeader& header, const void* head,
                                       size_t headSize, const void* text, size_t textSize);
  // The body alone, without header and trailer.
  void CopyBody(const void* body, size_t bodySize);

 private:
  void Assemble(const MessageHeader* header, std::initializer_list<ByteRun> body,
                const MessageTrailer* trailer);

  std::vector<uint8_t> m_block;
};

// Messages whose trailer is not checked on receipt: the session start, the keep-alive and the
// messages the server sends before or outside the session.
bool IsTrailerExempt(uint16_t id);

// The trailer check of a received message. bytes holds the length bytes after the header: the
// body (length - 17 bytes) and the trailer. sequence is the last accepted inbound sequence.
// Returns 1 (accepted) or 0 (rejected). A checked message too short to hold a trailer fails.
int VerifyTrailer(uint16_t id, uint32_t length, uint32_t sequence, const uint8_t* bytes,
                  uint32_t sessionKey);

// What the sequence check of a received header decided.
enum class SequenceCheck {
  Unchecked,  // sequence 0: not checked, LastInboundSequence unchanged
  Accepted,   // greater than the last one: LastInboundSequence advanced
  Reconnect,  // repeated or older: close and reconnect (ReconnectCount now 1 to 3)
  GiveUp,     // repeated or older for the fourth time in a row: the game ends (count back to 0)
};

// The decision of the sequence check (the play table closes, notifies and reconnects).
SequenceCheck OnSequenceError(uint32_t sequence, uint32_t& LastInboundSequence,
                              int16_t& ReconnectCount);
