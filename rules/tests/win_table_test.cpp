// Winning hands: the verdict, the shape, the fans found (with their exclusions) and the score,
// one row per hand. Every pattern of the table is found in at least one row; where a pattern
// can be read another way (four identical chows are also three pungs and a chow), the row
// shows the reading the strategies pick.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "korvel_rules.h"
#include "rules_fixture.h"
#include "tile_notation.h"

namespace {

constexpr int kChows = win_search::kShapeSequencesFirst;  // 21
constexpr int kPungs = win_search::kShapePungsFirst;      // 22
constexpr int kEye = win_search::kShapeEyeFirst;          // 23
constexpr int kPair = win_search::kShapeStandard;         // 20: a two-tile hand
constexpr int kSeven = win_search::kShapeSevenPairs;      // 10

constexpr WinKind kSelf = WinKind::SelfDrawn;
constexpr WinKind kOn = WinKind::OnDiscard;

struct WinCase {
  const char* name;
  HandSetup hand;
  const char* win;
  WinKind kind;
  bool wins;
  int shape;
  std::vector<int> fans;
  int score;
};

MeldSetup Chow(const char* t) { return {MeldChowOrPung, t}; }
MeldSetup Pung(const char* t) { return {MeldChowOrPung, t}; }
MeldSetup ConcealedKong(const char* t) { return {MeldConcealedKong, t}; }
MeldSetup MeldedKong(const char* t) { return {MeldKongOnDiscard, t}; }

HandSetup Hand(const char* concealed, std::vector<MeldSetup> melds = {},
              const char* discards = "9m") {
  HandSetup setup;
  setup.concealed = concealed;
  setup.melds = std::move(melds);
  setup.discards = discards;
  return setup;
}

HandSetup WithLastTile(HandSetup setup) {
  setup.last_tile = true;
  return setup;
}

HandSetup WithCardAfterGang(HandSetup setup, const char* tile) {
  setup.card_after_gang = tile;
  return setup;
}

const WinCase kCases[] = {
    // ---- plain hands
    {"no_fans", Hand("123m 456p 789s 222p 5m"), "5m", kOn, true, kChows, {}, 2},
    {"all_chows", Hand("123m 456p 789s 234s 5m"), "5m", kOn, true, kChows, {1105}, 3},
    {"not_a_win", Hand("123m 456p 789s 224p 5m"), "9m", kOn, false, 0, {}, 2},
    {"not_a_win_self_drawn", Hand("123m 456p 789s 224p 5m"), "9m", kSelf, false, 0, {}, 4},

    // ---- grades 1-4
    {"big_four_winds", Hand("111w 222w 333w 444w 5m"), "5m", kOn, true, kChows,
     {101, 205, 902, 1205}, 42},
    // Three concealed wind pungs would be 705; 101 rules it out.
    {"big_four_winds_with_a_melded_pung", Hand("111w 222w 333w 5m", {Pung("444w")}), "5m",
     kOn, true, kChows, {101, 606, 902, 1205}, 30},
    {"big_three_dragons", Hand("111d 222d 333d 123m 5m"), "5m", kOn, true, kChows,
     {102, 902, 1108, 1205}, 27},
    {"all_green", Hand("234s 234s 666s 888s 2d"), "2d", kOn, true, kChows, {103, 1108}, 25},
    {"nine_gates", Hand("1112345678999m"), "5m", kOn, true, kEye, {104, 1108, 1205}, 26},
    {"four_kongs",
     Hand("9p", {ConcealedKong("1111m"), ConcealedKong("2222p"), MeldedKong("3333s"),
                 MeldedKong("4444s")}),
     "9p", kOn, true, kPair, {105, 901, 905, 906, 1003, 1109, 1205, 1206}, 31},
    {"seven_shifted_pairs", Hand("1122334455667p"), "7p", kOn, true, kSeven, {106}, 24},
    {"seven_shifted_pairs_self_drawn", Hand("1122334455667p"), "7p", kSelf, true, kSeven,
     {106, 1104}, 50},
    {"heavenly_hand", Hand("123m 456p 789s 222p 5m", {}, ""), "5m", kSelf, true, kChows,
     {108, 1002, 1104}, 52},
    {"not_heavenly_after_a_discard", Hand("123m 456p 789s 222p 5m"), "5m", kSelf, true,
     kChows, {1002, 1104}, 8},
    {"little_four_winds", Hand("111w 222w 333w 4w 123m"), "4w", kOn, true, kChows,
     {202, 902, 1108, 1205}, 21},
    {"little_three_dragons", Hand("111d 222d 3d 123m 456m"), "3d", kOn, true, kChows,
     {203, 902, 1108, 1203, 1205}, 22},
    {"all_honors", Hand("111w 222w 333d 444w 1d"), "1d", kOn, true, kChows,
     {204, 205, 403, 705, 1205}, 46},
    {"four_concealed_pungs", Hand("111m 333p 555s 777m 9p"), "9p", kOn, true, kChows,
     {205, 1205}, 19},
    {"four_concealed_pungs_self_drawn", Hand("111m 333p 555s 777m 9p"), "9p", kSelf, true,
     kChows, {205, 1002, 1205}, 40},
    {"pure_terminal_chows", Hand("1122335577889s"), "9s", kOn, true, kSeven, {206}, 18},
    // 206 rules out 501; 501 would have ruled out 1002, but an excluded row excludes nothing.
    {"pure_terminal_chows_self_drawn", Hand("1122335577889s"), "9s", kSelf, true, kSeven,
     {206, 1002, 1104}, 40},
    // Four identical chows and a pair are also seven pairs, which the test tries first.
    {"quadruple_chow_as_seven_pairs", Hand("234p 234p 234p 234p 5m"), "5m", kOn, true, kSeven,
     {301}, 14},
    {"quadruple_chow", Hand("234p 234p 234p 5m", {Chow("234p")}), "5m", kOn, true, kChows,
     {301, 505, 1105}, 21},
    {"four_pure_shifted_pungs", Hand("111p 222p 333p 444p 5m"), "5m", kOn, true, kChows,
     {302}, 14},
    {"four_pure_shifted_chows", Hand("123p 234p 345p 456p 9m"), "9m", kOn, true, kChows,
     {401, 1105, 1203}, 12},
    {"three_kongs",
     Hand("234m 8p",
          {ConcealedKong("1111p"), MeldedKong("5555s"), ConcealedKong("7777m")}),
     "8p", kOn, true, kChows, {402, 906, 1109, 1205, 1206}, 14},
    {"all_terminals_and_honors", Hand("111m 999p 111s 999s 1w"), "1w", kOn, true, kChows,
     {205, 403, 1205}, 27},

    // ---- grades 5-7
    {"seven_pairs", Hand("1133m 5577p 99s 22w 3d"), "3d", kOn, true, kSeven, {501}, 8},
    {"seven_pairs_self_drawn", Hand("1133m 5577p 99s 22w 3d"), "3d", kSelf, true, kSeven,
     {501, 1104}, 18},
    {"seven_pairs_with_four_equal_tiles", Hand("1111m 22p 33p 44s 55s 4w"), "4w", kOn, true,
     kSeven, {501, 1106}, 9},
    {"all_even_pungs", Hand("222m 444p 666s 888m 2s"), "2s", kOn, true, kChows, {205, 503},
     24},
    {"full_flush", Hand("123p 234p 456p 789p 5p"), "5p", kOn, true, kChows,
     {504, 601, 1105, 1203, 1204}, 15},
    {"pure_triple_chow", Hand("234p 234p 234p 678s 9m"), "9m", kOn, true, kChows,
     {505, 1105}, 9},
    {"pure_shifted_pungs", Hand("555p 789m 1s", {Pung("333p"), Pung("444p")}), "1s", kOn,
     true, kChows, {506}, 8},
    {"upper_tiles", Hand("789m 789p 789s 888s 9m"), "9m", kOn, true, kChows,
     {507, 703, 1106}, 12},
    {"middle_tiles", Hand("456m 456p 456s 444m 5p"), "5p", kOn, true, kChows, {508, 1106},
     9},
    {"lower_tiles", Hand("123m 123p 123s 111s 2m"), "2m", kOn, true, kChows,
     {509, 704, 1106, 1205}, 13},
    {"pure_straight", Hand("123m 456m 789m 222p 5s"), "5s", kOn, true, kChows,
     {601, 1203, 1204}, 8},
    {"pure_shifted_chows", Hand("123p 234p 345p 789s 1m"), "1m", kOn, true, kChows,
     {603, 1105}, 7},
    {"all_fives", Hand("345m 456p 567s 555m 5p"), "5p", kOn, true, kChows, {604, 1106}, 7},
    {"three_concealed_pungs", Hand("111m 555p 999s 6p", {Chow("234s")}), "6p", kOn, true,
     kChows, {606, 1205}, 7},
    {"upper_four", Hand("678m 678p 789s 666s 9p"), "9p", kOn, true, kPungs, {703}, 5},
    {"lower_four", Hand("123m 234p 234s 444m 1p"), "1p", kOn, true, kEye, {704}, 5},
    {"big_three_winds", Hand("111w 222w 333w 123m 5p"), "5p", kOn, true, kChows,
     {705, 1108, 1205}, 7},

    // ---- grades 8-12
    {"reversible_tiles", Hand("123p 345p 999p 456s 3d"), "3d", kOn, true, kChows,
     {802, 1205}, 5},
    {"last_tile_draw", WithLastTile(Hand("123m 456p 789s 222p 5m")), "5m", kSelf, true,
     kChows, {806, 1002, 1104}, 12},
    {"last_tile_claim", WithLastTile(Hand("123m 456p 789s 222p 5m")), "5m", kOn, true,
     kChows, {807}, 4},
    {"replacement_tile_win",
     WithCardAfterGang(Hand("123m 456p 789s 2p", {ConcealedKong("7777s")}), "2p"), "2p",
     kSelf, true, kChows, {808, 1002, 1104, 1109}, 14},
    // The same tile coming as the opponent's discard is no replacement tile.
    {"replacement_tile_only_when_drawn",
     WithCardAfterGang(Hand("123m 456p 789s 2p", {ConcealedKong("7777s")}), "2p"), "2p", kOn,
     true, kChows, {1109}, 3},
    {"all_pungs", Hand("555p 777s 333m 8p", {Pung("222m")}), "8p", kOn, true, kChows,
     {606, 901}, 7},
    {"half_flush", Hand("123m 456m 111w 789m 2d"), "2d", kOn, true, kChows,
     {601, 902, 1203, 1204, 1205}, 10},
    {"melded_hand",
     Hand("2s", {Chow("123m"), Pung("555p"), Chow("678s"), Pung("999m")}), "2s", kOn, true,
     kPair, {905, 1205}, 4},
    {"two_concealed_kongs",
     Hand("123s 456s 9m", {ConcealedKong("3333m"), ConcealedKong("6666p")}), "9m", kOn, true,
     kChows, {906, 1109, 1203}, 5},
    {"two_dragon_pungs", Hand("111d 222d 123m 456p 9s"), "9s", kOn, true, kChows,
     {907, 1108, 1205}, 5},
    {"two_melded_kongs",
     Hand("123s 789s 4p", {MeldedKong("2222m"), MeldedKong("5555p")}), "4p", kOn, true,
     kChows, {1003, 1204, 1206}, 5},
    {"last_tile_self_drawn", Hand("123m 456p 78s 222p 55m", {}, "9s 9s 9s"), "9s", kSelf, true,
     kChows, {1002, 1004, 1104}, 10},
    {"last_tile_on_a_discard", Hand("123m 456p 78s 222p 55m", {}, "9s 9s 9s"), "9s", kOn,
     true, kChows, {1004}, 3},
    // Only the discards count: three copies in an exposed pung do not.
    {"last_tile_not_from_a_pung", Hand("123m 456p 78s 22p", {Pung("999s")}, "1p"), "9s",
     kSelf, true, kChows, {1106, 1205}, 8},

    // ---- wild tiles
    {"one_wild_as_the_eye", Hand("123m 456p 789s 222p 1j"), "5m", kOn, true, kChows, {}, 2},
    {"two_wilds_as_the_eye", Hand("123m 456p 789s 222p 1j"), "2j", kSelf, true, kChows,
     {1002, 1104}, 8},
    {"nine_gates_with_a_wild", Hand("1112345678999m"), "1j", kSelf, true, kChows,
     {104, 601, 1002, 1104, 1203, 1204, 1205}, 66},
    {"no_nine_gates_with_two_wilds", Hand("111234567899m 1j"), "2j", kSelf, true, kChows,
     {504, 601, 1002, 1104, 1203, 1204, 1205}, 34},
    {"big_four_winds_with_a_wild", Hand("111w 222w 333w 44w 5m 1j"), "5m", kOn, true, kChows,
     {101, 202, 205, 902, 1205}, 58},
    {"seven_pairs_with_a_wild", Hand("1133m 55p 77p 99s 22w 1j"), "3d", kOn, true, kSeven,
     {501}, 8},
    {"eight_wilds", Hand("123m 45p 11111111j"), "6p", kOn, true, kChows, {1108}, 3},
    {"chow_across_a_gap",
     Hand("1234m 6789m 1p 1j", {Pung("999s")}), "1p", kOn, true, win_search::kShapeGapChow,
     {601, 1203, 1204, 1205}, 9},

    // ---- other shapes
    {"knitted_straight", Hand("147m 258p 369s 111w 2d"), "2d", kOn, true,
     win_search::kShapeKnittedStraight, {1205}, 3},
    // The knitted triples are no chows: a knitted straight with a chow is no all-chows hand.
    {"knitted_straight_is_no_all_chows", Hand("147m 258p 369s 567p 4m"), "4m", kOn, true,
     win_search::kShapeKnittedStraight, {}, 2},
    {"knitted_straight_with_a_chow_in_its_suits", Hand("245568m 1667p 369s"), "4p", kOn, true,
     win_search::kShapeKnittedStraight, {}, 2},
    {"knitted_straight_with_a_melded_chow", Hand("258m 36669p 17s", {Chow("678p")}), "4s", kOn,
     true, win_search::kShapeKnittedStraight, {1106}, 3},
};

class WinTableTest : public ::testing::TestWithParam<WinCase> {};

TEST_P(WinTableTest, VerdictShapeFansAndScore) {
  const WinCase& c = GetParam();
  CKorvel rules;
  SetUpHand(rules, c.hand);
  const card win = Tile(c.win);
  ASSERT_EQ(OfferWinningTile(rules, c.kind, win), c.wins);

  rules.SetHuInfo(c.kind == kSelf ? HuSelfDrawn : HuOnDiscard, c.kind == kSelf ? -1 : 1, win);
  if (c.wins) {
    std::vector<card> hand(rules.GetHand().begin(), rules.GetHand().end());
    std::vector<card> tiles = WithoutWilds(hand);
    GroupList groups;
    int shape = 0;
    ASSERT_TRUE(rules.CheckHu(tiles.data(), static_cast<int>(tiles.size()), groups, shape,
                              WildCount(hand)));
    EXPECT_EQ(shape, c.shape) << GroupsText(groups);
  }
  int16_t banker = -1;
  int16_t fans = -1;
  int16_t base = -1;
  const int score = rules.CalculateScore(banker, fans, base);
  EXPECT_EQ(FanTypes(rules), c.fans) << GroupsText(rules.GetHuGroups());
  EXPECT_EQ(score, c.score);
  EXPECT_EQ(base, 2);
  EXPECT_EQ(banker, 1);  // the banker seat is 0 until SetBanker says otherwise
}

INSTANTIATE_TEST_SUITE_P(Hands, WinTableTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WinCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- the fan count's context ------------------------------------------------------------

class WinRulesTest : public ::testing::Test {
 protected:
  CKorvel rules;
};

TEST_F(WinRulesTest, EveryPatternOfTheTableIsFoundByTheTable) {
  std::vector<int> found;
  for (const WinCase& c : kCases) found.insert(found.end(), c.fans.begin(), c.fans.end());
  rules.StartNewHand();
  for (const FanInfo& row : rules.GetFanTable()) {
    if (row.type == FanRobbingTheKong) continue;  // nothing sets the robbed-kong flag
    EXPECT_NE(std::find(found.begin(), found.end(), row.type), found.end()) << row.type;
  }
}

TEST_F(WinRulesTest, BankerFlagFollowsTheBankerSeat) {
  SetUpHand(rules, Hand("123m 456p 789s 222p 5m"));
  rules.SetBanker(1, 0);
  card win = Tile("5m");
  ASSERT_TRUE(OfferWinningTile(rules, kOn, win));
  rules.SetHuInfo(HuOnDiscard, 1, win);
  int16_t banker = -1, fans = -1, base = -1;
  rules.CalculateScore(banker, fans, base);
  EXPECT_EQ(banker, 0);
}

TEST_F(WinRulesTest, MinimumFansRefuseAWinAndKeepTheHuType) {
  SetUpHand(rules, Hand("123m 456p 789s 222p 5m"));
  rules.SetLowFan(3);
  card win = Tile("5m");
  ASSERT_FALSE(OfferWinningTile(rules, kOn, win));
  EXPECT_EQ(rules.GetHuType(), HuTypeNone);

  // Self-drawn, two fans (1002, 1104) are still below three.
  SetUpHand(rules, Hand("123m 456p 789s 222p 5m"));
  rules.SetLowFan(3);
  ASSERT_FALSE(OfferWinningTile(rules, kSelf, win));
  EXPECT_EQ(rules.GetHuType(), HuTypeNone);

  // Enough fans: allowed, and the hu type says how.
  SetUpHand(rules, Hand("123m 456m 789m 222p 5m"));
  rules.SetLowFan(3);
  ASSERT_TRUE(OfferWinningTile(rules, kOn, win));
  EXPECT_EQ(rules.GetHuType(), HuOnDiscard);
}

TEST_F(WinRulesTest, SelfDrawnRefusalLeavesAnEarlierHuType) {
  SetUpHand(rules, Hand("123m 456m 789m 222p 5m"));
  rules.SetLowFan(3);
  ASSERT_TRUE(rules.CanHuOnSended(Tile("5m")));  // 601, 1203, 1204: 6 fans
  ASSERT_EQ(rules.GetHuType(), HuOnDiscard);
  card draw = Tile("5p");  // no win
  ASSERT_FALSE(OfferWinningTile(rules, kSelf, draw));
  EXPECT_EQ(rules.GetHuType(), HuOnDiscard);
}

// The minimum-fans count judges the win being tested: before SetHuInfo the winning tile is
// still "no tile" and the tile after a kong may be too, which must not look like a
// replacement-tile win; and a win on a discard is no concealed self-drawn hand.
TEST_F(WinRulesTest, MinimumFansCountUsesTheWinBeingTested) {
  SetUpHand(rules, Hand("123m 456p 789s 2p", {ConcealedKong("7777s")}));
  rules.SetLowFan(2);
  ASSERT_TRUE(IsNoCard(rules.GetHuCard()));
  EXPECT_FALSE(OfferWinningTile(rules, kOn, Tile("2p")));  // 1109 alone: one fan
  EXPECT_EQ(rules.GetFoundFans().size(), 1);
  EXPECT_EQ(rules.GetFanTable()[rules.GetFoundFans()[0]].type, FanConcealedKong);
  EXPECT_TRUE(IsNoCard(rules.GetHuCard()));  // the context is put back

  // Drawn, the same hand is concealed and self-drawn: 1002, 1104, 1109.
  SetUpHand(rules, Hand("123m 456p 789s 2p", {ConcealedKong("7777s")}));
  rules.SetLowFan(3);
  EXPECT_TRUE(OfferWinningTile(rules, kSelf, Tile("2p")));
}

// A knitted straight with one chow and a pair has no fan of the two-player table, so a
// minimum of one fan refuses it.
TEST_F(WinRulesTest, KnittedStraightWithAChowMissesAMinimumOfOneFan) {
  const struct {
    const char* hand;
    const char* win;
  } kHands[] = {{"147m 258p 369s 567p 4m", "4m"}, {"245568m 1667p 369s", "4p"}};
  for (const auto& h : kHands) {
    SetUpHand(rules, Hand(h.hand));
    rules.SetLowFan(1);
    EXPECT_FALSE(OfferWinningTile(rules, kOn, Tile(h.win))) << h.hand;
    EXPECT_EQ(rules.GetHuType(), HuTypeNone) << h.hand;
  }
}

TEST_F(WinRulesTest, NoWinFlagForbidsEveryWin) {
  SetUpHand(rules, Hand("123m 456p 789s 222p 5m"));
  rules.SetXiangGongStatus(1);
  EXPECT_FALSE(rules.CanHuOnSended(Tile("5m")));
  card win = Tile("5m");
  EXPECT_FALSE(OfferWinningTile(rules, kSelf, win));
}

TEST_F(WinRulesTest, AWildDiscardIsNeverWonOn) {
  SetUpHand(rules, Hand("123m 456p 789s 222p 5m"));
  EXPECT_FALSE(rules.CanHuOnSended(Tile("1j")));
  EXPECT_EQ(rules.GetHuType(), HuTypeNone);
}

// Claiming the opponent's first discard takes it off the discards; the hand that follows is
// still no heavenly hand.
TEST_F(WinRulesTest, KongOnTheFirstDiscardIsNoHeavenlyHand) {
  rules.StartNewHand();
  std::vector<card> deal = Tiles("555s 123m 456p 789s 2p");
  rules.AddCardsToMyHand(deal.data(), static_cast<int>(deal.size()));
  card first = Tile("5s");
  rules.SetRecvCards(1, 1, &first);
  ASSERT_TRUE(rules.CanGangOnSended(first));
  std::vector<card> kong = Tiles("5555s");
  ASSERT_TRUE(rules.ExposeCard(0, MeldKongOnDiscard, 4, kong.data()));
  ASSERT_TRUE(rules.GetDiscards().empty());
  card replacement = Tile("2p");
  rules.AddCardsToMyHand(&replacement, 1);
  rules.SetCardAfterGang(replacement);
  ASSERT_TRUE(rules.CanHuOnMo());
  rules.SetHuInfo(HuSelfDrawn, -1, replacement);
  int16_t banker, fans, base;
  rules.CalculateScore(banker, fans, base);
  EXPECT_EQ(FanTypes(rules), (std::vector<int>{808, 1206}));
}

TEST_F(WinRulesTest, SevenPairsNeedAHandWithoutMelds) {
  rules.StartNewHand();
  std::vector<card> kong = Tiles("9999m");
  rules.ExposeCard_InRecover(0, MeldConcealedKong, 4, kong.data());
  GroupList groups;
  int shape = 0;
  std::vector<card> pairs = Tiles("1133m 5577p 99s 22w 33d");
  EXPECT_FALSE(rules.CheckHu(pairs.data(), 14, groups, shape, 0));
  // The same tiles as a standard hand still win.
  std::vector<card> shifted = Tiles("11223344556677p");
  ASSERT_TRUE(rules.CheckHu(shifted.data(), 14, groups, shape, 0));
  EXPECT_EQ(shape, kChows);
}

// A hand that does not win scores no fans, even when an earlier test counted some.
TEST_F(WinRulesTest, ScoreOfAHandThatDoesNotWinHasNoFans) {
  SetUpHand(rules, Hand("123m 456m 789m 222p 5m"));
  rules.SetLowFan(1);
  ASSERT_TRUE(rules.CanHuOnSended(Tile("5m")));
  ASSERT_FALSE(rules.GetFoundFans().empty());
  rules.SetHuInfo(HuOnDiscard, 1, Tile("9s"));
  int16_t banker, fans, base;
  EXPECT_EQ(rules.CalculateScore(banker, fans, base), 2);
  EXPECT_EQ(fans, 0);
  EXPECT_TRUE(FanTypes(rules).empty());
}

// Hands still holding a kong's fourth tile (15 to 18 tiles with the wilds) are never won, and
// 14 to 17 tiles are never one short.
TEST_F(WinRulesTest, HandsHoldingAKongsFourthTileNeverWin) {
  rules.StartNewHand();
  GroupList groups;
  int shape = 0;
  std::vector<card> tiles = Tiles("1111m 234p 567s 999s 11p");
  EXPECT_FALSE(rules.CheckHu(tiles.data(), 15, groups, shape, 0));
  EXPECT_FALSE(rules.CheckHu(tiles.data(), 14, groups, shape, 2));
  EXPECT_FALSE(rules.CheckTing(tiles.data(), 14, groups, 0));
  EXPECT_FALSE(rules.CheckTing(tiles.data(), 15, groups, 1));
}

// A wild tile can complete a knitted piece only within its class: 4-7 of dots next to 1-4-7
// of characters is no part of a knitted straight.
TEST_F(WinRulesTest, KnittedPiecesKeepTheirClasses) {
  rules.StartNewHand();
  GroupList groups;
  int shape = 0;
  std::vector<card> same_class = Tiles("147m 47p 369s 111w 22d");
  EXPECT_FALSE(rules.CheckHu(same_class.data(), 13, groups, shape, 1));
  std::vector<card> own_class = Tiles("147m 25p 369s 111w 22d");
  ASSERT_TRUE(rules.CheckHu(own_class.data(), 13, groups, shape, 1));
  EXPECT_EQ(shape, win_search::kShapeKnittedStraight);
}

TEST_F(WinRulesTest, PungsAndAPairWinInEitherTileOrder) {
  rules.StartNewHand();
  std::vector<card> tiles = Tiles("111m 999p 555s 333w 33d");
  GroupList groups;
  int shape = 0;
  ASSERT_TRUE(rules.CheckHu(tiles.data(), 14, groups, shape, 0));
  EXPECT_EQ(GroupsText(groups), "[33d][333w][555s][999p][111m]");
  std::reverse(tiles.begin(), tiles.end());
  ASSERT_TRUE(rules.CheckHu(tiles.data(), 14, groups, shape, 0));
  EXPECT_EQ(GroupsText(groups), "[33d][333w][555s][999p][111m]");
}

}  // namespace
