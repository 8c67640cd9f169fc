// ChatTextFormat: the 44-byte format of one chat line (speaker, font, colour, style words). The
// client hands its address to the chat control, which copies it, so the layout is fixed.
// All fields little-endian, as the process holds them.
#pragma once
#include <cstddef>
#include <cstdint>

#ifndef KORVEL_CHAT_TEXT_FORMAT_DEFINED
#define KORVEL_CHAT_TEXT_FORMAT_DEFINED
struct ChatTextFormat {
  uint32_t m_nSpeakerId = 0;
  uint32_t m_nSecondId = 0;          // receiver; 0 for a line built from a received chat head
  char m_sFontFace[20] = "\xcb\xce\xcc\xe5";  // 宋体
  int32_t m_nColor = 0;              // COLORREF, red in the low byte
  int16_t m_nSize = 9;
  int16_t m_nStyle[5] = {};          // bold, italic, underline, strike-out, line kind
};
#endif

static_assert(sizeof(ChatTextFormat) == 44);
static_assert(offsetof(ChatTextFormat, m_nSpeakerId) == 0);
static_assert(offsetof(ChatTextFormat, m_nSecondId) == 4);
static_assert(offsetof(ChatTextFormat, m_sFontFace) == 8);
static_assert(offsetof(ChatTextFormat, m_nColor) == 28);
static_assert(offsetof(ChatTextFormat, m_nSize) == 32);
static_assert(offsetof(ChatTextFormat, m_nStyle) == 34);
