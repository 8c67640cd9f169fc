// In-table chat on the wire: 3021 (session trailer), 3009 (before the session, fixed trailer)
// and the server's own lines 3819. The body is the 48-byte InDeskChatHead followed by the text
// and one NUL.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "records/chat_text_format.h"
#include "wire_record.h"

struct InDeskChatHead : WireRecord<InDeskChatHead> {
  static constexpr size_t kFontFaceSize = 20;
  uint32_t speakerId = 0;
  uint16_t seatCode = 0;
  uint16_t watchNo = 0;  // 0xFFFF when the speaker plays
  char fontFace[kFontFaceSize] = {};
  int32_t color = 0;
  int16_t size = 0;
  int16_t style[5] = {};
  uint16_t textLength = 0;
  uint8_t gap46[2] = {};
  void FlipFields() {
    FlipByteOrders(speakerId, seatCode, watchNo, color, size, style[0], style[1], style[2],
                   style[3], style[4], textLength);
  }

  // The speaker id, the face (19 characters), colour, size and the five style words.
  void SetFormat(const ChatTextFormat& format);
  // The same fields back into a format, whose second id becomes 0.
  void CopyFormatTo(ChatTextFormat& format) const;
};

static_assert(sizeof(InDeskChatHead) == 48);
static_assert(offsetof(InDeskChatHead, seatCode) == 4);
static_assert(offsetof(InDeskChatHead, watchNo) == 6);
static_assert(offsetof(InDeskChatHead, fontFace) == 8);
static_assert(offsetof(InDeskChatHead, color) == 28);
static_assert(offsetof(InDeskChatHead, size) == 32);
static_assert(offsetof(InDeskChatHead, style) == 34);
static_assert(offsetof(InDeskChatHead, textLength) == 44);

class CVyrChatMessage_InDesk {
 public:
  // The longest text a line carries; the body is then 48 + 399 + 1 = 448 bytes.
  static constexpr size_t kMaxTextLength = 399;

  virtual ~CVyrChatMessage_InDesk() = default;

  InDeskChatHead head;
  std::string text;

  // 48 + the number of text bytes sent (the text cut as Pack cuts it, and its NUL).
  virtual size_t GetLength() const;
  // Frames the line as 3021 with a session trailer. The text is cut to at most 399 bytes on a
  // whole GBK character, followed by a NUL; the head's length field says how many were kept.
  virtual void Pack(MessageBuffer& out, FrameworkSession& session) const;
  // Reads a received body: the head in host order and the text from byte 48 up to its NUL, the
  // last byte of the body never being part of it. A body shorter than the head is not read
  // (false). The face is always NUL-terminated.
  bool Unpack(const uint8_t* body, size_t bodyLength);

 protected:
  // The text bytes to send (without the NUL) and the head in network order.
  size_t SentTextLength() const;
  InDeskChatHead WireHead() const;
};

class CVyrChatMessage_InDesk_OnStart : public CVyrChatMessage_InDesk {
 public:
  // As the base, framed as 3009 with the fixed trailer.
  void Pack(MessageBuffer& out, FrameworkSession& session) const override;
};
