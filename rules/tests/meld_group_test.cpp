// The groupings every search is built on: which group a tile joins and where the group goes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "korvel_rules.h"
#include "tile_notation.h"

namespace {

enum class Kind { Identical, Sequences, Gaps };

struct GroupingCase {
  const char* name;
  const char* tiles;
  Kind kind;
  int limit;
  int step;
  const char* groups;  // in list order
};

class GroupingTest : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(GroupingTest, GroupsInListOrder) {
  const GroupingCase& c = GetParam();
  std::vector<card> tiles = Tiles(c.tiles);
  GroupList groups;
  const int n = static_cast<int>(tiles.size());
  switch (c.kind) {
    case Kind::Identical: GroupIdentical(tiles.data(), n, c.limit, groups); break;
    case Kind::Sequences: GroupSequences(tiles.data(), n, c.limit, groups); break;
    case Kind::Gaps: GroupSteps(tiles.data(), n, c.limit, c.step, groups); break;
  }
  EXPECT_EQ(GroupsText(groups), c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupingTest,
    ::testing::Values(
        GroupingCase{"four_equal_as_pairs", "1111m", Kind::Identical, 2, 1, "[11m][11m]"},
        GroupingCase{"pung_and_one", "1111m", Kind::Identical, 3, 1, "[111m][1m]"},
        GroupingCase{"grown_group_moves_last", "1m 2m 1m", Kind::Identical, 4, 1,
                     "[2m][11m]"},
        GroupingCase{"two_chows", "112233m", Kind::Sequences, 3, 1, "[123m][123m]"},
        GroupingCase{"ascending_run", "1234m", Kind::Sequences, 3, 1, "[123m][4m]"},
        GroupingCase{"descending_run", "4321m", Kind::Sequences, 3, 1, "[234m][1m]"},
        GroupingCase{"colours_apart", "1m 2p 3m", Kind::Sequences, 3, 1, "[1m][2p][3m]"},
        GroupingCase{"honours_never_join", "1w 2w 3w", Kind::Sequences, 3, 1,
                     "[1w][2w][3w]"},
        GroupingCase{"gap", "4m 6m 5m", Kind::Gaps, 2, 2, "[46m][5m]"},
        GroupingCase{"knitted", "1m 4m 7m 2m", Kind::Gaps, 3, 3, "[147m][2m]"},
        GroupingCase{"terminals", "1p 9p", Kind::Gaps, 2, 8, "[19p]"}),
    [](const ::testing::TestParamInfo<GroupingCase>& info) { return info.param.name; });

TEST(OrderGroupsTest, MoreValuesThenHigherColourThenHigherTop) {
  std::vector<card> tiles = Tiles("11m 123p 5w 789m 456p 3d");
  GroupList groups;
  GroupSequences(tiles.data(), static_cast<int>(tiles.size()), 3, groups);
  OrderGroups(groups);
  EXPECT_EQ(GroupsText(groups), "[456p][123p][789m][3d][5w][1m][1m]");
}

TEST(MeldGroupTest, ExpandsFromTheTopDown) {
  FixedList<card, 16> tiles;
  AppendGroupTiles(MeldGroup{ColorDots, 5, 1, 3, 1}, tiles);
  EXPECT_EQ(TilesText(tiles), "5p 4p 3p");
  tiles.clear();
  AppendGroupTiles(MeldGroup{ColorDots, 7, 3, 1, 1}, tiles);
  EXPECT_EQ(TilesText(tiles), "7p 7p 7p");
  tiles.clear();
  AppendGroupTiles(MeldGroup{ColorBamboo, 9, 1, 3, 3}, tiles);
  EXPECT_EQ(TilesText(tiles), "9s 6s 3s");
}

TEST(FixedListTest, FullListRefusesMore) {
  FixedList<int, 2> list;
  EXPECT_TRUE(list.push_back(1));
  EXPECT_TRUE(list.push_back(2));
  EXPECT_FALSE(list.push_back(3));
  EXPECT_EQ(list.size(), 2);
  list.erase_at(5);
  list.erase_at(-1);
  EXPECT_EQ(list.size(), 2);
  list.move_to_end(0);
  EXPECT_EQ(list[0], 2);
  EXPECT_EQ(list[1], 1);
  list.pop_back();
  list.pop_back();
  list.pop_back();
  EXPECT_TRUE(list.empty());
}

// The quick grouping of sorted tiles gives the groups the tile-by-tile walk gives, in the same
// order, for every limit and step the searches use, on tiles sorted either way.
TEST(SortedGroupingTest, SameGroupsInTheSameOrderAsTheWalk) {
  std::mt19937 random(20251210);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const struct {
    int limit;
    int step;
  } kGroupings[] = {{2, 1}, {3, 1}, {4, 1}, {7, 1}, {9, 1}, {2, 2}, {3, 3}, {2, 6}, {2, 8}};
  int compared = 0;
  for (int round = 0; round < 4000; ++round) {
    std::vector<card> tiles;
    const int n = 1 + pick(18);
    const int colours = 1 + pick(3);  // few colours, so runs and duplicates are common
    for (int i = 0; i < n; ++i) {
      const int32_t color = pick(colours + 1) == 0 ? ColorWinds + pick(2) : pick(colours);
      tiles.push_back({color, 1 + pick(color == ColorWinds ? 4 : color == ColorDragons ? 3 : 9)});
    }
    for (bool ascending : {true, false}) {
      SortCards(tiles.data(), n, ascending);
      for (const auto& g : kGroupings) {
        FixedList<MeldGroup, 32> walked;
        GroupStepsInOrder(tiles.data(), n, g.limit, g.step, walked);
        MeldGroup quick[kMaxSortedGrouping];
        const int count = GroupStepsOfSorted(tiles.data(), n, g.limit, g.step, quick);
        ASSERT_EQ(count, walked.size()) << TilesText(tiles);
        for (int i = 0; i < count; ++i) {
          ASSERT_TRUE(quick[i] == walked[i])
              << TilesText(tiles) << " limit " << g.limit << " step " << g.step << ": "
              << GroupsText(walked) << " at " << i;
        }
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 4000 * 2 * 9);
}

// Tiles in no sorted order are left to the walk.
TEST(SortedGroupingTest, UnsortedTilesAreLeftToTheWalk) {
  const std::vector<card> tiles = Tiles("3m 1m 2m");
  MeldGroup quick[kMaxSortedGrouping];
  EXPECT_EQ(GroupStepsOfSorted(tiles.data(), 3, 3, 1, quick), -1);
}

}  // namespace
