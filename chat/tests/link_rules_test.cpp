#include "link_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace chat {
namespace {

TEST(LinkRules, OnlyWebAddressesAreOpened) {
  const struct {
    std::u16string link;
    bool open;
  } cases[] = {
      {u"http://example.com/a?b=1", true},
      {u"HTTPS://EXAMPLE.COM", true},
      {u"www.example.com", true},
      {u"  http://example.com", true},
      {u"http://", false},
      {u"file:///C:/Windows/system32/calc.exe", false},
      {u"\\\\server\\share\\run.exe", false},
      {u"mailto:someone@example.com", false},
      {u"javascript:alert(1)", false},
      {u"myapp://do-something", false},
      {u"www.example.com:evil", false},
      {u"http://a\"b", false},
      {u"http://a\nb", false},
      {u"", false},
      {u"http://" + std::u16string(300, u'a'), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsOpenableLink(c.link), c.open);
}

TEST(LinkRules, AddressesInAText) {
  const struct {
    std::u16string text;
    std::vector<std::pair<int, int>> want;
  } cases[] = {
      {u"see http://a.cn/x and WWW.b.com.", {{4, 17}, {22, 32}}},
      {u"\u4f60https://c.org/\u597d", {{1, 15}}},  // ends at a Chinese character
      {u"ahttp://x.com", {}},                     // inside a word
      {u"http:// www.", {}},                       // nothing after the prefix
      // Every scheme the boxes mark is shown as a link (opening is IsOpenableLink's).
      {u"file:///C:/x.exe mailto:a@b.c", {{0, 16}, {17, 29}}},
      {u"telnet://bbs.cn:23 FTP://f.org", {{0, 18}, {19, 30}}},
      {u"xtelnet://a", {}},
      {u"<http://q.com/?a=\"b\">", {{1, 17}}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const LinkSpan& l : FindLinks(c.text)) got.emplace_back(l.start, l.end);
    EXPECT_EQ(got, c.want);
  }
}

}  // namespace
}  // namespace chat
