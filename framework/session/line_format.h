// Formatting of the lines and notices the session core makes.
#pragma once
#include <cstdio>
#include <string>

#include "records/chat_text_format.h"

// printf-style formatting into a string (lines are short: at most 1023 bytes are kept).
template <class... Args>
std::string FormatLine(const char* format, Args... args) {
  char line[1024];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

// The default chat-line format in the given colour.
inline ChatTextFormat LineFormat(int32_t color) {
  ChatTextFormat format;
  format.m_nColor = color;
  return format;
}
