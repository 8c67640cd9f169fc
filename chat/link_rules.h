// Which links a click on a chat pane may open: only web addresses (http://, https:// and the
// "www." form), whatever other players or adverts write; file:, UNC paths, mailto: and custom
// schemes are never handed to the shell.
#pragma once
#include <string>
#include <string_view>

namespace chat {

// The longest link text read from a pane.
inline constexpr size_t kMaxLinkCharacters = 254;

bool IsOpenableLink(std::u16string_view link);

}  // namespace chat
