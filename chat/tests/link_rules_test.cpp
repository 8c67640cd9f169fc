#include "link_rules.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace chat
