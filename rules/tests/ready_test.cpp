// The ready-hand test: one tile (or wild tile) short of winning.
#include <gtest/gtest.h>

#include <vector>

#include "korvel_rules.h"
#include "rules_fixture.h"
#include "tile_notation.h"

namespace {

MeldSetup Chow(const char* t) { return {MeldChowOrPung, t}; }
MeldSetup Pung(const char* t) { return {MeldChowOrPung, t}; }

struct ReadyCase {
  const char* name;
  const char* hand;
  std::vector<MeldSetup> melds;
  bool ready;
};

class ReadyTest : public ::testing::TestWithParam<ReadyCase> {};

TEST_P(ReadyTest, DeclareListen) {
  const ReadyCase& c = GetParam();
  CKorvel rules;
  HandSetup setup;
  setup.concealed = c.hand;
  setup.melds = c.melds;
  SetUpHand(rules, setup);
  EXPECT_EQ(rules.CanDeclareListen(), c.ready);
  rules.SetTingStatus(TingDeclared);
  EXPECT_FALSE(rules.CanDeclareListen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadyTest,
    ::testing::Values(
        ReadyCase{"single_wait", "123m 456p 789s 222p 5m", {}, true},
        ReadyCase{"two_pairs_wait", "123m 456p 789s 22p 55m", {}, true},
        ReadyCase{"closed_wait", "13m 456p 789s 222p 55m", {}, true},
        ReadyCase{"nine_gates_waits_on_all", "1112345678999m", {}, true},
        ReadyCase{"seven_pairs_wait", "1133m 5577p 99s 22w 3d", {}, true},
        ReadyCase{"neither_shape", "1133m 5577p 99s 2w 3d 4w", {}, false},
        ReadyCase{"scattered", "159m 159p 159s 123w 1d", {}, false},
        ReadyCase{"two_singles_short", "123m 456p 789s 22p 5m 9m", {}, false},
        ReadyCase{"one_tile_left", "4w", {Chow("123m"), Pung("555p"), Chow("678s"),
                                          Pung("999m")}, true},
        ReadyCase{"after_a_meld", "123m 456p 22p 55m", {Pung("777s")}, true},
        ReadyCase{"not_after_a_meld", "123m 456p 2p 5m 9s 1w", {Pung("777s")}, false},
        ReadyCase{"one_wild_for_the_pung", "123m 456p 789s 22p 5m 1j", {}, true},
        ReadyCase{"wild_not_enough", "123m 6p 789s 222p 5m 9m 1j", {}, false},
        ReadyCase{"wild_and_a_single", "123m 4p 789s 999p 55m 1j", {}, true},
        ReadyCase{"all_wilds", "1111111111111j", {}, true},
        ReadyCase{"seven_pairs_with_wilds", "1133m 55p 99s 2w 3d 4w 1j 1j", {}, true},
        // The two-player rules have no ready test for a knitted straight.
        ReadyCase{"knitted_straight_is_not_a_ready_hand", "147m 258p 369s 111w 2d", {}, false},
        // Fourteen tiles are a hand to discard from, not a ready hand.
        ReadyCase{"fourteen_tiles", "123m 456p 789s 222p 55m", {}, false}),
    [](const ::testing::TestParamInfo<ReadyCase>& info) { return info.param.name; });

}  // namespace
