// The GBK code page (the system ANSI code page of the game's players) in both directions, for
// the chat core's texts: the filter and the pattern search work on UTF-16 units, the panes and
// the wire on GBK bytes. Bytes that make no character become '?' (a lone lead byte at the end of
// a text included), so nothing is read past the text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "gbk_text.h"

namespace chat {

using ::IsGbkLeadByte;

std::u16string GbkToWide(std::string_view gbk);
// Units without a GBK form become '?'.
std::string WideToGbk(std::u16string_view wide);

// The bytes of the character at byte i: 2 for a lead byte with a trail byte after it, else 1
// (0 at the end).
size_t GbkCharacterWidth(std::string_view gbk, size_t i);

// The number of GBK characters (UTF-16 units after conversion) in a text.
size_t GbkCharacterCount(std::string_view gbk);

}  // namespace chat
