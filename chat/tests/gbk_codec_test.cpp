#include "gbk_codec.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

TEST(GbkCodec, RoundTripsChineseAndAscii) {
  const std::string gbk = "ab\xc4\xe3\xba\xc3!";  // ab你好!
  const std::u16string wide = GbkToWide(gbk);
  EXPECT_EQ(wide, u"ab\u4f60\u597d!");
  EXPECT_EQ(WideToGbk(wide), gbk);
  EXPECT_EQ(GbkCharacterCount(gbk), 5u);
}

TEST(GbkCodec, BrokenBytesBecomeQuestionMarksWithoutReadingPastTheText) {
  const struct {
    std::string gbk;
    std::u16string wide;
  } cases[] = {
      {"a\x81", u"a?"},            // a lead byte at the end
      {"\x81 b", u"? b"},          // a lead byte before a byte that cannot follow it
      {"\xff", u"?"},
      {"\x80", u"?"},
      {std::string("\0\xc4\xe3", 3), std::u16string(u"\0\u4f60", 2)},
  };
  for (const auto& c : cases) EXPECT_EQ(GbkToWide(c.gbk), c.wide);
  EXPECT_EQ(WideToGbk(u"\U0001F600"), "??");  // a surrogate pair has no GBK form
}

}  // namespace
}  // namespace chat
