// Bounded copies of wire and lobby texts into fixed arrays: every copy is cut at the array size
// minus one and ends with a NUL, whatever the source holds.
#pragma once
#include <cstddef>
#include <cstring>

// Length of the text at src, looking at no more than maxBytes bytes.
inline size_t BoundedLength(const char* src, size_t maxBytes) {
  size_t n = 0;
  while (n < maxBytes && src[n] != '\0') ++n;
  return n;
}

// Copies the text of the sourceSize-byte array src into the destSize-byte array dest.
inline void CopyText(char* dest, size_t destSize, const char* src, size_t sourceSize) {
  if (destSize == 0) return;
  size_t n = BoundedLength(src, sourceSize);
  if (n > destSize - 1) n = destSize - 1;
  std::memmove(dest, src, n);
  dest[n] = '\0';
}

template <size_t D, size_t S>
inline void CopyText(char (&dest)[D], const char (&src)[S]) {
  CopyText(dest, D, src, S);
}

// Copies a NUL-terminated text into an array.
template <size_t D>
inline void CopyCString(char (&dest)[D], const char* src) {
  CopyText(dest, D, src, D);
}

// The number of leading bytes of text (length bytes) that make whole GBK characters and fit in
// maxBytes: a lead byte 0x81-0xFE and the byte after it are never separated.
inline size_t CutGbkText(const char* text, size_t length, size_t maxBytes) {
  if (length <= maxBytes) return length;
  size_t i = 0;
  while (i < maxBytes) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t width = (c >= 0x81 && c <= 0xFE && i + 1 < length) ? 2 : 1;
    if (i + width > maxBytes) break;
    i += width;
  }
  return i;
}
