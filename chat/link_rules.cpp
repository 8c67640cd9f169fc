#include "link_rules.h"

namespace chat {
namespace {

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsOpenableLink(std::u16string_view link) {
  while (!link.empty() && (link.front() == u' ' || link.front() == u'\t')) link.remove_prefix(1);
  if (link.empty() || link.size() > kMaxLinkCharacters) return false;
  for (char16_t c : link)
    if (c < 0x20 || c == u'"') return false;  // no control characters, no quoting tricks
  for (std::u16string_view scheme : {u"http://", u"https://"})
    if (StartsWithIgnoringCase(link, scheme)) return link.size() > scheme.size();
  return StartsWithIgnoringCase(link, u"www.") && link.size() > 4 &&
         link.find(u':') == std::u16string_view::npos;
}

}  // namespace chat

namespace chat {
namespace {

bool EndsLink(char16_t c) {
  return c <= u' ' || c >= 0x7F || c == u'"' || c == u'<' || c == u'>';
}

bool WordCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

}  // namespace

std::vector<LinkSpan> FindLinks(std::u16string_view text) {
  static constexpr std::u16string_view kPrefixes[] = {
      u"http://", u"https://", u"ftp://", u"file:", u"mailto:", u"news:",
      u"nntp:",  u"telnet:", u"gopher:", u"prospero:", u"wais:", u"www."};
  std::vector<LinkSpan> links;
  size_t i = 0;
  while (i < text.size()) {
    size_t prefix = 0;
    if (i == 0 || !WordCharacter(text[i - 1])) {
      for (std::u16string_view p : kPrefixes)
        if (StartsWithIgnoringCase(text.substr(i), p)) prefix = p.size();
    }
    if (!prefix) {
      ++i;
      continue;
    }
    size_t end = i + prefix;
    while (end < text.size() && !EndsLink(text[end])) ++end;
    if (end > i + prefix) links.push_back({static_cast<int>(i), static_cast<int>(end)});
    i = end;
  }
  return links;
}

}  // namespace chat
