// The four-player base on its own: its win and ready tests with thirteen orphans and knitted
// tiles, the hands that hold kongs' fourth tiles, the 16-tile members, its 81-row fan table,
// its points and the patterns only its table has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fan_context.h"
#include "korvel_rules.h"
#include "rules_fixture.h"
#include "special_shapes.h"
#include "tile_notation.h"

namespace {

using win_search::kShapeKnittedStraight;
using win_search::kShapeKnittedTiles;
using win_search::kShapeSevenPairs;
using win_search::kShapeThirteenOrphans;

constexpr int kNo = 0;       // expected shape of a hand that does not win
constexpr int kAnyStd = 20;  // any standard shape (20-25)

// The base with the seat's own wind settable (no operation of the engine sets it).
class BaseRules : public CMj_Gb {
 public:
  void SetSeatWind(int16_t wind) { m_nMenFeng = wind; }
};

MeldSetup Chow(const char* t) { return {MeldChowOrPung, t}; }
MeldSetup Pung(const char* t) { return {MeldChowOrPung, t}; }
MeldSetup ConcealedKong(const char* t) { return {MeldConcealedKong, t}; }
MeldSetup Flowers(const char* t) { return {MeldFlowers, t}; }

// ---- win test ---------------------------------------------------------------------------

struct HuCase {
  const char* name;
  const char* tiles;  // with "j" for wild tiles
  std::vector<MeldSetup> melds;
  int shape;          // kNo: no win; kAnyStd: any standard shape
};

const HuCase kHuCases[] = {
    // Thirteen orphans: the pair must be an honour or made by a wild.
    {"orphans_honour_pair", "19m 19p 19s 1234w 123d 2d", {}, kShapeThirteenOrphans},
    {"orphans_second_terminal_as_pair", "119m 19p 19s 1234w 123d", {}, kNo},
    {"orphans_second_nine_as_pair", "19m 199p 19s 1234w 123d", {}, kNo},
    // A third copy of an honour is not the missing one (the honour count takes faces once).
    {"orphans_honour_three_times", "19m 19p 19s 1234w 11d 2d", {}, kNo},
    {"orphans_wild_pair", "19m 19p 19s 1234w 123d 1j", {}, kShapeThirteenOrphans},
    {"orphans_wild_for_a_terminal", "1m 19p 19s 1234w 123d 3d 1j", {}, kShapeThirteenOrphans},
    {"orphans_wild_for_a_terminal_and_the_pair", "1m 19p 19s 1234w 123d 11j", {},
     kShapeThirteenOrphans},
    {"orphans_wild_with_terminal_pair", "11m 19p 19s 1234w 123d 1j", {}, kNo},
    {"orphans_with_a_simple", "19m 19p 19s 1234w 12d 5m 1d", {}, kNo},
    {"orphans_with_a_meld", "19m 19p 19s 1234w 123d 2d", {Chow("234p")}, kNo},
    {"orphans_with_a_concealed_kong", "19m 19p 19s 1234w 123d 2d", {ConcealedKong("5555m")},
     kNo},

    // Knitted tiles: fourteen different tiles of one knitted straight and the honours.
    {"knitted_nine_and_five_honours", "147m 258p 369s 1234w 1d", {}, kShapeKnittedTiles},
    {"knitted_two_equal_honours", "147m 258p 369s 1123w", {}, kNo},
    {"knitted_eight_and_six_honours", "147m 258p 36s 1234w 12d", {}, kShapeKnittedTiles},
    {"knitted_seven_and_seven_honours", "147m 258p 3s 1234w 123d", {}, kShapeKnittedTiles},
    {"knitted_seven_as_three_two_two", "147m 25p 69s 1234w 123d", {}, kShapeKnittedTiles},
    {"knitted_same_value_in_two_suits", "147m 158p 369s 1234w 1d", {}, kNo},
    {"knitted_two_suits_one_class", "147m 47p 369s 1234w 12d", {}, kNo},
    {"knitted_one_suit_two_classes", "147m 258p 359s 1234w 1d", {}, kNo},
    {"knitted_wild_for_a_tile", "147m 258p 36s 1234w 1d 1j", {}, kShapeKnittedTiles},
    {"knitted_three_wilds", "14m 258p 36s 123w 1d 111j", {}, kShapeKnittedTiles},
    {"knitted_with_a_meld", "147m 258p 369s 1234w 1d", {Pung("555d")}, kNo},
    {"knitted_with_a_concealed_kong", "147m 258p 369s 1234w 1d", {ConcealedKong("9999m")},
     kNo},

    // The knitted straight with a set and a pair stays a standard hand.
    {"knitted_straight", "147m 258p 369s 111w 22w", {}, kShapeKnittedStraight},
    {"seven_pairs", "11m 22m 33p 44p 55s 66s 33d", {}, kShapeSevenPairs},
    {"seven_pairs_with_a_meld_reads_as_sets", "111m 222m 333p 55s", {Pung("777d")}, kAnyStd},
    {"standard", "123m 456p 789s 111w 22d", {}, kAnyStd},
    {"standard_with_wild", "123m 456p 789s 111w 2d 1j", {}, kAnyStd},
    {"nothing", "135m 246p 789s 111w 2d 4d", {}, kNo},

    // The fourth tiles of kongs still in the hand: the kongs are four real tiles, the rest sets
    // and a pair.
    {"one_kong_in_hand", "1111m 234p 567s 888s 99m", {}, kAnyStd},
    {"one_kong_in_hand_with_wild", "1111m 234p 567s 888s 9m 1j", {}, kAnyStd},
    {"four_tiles_but_no_arrangement", "1111m 235p 567s 888s 99m", {}, kNo},
    {"fifteen_tiles_without_a_kong", "111m 234p 567s 888s 999m", {}, kNo},
    {"two_kongs_in_hand", "1111m 2222p 567s 99m 678p", {}, kAnyStd},
    {"three_kongs_in_hand", "1111m 2222p 3333s 567s 99m", {}, kAnyStd},
    {"four_kongs_and_a_pair", "1111m 2222p 3333s 4444w 99m", {}, kAnyStd},
    {"four_kongs_and_two_singles", "1111m 2222p 3333s 4444w 89m", {}, kNo},
    {"four_kongs_and_a_wild_pair", "1111m 2222p 3333s 4444w 9m 1j", {}, kAnyStd},
    // Wild tiles do not make eighteen tiles a win: they must still be four kongs and a pair.
    {"eighteen_with_wilds_and_no_kong", "123m 456p 789s 135m 246p 12w 1j", {}, kNo},
    {"kong_completed_by_a_wild_is_none", "111m 234p 567s 888s 99m 1j", {}, kNo},
};

class BaseHuTest : public ::testing::TestWithParam<HuCase> {};

TEST_P(BaseHuTest, VerdictAndShape) {
  const HuCase& c = GetParam();
  CMj_Gb rules;
  HandSetup setup;
  setup.melds = c.melds;
  SetUpHand(rules, setup);
  const std::vector<card> all = Tiles(c.tiles);
  const std::vector<card> tiles = WithoutWilds(all);
  GroupList groups;
  int shape = -1;
  const bool won = rules.CheckHu(tiles.data(), static_cast<int>(tiles.size()), groups, shape,
                                 WildCount(all));
  EXPECT_EQ(won, c.shape != kNo) << c.tiles;
  if (c.shape == kAnyStd) {
    EXPECT_TRUE(win_search::IsStandardShape(shape)) << shape;
  } else if (c.shape != kNo) {
    EXPECT_EQ(shape, c.shape);
  }
  if (!won) EXPECT_TRUE(groups.empty());
  // The groups hold exactly the real tiles.
  if (won) {
    std::vector<card> spread;
    for (const MeldGroup& g : groups) AppendGroupTiles(g, spread);
    std::vector<card> expected = tiles;
    auto less = [](const card& a, const card& b) { return CardLess(a, b); };
    std::sort(spread.begin(), spread.end(), less);
    std::sort(expected.begin(), expected.end(), less);
    EXPECT_TRUE(spread == expected) << GroupsText(groups);
  }
}

INSTANTIATE_TEST_SUITE_P(Hands, BaseHuTest, ::testing::ValuesIn(kHuCases),
                         [](const auto& info) { return std::string(info.param.name); });

// When the strategies of the first pass (tiles ascending) find no decomposition, the second
// pass (descending) reads the hand before any complete search does; the fans follow its
// reading (see the pattern cases second_pass_*).
TEST(BaseHuTest, SecondPassReadsTheHandBeforeACompleteSearch) {
  const struct {
    const char* tiles;
    const char* groups;
  } kCases[] = {
      {"1112333444556p 6p", "[456p][456p][234p][33p][111p]"},
      {"3345556667788m 3m", "[678m][678m][456m][55m][333m]"},
      {"2223444556677p 5p", "[567p][567p][345p][44p][222p]"},
  };
  CMj_Gb rules;
  rules.StartNewHand();
  for (const auto& c : kCases) {
    const std::vector<card> tiles = Tiles(c.tiles);
    GroupList groups;
    int shape = 0;
    ASSERT_TRUE(rules.CheckHu(tiles.data(), static_cast<int>(tiles.size()), groups, shape, 0))
        << c.tiles;
    EXPECT_EQ(GroupsText(groups), c.groups) << c.tiles;
    EXPECT_TRUE(win_search::IsStandardShape(shape)) << shape;
  }
}

// ---- ready test -------------------------------------------------------------------------

struct TingCase {
  const char* name;
  const char* tiles;
  std::vector<MeldSetup> melds;
  bool ready;
};

const TingCase kTingCases[] = {
    {"orphans_thirteen_singles", "19m 19p 19s 1234w 123d", {}, true},
    {"orphans_missing_a_terminal", "1m 19p 19s 1234w 123d 1d", {}, true},
    {"orphans_missing_two", "1m 19p 19s 1234w 12d 1d", {}, false},
    {"orphans_with_a_meld", "19m 19p 19s 1234w 123d", {Chow("234p")}, false},
    {"knitted_thirteen", "147m 258p 369s 1234w", {}, true},
    {"knitted_thirteen_with_pair", "147m 258p 369s 1123w", {}, false},
    {"knitted_with_a_wild", "147m 258p 36s 123w 1d 1j", {}, true},
    {"standard", "123m 456p 789s 111w 2d", {}, true},
    {"nothing", "135m 246p 789s 111w 4d", {}, false},
    {"kong_in_hand_waiting_for_the_pair", "1111m 234p 567s 888s 9m", {}, true},
    {"fourteen_without_a_kong", "1111m 235p 567s 888s 9m", {}, false},
    {"four_kongs_and_a_single", "1111m 2222p 3333s 4444w 9m", {}, true},
    // Seventeen tiles are ready only as four kongs and a single.
    {"seventeen_without_kongs", "123m 456p 789s 135m 246p 1w", {}, false},
};

class BaseTingTest : public ::testing::TestWithParam<TingCase> {};

TEST_P(BaseTingTest, Verdict) {
  const TingCase& c = GetParam();
  CMj_Gb rules;
  HandSetup setup;
  setup.melds = c.melds;
  SetUpHand(rules, setup);
  const std::vector<card> all = Tiles(c.tiles);
  const std::vector<card> tiles = WithoutWilds(all);
  GroupList groups;
  EXPECT_EQ(rules.CheckTing(tiles.data(), static_cast<int>(tiles.size()), groups,
                            WildCount(all)),
            c.ready)
      << c.tiles;
}

INSTANTIATE_TEST_SUITE_P(Hands, BaseTingTest, ::testing::ValuesIn(kTingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the searches of the special shapes and the 16-tile game ------------------------------

TEST(GapChowTest, RunOfFourAndAPairTwoAwayGiveTheChowOverTheGap) {
  const std::vector<card> tiles = Tiles("1234m 677m 888p 222s");
  win_search::GapChowList candidates;
  win_search::FindGapChows(tiles.data(), static_cast<int>(tiles.size()), candidates);
  ASSERT_EQ(candidates.size(), 1);
  EXPECT_EQ(candidates[0].chow, ChowGroup(ColorCharacters, 6));  // 4-5-6, the 5 missing
  EXPECT_EQ(candidates[0].present[0], Tile("4m"));
  EXPECT_EQ(candidates[0].present[1], Tile("6m"));

  // With one wild the 4 and the 6 come out and the rest must win with no wild.
  GroupList groups;
  ASSERT_TRUE(win_search::GapChowWin(tiles.data(), static_cast<int>(tiles.size()), 1, groups));
  EXPECT_EQ(groups[groups.size() - 1], ChowGroup(ColorCharacters, 6));
  EXPECT_FALSE(win_search::GapChowWin(tiles.data(), static_cast<int>(tiles.size()), 0, groups));
  // Without the pair of 7 the rest does not win.
  const std::vector<card> other = Tiles("1234m 67m 8m 888p 222s");
  EXPECT_FALSE(win_search::GapChowWin(other.data(), static_cast<int>(other.size()), 1, groups));
}

struct SixteenCase {
  const char* tiles;
  bool wins;   // StandardWin16
  bool ready;  // StandardReady16 on the same tiles
};

TEST(SixteenTileTest, FiveSetsAndAPairAndTheKongMembers) {
  const SixteenCase kCases[] = {
      {"123m 456p 789s 111w 234s 22d", true, false},   // 17: five sets and a pair
      {"123m 456p 789s 111w 234s 2d 1j", true, false}, // the pair made by a wild
      {"123m 456p 789s 111w 235s 22d", false, false},
      {"123m 456p 789s 111w 234s 2d", false, true},    // 16: waiting for the pair
      {"123m 456p 789s 111w 22d", true, false},        // 14: four sets and a pair
      {"1111m 456p 789s 111w 234s 22d", true, false},  // 18: one kong in hand
      {"1111m 456p 789s 111w 234s 2d", false, true},   // 17: one kong, waiting
      {"1111m 2222p 3333s 4444w 5556s 22d", false, false},  // 22 tiles, four kongs
      {"1111m 2222p 3333s 4444w 5555s 22d", true, false},   // 22: five kongs
      {"1111m 2222p 3333s 4444w 5555s 2d", false, true},    // 21: five kongs, waiting
      {"123m 456p 789s 135m 246p 1234w", false, false},     // 21 tiles of nothing
  };
  for (const SixteenCase& c : kCases) {
    const std::vector<card> all = Tiles(c.tiles);
    const std::vector<card> tiles = WithoutWilds(all);
    const int t = static_cast<int>(tiles.size());
    GroupList groups;
    int shape = 0;
    EXPECT_EQ(win_search::StandardWin16(tiles.data(), t, WildCount(all), groups, shape), c.wins)
        << c.tiles;
    EXPECT_EQ(win_search::StandardReady16(tiles.data(), t, WildCount(all)), c.ready) << c.tiles;
  }
  // Ten tiles one short of a knitted straight and a pair count as ready in the 16-tile game.
  const std::vector<card> knitted = Tiles("147m 258p 369s 2d");
  EXPECT_TRUE(win_search::StandardReady16(knitted.data(), 10, 0));
}

// ---- fan table and points ---------------------------------------------------------------

TEST(BaseFanTableTest, EightyOneRowsInOrderWithTheirExclusions) {
  CMj_Gb rules;
  rules.StartNewHand();
  const FanTable& table = rules.GetFanTable();
  ASSERT_EQ(table.size(), 81);
  EXPECT_EQ(table[0].type, 101);
  EXPECT_EQ(table[6].type, 107);  // after 106: there is no heavenly hand
  EXPECT_EQ(table[79].type, 1213);
  EXPECT_EQ(table[80].type, 805);
  EXPECT_EQ(FindFan(table, 108), nullptr);
  for (int i = 1; i < 80; ++i) EXPECT_LT(table[i - 1].type, table[i].type) << i;

  struct Exclusions {
    FanType type;
    std::vector<FanType> excluded;
  };
  const Exclusions kExclusions[] = {
      {107, {904, 1002, 1211}},           {201, {901, 605, 1107, 1208, 1205}},
      {502, {904, 1002, 1211, 701}},      {602, {1208, 1202, 1105, 1204}},
      {701, {904, 1002, 1211}},           {101, {1102, 1103, 705, 901}},
      {605, {}},                          {805, {}},
      {1213, {}},
  };
  for (const Exclusions& e : kExclusions) {
    const FanInfo* row = FindFan(table, e.type);
    ASSERT_NE(row, nullptr) << e.type;
    EXPECT_EQ(std::vector<FanType>(row->excluded.begin(), row->excluded.end()), e.excluded)
        << e.type;
  }
  EXPECT_STREQ(FindFan(table, 107)->name_utf8, "十三幺");
  EXPECT_STREQ(FindFan(table, 805)->name_utf8, "无番和");
  // Names reach callers as GBK.
  char name[kFanNameBuffer];
  char desc[kFanDescriptionBuffer];
  int16_t score = 0;
  ASSERT_TRUE(rules.GetFanNameByType(107, name, desc, &score));
  EXPECT_STREQ(name, "\312\256\310\375\347\333");  // 十三幺
  EXPECT_EQ(score, 88);
}

TEST(BaseFanTableTest, PointsByGradeAndTheFlowerRowByFlowers) {
  CMj_Gb rules;
  rules.StartNewHand();
  const struct {
    FanType type;
    int points;
  } kPoints[] = {{101, 88}, {201, 64}, {301, 48}, {401, 32}, {501, 24},  {601, 16},
                 {701, 12}, {805, 8},  {901, 6},  {1001, 4}, {1101, 2},  {1212, 1},
                 {99, 0},   {1301, 0}, {1213, 0}};
  for (const auto& p : kPoints) EXPECT_EQ(rules.GetFanScore(p.type), p.points) << p.type;
  const std::vector<card> flowers = Tiles("12f 3g");
  ASSERT_TRUE(rules.ExposeCard_InRecover(0, MeldFlowers, 3, flowers.data()));
  EXPECT_EQ(rules.GetFanScore(1213), 3);
  // The two-player rules keep their own points.
  CKorvel korvel;
  EXPECT_EQ(korvel.GetFanScore(101), 22);
  EXPECT_EQ(korvel.GetFanScore(1213), 1);
}

// ---- patterns of the base table ---------------------------------------------------------

constexpr WinKind kSelf = WinKind::SelfDrawn;
constexpr WinKind kOn = WinKind::OnDiscard;

struct PatternCase {
  const char* name;
  HandSetup hand;
  const char* win;
  WinKind kind;
  std::vector<int> found;      // all of these are among the fans
  std::vector<int> not_found;  // none of these is
  int prevalent_wind = 0;
  int seat_wind = -1;
};

HandSetup Hand(const char* concealed, std::vector<MeldSetup> melds = {}) {
  HandSetup setup;
  setup.concealed = concealed;
  setup.melds = std::move(melds);
  setup.discards = "9m";
  return setup;
}

const PatternCase kPatternCases[] = {
    {"thirteen_orphans", Hand("19m 19p 19s 1234w 123d"), "2d", kSelf, {107, 1212},
     {904, 1002, 1211, 805}},
    {"all_terminals", Hand("111m 999m 111p 999s 1s"), "1s", kOn, {201},
     {901, 1205, 1208, 403}},
    {"greater_honours_and_knitted", Hand("147m 258p 1234w 123d"), "3s", kOn, {502},
     {701, 904, 1002}},
    {"lesser_honours_and_knitted", Hand("147m 258p 369s 1234w"), "1d", kOn, {701}, {502, 904}},
    {"knitted_straight", Hand("147m 258p 369s 111w 2w"), "2w", kOn, {702}, {}},
    // Left to the implementer: as the names and descriptions say.
    {"mixed_terminal_chows", Hand("123m 789m 123p 789p 5s"), "5s", kOn, {602},
     {1204, 1105, 1208}},
    {"mixed_terminal_chows_needs_the_pair_of_five", Hand("123m 789m 123p 789p 4s"), "4s", kOn,
     {}, {602}},
    {"triple_pung", Hand("222m 222p 222s 345m 9s"), "9s", kOn, {605, 1107}, {}},
    {"mixed_straight", Hand("123m 456p 789s 111w 2d"), "2d", kOn, {801, 904}, {}},
    {"mixed_straight_needs_three_suits", Hand("123m 456p 789p 111w 2d"), "2d", kOn, {}, {801}},
    {"mixed_triple_chow", Hand("345m 345p 345s 777m 9s"), "9s", kOn, {803, 1202}, {}},
    {"mixed_shifted_pungs", Hand("333m 444p 555s 678m 9s"), "9s", kOn, {804}, {1107}},
    {"mixed_shifted_chows", Hand("234m 345p 456s 888m 9s"), "9s", kOn, {903}, {803}},
    {"dragon_pung", Hand("222d 123m 456p 789s 9s"), "9s", kOn, {1101}, {}},
    {"prevalent_wind_pung", Hand("222w 123m 456p 789s 9s"), "9s", kOn, {1102}, {1103}, 1},
    {"other_wind_pung", Hand("333w 123m 456p 789s 9s"), "9s", kOn, {}, {1102, 1103}, 1},
    {"seat_wind_pung", Hand("333w 123m 456p 789s 9s"), "9s", kOn, {1103}, {1102}, 0, 2},
    {"double_pung", Hand("444m 444p 123s 678s 9s"), "9s", kOn, {1107}, {605}},
    // The patterns the base's table describes by test.
    {"all_types", Hand("123m 456p 789s 111w 2d"), "2d", kOn, {904}, {1207, 1208}},
    {"outside_hand", Hand("111m 123p 123s 111w 1d"), "1d", kOn, {1001}, {}},
    {"outside_hand_counts_ones_only", Hand("111m 123p 789s 111w 1d"), "1d", kOn, {}, {1001}},
    {"all_simples", Hand("234m 345p 456s 678s 8p"), "8p", kOn, {1110, 1208}, {1001}},
    {"pure_double_chow", Hand("123m 123m 456p 789s 5s"), "5s", kOn, {1201}, {1202}},
    {"mixed_double_chow", Hand("123m 123p 456p 789s 5s"), "5s", kOn, {1202}, {1201}},
    {"one_voided_suit", Hand("123m 456m 789p 111w 2d"), "2d", kOn, {1207}, {904, 1208}},
    {"edge_wait", Hand("12m 456p 789s 345s 55p"), "3m", kOn, {1209}, {1210, 1211}},
    {"closed_wait", Hand("13m 456p 789s 345s 55p"), "2m", kOn, {1210}, {1209, 1211}},
    {"single_wait", Hand("123m 456p 789s 345s 5m"), "5m", kOn, {1211}, {1209, 1210}},
    {"self_drawn", Hand("123m 456p 789s 345s 5m"), "5m", kSelf, {1212, 1002, 1104}, {805}},
    // Read by the second pass: 456 456 234 111 33 waits on the edge, not on the pair.
    {"second_pass_edge_wait", Hand("1112333444556p"), "6p", kSelf, {1209, 1205}, {1211}},
    // 567 567 345 222 44: an edge wait, no closed one.
    {"second_pass_no_closed_wait", Hand("2223444556677p"), "5p", kOn, {1209}, {1210}},
    {"flowers", Hand("123m 456p 789s 345s 5m", {Flowers("12f")}), "5m", kOn, {1213}, {}},
};

// The types of the fans found, in table order.
std::vector<int> FoundTypes(const CMj_Gb& rules) {
  std::vector<int> out;
  for (int16_t index : rules.GetFoundFans()) out.push_back(rules.GetFanTable()[index].type);
  return out;
}

std::string TypesText(const std::vector<int>& types) {
  std::string out;
  for (int t : types) out += std::to_string(t) + " ";
  return out;
}

class BasePatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(BasePatternTest, FoundAndNotFound) {
  const PatternCase& c = GetParam();
  BaseRules rules;
  rules.SetBanker(0, static_cast<int16_t>(c.prevalent_wind));
  rules.SetSeatWind(static_cast<int16_t>(c.seat_wind));
  SetUpHand(rules, c.hand);
  const card win = Tile(c.win);
  ASSERT_TRUE(OfferWinningTile(rules, c.kind, win)) << c.hand.concealed << " + " << c.win;
  rules.SetHuInfo(c.kind == kSelf ? HuSelfDrawn : HuOnDiscard, 1, win);
  int16_t banker = 0, fans = 0, base = 0;
  rules.CalculateScore(banker, fans, base);
  const std::vector<int> found = FoundTypes(rules);
  for (int type : c.found) {
    EXPECT_NE(std::find(found.begin(), found.end(), type), found.end())
        << type << " missing; found " << TypesText(found);
  }
  for (int type : c.not_found) {
    EXPECT_EQ(std::find(found.begin(), found.end(), type), found.end())
        << type << " found; found " << TypesText(found);
  }
}

INSTANTIATE_TEST_SUITE_P(Hands, BasePatternTest, ::testing::ValuesIn(kPatternCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A hand with nothing else to count scores the hand with no pattern (805), flowers or not.
TEST(BaseChickenHandTest, FoundWhenNothingElseOrOnlyFlowers) {
  struct Case {
    std::vector<MeldSetup> melds;
    std::vector<int> found;
    int fans;
  };
  const Case kCases[] = {
      {{Chow("234m")}, {805}, 8},
      {{Chow("234m"), Flowers("12f")}, {1213, 805}, 10},
  };
  for (const Case& c : kCases) {
    CMj_Gb rules;
    SetUpHand(rules, Hand("567p 345s 77s 11w", c.melds));
    ASSERT_TRUE(OfferWinningTile(rules, kOn, Tile("7s")));
    rules.SetHuInfo(HuOnDiscard, 1, Tile("7s"));
    int16_t banker = 0, fans = 0, base = 0;
    EXPECT_EQ(rules.CalculateScore(banker, fans, base), 2 + c.fans);
    EXPECT_EQ(FoundTypes(rules), c.found);
    EXPECT_EQ(fans, c.fans);
  }
  // Any other pattern keeps it out: the same hand won by the own draw counts 1212.
  CMj_Gb rules;
  SetUpHand(rules, Hand("567p 345s 77s 11w", {Chow("234m")}));
  ASSERT_TRUE(OfferWinningTile(rules, kSelf, Tile("7s")));
  rules.SetHuInfo(HuSelfDrawn, 1, Tile("7s"));
  int16_t banker = 0, fans = 0, base = 0;
  rules.CalculateScore(banker, fans, base);
  EXPECT_EQ(FoundTypes(rules), std::vector<int>({1212}));
}

}  // namespace
