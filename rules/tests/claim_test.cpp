// Claims on the opponent's discard and kongs after the own draw, with the offers in the order
// the client reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvel_rules.h"
#include "tile_notation.h"

namespace {

class ClaimTest : public ::testing::Test {
 protected:
  void SetUp() override { rules.StartNewHand(); }

  void Deal(std::string_view text) {
    std::vector<card> tiles = Tiles(text);
    rules.AddCardsToMyHand(tiles.data(), static_cast<int>(tiles.size()));
  }
  void Draw(std::string_view text) {
    card c = Tile(text);
    rules.AddCardsToMyHand(&c, 1);
  }
  card Discard(int loc, std::string_view text) {
    card c = Tile(text);
    rules.SetRecvCards(loc, 1, &c);
    return c;
  }
  void Meld(int type, std::string_view text) {
    std::vector<card> tiles = Tiles(text);
    ASSERT_TRUE(rules.ExposeCard(0, type, static_cast<int>(tiles.size()), tiles.data()));
  }

  // Chow offers as "765p 543p", each from its highest value down.
  std::string ChowOffers() {
    std::string out;
    for (int i = 0; i < rules.GetEatNum(); ++i) {
      card three[3];
      EXPECT_TRUE(rules.GetEatCards(i, three));
      if (!out.empty()) out += ' ';
      for (const card& c : three) out += std::to_string(c.m_nValue);
      out += "mpswdfgj"[three[0].m_nColor];
    }
    return out;
  }
  // Kong offers as "5555s/1 2222p/3".
  std::string KongOffers() {
    std::string out;
    for (int i = 0; i < rules.GetGangNum(); ++i) {
      card four[4];
      int16_t kind = 0;
      EXPECT_EQ(rules.GetGangCards(i, four, kind), 4);
      if (!out.empty()) out += ' ';
      for (const card& c : four) out += std::to_string(c.m_nValue);
      out += "mpswdfgj"[four[0].m_nColor];
      out += "/" + std::to_string(kind);
    }
    return out;
  }

  CKorvel rules;
};

struct ChowCase {
  const char* name;
  const char* hand;
  const char* discard;
  int seat;
  const char* offers;
};

class ChowOfferTest : public ClaimTest, public ::testing::WithParamInterface<ChowCase> {};

TEST_P(ChowOfferTest, OffersInOrder) {
  const ChowCase& c = GetParam();
  Deal(c.hand);
  card discard = Discard(c.seat, c.discard);
  const bool expected = *c.offers != '\0';
  EXPECT_EQ(rules.CanChi(discard), expected);
  if (expected) EXPECT_EQ(ChowOffers(), c.offers);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChowOfferTest,
    ::testing::Values(
        // Neighbours first (highest first), then gaps; the descending pass adds nothing new.
        ChowCase{"three_chows", "3467p 9m", "5p", 1, "765p 543p 654p"},
        ChowCase{"five_in_a_row", "1245p", "3p", 1, "543p 321p 432p"},
        ChowCase{"one_end", "123p", "4p", 1, "432p"},
        ChowCase{"gap_only", "24p 9m 9m", "3p", 1, "432p"},
        ChowCase{"duplicates_in_hand", "4455s", "6s", 1, "654s"},
        ChowCase{"terminal", "23m 78m", "1m", 1, "321m"},
        ChowCase{"across_colours", "12m 45s", "3p", 1, ""},
        ChowCase{"winds", "1w 2w 3w 4w", "2w", 1, ""},
        ChowCase{"dragons", "1d 2d 3d", "2d", 1, ""},
        ChowCase{"seasons", "1f 3f", "2f", 1, ""},
        ChowCase{"wild", "123p", "4j", 1, ""},
        ChowCase{"own_discard", "45p", "6p", 0, ""}),
    [](const ::testing::TestParamInfo<ChowCase>& info) { return info.param.name; });

TEST_F(ClaimTest, PungOnAnyOpponentButChowOnlyFromSeatOne) {
  Deal("5m 5m 5m 6m 7m");
  card discard = Discard(0, "5m");  // a seat that may not be chowed from; two 5m stay
  EXPECT_FALSE(rules.CanChi(discard));
  EXPECT_TRUE(rules.CanPeng(discard));
}

TEST_F(ClaimTest, ThreeInHandGivesOnePungAndOneKong) {
  Deal("555m 19p");
  card discard = Discard(1, "5m");
  ASSERT_TRUE(rules.CanPeng(discard));
  card three[3];
  ASSERT_EQ(rules.GetPengCards(three), 3);
  EXPECT_EQ(TilesText(std::vector<card>(three, three + 3)), "5m 5m 5m");
  ASSERT_TRUE(rules.CanGangOnSended(discard));
  EXPECT_EQ(KongOffers(), "5555m/2");
  EXPECT_EQ(rules.GetGangType(), GangTypeOnDiscard);
}

TEST_F(ClaimTest, NoPungOrKongWithoutCopies) {
  Deal("5m 19p");
  card discard = Discard(1, "5m");
  EXPECT_FALSE(rules.CanPeng(discard));
  card three[3];
  EXPECT_EQ(rules.GetPengCards(three), 0);
  EXPECT_FALSE(rules.CanGangOnSended(discard));
  EXPECT_EQ(rules.GetGangNum(), 0);
  EXPECT_EQ(rules.GetGangType(), GangTypeNone);
}

TEST_F(ClaimTest, NothingOnAWildDiscard) {
  Deal("1j 1j 1j 23p");
  card discard = Discard(1, "1j");
  EXPECT_FALSE(rules.CanChi(discard));
  EXPECT_FALSE(rules.CanPeng(discard));
  EXPECT_FALSE(rules.CanGangOnSended(discard));
}

TEST_F(ClaimTest, DeclaredReadyHandRefusesDiscardClaimsButNotAConcealedKong) {
  Deal("555m 46m 2222p");
  rules.SetTingStatus(TingDeclared);
  card discard = Discard(1, "5m");
  EXPECT_FALSE(rules.CanChi(discard));
  EXPECT_FALSE(rules.CanPeng(discard));
  EXPECT_FALSE(rules.CanGangOnSended(discard));
  Draw("9s");
  EXPECT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  EXPECT_EQ(KongOffers(), "2222p/3");
}

TEST_F(ClaimTest, AddedKongComesBeforeTheConcealedOne) {
  Deal("7s 7s 2p 2p 2p 2p 1m");
  Discard(1, "7s");
  Meld(MeldChowOrPung, "777s");
  Draw("7s");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  EXPECT_EQ(KongOffers(), "7777s/1 2222p/3");
  EXPECT_EQ(rules.GetGangType(), GangTypeAdded);
  card four[4];
  ASSERT_EQ(rules.GetHideGangCards(four), 4);
  EXPECT_EQ(four[0], Tile("2p"));
}

TEST_F(ClaimTest, AddedKongWithTheFourthTileKeptInTheHand) {
  Deal("7s 7s 7s 1m");
  Discard(1, "7s");
  Meld(MeldChowOrPung, "777s");
  Draw("9p");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  EXPECT_EQ(KongOffers(), "7777s/1");
}

TEST_F(ClaimTest, OnlyAConcealedKongLeavesTheGangType) {
  Deal("2p 2p 2p 1m");
  Draw("2p");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  EXPECT_EQ(KongOffers(), "2222p/3");
  EXPECT_EQ(rules.GetGangType(), GangTypeNone);
}

TEST_F(ClaimTest, TwoConcealedKongsInTileOrder) {
  Deal("9s 9s 9s 9s 1m 1m 1m 3p");
  Draw("1m");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  EXPECT_EQ(KongOffers(), "1111m/3 9999s/3");
}

TEST_F(ClaimTest, NoKongOnAWildDraw) {
  Deal("2p 2p 2p 2p");
  Draw("1j");
  EXPECT_FALSE(rules.CanGangAfterMo(rules.GetCurrentMo()));
}

TEST_F(ClaimTest, ReadersOutOfRangeGiveNothing) {
  Deal("3467p");
  card discard = Discard(1, "5p");
  ASSERT_TRUE(rules.CanChi(discard));
  card three[3] = {kNoCard, kNoCard, kNoCard};
  EXPECT_FALSE(rules.GetEatCards(rules.GetEatNum(), three));
  EXPECT_FALSE(rules.GetEatCards(-1, three));
  EXPECT_FALSE(rules.GetEatCards(0, nullptr));
  EXPECT_TRUE(IsNoCard(three[0]));
  card four[4];
  int16_t kind = 0;
  EXPECT_EQ(rules.GetGangCards(0, four, kind), 0);
  EXPECT_EQ(kind, KongNone);
  EXPECT_EQ(rules.GetGangCards(-1, four, kind), 0);
  EXPECT_EQ(kind, KongNone);
  EXPECT_EQ(rules.GetHideGangCards(four), 0);
}

}  // namespace
