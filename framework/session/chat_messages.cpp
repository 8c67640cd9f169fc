#include "chat_messages.h"

#include <cstring>

#include "framework_messages.h"
#include "text_copy.h"

void InDeskChatHead::SetFormat(const ChatTextFormat& format) {
  speakerId = format.m_nSpeakerId;
  std::memset(fontFace, 0, sizeof fontFace);
  CopyText(fontFace, format.m_sFontFace);
  color = format.m_nColor;
  size = format.m_nSize;
  for (int i = 0; i < 5; ++i) style[i] = format.m_nStyle[i];
}

void InDeskChatHead::CopyFormatTo(ChatTextFormat& format) const {
  format.m_nSpeakerId = speakerId;
  format.m_nSecondId = 0;
  CopyText(format.m_sFontFace, fontFace);
  format.m_nColor = color;
  format.m_nSize = size;
  for (int i = 0; i < 5; ++i) format.m_nStyle[i] = style[i];
}

size_t CVyrChatMessage_InDesk::SentTextLength() const {
  const size_t length = BoundedLength(text.data(), text.size());
  return CutGbkText(text.data(), length, kMaxTextLength);
}

size_t CVyrChatMessage_InDesk::GetLength() const {
  return sizeof(InDeskChatHead) + SentTextLength() + 1;
}

InDeskChatHead CVyrChatMessage_InDesk::WireHead() const {
  InDeskChatHead wire = head;
  wire.textLength = static_cast<uint16_t>(SentTextLength());
  wire.fontFace[sizeof wire.fontFace - 1] = '\0';
  wire.ToNetwork();
  return wire;
}

namespace {

// The text bytes followed by their NUL.
std::string TextWithNul(const std::string& text, size_t length) {
  std::string sent(text.data(), length);
  sent.push_back('\0');
  return sent;
}

}  // namespace

void CVyrChatMessage_InDesk::Pack(MessageBuffer& out, FrameworkSession& session) const {
  const InDeskChatHead wire = WireHead();
  const std::string sent = TextWithNul(text, SentTextLength());
  MessageHeader header = MessageHeader::For(kInDeskChat, sizeof wire + sent.size());
  header.BuildHeader(session);
  out.AssembleTwoPartWithSessionTrailer(header, &wire, sizeof wire, sent.data(), sent.size(),
                                        session.SessionKey);
}

void CVyrChatMessage_InDesk_OnStart::Pack(MessageBuffer& out, FrameworkSession& session) const {
  const InDeskChatHead wire = WireHead();
  const std::string sent = TextWithNul(text, SentTextLength());
  MessageHeader header = MessageHeader::For(kInDeskChatOnStart, sizeof wire + sent.size());
  header.BuildHeader(session);
  out.AssembleTwoPartWithFixedTrailer(header, &wire, sizeof wire, sent.data(), sent.size());
}

bool CVyrChatMessage_InDesk::Unpack(const uint8_t* body, size_t bodyLength) {
  InDeskChatHead received;
  if (!ReadRecord(body, bodyLength, received)) return false;
  received.fontFace[sizeof received.fontFace - 1] = '\0';
  head = received;
  // The last byte of the body is its NUL, whatever the sender put there.
  const size_t available = bodyLength > sizeof(InDeskChatHead) ? bodyLength - sizeof(InDeskChatHead) - 1 : 0;
  const char* start = reinterpret_cast<const char*>(body) + sizeof(InDeskChatHead);
  const size_t length = BoundedLength(start, available);
  text.assign(start, CutGbkText(start, length, kMaxTextLength));
  return true;
}
