#include "frame_receiver.h"

namespace {

ReceiveStep Step(ReceiveStep::Kind kind, uint32_t request = 0) {
  ReceiveStep step;
  step.kind = kind;
  step.request = request;
  return step;
}

}  // namespace

ReceiveStep FrameReceiver::OnDelivery(const uint8_t* data, size_t size, uint32_t sessionKey) {
  return ExpectHeader ? OnHeader(data, size) : OnBody(data, size, sessionKey);
}

ReceiveStep FrameReceiver::OnHeader(const uint8_t* data, size_t size) {
  if (size < kMessageHeaderSize) return Step(ReceiveStep::FramingFailure);
  MessageHeader header = MessageHeader::FromBytes(data);
  header.HeaderToHost();
  if (header.length > kMaxInboundLength) return Step(ReceiveStep::FramingFailure);
  m_currentId = header.id;
  m_currentLength = header.length;
  // The header digest is not checked.
  switch (OnSequenceError(header.sequence, LastInboundSequence, ReconnectCount)) {
    case SequenceCheck::Reconnect:
      return Step(ReceiveStep::SequenceReconnect);
    case SequenceCheck::GiveUp:
      return Step(ReceiveStep::SequenceGiveUp);
    case SequenceCheck::Unchecked:
    case SequenceCheck::Accepted:
      break;
  }
  if (header.length == 0) return Step(ReceiveStep::RequestBytes, kMessageHeaderSize);
  ExpectHeader = 0;
  return Step(ReceiveStep::RequestBytes, header.length);
}

ReceiveStep FrameReceiver::OnBody(const uint8_t* data, size_t size, uint32_t sessionKey) {
  ExpectHeader = 1;
  if (size < m_currentLength) return Step(ReceiveStep::FramingFailure);
  if (!VerifyTrailer(m_currentId, m_currentLength, LastInboundSequence, data, sessionKey)) {
    return Step(ReceiveStep::TrailerFailure);
  }
  ReceiveStep step = Step(ReceiveStep::Dispatch, kMessageHeaderSize);
  step.id = m_currentId;
  step.body = data;
  step.bodyLength = m_currentLength >= kMessageTrailerSize
                        ? m_currentLength - static_cast<uint32_t>(kMessageTrailerSize)
                        : 0;
  return step;
}
