// Bounded copies of wire and lobby texts into fixed arrays: every copy is cut at the array size
// minus one and ends with a NUL, whatever the source holds.
#pragma once
#include <cstddef>
#include <cstring>

#include "gbk_text.h"

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
