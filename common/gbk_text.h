// GBK texts as bytes: the lead-byte rule and the cuts and counts built on it, the same
// everywhere a text is cut to a field, counted for a limit or compared. A lead byte and the byte
// after it count as one character, as the system's double-byte functions count them; decoding a
// pair to a character (and the trail bytes that make one) is the chat codec's business.
#pragma once
#include <cstddef>

// True when byte c opens a two-byte GBK character.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// The bytes of the character at byte i of a length-byte text: 2 for a lead byte with a byte
// after it, else 1 (0 at the end).
inline size_t GbkPairWidth(const char* text, size_t length, size_t i) {
  if (i >= length) return 0;
  return IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
}

// The number of leading bytes of text (length bytes) that make whole GBK characters and fit in
// maxBytes: a lead byte and the byte after it are never separated.
inline size_t CutGbkText(const char* text, size_t length, size_t maxBytes) {
  if (length <= maxBytes) return length;
  size_t i = 0;
  while (i < maxBytes) {
    const size_t width = GbkPairWidth(text, length, i);
    if (i + width > maxBytes) break;
    i += width;
  }
  return i;
}

// The number of characters in a length-byte text.
inline size_t CountGbkCharacters(const char* text, size_t length) {
  size_t count = 0;
  for (size_t i = 0; i < length; ++count) i += GbkPairWidth(text, length, i);
  return count;
}
