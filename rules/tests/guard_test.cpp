// Every operation on bad input: before the first hand, on an empty hand, with null pointers,
// with indices out of range and with "no tile". Nothing may be read outside a list, and the
// answers are empty.
#include <gtest/gtest.h>

#include <vector>

#include "korvel_rules.h"
#include "tile_notation.h"

namespace {

// Runs every query of the rules object once; the sanitizers watch the reads.
void AskEverything(CKorvel& rules) {
  card three[3];
  card four[4];
  int16_t kind = 0;
  const card none = kNoCard;
  rules.CanChi(rules.GetCurrentSended());
  rules.CanPeng(rules.GetCurrentSended());
  rules.CanGangOnSended(rules.GetCurrentSended());
  rules.CanGangAfterMo(rules.GetCurrentMo());
  rules.CanChi(none);
  rules.CanPeng(none);
  rules.CanHuOnMo();
  rules.CanHuOnSended(none);
  rules.CanDeclareListen();
  for (int i : {-1, 0, 1, 100}) {
    rules.GetEatCards(i, three);
    rules.GetGangCards(i, four, kind);
  }
  rules.GetPengCards(three);
  rules.GetHideGangCards(four);
  int16_t banker, fans, base;
  rules.CalculateScore(banker, fans, base);
  FanType codes[CKorvel::kMaxFanCodes];
  rules.GetFans(codes, CKorvel::kMaxFanCodes);
  card chosen;
  rules.AutoSendCards(chosen);
}

TEST(GuardTest, BeforeTheFirstHand) {
  CKorvel rules;
  AskEverything(rules);
  EXPECT_EQ(rules.GetEatNum(), 0);
  EXPECT_EQ(rules.GetGangNum(), 0);
  EXPECT_TRUE(rules.GetFanTable().empty());
  int16_t banker, fans, base;
  EXPECT_EQ(rules.CalculateScore(banker, fans, base), 2);
  EXPECT_EQ(fans, 0);
  card chosen = Tile("1m");
  EXPECT_EQ(rules.AutoSendCards(chosen), CMj_Gb::AutoSend::Nothing);
}

TEST(GuardTest, EmptyHandAnswersNothing) {
  CKorvel rules;
  rules.StartNewHand();
  AskEverything(rules);
  EXPECT_FALSE(rules.CanHuOnMo());
  EXPECT_FALSE(rules.CanDeclareListen());
  card three[3];
  EXPECT_EQ(rules.GetPengCards(three), 0);
}

TEST(GuardTest, NullPointersAreSkipped) {
  CKorvel rules;
  rules.StartNewHand();
  rules.AddCardsToMyHand(nullptr, 5);
  rules.DeleteCardsFromMyHand(5, nullptr);
  rules.SetRecvCardsInRecover(3, nullptr);
  EXPECT_FALSE(rules.SetRecvCards(1, 1, nullptr));
  EXPECT_FALSE(rules.ExposeCard(0, MeldChowOrPung, 3, nullptr));
  EXPECT_FALSE(rules.ExposeCard_InRecover(0, MeldConcealedKong, 4, nullptr));
  EXPECT_EQ(rules.GetDealNum(), 0);
  EXPECT_TRUE(rules.GetDiscards().empty());
  GroupList groups;
  int shape = 0;
  EXPECT_FALSE(rules.CheckHu(nullptr, 14, groups, shape, 0));
  EXPECT_FALSE(rules.CheckTing(nullptr, 13, groups, 0));
  rules.CountFans(win_search::kShapeSequencesFirst, 0, nullptr, 14, nullptr, 5);
  int16_t kind = 5;
  EXPECT_EQ(rules.GetGangCards(0, nullptr, kind), 0);
  EXPECT_EQ(rules.GetPengCards(nullptr), 0);
  EXPECT_EQ(rules.GetHideGangCards(nullptr), 0);
}

TEST(GuardTest, NegativeAndZeroCountsChangeNothing) {
  CKorvel rules;
  rules.StartNewHand();
  std::vector<card> tiles = Tiles("123m");
  rules.AddCardsToMyHand(tiles.data(), -3);
  rules.AddCardsToMyHand(tiles.data(), 0);
  rules.SetRecvCardsInRecover(0, tiles.data());
  rules.SetRecvCardsInRecover(-1, tiles.data());
  EXPECT_FALSE(rules.ExposeCard(0, MeldFlowers, -2, tiles.data()));
  EXPECT_EQ(rules.GetDealNum(), 0);
  EXPECT_TRUE(rules.GetDiscards().empty());
  EXPECT_TRUE(rules.GetFlowers().empty());
}

// Claims and kongs on an empty discard list, and melds that are no chow, pung or kong.
TEST(GuardTest, MeldsWithoutADiscardOrOfTheWrongShape) {
  CKorvel rules;
  rules.StartNewHand();
  std::vector<card> hand = Tiles("46p 77s 1m");
  rules.AddCardsToMyHand(hand.data(), static_cast<int>(hand.size()));
  std::vector<card> chow = Tiles("456p");
  EXPECT_TRUE(rules.ExposeCard(0, MeldChowOrPung, 3, chow.data()));
  std::vector<card> kong = Tiles("7777s");
  EXPECT_TRUE(rules.ExposeCard(0, MeldKongOnDiscard, 4, kong.data()));
  std::vector<card> junk = Tiles("1m 5p 9s");
  EXPECT_FALSE(rules.ExposeCard(0, MeldChowOrPung, 3, junk.data()));
  std::vector<card> pair = Tiles("1m 1m");
  EXPECT_FALSE(rules.ExposeCard(0, MeldChowOrPung, 2, pair.data()));
  std::vector<card> short_kong = Tiles("777s");
  EXPECT_FALSE(rules.ExposeCard(0, MeldConcealedKong, 3, short_kong.data()));
  EXPECT_EQ(rules.GetMelds().size(), 1);
  EXPECT_EQ(rules.GetMeldedKongs().size(), 1);
  EXPECT_TRUE(rules.GetConcealedKongs().empty());
  EXPECT_EQ(TilesText(rules.GetHand()), "1m");
}

TEST(GuardTest, NoTileMatchesNoTile) {
  CKorvel rules;
  rules.StartNewHand();
  std::vector<card> hand = Tiles("123m");
  rules.AddCardsToMyHand(hand.data(), 3);
  std::vector<card> nothing = {kNoCard, kNoCard, kNoCard};
  rules.AddCardsToMyHand(nothing.data(), 3);
  EXPECT_FALSE(rules.CanPeng(kNoCard));
  EXPECT_FALSE(rules.CanGangOnSended(kNoCard));
  EXPECT_FALSE(rules.CanHuOnSended(kNoCard));
  EXPECT_FALSE(rules.CanHuOnMo());
}

TEST(GuardTest, TilesOfNoFaceNeverWin) {
  CKorvel rules;
  rules.StartNewHand();
  GroupList groups;
  int shape = 0;
  // Three "chows" of values past 9 and a pair would pass a partition that does not look at
  // the values.
  std::vector<card> tiles = {{0, 10}, {0, 11}, {0, 12}, {1, 1}, {1, 2}, {1, 3}, {2, 4},
                             {2, 5}, {2, 6}, {9, 1}, {9, 1}, {9, 1}, {0, 0}, {0, 0}};
  EXPECT_FALSE(rules.CheckHu(tiles.data(), 14, groups, shape, 0));
  EXPECT_FALSE(rules.CheckTing(tiles.data(), 13, groups, 0));
}

TEST(GuardTest, OversizedHandIsJudgedWithoutOverrun) {
  CKorvel rules;
  rules.StartNewHand();
  std::vector<card> many;
  for (int i = 0; i < 100; ++i) many.push_back({i % 3, 1 + i % 9});
  rules.AddCardsToMyHand(many.data(), static_cast<int>(many.size()));
  EXPECT_EQ(rules.GetDealNum(), kMaxHandCards);
  AskEverything(rules);
  EXPECT_FALSE(rules.CanHuOnMo());
  std::vector<card> discards(300, Tile("5m"));
  rules.SetRecvCardsInRecover(300, discards.data());
  EXPECT_EQ(rules.GetDiscards().size(), kMaxDiscards);
}

}  // namespace
