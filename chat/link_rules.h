// Which links a click on a chat pane may open: only web addresses (http://, https:// and the
// "www." form), whatever other players or adverts write; file:, UNC paths, mailto: and custom
// schemes are never handed to the shell.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace chat {

// The longest link text read from a pane.
inline constexpr size_t kMaxLinkCharacters = 254;

bool IsOpenableLink(std::u16string_view link);

// The web addresses in a text, as the panes mark them: [start, end) of each run that begins with
// "http://", "https://" or "www." (any case, not inside a word) and goes on to a blank, a
// control character, a quote, an angle bracket or a character outside ASCII.
struct LinkSpan {
  int start = 0;
  int end = 0;
};
std::vector<LinkSpan> FindWebLinks(std::u16string_view text);

}  // namespace chat
