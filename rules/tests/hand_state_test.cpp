// Tiles and melds entering and leaving the rules object, and the reset at each hand.
#include <gtest/gtest.h>

#include <vector>

#include "korvel_rules.h"
#include "tile_notation.h"

namespace {

class HandStateTest : public ::testing::Test {
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
  void Discard(int loc, std::string_view text) {
    card c = Tile(text);
    rules.SetRecvCards(loc, 1, &c);
  }
  bool Expose(int type, std::string_view text, int loc = 0) {
    std::vector<card> tiles = Tiles(text);
    return rules.ExposeCard(loc, type, static_cast<int>(tiles.size()), tiles.data());
  }
  std::string Hand() {
    rules.SortHand(true);
    return TilesText(rules.GetHand());
  }

  CKorvel rules;
};

TEST_F(HandStateTest, DealLeavesTheDrawAloneAndOneTileIsADraw) {
  Deal("123456789m 1234p");
  EXPECT_TRUE(IsNoCard(rules.GetCurrentMo()));
  EXPECT_EQ(rules.GetDealNum(), 13);
  Draw("5s");
  EXPECT_EQ(rules.GetCurrentMo(), Tile("5s"));
  EXPECT_EQ(rules.GetDealNum(), 14);
}

TEST_F(HandStateTest, OwnDiscardRemovesOneCopyAndClearsTheDraw) {
  Deal("55m 123p");
  Draw("5m");
  Discard(0, "5m");
  EXPECT_EQ(Hand(), "5m 5m 1p 2p 3p");
  EXPECT_TRUE(IsNoCard(rules.GetCurrentMo()));
  EXPECT_EQ(rules.GetCurrentSended(), Tile("5m"));
  EXPECT_EQ(rules.GetLastSendLoc(), 0);
  EXPECT_EQ(rules.GetDiscards().size(), 1);
}

TEST_F(HandStateTest, OwnDiscardDropsASelfDrawnHuType) {
  Deal("123m 456m 789m 123p 5p");
  Draw("5p");
  ASSERT_TRUE(rules.CanHuOnMo());
  EXPECT_EQ(rules.GetHuType(), HuSelfDrawn);
  Discard(0, "5p");
  EXPECT_EQ(rules.GetHuType(), HuTypeNone);
}

TEST_F(HandStateTest, OpponentDiscardKeepsTheHand) {
  Deal("55m 123p");
  Discard(1, "5m");
  EXPECT_EQ(Hand(), "5m 5m 1p 2p 3p");
  EXPECT_EQ(rules.GetLastSendLoc(), 1);
  EXPECT_EQ(TilesText(rules.GetDiscards()), "5m");
}

TEST_F(HandStateTest, DiscardOfOtherCountsOrSeatsChangesNothing) {
  Deal("55m");
  std::vector<card> two = Tiles("5m6m");
  EXPECT_FALSE(rules.SetRecvCards(1, 2, two.data()));
  EXPECT_FALSE(rules.SetRecvCards(2, 1, two.data()));
  EXPECT_FALSE(rules.SetRecvCards(-1, 1, two.data()));
  EXPECT_FALSE(rules.SetRecvCards(0, 1, nullptr));
  EXPECT_TRUE(rules.GetDiscards().empty());
  EXPECT_EQ(rules.GetLastSendLoc(), -1);
  EXPECT_EQ(Hand(), "5m 5m");
}

TEST_F(HandStateTest, RecoveryAppendsEveryDiscardAndLeavesTheHand) {
  Deal("123m");
  std::vector<card> discards = Tiles("1m 9p 3w");
  rules.SetRecvCardsInRecover(3, discards.data());
  EXPECT_EQ(TilesText(rules.GetDiscards()), "1m 9p 3w");
  EXPECT_EQ(rules.GetCurrentSended(), Tile("3w"));
  EXPECT_EQ(rules.GetLastSendLoc(), -1);
  EXPECT_EQ(Hand(), "1m 2m 3m");
}

TEST_F(HandStateTest, DeleteRemovesOneCopyPerTileGiven) {
  Deal("5m 5m 5m 1p");
  std::vector<card> gone = Tiles("5m 5m 9s");
  rules.DeleteCardsFromMyHand(3, gone.data());
  EXPECT_EQ(Hand(), "5m 1p");
  rules.DeleteAllFromMyHand();
  EXPECT_EQ(rules.GetDealNum(), 0);
}

// A chow claimed on a discarded 5 takes the 4 and the 6 from the hand and the 5 off the
// discards, whatever order the three tiles come in.
TEST_F(HandStateTest, ChowMeldInAnyOrder) {
  for (std::string_view order : {"456p", "465p", "654p", "546p"}) {
    SCOPED_TRACE(order);
    rules.StartNewHand();
    Deal("4p 6p 7p 9s");
    Discard(1, "5p");
    ASSERT_TRUE(Expose(MeldChowOrPung, order));
    EXPECT_EQ(Hand(), "7p 9s");
    EXPECT_TRUE(rules.GetDiscards().empty());
    ASSERT_EQ(rules.GetMelds().size(), 1);
    EXPECT_EQ(rules.GetMelds()[0], (MeldGroup{ColorDots, 6, 1, 3, 1}));
  }
}

TEST_F(HandStateTest, PungMeldTakesTwoTilesFromTheHand) {
  Deal("7s 7s 7s 1m");
  Discard(1, "7s");
  ASSERT_TRUE(Expose(MeldChowOrPung, "777s"));
  EXPECT_EQ(Hand(), "1m 7s");
  EXPECT_EQ(rules.GetMelds()[0], (MeldGroup{ColorBamboo, 7, 3, 1, 1}));
}

TEST_F(HandStateTest, MeldOfAnotherSeatOrKindChangesNothing) {
  Deal("4p 6p");
  Discard(1, "5p");
  EXPECT_FALSE(Expose(MeldChowOrPung, "456p", 1));
  EXPECT_FALSE(Expose(MeldHandLaidOpen, "456p"));
  EXPECT_FALSE(Expose(9, "456p"));
  EXPECT_EQ(Hand(), "4p 6p");
  EXPECT_EQ(rules.GetDiscards().size(), 1);
  EXPECT_TRUE(rules.GetMelds().empty());
}

TEST_F(HandStateTest, FlowerMeldLeavesTheHand) {
  Deal("1f 2g 5m");
  ASSERT_TRUE(Expose(MeldFlowers, "1f 2g"));
  EXPECT_EQ(Hand(), "5m 1f 2g");
  EXPECT_EQ(TilesText(rules.GetFlowers()), "1f 2g");
}

TEST_F(HandStateTest, KongsMoveTilesAndDropTheirOffer) {
  // Concealed kong after the draw.
  Deal("9m 9m 9m 2p 3p 4p");
  Draw("9m");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  ASSERT_TRUE(Expose(MeldConcealedKong, "9999m"));
  EXPECT_EQ(Hand(), "2p 3p 4p");
  EXPECT_EQ(rules.GetConcealedKongs().size(), 1);
  EXPECT_EQ(rules.GetGangNum(), 0);

  // Added kong: the pung leaves the melds, one tile leaves the hand.
  rules.StartNewHand();
  Deal("5s 5s 1m");
  Discard(1, "5s");
  ASSERT_TRUE(Expose(MeldChowOrPung, "555s"));
  Draw("5s");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  ASSERT_TRUE(Expose(MeldAddedKong, "5555s"));
  EXPECT_EQ(Hand(), "1m");
  EXPECT_TRUE(rules.GetMelds().empty());
  EXPECT_EQ(rules.GetMeldedKongs().size(), 1);
  EXPECT_EQ(rules.GetGangNum(), 0);

  // Kong on a discard: three tiles from the hand, the discard off the discards.
  rules.StartNewHand();
  Deal("3w 3w 3w 1m");
  Discard(1, "3w");
  ASSERT_TRUE(rules.CanGangOnSended(rules.GetCurrentSended()));
  ASSERT_TRUE(Expose(MeldKongOnDiscard, "3333w"));
  EXPECT_EQ(Hand(), "1m");
  EXPECT_TRUE(rules.GetDiscards().empty());
  EXPECT_EQ(rules.GetMeldedKongs().size(), 1);
  EXPECT_EQ(rules.GetGangNum(), 0);
}

TEST_F(HandStateTest, RecoveryMeldsLeaveHandAndDiscardsAndEmptyKongOffers) {
  Deal("2p 2p 2p 2p 7m 8m");
  Discard(1, "9m");
  Draw("1s");
  ASSERT_TRUE(rules.CanGangAfterMo(rules.GetCurrentMo()));
  std::vector<card> chow = Tiles("978m");
  EXPECT_TRUE(rules.ExposeCard_InRecover(0, MeldChowOrPung, 3, chow.data()));
  std::vector<card> kong = Tiles("4444s");
  EXPECT_TRUE(rules.ExposeCard_InRecover(0, MeldAddedKong, 4, kong.data()));
  EXPECT_FALSE(rules.ExposeCard_InRecover(1, MeldConcealedKong, 4, kong.data()));
  EXPECT_EQ(Hand(), "7m 8m 2p 2p 2p 2p 1s");
  EXPECT_EQ(rules.GetDiscards().size(), 1);
  EXPECT_EQ(rules.GetMelds().size(), 1);
  EXPECT_EQ(rules.GetMeldedKongs().size(), 1);
  EXPECT_EQ(rules.GetGangNum(), 0);
}

TEST_F(HandStateTest, SetHuInfoByKind) {
  Deal("123m");
  Draw("4m");
  rules.SetHuInfo(HuSelfDrawn, -1, Tile("9p"));
  EXPECT_EQ(rules.GetHuCard(), Tile("4m"));
  EXPECT_EQ(rules.GetHuType(), HuSelfDrawn);
  EXPECT_EQ(rules.GetDealNum(), 4);

  rules.SetHuInfo(HuOnDiscard, 1, Tile("9p"));
  EXPECT_EQ(rules.GetHuCard(), Tile("9p"));
  EXPECT_EQ(rules.GetHuType(), HuOnDiscard);
  EXPECT_EQ(rules.GetGunLoc(), 1);
  EXPECT_EQ(rules.GetDealNum(), 5);
}

TEST_F(HandStateTest, NewHandResetsTheHandButKeepsTheTable) {
  rules.SetBanker(1, 3);
  rules.SetLowFan(3);
  rules.SetTrickNo(7);
  const int16_t hand_no = rules.GetHandNo();
  Deal("123m 5p");
  Discard(1, "5p");
  rules.SetTingStatus(1);
  rules.SetXiangGongStatus(1);
  rules.SetLastBz();
  rules.SetDice();
  rules.SetHuInfo(HuOnDiscard, 1, Tile("5p"));

  rules.StartNewHand();
  EXPECT_EQ(rules.GetHandNo(), hand_no + 1);
  EXPECT_EQ(rules.GetBanker(), 1);
  EXPECT_EQ(rules.GetQuanFeng(), 3);
  EXPECT_EQ(rules.GetLowFan(), 3);
  EXPECT_EQ(rules.GetTrickNo(), 7);
  EXPECT_EQ(rules.GetDealNum(), 0);
  EXPECT_TRUE(rules.GetDiscards().empty());
  EXPECT_EQ(rules.GetTingStatus(), 0);
  EXPECT_EQ(rules.GetXiangGongStatus(), 0);
  EXPECT_EQ(rules.GetDiceNum(), 0);
  EXPECT_EQ(rules.GetHuType(), HuTypeNone);
  EXPECT_EQ(rules.GetGangType(), GangTypeNone);
  EXPECT_EQ(rules.GetLastSendLoc(), -1);
  EXPECT_EQ(rules.GetGunLoc(), -1);
  EXPECT_TRUE(IsNoCard(rules.GetCurrentMo()));
  EXPECT_TRUE(IsNoCard(rules.GetCurrentSended()));
  EXPECT_TRUE(IsNoCard(rules.GetHuCard()));
  EXPECT_TRUE(rules.GetFoundFans().empty());
}

TEST_F(HandStateTest, LowFanIsNeverNegative) {
  rules.SetLowFan(-4);
  EXPECT_EQ(rules.GetLowFan(), 0);
  rules.SetLowFan(5);
  EXPECT_EQ(rules.GetLowFan(), 5);
}

struct AutoSendCase {
  const char* name;
  const char* deal;
  const char* draw;  // "" for no draw (after a claim)
  CMj_Gb::AutoSend expected;
  const char* chosen;
};

class AutoSendTest : public HandStateTest,
                     public ::testing::WithParamInterface<AutoSendCase> {};

TEST_P(AutoSendTest, ChoosesTheTileOrTheWin) {
  const AutoSendCase& c = GetParam();
  Deal(c.deal);
  if (*c.draw != '\0') Draw(c.draw);
  card chosen = kNoCard;
  EXPECT_EQ(rules.AutoSendCards(chosen), c.expected);
  if (c.expected == CMj_Gb::AutoSend::Tile) EXPECT_EQ(TileText(chosen), c.chosen);
  EXPECT_EQ(rules.GetDealNum(), static_cast<int>(Tiles(std::string(c.deal) + c.draw).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoSendTest,
    ::testing::Values(
        AutoSendCase{"drawn_tile", "123m 456m 11p 5s", "9s", CMj_Gb::AutoSend::Tile, "9s"},
        AutoSendCase{"drawn_tile_wins", "123m 456m 789m 123p 5s", "5s", CMj_Gb::AutoSend::Hu,
                     ""},
        AutoSendCase{"wild_draw_first_plain_tile", "1j 19m 5p 7s", "2j",
                     CMj_Gb::AutoSend::Tile, "1m"},
        AutoSendCase{"wild_draw_wins", "123m 456m 789m 123p 5s", "1j", CMj_Gb::AutoSend::Hu,
                     ""},
        AutoSendCase{"wild_draw_only_wilds", "1j 3j", "2j", CMj_Gb::AutoSend::Tile, "2j"},
        AutoSendCase{"after_claim_first_plain_tile", "1j 7s 123m", "", CMj_Gb::AutoSend::Tile,
                     "7s"},
        AutoSendCase{"after_claim_only_wilds", "3j 1j", "", CMj_Gb::AutoSend::Tile, "3j"},
        AutoSendCase{"after_claim_empty_hand", "", "", CMj_Gb::AutoSend::Nothing, ""}),
    [](const ::testing::TestParamInfo<AutoSendCase>& info) { return info.param.name; });

}  // namespace

// The minimum-fans rule on a draw judges the tile after a kong as it is for that draw. The client
// reports it only after the draw (the replacement tile after a kong, -1/-1 after any other
// draw), so while the draw is judged the engine still holds the previous value.
class TileAfterKongTest : public ::testing::Test {
 protected:
  void Deal(const char* text) {
    std::vector<card> tiles = Tiles(text);
    rules.StartNewHand();
    rules.SetLowFan(6);
    rules.AddCardsToMyHand(tiles.data(), static_cast<int>(tiles.size()));
  }
  // A draw as the client makes it; answers whether the win lit at the draw.
  bool Draw(const char* text, bool after_kong) {
    card c = Tile(text);
    rules.AddCardsToMyHand(&c, 1);
    const bool lit = rules.CanHuOnMo();
    rules.SetCardAfterGang(after_kong ? c : card{-1, -1});
    return lit;
  }
  void ConcealedKong(const char* text) {
    std::vector<card> tiles = Tiles(text);
    ASSERT_TRUE(rules.ExposeCard(0, MeldConcealedKong, 4, tiles.data()));
  }
  void Discard(int loc, const char* text) {
    card c = Tile(text);
    rules.SetRecvCards(loc, 1, &c);
  }
  // The fans of the self-drawn win as the client then counts them.
  int FansOfWin(const char* text) {
    rules.SetHuInfo(HuSelfDrawn, 0, Tile(text));
    int16_t banker = 0, fans = 0, base = 0;
    rules.CalculateScore(banker, fans, base);
    return fans;
  }
  CKorvel rules;
};

TEST_F(TileAfterKongTest, AnOlderReplacementTileDoesNotLiftAPlainDraw) {
  Deal("1111w 123m 456m 789p");
  Draw("9m", false);
  ConcealedKong("1w 1w 1w 1w");
  EXPECT_FALSE(Draw("5s", true));  // the replacement tile: no win yet
  Discard(0, "9m");
  Discard(1, "1p");
  // A plain 5s later equals the old replacement tile, but it is no win after a kong.
  const bool lit = Draw("5s", false);
  const int fans = FansOfWin("5s");
  EXPECT_LT(fans, 6);
  EXPECT_FALSE(lit);
}

TEST_F(TileAfterKongTest, AWinOnTheReplacementTileCountsItBeforeTheClientReportsIt) {
  Deal("111w 123m 456m 789p 9m");
  Draw("5s", false);
  Discard(0, "9m");
  Discard(1, "2p");
  Draw("1w", false);
  ConcealedKong("1w 1w 1w 1w");
  const bool lit = Draw("5s", true);  // the replacement tile wins
  const int fans = FansOfWin("5s");
  EXPECT_GE(fans, 6);
  EXPECT_TRUE(lit);
}
