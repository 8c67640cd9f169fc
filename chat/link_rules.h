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

// The addresses in a text, as the panes mark them: [start, end) of each run that begins with one
// of the schemes a rich-text box marks (http://, https://, ftp://, file:, mailto:, news:, nntp:,
// telnet:, gopher:, prospero:, wais:) or with "www." (any case, not inside a word) and goes on to
// a blank, a control character, a quote, an angle bracket or a character outside ASCII. They
// are shown as links; a click opens only those IsOpenableLink allows.
struct LinkSpan {
  int start = 0;
  int end = 0;
};
std::vector<LinkSpan> FindLinks(std::u16string_view text);

}  // namespace chat
