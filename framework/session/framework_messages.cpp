#include "framework_messages.h"

#include <cstring>

#include "text_copy.h"

void StoreSessionKey(const CVyrMessage_SessionStart& start, FrameworkSession& session,
                     uint32_t& LastInboundSequence) {
  session.SessionKey = start.sessionKey;
  session.OutboundSequence = start.outboundSeed;
  LastInboundSequence = start.inboundBase;
}

void CVyrMessage_MagicAction::SetText(const char* words) {
  std::memset(text, 0, sizeof text);
  if (words) CopyCString(text, words);
  textLength = static_cast<uint16_t>(BoundedLength(text, sizeof text));
}

void CVyrMessage_MagicAction::BoundText() {
  if (textLength > kTextSize - 1) textLength = kTextSize - 1;
  text[textLength] = '\0';
  text[kTextSize - 1] = '\0';
}

void CVyrMessage_MagicAction::Pack(MessageBuffer& out) const {
  const auto bytes = ToWireBytes(*this);
  out.CopyBody(bytes.data(), bytes.size());
}
