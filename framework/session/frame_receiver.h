// The receive state machine of the play table: the socket control delivers exactly the bytes
// asked for, a 32-byte header first, then the rest of that message (body and trailer), and so
// on. FrameReceiver takes each delivery and says what the play table does next; it performs no
// side effect itself (no socket, timer or dialog).
#pragma once
#include <cstddef>
#include <cstdint>

#include "wire_frame.h"

struct ReceiveStep {
  enum Kind {
    RequestBytes,       // ask the socket for `request` bytes; nothing to dispatch
    Dispatch,           // a message passed its checks: dispatch id/body/bodyLength, then ask
                        // for the next 32-byte header once (unless a handler already did)
    TrailerFailure,     // trailer rejected: notice, close, reconnect (reconnect count unchanged)
    SequenceReconnect,  // repeated or older sequence: close, notice, reconnect
    SequenceGiveUp,     // the fourth sequence error in a row: the game ends
    FramingFailure,     // a header length above the cap or a short delivery: reconnect
  };

  Kind kind = RequestBytes;
  uint32_t request = 0;
  uint16_t id = 0;
  const uint8_t* body = nullptr;  // points into the delivery
  uint32_t bodyLength = 0;        // the header's length - 17
};

class FrameReceiver {
 public:
  int ExpectHeader = 1;
  uint32_t LastInboundSequence = 0;
  int16_t ReconnectCount = 0;

  // A (re)connection starts with a header.
  void OnConnected() { ExpectHeader = 1; }

  // One delivery of the socket control: size bytes at data.
  ReceiveStep OnDelivery(const uint8_t* data, size_t size, uint32_t sessionKey);

  uint16_t CurrentId() const { return m_currentId; }
  uint32_t CurrentLength() const { return m_currentLength; }

 private:
  ReceiveStep OnHeader(const uint8_t* data, size_t size);
  ReceiveStep OnBody(const uint8_t* data, size_t size, uint32_t sessionKey);

  uint16_t m_currentId = 0;
  uint32_t m_currentLength = 0;
};
