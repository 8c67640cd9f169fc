// In-table chat: the outbound cut (399 bytes on a whole GBK character, then a NUL), the head's
// format copies and the bounded reading of received bodies.
#include "chat_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "byte_order.h"

namespace {

struct Sent {
  uint16_t lengthField;
  std::vector<uint8_t> text;  // the text bytes after the head, NUL included
};

Sent SendLine(const std::string& text) {
  CVyrChatMessage_InDesk line;
  line.text = text;
  FrameworkSession session;
  MessageBuffer out;
  line.Pack(out, session);
  const uint8_t* body = out.GetData() + kMessageHeaderSize;
  const size_t bodyLength = LoadBigEndian32(out.GetData() + 4) - kMessageTrailerSize;
  EXPECT_EQ(bodyLength, line.GetLength());
  return {LoadBigEndian16(body + 44), {body + 48, body + bodyLength}};
}

TEST(SessionChat, OutboundTextIsCutTo399BytesOnAWholeGbkCharacter) {
  const std::string gbk = "\xd6\xf7";  // one two-byte character
  const struct {
    std::string text;
    size_t kept;
  } cases[] = {
      {std::string(399, 'a'), 399},
      {std::string(400, 'a'), 399},
      {std::string(1000, 'a'), 399},
      {std::string(397, 'a') + gbk, 399},         // the character ends at byte 399
      {std::string(398, 'a') + gbk, 398},         // it would straddle the cut
      {std::string(398, 'a') + gbk + "zz", 398},
      {"", 0},
  };
  for (const auto& c : cases) {
    const Sent sent = SendLine(c.text);
    EXPECT_EQ(sent.lengthField, c.kept) << c.text.size();
    ASSERT_EQ(sent.text.size(), c.kept + 1);
    EXPECT_EQ(sent.text.back(), 0);
    EXPECT_EQ(std::memcmp(sent.text.data(), c.text.data(), c.kept), 0);
  }
}

TEST(SessionChat, FormatGoesIntoTheHeadAndBack) {
  ChatTextFormat format;
  format.m_nSpeakerId = 77;
  format.m_nSecondId = 88;
  std::memset(format.m_sFontFace, 'F', sizeof format.m_sFontFace);  // no NUL
  format.m_nColor = 0x00FF00;
  format.m_nSize = 12;
  for (int i = 0; i < 5; ++i) format.m_nStyle[i] = static_cast<int16_t>(i + 1);
  InDeskChatHead head;
  head.SetFormat(format);
  EXPECT_EQ(head.speakerId, 77u);
  EXPECT_EQ(std::string(head.fontFace), std::string(19, 'F'));
  ChatTextFormat back;
  back.m_nSecondId = 5;
  head.CopyFormatTo(back);
  EXPECT_EQ(back.m_nSpeakerId, 77u);
  EXPECT_EQ(back.m_nSecondId, 0u);
  EXPECT_EQ(back.m_nColor, 0x00FF00);
  EXPECT_EQ(back.m_nSize, 12);
  EXPECT_EQ(back.m_nStyle[4], 5);
  EXPECT_EQ(std::string(back.m_sFontFace), std::string(19, 'F'));
}

std::vector<uint8_t> Body(const std::string& text, bool nul) {
  InDeskChatHead head;
  head.speakerId = 9;
  std::memcpy(head.fontFace, "face", 5);
  head.textLength = static_cast<uint16_t>(text.size());
  const auto wire = ToWireBytes(head);
  std::vector<uint8_t> body(wire.begin(), wire.end());
  body.insert(body.end(), text.begin(), text.end());
  if (nul) body.push_back(0);
  return body;
}

TEST(SessionChat, UnpackReadsUpToTheNulAndNeverTheLastByte) {
  CVyrChatMessage_InDesk line;
  auto body = Body("hello", true);
  ASSERT_TRUE(line.Unpack(body.data(), body.size()));
  EXPECT_EQ(line.text, "hello");
  EXPECT_EQ(line.head.speakerId, 9u);
  EXPECT_STREQ(line.head.fontFace, "face");

  body = Body("hello", false);  // no NUL: the last byte is lost
  ASSERT_TRUE(line.Unpack(body.data(), body.size()));
  EXPECT_EQ(line.text, "hell");

  body = Body("", false);  // the head alone
  ASSERT_TRUE(line.Unpack(body.data(), body.size()));
  EXPECT_EQ(line.text, "");

  body = Body(std::string(600, 'q'), true);  // longer than any line of this system
  ASSERT_TRUE(line.Unpack(body.data(), body.size()));
  EXPECT_EQ(line.text.size(), 399u);
}

TEST(SessionChat, UnpackRefusesABodyShorterThanTheHeadAndBoundsTheFace) {
  CVyrChatMessage_InDesk line;
  line.text = "kept";
  std::vector<uint8_t> body(47, 'x');
  EXPECT_FALSE(line.Unpack(body.data(), body.size()));
  EXPECT_EQ(line.text, "kept");
  body.assign(60, 'x');
  ASSERT_TRUE(line.Unpack(body.data(), body.size()));
  EXPECT_EQ(std::strlen(line.head.fontFace), 19u);
  EXPECT_EQ(line.text, std::string(11, 'x'));
}

}  // namespace
