// Small text operations shared by the chat's sending, link and output code. Positions and
// lengths count UTF-16 units, the unit of the rich-text panes (one Chinese character is one).
#pragma once
#include <string>
#include <string_view>

namespace chat {

// The first position at or after start where pattern matches text, or -1; "?" and "*" in the
// pattern each stand for exactly one character of any kind. Every start position is tried, so
// overlapping candidates ("aab" in "aaab") are found.
int FindPattern(std::u16string_view text, int start, std::u16string_view pattern);

// The units [start, start + count) of text (cut to the text) as GBK; empty when start or count
// is negative.
std::string WideSubstring(std::u16string_view text, int start, int count);

}  // namespace chat
