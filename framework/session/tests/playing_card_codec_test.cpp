// The base play table's playing-card codec: every card and joker both ways, the ace high, and
// the complaints for codes and cards that are not cards.
#include "playing_card_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PlayingCardCodec, EveryCodeDecodesAndEncodesBack) {
  std::vector<uint8_t> codes;
  for (int code = 4; code <= 57; ++code) codes.push_back(static_cast<uint8_t>(code));
  std::vector<card> cards(codes.size());
  std::vector<std::string> complaints;
  PlayingCardsFromCodes(static_cast<int16_t>(codes.size()), codes.data(), cards.data(), complaints);
  EXPECT_TRUE(complaints.empty());
  EXPECT_EQ(cards[0], (card{0, 14}));    // code 4: the ace, high
  EXPECT_EQ(cards[3], (card{3, 14}));    // code 7
  EXPECT_EQ(cards[4], (card{0, 2}));     // code 8
  EXPECT_EQ(cards[51], (card{3, 13}));   // code 55
  EXPECT_EQ(cards[52], (card{4, 17}));   // 56, a joker
  EXPECT_EQ(cards[53], (card{5, 18}));   // 57, the other
  std::vector<uint8_t> back(codes.size());
  EXPECT_EQ(CodesFromPlayingCards(static_cast<int16_t>(cards.size()), cards.data(), back.data(),
                                  complaints),
            54);
  EXPECT_EQ(back, codes);
  EXPECT_TRUE(complaints.empty());
}

TEST(PlayingCardCodec, CodesAndCardsThatAreNoCardsAreReported) {
  const uint8_t codes[] = {3, 8, 58, 0, 255};
  card cards[5];
  std::vector<std::string> complaints;
  PlayingCardsFromCodes(5, codes, cards, complaints);
  ASSERT_EQ(complaints.size(), 4u);
  EXPECT_EQ(complaints[0], "FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "3");
  EXPECT_EQ(complaints[3], "FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "255");
  EXPECT_EQ(cards[1], (card{0, 2}));
  EXPECT_EQ(cards[2], (card{0, 0}));

  complaints.clear();
  const card some[] = {{2, 10}, {4, 3}, {0, 15}, {1, 14}};
  uint8_t out[4] = {};
  EXPECT_EQ(CodesFromPlayingCards(4, some, out, complaints), 2);
  EXPECT_EQ(out[0], 10 << 2 | 2);
  EXPECT_EQ(out[1], 4 + 1);  // the ace of suit 1
  ASSERT_EQ(complaints.size(), 2u);
  EXPECT_EQ(complaints[0].rfind("FromCardsToChars:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba", 0), 0u);

  // More than a pack: only the first 54 are encoded.
  std::vector<card> many(60, card{0, 5});
  std::vector<uint8_t> room(60, 0);
  complaints.clear();
  EXPECT_EQ(CodesFromPlayingCards(60, many.data(), room.data(), complaints), 54);
  EXPECT_EQ(room[54], 0);
  // Nothing to do: nothing written, nothing said.
  EXPECT_EQ(CodesFromPlayingCards(0, many.data(), room.data(), complaints), 0);
  PlayingCardsFromCodes(-3, codes, cards, complaints);
  EXPECT_TRUE(complaints.empty());
}

}  // namespace
