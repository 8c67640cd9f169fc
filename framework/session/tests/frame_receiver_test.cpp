// The receive state machine: header phase, body phase, the checks between them and what the
// play table is told to do after each delivery.
#include "frame_receiver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "byte_order.h"
#include "frame_vectors.h"

namespace {

std::vector<uint8_t> Header(uint16_t id, uint32_t length, uint32_t sequence) {
  std::vector<uint8_t> header(kMessageHeaderSize, 0);
  StoreBigEndian16(header.data(), id);
  StoreBigEndian32(header.data() + 4, length);
  StoreBigEndian32(header.data() + 8, sequence);
  return header;
}

struct SessionFrameReceive : ::testing::Test {
  FrameReceiver receiver;
  const std::vector<uint8_t> frame{std::begin(kPlayerExitFrame), std::end(kPlayerExitFrame)};

  ReceiveStep Deliver(const std::vector<uint8_t>& bytes, size_t from = 0,
                      size_t size = SIZE_MAX) {
    if (size == SIZE_MAX) size = bytes.size() - from;
    return receiver.OnDelivery(bytes.data() + from, size, kVectorSessionKey);
  }
};

TEST_F(SessionFrameReceive, HeaderThenBodyDispatchesTheBodyLength) {
  ReceiveStep step = Deliver(frame, 0, kMessageHeaderSize);
  EXPECT_EQ(step.kind, ReceiveStep::RequestBytes);
  EXPECT_EQ(step.request, 25u);
  EXPECT_EQ(receiver.ExpectHeader, 0);
  EXPECT_EQ(receiver.LastInboundSequence, 42u);

  step = Deliver(frame, kMessageHeaderSize);
  ASSERT_EQ(step.kind, ReceiveStep::Dispatch);
  EXPECT_EQ(step.id, 3026);
  EXPECT_EQ(step.bodyLength, 8u);  // the header's length less the trailer
  EXPECT_EQ(step.body, frame.data() + kMessageHeaderSize);
  EXPECT_EQ(step.request, kMessageHeaderSize);
  EXPECT_EQ(receiver.ExpectHeader, 1);
}

TEST_F(SessionFrameReceive, ZeroLengthHeaderAsksForTheNextHeader) {
  const ReceiveStep step = Deliver(Header(3011, 0, 5));
  EXPECT_EQ(step.kind, ReceiveStep::RequestBytes);
  EXPECT_EQ(step.request, kMessageHeaderSize);
  EXPECT_EQ(receiver.ExpectHeader, 1);
}

TEST_F(SessionFrameReceive, SequenceZeroIsVerifiedWithThePreviousSequence) {
  receiver.LastInboundSequence = 42;
  std::vector<uint8_t> unsequenced = frame;
  StoreBigEndian32(unsequenced.data() + 8, 0);
  EXPECT_EQ(Deliver(unsequenced, 0, kMessageHeaderSize).kind, ReceiveStep::RequestBytes);
  EXPECT_EQ(receiver.LastInboundSequence, 42u);
  EXPECT_EQ(Deliver(unsequenced, kMessageHeaderSize).kind, ReceiveStep::Dispatch);
}

TEST_F(SessionFrameReceive, ChangedBodyIsATrailerFailureAndReturnsToTheHeaderPhase) {
  std::vector<uint8_t> changed = frame;
  changed[kMessageHeaderSize + 3] ^= 0x80;
  Deliver(changed, 0, kMessageHeaderSize);
  EXPECT_EQ(Deliver(changed, kMessageHeaderSize).kind, ReceiveStep::TrailerFailure);
  EXPECT_EQ(receiver.ExpectHeader, 1);
  EXPECT_EQ(receiver.ReconnectCount, 0);
}

TEST_F(SessionFrameReceive, RepeatedSequenceStopsTheDeliveryAndCountsReconnects) {
  receiver.LastInboundSequence = 42;
  for (int attempt = 1; attempt <= 3; ++attempt) {
    const ReceiveStep step = Deliver(frame, 0, kMessageHeaderSize);
    EXPECT_EQ(step.kind, ReceiveStep::SequenceReconnect);
    EXPECT_EQ(receiver.ExpectHeader, 1);  // nothing asked of the closed socket
    EXPECT_EQ(receiver.ReconnectCount, attempt);
  }
  EXPECT_EQ(Deliver(frame, 0, kMessageHeaderSize).kind, ReceiveStep::SequenceGiveUp);
  EXPECT_EQ(receiver.ReconnectCount, 0);
}

TEST_F(SessionFrameReceive, LargeRostersAreReceived) {
  // A roster of 300 people in 256-byte records (a full table and its watchers) is far above
  // 64 KiB; it is a message like any other, not a framing failure.
  const uint32_t length = 300 * 256 + 17;
  const ReceiveStep step = Deliver(Header(3106 + 50000, length, 1));
  EXPECT_EQ(step.kind, ReceiveStep::RequestBytes);
  EXPECT_EQ(step.request, length);
}

TEST_F(SessionFrameReceive, LengthAboveTheCapOrAShortDeliveryIsAFramingFailure) {
  EXPECT_EQ(Deliver(Header(3021, kMaxInboundLength + 1, 1)).kind, ReceiveStep::FramingFailure);
  EXPECT_EQ(Deliver(Header(3021, 0xFFFFFFFF, 1)).kind, ReceiveStep::FramingFailure);
  EXPECT_EQ(receiver.ExpectHeader, 1);
  EXPECT_EQ(receiver.LastInboundSequence, 0u);

  EXPECT_EQ(Deliver(Header(3021, kMaxInboundLength, 1)).request, kMaxInboundLength);
  FrameReceiver fresh;
  const auto header = Header(3026, 25, 1);
  EXPECT_EQ(fresh.OnDelivery(header.data(), 31, 0).kind, ReceiveStep::FramingFailure);

  receiver.ExpectHeader = 1;
  Deliver(frame, 0, kMessageHeaderSize);
  EXPECT_EQ(Deliver(frame, kMessageHeaderSize, 24).kind, ReceiveStep::FramingFailure);
  EXPECT_EQ(receiver.ExpectHeader, 1);
}

TEST_F(SessionFrameReceive, ShortLengthsFailWhenCheckedAndDispatchEmptyWhenExempt) {
  const std::vector<uint8_t> five(5, 0);
  Deliver(Header(3026, 5, 1));
  EXPECT_EQ(Deliver(five).kind, ReceiveStep::TrailerFailure);

  Deliver(Header(3002, 5, 2));
  const ReceiveStep step = Deliver(five);
  ASSERT_EQ(step.kind, ReceiveStep::Dispatch);
  EXPECT_EQ(step.bodyLength, 0u);
}

}  // namespace
