#include "text_utilities.h"

#include "gbk_codec.h"

namespace chat {

int FindPattern(std::u16string_view text, int start, std::u16string_view pattern) {
  const long n = static_cast<long>(text.size());
  const long m = static_cast<long>(pattern.size());
  if (start < 0 || m < 1 || start >= n || start + m > n) return -1;
  for (long i = start; i + m <= n; ++i) {
    long j = 0;
    while (j < m && (pattern[j] == text[i + j] || pattern[j] == u'?' || pattern[j] == u'*')) ++j;
    if (j == m) return static_cast<int>(i);
  }
  return -1;
}

std::string WideSubstring(std::u16string_view text, int start, int count) {
  if (start < 0 || count < 0 || static_cast<size_t>(start) >= text.size()) return {};
  return WideToGbk(text.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

}  // namespace chat
