#include "common_phrases.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

// Three phrases: "hi", "" and a 300-byte one (0xFF, then the 16-bit length 300).
std::string ThreePhrases() {
  std::string s("\3\0\0\0" "\2hi" "\0", 4 + 3 + 1);
  s += std::string("\xff\x2c\x01", 3) + std::string(300, 'p');
  return s;
}

TEST(CommonPhrases, ReadsAndWritesTheArchiveByteForByte) {
  const std::string bytes = ThreePhrases();
  std::vector<std::string> phrases;
  ASSERT_TRUE(LoadPhrases(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), phrases));
  ASSERT_EQ(phrases.size(), 2u);  // the empty phrase is dropped
  EXPECT_EQ(phrases[0], "hi");
  EXPECT_EQ(phrases[1], std::string(300, 'p'));
  const std::vector<uint8_t> stored = StorePhrases({"hi", "", std::string(300, 'p')});
  EXPECT_EQ(std::string(stored.begin(), stored.end()), bytes);
}

TEST(CommonPhrases, EveryTruncationIsReportedAndKeepsWhatCameBefore) {
  const std::string bytes = ThreePhrases();
  for (size_t n = 0; n < bytes.size(); ++n) {
    std::vector<std::string> phrases;
    EXPECT_FALSE(LoadPhrases(reinterpret_cast<const uint8_t*>(bytes.data()), n, phrases)) << n;
    EXPECT_EQ(phrases.size(), n >= 7 ? 1u : 0u) << n;
  }
}

TEST(CommonPhrases, CutsOnCharacterBoundaries) {
  std::string chinese;
  for (int i = 0; i < 250; ++i) chinese += "\xc4\xe3";
  EXPECT_EQ(CutPhrase(chinese).size(), 398u);  // 199 characters, never half of the 200th
  EXPECT_EQ(CutPhrase(std::string(500, 'a')).size(), 399u);
  EXPECT_EQ(CutPhrase("a" + chinese).size(), 399u);
  EXPECT_EQ(CutPhrase(std::string("ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace chat
