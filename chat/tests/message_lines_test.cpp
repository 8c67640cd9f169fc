#include "message_lines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace chat {
namespace {

const std::u16string kSaid = u"\u8bf4\uff1a";  // 说：

// A room record laid out as the host hands it over.
struct RoomRecord {
  uint8_t bytes[64] = {};
  RoomRecord(uint32_t sender, uint32_t receiver, const char* face, const char* text) {
    std::memcpy(bytes + 8, &sender, 4);
    std::memcpy(bytes + 12, &receiver, 4);
    std::memcpy(bytes + 16, face, std::min<size_t>(std::strlen(face), 20));
    const int32_t colour = 0x123456;
    const int16_t words[6] = {120, 1, 0, 1, 0, -1};  // size, bold, italic, underline, strike, kind
    std::memcpy(bytes + 36, &colour, 4);
    std::memcpy(bytes + 40, words, sizeof words);
    std::memcpy(bytes + 56, &text, sizeof text);
  }
};

TEST(MessageLines, RecordsAreReadAtTheirOffsets) {
  const char* text = "hello";
  const RoomRecord room(7, 9, "ABCDEFGHIJKLMNOPQRSTUVWXY", text);  // a face of 25 characters
  const ChatMessage m = ReadChatMessage(room.bytes);
  EXPECT_EQ(m.head.m_nSpeakerId, 7u);
  EXPECT_EQ(m.head.m_nSecondId, 9u);
  EXPECT_STREQ(m.head.m_sFontFace, "ABCDEFGHIJKLMNOPQRS");  // 19 kept, always terminated
  EXPECT_EQ(m.head.m_nColor, 0x123456);
  EXPECT_EQ(m.head.m_nSize, 120);
  EXPECT_EQ(m.head.m_nStyle[0], 1);
  EXPECT_EQ(m.head.m_nStyle[2], 1);
  EXPECT_EQ(m.head.m_nStyle[4], -1);
  EXPECT_EQ(m.text, text);

  // The table's record holds the same fields 4 bytes lower, without the receiver.
  const ChatMessage desk = ReadDeskChatMessage(room.bytes + 4);
  EXPECT_EQ(desk.head.m_nSpeakerId, 7u);
  EXPECT_STREQ(desk.head.m_sFontFace, "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(desk.head.m_nSecondId, 0u);
  EXPECT_EQ(desk.head.m_nColor, 0x123456);
  EXPECT_EQ(desk.head.m_nStyle[4], -1);
  EXPECT_EQ(desk.text, text);
}

// The format parts alone (each record from its byte 4, so the room's sender is at 4 and the
// table's at 0): the face cut to 19 bytes and zero after its end, and no receiver for the
// table's record whatever its bytes hold.
TEST(MessageLines, CopiesCutTheFaceAndClearTheDeskReceiver) {
  uint8_t chat[64] = {};
  const uint32_t speaker = 11, second = 22;
  std::memcpy(chat + 4, &speaker, 4);
  std::memcpy(chat + 8, &second, 4);
  std::memcpy(chat + 12, "ABCDEFGHIJKLMNOPQRST", 20);  // 20 letters, no terminator
  const int32_t colour = 0x123456;
  std::memcpy(chat + 32, &colour, 4);
  const int16_t words[6] = {14, 1, 2, 3, 4, 5};
  std::memcpy(chat + 36, words, sizeof words);
  ChatTextFormat f = CopyChatMessage(chat);
  EXPECT_EQ(f.m_nSpeakerId, 11u);
  EXPECT_EQ(f.m_nSecondId, 22u);
  EXPECT_EQ(std::string(f.m_sFontFace), "ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(f.m_nColor, 0x123456);
  EXPECT_EQ(f.m_nSize, 14);
  EXPECT_EQ(f.m_nStyle[4], 5);

  uint8_t desk[64] = {};
  std::memcpy(desk, &speaker, 4);
  std::memcpy(desk + 4, &second, 4);
  std::memcpy(desk + 8, "Arial", 5);
  std::memset(desk + 14, 'x', 14);  // beyond the name's terminator: not copied
  std::memcpy(desk + 28, &colour, 4);
  std::memcpy(desk + 32, words, sizeof words);
  f = CopyDeskChatMessage(desk);
  EXPECT_EQ(f.m_nSpeakerId, 11u);
  EXPECT_EQ(f.m_nSecondId, 0u);
  EXPECT_EQ(std::memcmp(f.m_sFontFace, "Arial\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20), 0);
  EXPECT_EQ(f.m_nColor, 0x123456);
  EXPECT_EQ(f.m_nStyle[0], 1);
}

TEST(MessageLines, SpeakerFlagPictures) {
  const struct {
    int32_t money;
    int16_t head, member;
    uint16_t forbid;
    int want, want_forbidden;
  } cases[] = {
      {0, 0, 0, 0, 0, 0},        {20000, 0, 0, 0, 12, 12}, {20000, 5, 0, 0, 5, 5},
      {0, 10, 0, 0, 0, 0},       {20000, 5, 1, 0, 1, 1},   {0, 0, 0, 1, 0, 2},
      {20000, 0, 0, 1, 12, 12},
  };
  for (const auto& c : cases) {
    PersonFacts p;
    p.money = c.money;
    p.headPicture = c.head;
    p.isMember = c.member;
    p.forbidType = c.forbid;
    EXPECT_EQ(SpeakerFlagPicture(p, false), c.want);
    EXPECT_EQ(SpeakerFlagPicture(p, true), c.want_forbidden);
  }
}

ChatMessageInput Known(std::u16string text) {
  ChatMessageInput in;
  in.text = std::move(text);
  in.sender = 5;
  in.myId = 1;
  PersonFacts bob;
  bob.id = 5;
  bob.nickName = "Bob";
  in.senderRecord = bob;
  return in;
}

std::u16string Texts(const MessageLine& line) {
  std::u16string all;
  for (const LineRun& r : line.runs) {
    switch (r.type) {
      case LineRun::Type::kText: all += r.text; break;
      case LineRun::Type::kSpeakerName: all += u"<name>"; break;
      case LineRun::Type::kFlagPicture: all += u"<flag>"; break;
      case LineRun::Type::kSystemPicture: all += u"<sys>"; break;
    }
    all += u"|";
  }
  return all;
}

TEST(MessageLines, RoomLinesNameTheSpeakerAndTheReceiver) {
  const CDirtyWordFilter filter;
  PersonFacts ann;
  ann.id = 9;
  ann.nickName = "Ann";
  const struct {
    std::u16string text;
    int16_t kind;
    bool to_ann;
    std::u16string want;
  } cases[] = {
      {u"Bob" + kSaid + u"hi", 0, false, u"\r|<name>|" + kSaid + u"|hi|"},
      {u"Bob" + kSaid + u"hi", 0, true, u"\r|<name>|\u5bf9Ann" + kSaid + u"|hi|"},
      {u"Bob" + kSaid + u"hi", -1, true, u"\r|<name>|\u6084\u6084\u5730\u5bf9Ann" + kSaid + u"|hi|"},
      {u"Bob \u8fdb\u5165\u623f\u95f4", 0, false, u"\r|<name>|\u8fdb\u5165\u623f\u95f4|"},
      {u"\u8fdb\u5165\u623f\u95f4", 0, false, u"\r|\u8fdb\u5165\u623f\u95f4|"},  // at 0: no name
      {u"up", 2, false, u"\r|[\u7ba1\u7406\u516c\u544a] up|"},
      {kSaid + u"x", 4, false, u"\r|[\u7528\u6237\u5e7f\u64ad] " + kSaid + u"x|"},
  };
  for (const auto& c : cases) {
    ChatMessageInput in = Known(c.text);
    in.kind = c.kind;
    if (c.to_ann) {
      in.receiver = 9;
      in.receiverRecord = ann;
    }
    const auto line = ComposeChatMessage(in, filter);
    ASSERT_TRUE(line);
    EXPECT_EQ(Texts(*line), c.want);
    EXPECT_EQ(line->pane, 2001);
    EXPECT_EQ(line->trim, c.want.find(kSaid + u"|") != std::u16string::npos);
  }
}

TEST(MessageLines, RoomLinesPanesFormatsScrollAndDrops) {
  const CDirtyWordFilter filter;
  ChatMessageInput in = Known(u"Bob" + kSaid + u"hi");
  in.timeStamp = true;
  in.breakAfterSpeaker = true;
  in.hour = 9;
  in.minute = 5;
  in.second = 7;
  auto line = ComposeChatMessage(in, filter);
  EXPECT_EQ(Texts(*line), u"\r|(09:05:07) |<name>|" + kSaid + u"|\n  |hi|");
  EXPECT_EQ(line->runs.back().format, RunFormat::kRecord);
  EXPECT_TRUE(line->runs.back().faces);
  EXPECT_FALSE(line->scrollAlways);

  // The player's own line in the channel: pane 2002, scrolled whatever the reader did.
  in = Known(u"note");
  in.sender = in.myId = 5;
  in.whisperMode = in.channelFlag = true;
  line = ComposeChatMessage(in, filter);
  EXPECT_EQ(line->pane, 2002);
  EXPECT_TRUE(line->scrollAlways);
  EXPECT_EQ(Texts(*line), u"\r|\rnote|");
  EXPECT_EQ(line->runs.back().format, RunFormat::kVipHead);
  in.whisperMode = false;
  EXPECT_EQ(ComposeChatMessage(in, filter)->pane, 2001);

  in = Known(u"x");
  in.senderRecord.reset();  // no user list, or a sender not in it
  EXPECT_FALSE(ComposeChatMessage(in, filter));
  in = Known(u"x");
  in.senderBlocked = true;
  EXPECT_FALSE(ComposeChatMessage(in, filter));
  in = Known(u"\u50bb\u903c");  // a forbidden word
  EXPECT_FALSE(ComposeChatMessage(in, filter));
  EXPECT_FALSE(ComposeDeskChatMessage(in, filter));
}

TEST(MessageLines, TableLinesCarryTheFlagAndTheNickname) {
  const CDirtyWordFilter filter;
  const struct {
    std::u16string text;
    int16_t kind;
    int32_t money;
    std::u16string want;
    RunFormat format;
  } cases[] = {
      {u"Bob" + kSaid + u"hi", 0, 0, u"\r |Bob" + kSaid + u"|hi|", RunFormat::kRecord},
      {u"Bob" + kSaid + u"hi", 0, 20000, u"\r |<flag>|Bob" + kSaid + u"|hi|", RunFormat::kRecord},
      {u"Bob \u8fdb\u6765\u4e86", 0, 0, u"\r |\u8fdb\u6765\u4e86|", RunFormat::kVipHead},
      {u"all", 2, 0, u"\r |<sys>|[\u7ba1\u7406\u516c\u544a] all|", RunFormat::kAdmin},
      {u"all", 4, 0, u"\r |<sys>|[\u7528\u6237\u5e7f\u64ad] all|", RunFormat::kBroadcast},
  };
  for (const auto& c : cases) {
    ChatMessageInput in = Known(c.text);
    in.kind = c.kind;
    in.senderRecord->money = c.money;
    in.whisperMode = in.channelFlag = true;  // the table's lines stay in the public pane
    const auto line = ComposeDeskChatMessage(in, filter);
    ASSERT_TRUE(line);
    EXPECT_EQ(Texts(*line), c.want);
    EXPECT_EQ(line->pane, 2001);
    EXPECT_EQ(line->runs.back().format, c.format);
    if (c.money) EXPECT_EQ(line->runs[1].picture, 12);
  }
}

}  // namespace
}  // namespace chat
