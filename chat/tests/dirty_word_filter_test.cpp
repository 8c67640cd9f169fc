#include "dirty_word_filter.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

TEST(DirtyWordFilter, WordsAtTheStartMiddleAndEnd) {
  const CDirtyWordFilter filter;
  EXPECT_EQ(CDirtyWordFilter::GetTableSize(), 545u);
  const struct {
    std::u16string text;
    bool clean;
    int16_t position;
    int16_t length;
  } cases[] = {
      {u"\u50bb\u903c\u4f60\u597d", false, 0, 2},              // 傻逼你好
      {u"\u4f60\u662f\u50bb\u903c\u5417", false, 2, 2},        // 你是傻逼吗
      {u"ab\u50bb\u903c", false, 2, 2},                        // ab傻逼
      {u"\u50bb \u903c", false, 0, 2},                         // spaces are taken out first
      {u"\u50bb\u3000\u903c", true, 0, 0},                     // the full-width space stays
      {u"f u c k", false, 0, 4},
      {u"\u4f60\u597d\uff0c\u4e00\u8d77\u6253\u724c", true, 0, 0},  // 你好，一起打牌
      {u"", true, 0, 0},
      {u"     ", true, 0, 0},
      {u"\u9760\u8c31", true, 0, 0},  // 靠谱: the one-character word only as a whole line
  };
  for (const auto& c : cases) {
    int16_t position = 99, length = 99;
    EXPECT_EQ(filter.CheckText(c.text, position, length), c.clean);
    EXPECT_EQ(position, c.position);
    EXPECT_EQ(length, c.length);
  }
}

TEST(DirtyWordFilter, WildcardWordsReportTheTailAndNeedTheHeadFirst) {
  const CDirtyWordFilter filter;
  int16_t position = 0, length = 0;
  // 去你的奶奶: "去你*奶奶" reports where its tail stands and its own length with the "*".
  EXPECT_FALSE(filter.CheckText(u"\u53bb\u4f60\u7684\u5976\u5976", position, length));
  EXPECT_EQ(position, 3);
  EXPECT_EQ(length, 5);
  // 奶奶去你: the tail before the head is no hit.
  EXPECT_TRUE(filter.CheckText(u"\u5976\u5976\u53bb\u4f60", position, length));
}

TEST(DirtyWordFilter, OneCharacterLinesLeaveTheOutputs) {
  const CDirtyWordFilter filter;
  for (const char16_t* text : {u"\u9760", u" \u6eda ", u"\u5478", u"\u808f"}) {
    int16_t position = 42, length = 43;
    EXPECT_FALSE(filter.CheckText(text, position, length));
    EXPECT_EQ(position, 42);
    EXPECT_EQ(length, 43);
  }
  EXPECT_FALSE(filter.CheckGbkText("\xb8\xc9\xc4\xe3\xc4\xef"));  // 干你娘 as GBK bytes
  EXPECT_TRUE(filter.CheckGbkText("\xc4\xe3\xba\xc3\x81"));        // 你好 and a lone lead byte
}

TEST(DirtyWordFilter, FindWord) {
  const struct {
    const char16_t* text;
    int start;
    const char16_t* word;
    int at;
  } cases[] = {
      {u"xxabc", 0, u"abc", 2},
      {u"abc", 1, u"abc", -1},
      {u"ab", 0, u"a*b", -1},          // shorter than the word with its "*"
      {u"abXYdef", 0, u"ab*def", 4},   // the tail's position
      {u"abdef", 0, u"ab*def", -1},    // shorter than the word counted with its "*"
      {u"abdefg", 0, u"ab*def", 2},    // nothing between head and tail
      {u"def ab", 0, u"ab*def", -1},
      {u"abc", 0, u"", -1},
      {u"abc", -1, u"abc", -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CDirtyWordFilter::FindWord(c.text, c.start, c.word), c.at) << c.start;
}

}  // namespace
}  // namespace chat
