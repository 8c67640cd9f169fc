// The frame builders against independently computed frames, the trailer check and the
// sequence rules.
#include "wire_frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "chat_messages.h"
#include "frame_vectors.h"
#include "framework_messages.h"

namespace {

std::vector<uint8_t> Frame(const MessageBuffer& buffer) {
  return {buffer.GetData(), buffer.GetData() + buffer.GetFrameLength()};
}

template <size_t N>
std::vector<uint8_t> Bytes(const uint8_t (&bytes)[N]) {
  return {bytes, bytes + N};
}

FrameworkSession SessionAfterSeed() {
  FrameworkSession session;
  session.SessionKey = kVectorSessionKey;
  session.OutboundSequence = kVectorSeed;
  return session;
}

TEST(SessionFrame, KeepAliveMatchesTheComputedFrame) {
  FrameworkSession session = SessionAfterSeed();
  MessageBuffer out;
  CVyrMessage_KeepAlive::Pack(out, session);
  EXPECT_EQ(Frame(out), Bytes(kKeepAliveFrame));
  EXPECT_EQ(out.GetFrameLength(), 49u);
  // One spare zero byte after the frame, not sent.
  EXPECT_EQ(out.GetBlockSize(), 50u);
  EXPECT_EQ(out.GetData()[49], 0);
}

TEST(SessionFrame, JoinTableMatchesTheComputedFrameWhateverTheKey) {
  CVyrMessage_JoinTable join;
  join.userId = 100001;
  join.tableCode = 7;
  join.seatCode = 1;
  join.watchNo = 0xFFFF;
  join.serviceType = 2;
  join.gameType = 3;
  join.subType = 4;
  for (uint32_t key : {0u, 0x12345678u, 0xFFFFFFFFu}) {
    FrameworkSession session;
    session.SessionKey = key;
    MessageBuffer out;
    join.Pack(out, session);
    EXPECT_EQ(Frame(out), Bytes(kJoinTableFrame)) << key;
  }
  // Packing leaves the caller's record in host order.
  EXPECT_EQ(join.userId, 100001u);
}

TEST(SessionFrame, PlayerExitMatchesTheComputedFrame) {
  FrameworkSession session = SessionAfterSeed();
  CVyrMessage_PlayerExit exit;
  exit.userId = 100001;
  exit.seatCode = 1;
  exit.reason = 1;
  MessageBuffer out;
  exit.Pack(out, session);
  EXPECT_EQ(Frame(out), Bytes(kPlayerExitFrame));
}

CVyrChatMessage_InDesk ChatLine(CVyrChatMessage_InDesk&& line) {
  line.head.speakerId = 100001;
  line.head.seatCode = 1;
  line.head.watchNo = 0xFFFF;
  ChatTextFormat format;
  format.m_nColor = 0xFF;
  format.m_nSpeakerId = 100001;
  line.head.SetFormat(format);
  line.text = "ab";
  return std::move(line);
}

TEST(SessionFrame, ChatLinesMatchTheComputedFrames) {
  {
    FrameworkSession session = SessionAfterSeed();
    const CVyrChatMessage_InDesk line = ChatLine(CVyrChatMessage_InDesk{});
    MessageBuffer out;
    line.Pack(out, session);
    EXPECT_EQ(Frame(out), Bytes(kChatFrame));
    EXPECT_EQ(line.GetLength(), 51u);
  }
  {
    FrameworkSession session = SessionAfterSeed();
    CVyrChatMessage_InDesk_OnStart line;
    static_cast<CVyrChatMessage_InDesk&>(line) = ChatLine(CVyrChatMessage_InDesk{});
    MessageBuffer out;
    const CVyrChatMessage_InDesk& base = line;
    base.Pack(out, session);  // the override runs through the base
    EXPECT_EQ(Frame(out), Bytes(kChatOnStartFrame));
  }
}

TEST(SessionFrame, SequenceFollowsTheSeedAndReservedBytesStayZero) {
  FrameworkSession session;
  session.OutboundSequence = 0xFFFFFFF0;
  for (uint32_t expected = 0xFFFFFFF1; expected != 0xFFFFFFF4; ++expected) {
    MessageBuffer out;
    CVyrMessage_KeepAlive::Pack(out, session);
    const uint8_t* h = out.GetData();
    EXPECT_EQ((uint32_t{h[8]} << 24) | (uint32_t{h[9]} << 16) | (uint32_t{h[10]} << 8) | h[11],
              expected);
    EXPECT_EQ(h[2] | h[3] | h[28] | h[29] | h[30] | h[31], 0);
  }
}

TEST(SessionFrame, HeaderToHostTurnsIdLengthAndSequence) {
  MessageHeader header = MessageHeader::FromBytes(kPlayerExitFrame);
  header.HeaderToHost();
  EXPECT_EQ(header.id, 3026);
  EXPECT_EQ(header.length, 25u);
  EXPECT_EQ(header.sequence, 42u);
  EXPECT_EQ(header.digest[0], 0x9b);  // digest left as received
}

// VerifyTrailer over the received part of a frame (everything after the header).
int Verify(const std::vector<uint8_t>& frame, uint32_t sequence, uint32_t key) {
  MessageHeader header = MessageHeader::FromBytes(frame.data());
  header.HeaderToHost();
  return VerifyTrailer(header.id, header.length, sequence, frame.data() + kMessageHeaderSize, key);
}

TEST(SessionVerifyTrailer, AcceptsTheSignedFrameAndRejectsAnyChangedByte) {
  const std::vector<uint8_t> frame = Bytes(kPlayerExitFrame);
  ASSERT_EQ(Verify(frame, 42, kVectorSessionKey), 1);
  EXPECT_EQ(Verify(frame, 41, kVectorSessionKey), 0);
  EXPECT_EQ(Verify(frame, 42, kVectorSessionKey + 1), 0);
  for (size_t at = kMessageHeaderSize; at < kMessageHeaderSize + 8 + 16; ++at) {
    std::vector<uint8_t> changed = frame;
    changed[at] ^= 0x01;
    EXPECT_EQ(Verify(changed, 42, kVectorSessionKey), 0) << "byte " << at;
  }
}

TEST(SessionVerifyTrailer, ExemptIdsPassWhateverTheirTrailer) {
  const uint16_t exempt[] = {3002, 3003, 3004, 3009, 3010, 3011, 3016, 3027, 3033,
                             3806, 3817, 3819, 3821, 3106, 3156, 3506, 3107, 3457,
                             3110, 3210, 3111, 3511};
  const uint8_t garbage[40] = {1, 2, 3};
  for (uint16_t id : exempt) {
    EXPECT_TRUE(IsTrailerExempt(id)) << id;
    EXPECT_EQ(VerifyTrailer(id, sizeof garbage, 7, garbage, 9), 1) << id;
    EXPECT_EQ(VerifyTrailer(id, 3, 7, garbage, 9), 1) << id;
  }
  const uint16_t checked[] = {3001, 3005, 3021, 3026, 3031, 3032, 3040, 3041, 3045,
                              3105, 3108, 3112, 3556, 3557, 3560, 3561, 601, 655, 0};
  for (uint16_t id : checked) {
    EXPECT_FALSE(IsTrailerExempt(id)) << id;
    EXPECT_EQ(VerifyTrailer(id, sizeof garbage, 7, garbage, 9), 0) << id;
  }
}

TEST(SessionVerifyTrailer, ACheckedMessageTooShortForATrailerFails) {
  // A valid empty-body trailer is 17 bytes; 16 or fewer cannot hold one.
  FrameworkSession session = SessionAfterSeed();
  MessageBuffer out;
  CVyrMessage_KeepAlive::Pack(out, session);
  const uint8_t* trailer = out.GetData() + kMessageHeaderSize;
  EXPECT_EQ(VerifyTrailer(3026, 17, 42, trailer, kVectorSessionKey), 1);
  for (uint32_t length : {0u, 1u, 16u}) {
    EXPECT_EQ(VerifyTrailer(3026, length, 42, trailer, kVectorSessionKey), 0) << length;
  }
}

TEST(SessionSequence, ZeroIsUncheckedHigherAdvancesEqualOrLowerIsAnError) {
  uint32_t last = 10;
  int16_t reconnects = 0;
  EXPECT_EQ(OnSequenceError(0, last, reconnects), SequenceCheck::Unchecked);
  EXPECT_EQ(last, 10u);
  EXPECT_EQ(OnSequenceError(11, last, reconnects), SequenceCheck::Accepted);
  EXPECT_EQ(last, 11u);
  EXPECT_EQ(OnSequenceError(0xFFFFFFFF, last, reconnects), SequenceCheck::Accepted);  // unsigned
  last = 11;
  EXPECT_EQ(OnSequenceError(11, last, reconnects), SequenceCheck::Reconnect);
  EXPECT_EQ(OnSequenceError(5, last, reconnects), SequenceCheck::Reconnect);
  EXPECT_EQ(OnSequenceError(11, last, reconnects), SequenceCheck::Reconnect);
  EXPECT_EQ(reconnects, 3);
  EXPECT_EQ(last, 11u);
  EXPECT_EQ(OnSequenceError(1, last, reconnects), SequenceCheck::GiveUp);
  EXPECT_EQ(reconnects, 0);
}

TEST(SessionSequence, SessionStartSeedsAllThree) {
  CVyrMessage_SessionStart start;
  start.sessionKey = 0xCAFEBABE;
  start.outboundSeed = 1000;
  start.inboundBase = 77;
  FrameworkSession session;
  uint32_t last = 5;
  StoreSessionKey(start, session, last);
  EXPECT_EQ(session.SessionKey, 0xCAFEBABEu);
  EXPECT_EQ(last, 77u);
  EXPECT_EQ(session.NextSequence(), 1001u);
  EXPECT_EQ(session.NextSequence(), 1002u);
}

}  // namespace
