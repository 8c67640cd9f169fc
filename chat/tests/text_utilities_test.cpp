#include "text_utilities.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

TEST(TextUtilities, FindPattern) {
  const struct {
    const char16_t* text;
    int start;
    const char16_t* pattern;
    int at;
  } cases[] = {
      {u"abc", 0, u"b?", 1},
      {u"abc", 0, u"*", 0},
      {u"abc", 0, u"", -1},
      {u"aaab", 0, u"aab", 1},     // overlapping candidates are all tried
      {u"abab", 1, u"ab", 2},
      {u"abc", 3, u"c", -1},       // start at the end
      {u"abc", 2, u"cd", -1},      // runs past the end
      {u"abc", -1, u"a", -1},
      {u"\u6211\u8bf4\uff1a\u4f60\u597d", 0, u"\u8bf4\uff1a", 1},
      {u"x/1y", 0, u"/?", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindPattern(c.text, c.start, c.pattern), c.at) << c.start;
}

TEST(TextUtilities, WideSubstringTakesWholeCharacters) {
  const std::u16string text = u"\u4f60\u597d\u5417a";  // 你好吗a
  EXPECT_EQ(WideSubstring(text, 1, 1), "\xba\xc3");     // 好
  EXPECT_EQ(WideSubstring(text, 2, 10), "\xc2\xf0" "a");
  EXPECT_EQ(WideSubstring(text, -1, 1), "");
  EXPECT_EQ(WideSubstring(text, 1, -1), "");
  EXPECT_EQ(WideSubstring(text, 9, 1), "");
}

}  // namespace
}  // namespace chat
